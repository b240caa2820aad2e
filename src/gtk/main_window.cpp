#include "gtk/main_window.h"

#include <gdk/gdkkeysyms.h>
#include <gdk/gdkx.h>

#include <system_error>
#include <thread>

#include "app/code_page.h"

namespace sousuo::gtk {
namespace {

// Entries of the default theme are at least 34 pixels tall; the query field must fit 27. The
// group box is a plain frame whose top edge lies above the window.
constexpr const char* WindowCss = R"css(
#queryEdit {
  min-height: 0; padding: 0 3px; margin: 0;
  border-width: 2px; border-style: inset; border-radius: 0;
  border-color: #808080 #ffffff #ffffff #808080;
  background: #ffffff; color: #000000; box-shadow: none;
}
#toolbarGroup > frame > border { border: 1px solid #a0a0a0; border-radius: 0; }
)css";

void installCss() {
    GtkCssProvider* provider = gtk_css_provider_new();
    gtk_css_provider_load_from_data(provider, WindowCss, -1, nullptr);
    gtk_style_context_add_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(provider),
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    g_object_unref(provider);
}

GdkRectangle primaryMonitorArea() {
    GdkDisplay* display = gdk_display_get_default();
    GdkMonitor* monitor = gdk_display_get_primary_monitor(display);
    if (!monitor) monitor = gdk_display_get_monitor(display, 0);
    GdkRectangle area{0, 0, 0, 0};
    if (monitor) gdk_monitor_get_geometry(monitor, &area);
    return area;
}

// Virtual-key codes of the keys the program tells apart; Enter on either keyboard part is 13.
int keyCodeOf(const GdkEventKey* event) {
    switch (event->keyval) {
        case GDK_KEY_Return:
        case GDK_KEY_KP_Enter:
        case GDK_KEY_ISO_Enter: return 13;
        case GDK_KEY_Escape: return 27;
        case GDK_KEY_Tab: return 9;
        case GDK_KEY_BackSpace: return 8;
        case GDK_KEY_F1: return 112;
        default: break;
    }
    const guint upper = gdk_keyval_to_upper(event->keyval);
    return upper < 0x80 ? static_cast<int>(upper) : 0;
}

int modifiersOf(guint state) {
    return ((state & GDK_SHIFT_MASK) ? 1 : 0) | ((state & GDK_CONTROL_MASK) ? 2 : 0) |
           ((state & GDK_MOD1_MASK) ? 4 : 0);
}

}  // namespace

MainWindow::MainWindow(EventSink sink, std::function<void()> warmUp)
    : sink_(std::move(sink)), warmUp_(std::move(warmUp)) {
    installCss();
    window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_widget_set_name(window_, "mainWindow");
    gtk_window_set_title(GTK_WINDOW(window_), ProgramVersion.data());
    gtk_window_set_decorated(GTK_WINDOW(window_), FALSE);
    gtk_window_set_keep_above(GTK_WINDOW(window_), TRUE);
    gtk_window_set_skip_taskbar_hint(GTK_WINDOW(window_), TRUE);
    gtk_window_set_skip_pager_hint(GTK_WINDOW(window_), TRUE);
    gtk_window_set_resizable(GTK_WINDOW(window_), FALSE);

    // A GtkLayout does not ask for the size of its children, so the window is exactly the size
    // the program writes even though the banner and the browser lie outside the strip.
    layout_ = gtk_layout_new(nullptr, nullptr);
    gtk_widget_set_size_request(layout_, width_, height_);
    gtk_container_add(GTK_CONTAINER(window_), layout_);
    widgets_[Control::mainWindow] = window_;

    const GdkRectangle screen = primaryMonitorArea();
    gtk_window_move(GTK_WINDOW(window_), screen.x + (screen.width - CollapsedSize.width) / 2,
                    screen.y + (screen.height - CollapsedSize.height) / 2);

    buildControls();
    connectEvents();
    gtk_widget_show_all(layout_);
}

