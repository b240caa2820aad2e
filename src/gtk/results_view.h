#pragma once
// resultsBrowser: a container that holds the web view. The web view, and with it the web engine's
// processes, is created only when the first navigation needs it, so the collapsed strip costs no
// web process.

#include <gtk/gtk.h>

#include <functional>
#include <string>

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
    /// The web view's widget, or null before the first navigation.
    GtkWidget* webView() const { return webView_; }

    /// Opens the address (UTF-8) and returns at once. The empty address opens a blank page.
    void navigate(const std::string& utf8Address);

private:
    void createWebView();

    GtkWidget* container_;
    GtkWidget* webView_ = nullptr;
    ResultsViewEvents events_;
};

}  // namespace sousuo::gtk
