#include "gtk/results_view.h"

#include <webkit2/webkit2.h>

namespace sousuo::gtk {
namespace {

// The view answers every question a page or the engine would put to the user itself: no script
// dialog, permission prompt, authentication box or file chooser ever appears.
gboolean answerScriptDialog(WebKitWebView*, WebKitScriptDialog* dialog, gpointer) {
    if (webkit_script_dialog_get_dialog_type(dialog) == WEBKIT_SCRIPT_DIALOG_CONFIRM ||
        webkit_script_dialog_get_dialog_type(dialog) == WEBKIT_SCRIPT_DIALOG_BEFORE_UNLOAD_CONFIRM) {
        webkit_script_dialog_confirm_set_confirmed(dialog, TRUE);
    }
    return TRUE;
}

gboolean denyPermission(WebKitWebView*, WebKitPermissionRequest* request, gpointer) {
    webkit_permission_request_deny(request);
    return TRUE;
}

gboolean cancelAuthentication(WebKitWebView*, WebKitAuthenticationRequest* request, gpointer) {
    webkit_authentication_request_cancel(request);
    return TRUE;
}

gboolean refuse(WebKitWebView*, gpointer, gpointer) { return TRUE; }

}  // namespace

ResultsView::ResultsView(int width, int height, ResultsViewEvents events)
    : container_(gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 0)), events_(std::move(events)) {
    gtk_widget_set_size_request(container_, width, height);
}

void ResultsView::createWebView() {
    webView_ = webkit_web_view_new();
    WebKitWebView* view = WEBKIT_WEB_VIEW(webView_);
    WebKitSettings* settings = webkit_web_view_get_settings(view);
    webkit_settings_set_javascript_can_open_windows_automatically(settings, TRUE);

    g_signal_connect(view, "mouse-target-changed",
                     G_CALLBACK(+[](WebKitWebView*, WebKitHitTestResult* hit, guint, gpointer self) {
                         auto* results = static_cast<ResultsView*>(self);
                         const char* uri = webkit_hit_test_result_context_is_link(hit)
                                               ? webkit_hit_test_result_get_link_uri(hit)
                                               : nullptr;
                         if (results->events_.statusText) results->events_.statusText(uri ? uri : "");
                     }),
                     this);
    g_signal_connect(view, "create",
                     G_CALLBACK(+[](WebKitWebView*, WebKitNavigationAction*, gpointer self) {
                         auto* results = static_cast<ResultsView*>(self);
                         if (results->events_.newWindow) results->events_.newWindow();
                         return static_cast<GtkWidget*>(nullptr);  // no second window, ever
                     }),
                     this);
    g_signal_connect(view, "load-changed",
                     G_CALLBACK(+[](WebKitWebView*, WebKitLoadEvent event, gpointer self) {
                         auto* results = static_cast<ResultsView*>(self);
                         if (event == WEBKIT_LOAD_COMMITTED && results->events_.navigationCommitted) {
                             results->events_.navigationCommitted();
                         }
                     }),
                     this);
    g_signal_connect(view, "script-dialog", G_CALLBACK(answerScriptDialog), nullptr);
    g_signal_connect(view, "permission-request", G_CALLBACK(denyPermission), nullptr);
    g_signal_connect(view, "authenticate", G_CALLBACK(cancelAuthentication), nullptr);
    g_signal_connect(view, "run-file-chooser", G_CALLBACK(refuse), nullptr);
    g_signal_connect(view, "show-notification", G_CALLBACK(refuse), nullptr);
    g_signal_connect(view, "print", G_CALLBACK(refuse), nullptr);

    gtk_box_pack_start(GTK_BOX(container_), webView_, TRUE, TRUE, 0);
    gtk_widget_show(webView_);
}

void ResultsView::navigate(const std::string& utf8Address) {
    if (!webView_) createWebView();
    webkit_web_view_load_uri(WEBKIT_WEB_VIEW(webView_),
                             utf8Address.empty() ? "about:blank" : utf8Address.c_str());
}

}  // namespace sousuo::gtk
