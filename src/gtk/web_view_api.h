#pragma once
// The boundary between the window and the web engine. The web view lives in a module of its own
// (libsousuo-webview.so) that the window loads on first need, so the strip does not pay for the
// web engine's start-up, relocation and memory while it only waits for a query.

#include <gtk/gtk.h>

extern "C" {

struct SousuoWebViewCallbacks {
    void* context;
    /// The hovered link's address, or "" when the pointer is on no link.
    void (*statusText)(void* context, const char* uri);
    /// A page asked for a new window; the request has been refused.
    void (*newWindow)(void* context);
    /// A navigation has been committed (its address).
    void (*committed)(void* context, const char* uri);
};

struct SousuoWebViewApi {
    int version;
    /// A new web view reporting to the callbacks (which must outlive it). The widget is floating.
    GtkWidget* (*create)(const SousuoWebViewCallbacks* callbacks);
    /// Opens the address and returns at once.
    void (*loadUri)(GtkWidget* view, const char* uri);
};

using SousuoWebViewEntry = const SousuoWebViewApi* (*)();
}

namespace sousuo::gtk {
inline constexpr int WebViewApiVersion = 1;
inline constexpr const char* WebViewEntryName = "sousuo_web_view_api";
inline constexpr const char* WebViewModuleName = "libsousuo-webview.so";
}  // namespace sousuo::gtk
