// The web view module: every WebKit call of the program, loaded by the window on first need.

#include <webkit2/webkit2.h>

#include "gtk/web_view_api.h"

namespace {

// The view answers every question a page or the engine would put to the user itself: no script
// dialog, permission prompt, authentication box or file chooser ever appears.
gboolean answerScriptDialog(WebKitWebView*, WebKitScriptDialog* dialog, gpointer) {
    const WebKitScriptDialogType type = webkit_script_dialog_get_dialog_type(dialog);
    if (type == WEBKIT_SCRIPT_DIALOG_CONFIRM || type == WEBKIT_SCRIPT_DIALOG_BEFORE_UNLOAD_CONFIRM) {
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

void onMouseTarget(WebKitWebView*, WebKitHitTestResult* hit, guint, gpointer data) {
    const auto* callbacks = static_cast<const SousuoWebViewCallbacks*>(data);
    const char* uri =
        webkit_hit_test_result_context_is_link(hit) ? webkit_hit_test_result_get_link_uri(hit) : nullptr;
    callbacks->statusText(callbacks->context, uri ? uri : "");
}

GtkWidget* onCreate(WebKitWebView*, WebKitNavigationAction*, gpointer data) {
    const auto* callbacks = static_cast<const SousuoWebViewCallbacks*>(data);
    callbacks->newWindow(callbacks->context);
    return nullptr;  // no second window, ever
}

void onLoadChanged(WebKitWebView* view, WebKitLoadEvent event, gpointer data) {
    if (event != WEBKIT_LOAD_COMMITTED) return;
    const auto* callbacks = static_cast<const SousuoWebViewCallbacks*>(data);
    const char* uri = webkit_web_view_get_uri(view);
    callbacks->committed(callbacks->context, uri ? uri : "");
}

// Settings of the view, in one place.
void configure(WebKitWebView* view) {
    WebKitSettings* settings = webkit_web_view_get_settings(view);
    webkit_settings_set_javascript_can_open_windows_automatically(settings, TRUE);
    webkit_settings_set_enable_developer_extras(settings, FALSE);
}

GtkWidget* create(const SousuoWebViewCallbacks* callbacks) {
    GtkWidget* widget = webkit_web_view_new();
    WebKitWebView* view = WEBKIT_WEB_VIEW(widget);
    configure(view);
    gpointer data = const_cast<SousuoWebViewCallbacks*>(callbacks);
    g_signal_connect(view, "mouse-target-changed", G_CALLBACK(onMouseTarget), data);
    g_signal_connect(view, "create", G_CALLBACK(onCreate), data);
    g_signal_connect(view, "load-changed", G_CALLBACK(onLoadChanged), data);
    g_signal_connect(view, "script-dialog", G_CALLBACK(answerScriptDialog), nullptr);
    g_signal_connect(view, "permission-request", G_CALLBACK(denyPermission), nullptr);
    g_signal_connect(view, "authenticate", G_CALLBACK(cancelAuthentication), nullptr);
    g_signal_connect(view, "run-file-chooser", G_CALLBACK(refuse), nullptr);
    g_signal_connect(view, "show-notification", G_CALLBACK(refuse), nullptr);
    g_signal_connect(view, "print", G_CALLBACK(refuse), nullptr);
    return widget;
}

void loadUri(GtkWidget* view, const char* uri) { webkit_web_view_load_uri(WEBKIT_WEB_VIEW(view), uri); }

constexpr SousuoWebViewApi Api{sousuo::gtk::WebViewApiVersion, create, loadUri};

}  // namespace

extern "C" __attribute__((visibility("default"))) const SousuoWebViewApi* sousuo_web_view_api() {
    return &Api;
}
