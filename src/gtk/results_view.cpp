#include "gtk/results_view.h"

#include <gmodule.h>

#include <string>
#include <string_view>

#include "app/program_files.h"

namespace sousuo::gtk {
namespace {

constexpr std::string_view WarmUpAddress = "about:blank";

const SousuoWebViewApi* loadWebViewModule() {
    const std::string path = findProgramFile(WebViewModuleName);
    if (path.empty()) {
        g_warning("the web view module %s was not found", WebViewModuleName);
        return nullptr;
    }
    // Kept loaded for the rest of the process: the view's code lives in it.
    GModule* module = g_module_open(path.c_str(), G_MODULE_BIND_LOCAL);
    if (!module) {
        g_warning("cannot load %s: %s", path.c_str(), g_module_error());
        return nullptr;
    }
    g_module_make_resident(module);
    gpointer entry = nullptr;
    if (!g_module_symbol(module, WebViewEntryName, &entry) || !entry) return nullptr;
    const SousuoWebViewApi* api = reinterpret_cast<SousuoWebViewEntry>(entry)();
    return api && api->version == WebViewApiVersion ? api : nullptr;
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