MainWindow::~MainWindow() {
    if (window_) gtk_widget_destroy(window_);
}

void MainWindow::buildControls() {
    const auto put = [this](Control control, GtkWidget* widget) {
        const ControlLayout& entry = layoutOf(control);
        const WindowPoint place = windowPlaceOf(control);
        gtk_widget_set_name(widget, controlName(control).data());
        gtk_widget_set_size_request(widget, entry.width, entry.height);
        gtk_layout_put(GTK_LAYOUT(layout_), widget, place.x, place.y);
        atk_object_set_name(gtk_widget_get_accessible(widget), entry.accessibleName.data());
        widgets_[control] = widget;
    };

    // Children are drawn in the order they are added, so the bottom of the stack goes in first:
    // the browser, the group box, the group's children from the bottom up, the banner on top.
    const ControlLayout& browser = layoutOf(Control::resultsBrowser);
    results_ = std::make_unique<ResultsView>(
        browser.width, browser.height,
        ResultsViewEvents{
            .statusText =
                [this](const std::string& uri) {
                    EventArgs args;
                    args.text = fromUtf8(uri);
                    sink_(Event::browserStatusText, args);
                },
            .newWindow = [this] { sink_(Event::browserNewWindow, {}); },
            .navigationCommitted = [this] { sink_(Event::browserNavigateComplete, {}); },
        });
    put(Control::resultsBrowser, results_->widget());

    // The frame sits in a window of its own, so that it stacks with the other controls (which all
    // have windows) in the layout order: the banner covers its right end.
    group_ = gtk_event_box_new();
    gtk_event_box_set_visible_window(GTK_EVENT_BOX(group_), TRUE);
    gtk_container_add(GTK_CONTAINER(group_), gtk_frame_new(nullptr));
    put(Control::toolbarGroup, group_);

    queryEdit_ = gtk_entry_new();
    gtk_entry_set_has_frame(GTK_ENTRY(queryEdit_), TRUE);
    put(Control::queryEdit, queryEdit_);

    for (Control control : {Control::searchButton, Control::resetButton, Control::closeButton}) {
        const ControlLayout& entry = layoutOf(control);
        auto box = std::make_unique<PictureBox>(entry.width, entry.height);
        put(control, box->widget());
        pictures_[control] = std::move(box);
    }

    TextBoxStyle dragStyle;
    dragStyle.font = "Sans 9px";
    const ControlLayout& drag = layoutOf(Control::dragLabel);
    auto dragLabel = std::make_unique<TextBox>(drag.width, drag.height, dragStyle);
    dragLabel->setCaption("按我移动");
    put(Control::dragLabel, dragLabel->widget());
    labels_[Control::dragLabel] = std::move(dragLabel);

    TextBoxStyle bannerStyle;
    bannerStyle.foreground[0] = 1.0;  // RGB(255, 0, 255) on RGB(216, 216, 0)
    bannerStyle.foreground[1] = 0.0;
    bannerStyle.foreground[2] = 1.0;
    bannerStyle.ownBackground = true;
    bannerStyle.background[0] = 216 / 255.0;
    bannerStyle.background[1] = 216 / 255.0;
    bannerStyle.background[2] = 0.0;
    bannerStyle.border = true;
    bannerStyle.font = "宋体, SimSun, Noto Sans CJK SC, WenQuanYi Micro Hei, Sans 16px";
    bannerStyle.centred = true;
    const ControlLayout& banner = layoutOf(Control::bannerLabel);
    auto bannerLabel = std::make_unique<TextBox>(banner.width, banner.height, bannerStyle);
    put(Control::bannerLabel, bannerLabel->widget());
    labels_[Control::bannerLabel] = std::move(bannerLabel);
}

