#pragma once
// resultsBrowser: a container that holds the web view. The web view lives in a module loaded on
// first need, so the collapsed strip costs no web engine: prepare() loads it and starts the
// engine on an empty page (the window calls it when the user starts typing), navigate() opens an
// address, preparing first when needed.

#include <gtk/gtk.h>

#include <functional>
#include <string>

#include "gtk/web_view_api.h"

namespace sousuo::gtk {

struct ResultsViewEvents {
    /// The hovered link's address, or "" when the pointer is on no link.
    std::function<void(const std::string& utf8Uri)> statusText;
    /// A page asked for a new window; the request has been refused.
    std::function<void()> newWindow;
    /// A navigation has been committed.
    std::function<void()> navigationCommitted;
};

class ResultsView {
public:
    ResultsView(int width, int height, ResultsViewEvents events);
    ResultsView(const ResultsView&) = delete;
    ResultsView& operator=(const ResultsView&) = delete;

    /// The container placed in the window; the web view goes inside it once created.
    GtkWidget* widget() const { return container_; }

    /// Loads the web view and starts the engine on an empty page whose events are not reported.
    /// Does nothing when it has been done.
    void prepare();

    /// Opens the address (UTF-8) and returns at once. The empty address opens a blank page.
    void navigate(const std::string& utf8Address);

private:
    static void onStatusText(void* self, const char* uri);
    static void onNewWindow(void* self);
    static void onCommitted(void* self, const char* uri);

    GtkWidget* container_;
    GtkWidget* webView_ = nullptr;
    const SousuoWebViewApi* api_ = nullptr;
    bool prepared_ = false;
    bool warmingUp_ = false;  // the empty start page is loading; its events are not reported
    bool navigated_ = false;  // events are reported from the first real navigation on
    ResultsViewEvents events_;
    SousuoWebViewCallbacks callbacks_{};
};

}  // namespace sousuo::gtk
