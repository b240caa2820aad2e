#include "gtk/gtk_desktop.h"

#include <gio/gio.h>
#include <unistd.h>

#include <condition_variable>
#include <mutex>

#include "app/code_page.h"
#include "gtk/gobject_ptr.h"
#include "gtk/main_thread.h"

namespace sousuo::gtk {
namespace {

// Tips in the balloon style: rounded, with a soft yellow face like a speech balloon.
constexpr const char* BalloonCss = R"css(
tooltip { border-radius: 10px; padding: 6px 10px; }
tooltip.background { background-color: #ffffe1; border: 1px solid #767676; }
tooltip label { color: #000000; }
)css";

}  // namespace

void runMessageBox(const std::string& text, const std::string& title, GtkMessageType type) {
    GtkWidget* dialog = gtk_message_dialog_new(nullptr, GtkDialogFlags{}, type, GTK_BUTTONS_OK,
                                               "%s", text.c_str());
    gtk_window_set_title(GTK_WINDOW(dialog), title.c_str());
    gtk_window_set_keep_above(GTK_WINDOW(dialog), TRUE);
    bool closed = false;
    g_signal_connect(dialog, "response", G_CALLBACK(+[](GtkDialog*, gint, gpointer done) {
                         *static_cast<bool*>(done) = true;
                     }),
                     &closed);
    gtk_widget_show_all(dialog);
    // A loop of our own, not a modal one: the strip keeps answering while the box is open.
    while (!closed) gtk_main_iteration();
    gtk_widget_destroy(dialog);
}

void GtkDesktop::navigateBrowser(const Text& address) {
    if (window_ && window_->alive()) window_->results().navigate(toUtf8(address));
}

bool GtkDesktop::createTipWindow(bool balloon) {
    if (!balloon) return true;  // the toolkit's plain tips
    GtkCssProvider* provider = gtk_css_provider_new();
    gtk_css_provider_load_from_data(provider, BalloonCss, -1, nullptr);
    gtk_style_context_add_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(provider),
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    g_object_unref(provider);
    return true;
}

void GtkDesktop::addTipTool(std::intptr_t controlHandle, const Text& text, bool /*centred*/) {
    if (!window_ || !window_->alive()) return;
    auto* widget = reinterpret_cast<GtkWidget*>(controlHandle);
    if (!window_->controlOf(widget)) return;  // not one of our controls: no tool
    gtk_widget_set_tooltip_text(widget, toUtf8(text).c_str());
}

void GtkDesktop::showMessageBox(const Text& text, const Text& title) {
    const std::string utf8Text = toUtf8(text);
    const std::string utf8Title = toUtf8(title);
    if (onMainThread()) {
        runMessageBox(utf8Text, utf8Title, GTK_MESSAGE_OTHER);
        return;
    }
    // The box belongs to the window thread (GTK is not thread-safe); this thread waits until the
    // user has closed it, as a modal box would make it. The wait lives on this stack until then.
    struct Wait {
        std::mutex mutex;
        std::condition_variable closed;
        bool done = false;
    } wait;
    runOnMainThread([&] {
        GtkWidget* dialog = gtk_message_dialog_new(nullptr, GtkDialogFlags{}, GTK_MESSAGE_OTHER,
                                                   GTK_BUTTONS_OK, "%s", utf8Text.c_str());
        gtk_window_set_title(GTK_WINDOW(dialog), utf8Title.c_str());
        gtk_window_set_keep_above(GTK_WINDOW(dialog), TRUE);
        g_signal_connect(dialog, "response", G_CALLBACK(+[](GtkDialog* box, gint, gpointer data) {
                             auto* pending = static_cast<Wait*>(data);
                             gtk_widget_destroy(GTK_WIDGET(box));
                             {
                                 const std::lock_guard lock(pending->mutex);
                                 pending->done = true;
                             }
                             pending->closed.notify_one();
                         }),
                         &wait);
        gtk_widget_show_all(dialog);
    });
    std::unique_lock lock(wait.mutex);
    wait.closed.wait(lock, [&] { return wait.done; });
}

bool GtkDesktop::openUri(const std::string& uri) {
    bool opened = false;
    runOnMainThread([&] {
        GError* raw = nullptr;
        opened = g_app_info_launch_default_for_uri(uri.c_str(), nullptr, &raw);
        const GErrorPtr error(raw);
    });
    return opened;
}

std::vector<ScreenRect> GtkDesktop::monitors() {
    std::vector<ScreenRect> areas;
    runOnMainThread([&] {
        GdkDisplay* display = gdk_display_get_default();
        GdkMonitor* primary = gdk_display_get_primary_monitor(display);
        const int count = gdk_display_get_n_monitors(display);
        for (int i = 0; i < count; ++i) {
            GdkMonitor* monitor = gdk_display_get_monitor(display, i);
            GdkRectangle area;
            gdk_monitor_get_geometry(monitor, &area);
            const ScreenRect rect{area.x, area.y, area.width, area.height};
            if (monitor == primary) {
                areas.insert(areas.begin(), rect);
            } else {
                areas.push_back(rect);
            }
        }
    });
    return areas;
}

void GtkDesktop::endProgram(int exitCode) {
    if (onMainThread()) {
        endOnMainThread_(exitCode);
        return;
    }
    // Hand the end to the window thread; the process ends there, so this thread waits for good.
    postToMainThread([this, exitCode] { endOnMainThread_(exitCode); });
    for (;;) pause();
}

}  // namespace sousuo::gtk