void MainWindow::connectEvents() {
    g_signal_connect(window_, "delete-event", G_CALLBACK(onDelete), this);
    g_signal_connect(window_, "destroy", G_CALLBACK(onDestroy), this);
    g_signal_connect(window_, "configure-event", G_CALLBACK(onConfigure), this);

    g_signal_connect(queryEdit_, "key-press-event",
                     G_CALLBACK(+[](GtkWidget*, GdkEventKey* key, gpointer self) -> gboolean {
                         static_cast<MainWindow*>(self)->warmUpResults();
                         EventArgs args;
                         args.keyCode = keyCodeOf(key);
                         args.modifiers = modifiersOf(key->state);
                         static_cast<MainWindow*>(self)->sink_(Event::queryKeyDown, args);
                         return FALSE;  // the key goes on to the query field
                     }),
                     this);

    // A left press (not the release) on these controls runs their handler.
    static constexpr std::pair<Control, Event> Presses[] = {
        {Control::bannerLabel, Event::bannerLeftDown}, {Control::dragLabel, Event::dragLeftDown},
        {Control::closeButton, Event::closeLeftDown},  {Control::resetButton, Event::resetLeftDown},
        {Control::searchButton, Event::searchLeftDown},
    };
    presses_.reserve(std::size(Presses));  // the signals keep pointers into it
    for (const auto& [control, event] : Presses) {
        PressBinding* binding = &presses_.emplace_back(PressBinding{this, event});
        g_signal_connect(
            widgets_[control], "button-press-event",
            G_CALLBACK(+[](GtkWidget*, GdkEventButton* press, gpointer data) -> gboolean {
                auto* pressBinding = static_cast<PressBinding*>(data);
                if (press->type == GDK_BUTTON_PRESS && press->button == 1) {
                    pressBinding->window->sink_(pressBinding->event, {});
                }
                return FALSE;
            }),
            binding);
    }
}

gboolean MainWindow::onConfigure(GtkWidget*, GdkEvent*, gpointer self) {
    auto* mainWindow = static_cast<MainWindow*>(self);
    if (mainWindow->holdTries_ <= 0 || !mainWindow->window_) return FALSE;
    int left = 0;
    int top = 0;
    gtk_window_get_position(GTK_WINDOW(mainWindow->window_), &left, &top);
    if (left == mainWindow->heldLeft_ && top == mainWindow->heldTop_) {
        mainWindow->holdTries_ = 0;
        return FALSE;
    }
    --mainWindow->holdTries_;
    // A plain move straight on the native window: the window manager grants a move that leaves the
    // window partly on the screen.
    gdk_window_move(gtk_widget_get_window(mainWindow->window_), mainWindow->heldLeft_,
                    mainWindow->heldTop_);
    return FALSE;
}

void MainWindow::warmUpResults() {
    if (warmUpStarted_) return;
    warmUpStarted_ = true;
    // The user has started typing a query: start the web engine now, once the key has been
    // handled, so that the results of the coming search show without the engine's start-up. The
    // web view module is linked here, on the window thread: the web engine takes the thread that
    // links it for its main thread. The program's own warm-up then runs on a thread of its own.
    g_idle_add(
        +[](gpointer self) -> gboolean {
            auto* mainWindow = static_cast<MainWindow*>(self);
            if (!mainWindow->alive()) return G_SOURCE_REMOVE;
            mainWindow->results_->prepare();
            if (mainWindow->warmUp_) {
                try {
                    std::thread(mainWindow->warmUp_).detach();
                } catch (const std::system_error&) {
                    // No thread: whatever the warm-up readies is readied on first use instead.
                }
            }
            return G_SOURCE_REMOVE;
        },
        this);
}

gboolean MainWindow::onDelete(GtkWidget*, GdkEvent*, gpointer self) {
    // A close request from the system (Alt+F4) always goes on to destroy the window. The window
    // is reported as about to be destroyed now, while it is still on the screen where it stands:
    // GTK hides a window before it emits its destroy signal.
    auto* mainWindow = static_cast<MainWindow*>(self);
    if (!mainWindow->destroyReported_) {
        mainWindow->destroyReported_ = true;
        mainWindow->sink_(Event::willBeDestroyed, {});
    }
    return FALSE;
}

