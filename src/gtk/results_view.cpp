#include "gtk/results_view.h"

#include <gmodule.h>

#include <string_view>

#include "gtk/gobject_ptr.h"
#include "placement/position_file.h"

#ifndef SOUSUO_MODULE_DIR
#define SOUSUO_MODULE_DIR ""
#endif
#ifndef SOUSUO_BUILD_MODULE_DIR
#define SOUSUO_BUILD_MODULE_DIR ""
#endif

namespace sousuo::gtk {
namespace {

constexpr std::string_view WarmUpAddress = "about:blank";

// The module beside the executable (a build tree), in the installed module folder, or in the build
// tree that made this binary (a copy of it run from elsewhere, as the GUI tests do).
const SousuoWebViewApi* loadWebViewModule() {
    const std::string candidates[] = {runDirectory(), SOUSUO_MODULE_DIR,
                                      SOUSUO_BUILD_MODULE_DIR};
    for (const std::string& folder : candidates) {
        if (folder.empty()) continue;
        GCharPtr path(g_build_filename(folder.c_str(), WebViewModuleName, nullptr));
        if (!g_file_test(path.get(), G_FILE_TEST_EXISTS)) continue;
        // Kept loaded for the rest of the process: the view's code lives in it.
        GModule* module = g_module_open(path.get(), G_MODULE_BIND_LOCAL);
        if (!module) continue;
        g_module_make_resident(module);
        gpointer entry = nullptr;
        if (!g_module_symbol(module, WebViewEntryName, &entry) || !entry) continue;
        const SousuoWebViewApi* api = reinterpret_cast<SousuoWebViewEntry>(entry)();
        if (api && api->version == WebViewApiVersion) return api;
    }
    g_warning("the web view module %s was not found", WebViewModuleName);
    return nullptr;
}

}  // namespace

ResultsView::ResultsView(int width, int height, ResultsViewEvents events)
    : container_(gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 0)), events_(std::move(events)) {
    gtk_widget_set_size_request(container_, width, height);
    callbacks_ = {this, onStatusText, onNewWindow, onCommitted};
}

void ResultsView::prepare() {
    if (prepared_) return;
    prepared_ = true;
    api_ = loadWebViewModule();
    if (!api_) return;
    webView_ = api_->create(&callbacks_);
    gtk_box_pack_start(GTK_BOX(container_), webView_, TRUE, TRUE, 0);
    gtk_widget_show(webView_);
    if (!navigated_) {
        warmingUp_ = true;
        api_->loadUri(webView_, WarmUpAddress.data());
    }
}

void ResultsView::navigate(const std::string& utf8Address) {
    navigated_ = true;
    prepare();
    if (!webView_) return;
    api_->loadUri(webView_, utf8Address.empty() ? WarmUpAddress.data() : utf8Address.c_str());
}

void ResultsView::onStatusText(void* self, const char* uri) {
    auto* view = static_cast<ResultsView*>(self);
    if (view->navigated_ && view->events_.statusText) view->events_.statusText(uri);
}

void ResultsView::onNewWindow(void* self) {
    auto* view = static_cast<ResultsView*>(self);
    if (view->navigated_ && view->events_.newWindow) view->events_.newWindow();
}

void ResultsView::onCommitted(void* self, const char* uri) {
    auto* view = static_cast<ResultsView*>(self);
    if (view->warmingUp_ && uri == WarmUpAddress) {
        view->warmingUp_ = false;  // the empty start page, not a navigation of the user's
        return;
    }
    if (view->navigated_ && view->events_.navigationCommitted) view->events_.navigationCommitted();
}

}  // namespace sousuo::gtk