void MainWindow::onDestroy(GtkWidget*, gpointer self) {
    auto* mainWindow = static_cast<MainWindow*>(self);
    if (!mainWindow->destroyReported_) {
        mainWindow->destroyReported_ = true;
        mainWindow->sink_(Event::willBeDestroyed, {});
    }
    mainWindow->window_ = nullptr;
    mainWindow->widgets_.clear();
    if (gtk_main_level() > 0) gtk_main_quit();
}

GtkWidget* MainWindow::widgetOf(Control control) const {
    const auto found = widgets_.find(control);
    return found == widgets_.end() ? nullptr : found->second;
}

std::optional<Control> MainWindow::controlOf(GtkWidget* widget) const {
    for (const auto& [control, candidate] : widgets_) {
        if (candidate == widget) return control;
    }
    return std::nullopt;
}

PictureBox* MainWindow::pictureBox(Control control) const {
    const auto found = pictures_.find(control);
    return found == pictures_.end() ? nullptr : found->second.get();
}

TextBox* MainWindow::textBox(Control control) const {
    const auto found = labels_.find(control);
    return found == labels_.end() ? nullptr : found->second.get();
}

void MainWindow::placeControl(Control control, int left, int top) {
    GtkWidget* widget = widgetOf(control);
    if (!widget || control == Control::mainWindow) return;
    const ControlLayout& entry = layoutOf(control);
    int x = left;
    int y = top;
    if (entry.parent != Control::mainWindow) {
        const auto [parentLeft, parentTop] = controlPlace(entry.parent);
        x += parentLeft;
        y += parentTop;
    }
    gtk_layout_move(GTK_LAYOUT(layout_), widget, x, y);
}

void MainWindow::sizeControl(Control control, int width, int height) {
    if (GtkWidget* widget = widgetOf(control); widget && control != Control::mainWindow) {
        gtk_widget_set_size_request(widget, width, height);
    }
}

std::pair<int, int> MainWindow::controlPlace(Control control) const {
    GtkWidget* widget = widgetOf(control);
    if (!widget) return {0, 0};
    int x = 0;
    int y = 0;
    gtk_container_child_get(GTK_CONTAINER(layout_), widget, "x", &x, "y", &y, nullptr);
    const ControlLayout& entry = layoutOf(control);
    if (entry.parent != Control::mainWindow) {
        const auto [parentLeft, parentTop] = controlPlace(entry.parent);
        x -= parentLeft;
        y -= parentTop;
    }
    return {x, y};
}

void MainWindow::setWindowSize(int width, int height) {
    // X11 has no empty windows: a size of 0 is shown as 1.
    width_ = width;
    height_ = height;
    gtk_widget_set_size_request(layout_, std::max(width, 1), std::max(height, 1));
    gtk_window_resize(GTK_WINDOW(window_), std::max(width, 1), std::max(height, 1));
    if (gtk_widget_get_mapped(window_)) {
        // The top-left corner stays. Some window managers pull a window that grows past the
        // screen's edge back onto the screen; onConfigure moves it back to its corner.
        gtk_window_get_position(GTK_WINDOW(window_), &heldLeft_, &heldTop_);
        holdTries_ = 3;
    }
}

void MainWindow::show() {
    // Shown the normal way, the window is also activated. GTK would mark a window shown before any
    // user input with user time 0, which tells the window manager not to focus it; the start of
    // the program is the user's act, so the window carries the server's present time.
    gtk_widget_realize(window_);
    if (GdkWindow* native = gtk_widget_get_window(window_); native && GDK_IS_X11_WINDOW(native)) {
        gdk_x11_window_set_user_time(native, gdk_x11_get_server_time(native));
    }
    gtk_widget_show(window_);
    gtk_window_present(GTK_WINDOW(window_));
    gtk_widget_grab_focus(queryEdit_);
}

void MainWindow::destroy() {
    if (window_) gtk_widget_destroy(window_);
}

}  // namespace sousuo::gtk
