#pragma once
// MainWindow and its eight controls, built from the window layout, with their events mapped to the
// program's events. Window thread only.

#include <gtk/gtk.h>

#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "app/events.h"
#include "app/window_layout.h"
#include "gtk/picture_box.h"
#include "gtk/results_view.h"
#include "gtk/text_box.h"

namespace sousuo::gtk {

/// Receives every event that runs program code; the program passes it to dispatchEvent.
using EventSink = std::function<void(Event, const EventArgs&)>;

class MainWindow {
public:
    /// Creates the window hidden at 455 x 33, centred on the primary monitor, with its controls.
    /// warmUp runs on a thread of its own when the user starts typing, once the web engine has
    /// been started (the program readies its downloads for the coming search).
    explicit MainWindow(EventSink sink, std::function<void()> warmUp = {});
    ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    /// False once the native window has been destroyed.
    bool alive() const { return window_ != nullptr; }
    GtkWindow* window() const { return GTK_WINDOW(window_); }

    /// The native widget of a control (the window itself for mainWindow); null once destroyed.
    GtkWidget* widgetOf(Control control) const;
    /// The control whose native widget is this one, if any.
    std::optional<Control> controlOf(GtkWidget* widget) const;

    PictureBox* pictureBox(Control control) const;
    TextBox* textBox(Control control) const;
    GtkEntry* queryEdit() const { return GTK_ENTRY(queryEdit_); }
    ResultsView& results() const { return *results_; }

    /// Moves or sizes a child control within the window (parent-relative coordinates).
    void placeControl(Control control, int left, int top);
    void sizeControl(Control control, int width, int height);
    /// A child control's place relative to its parent, as laid out now.
    std::pair<int, int> controlPlace(Control control) const;

    /// Sets the window's width or height exactly; the other dimension and the top-left corner stay.
    void setWindowWidth(int width) { setWindowSize(width, height_); }
    void setWindowHeight(int height) { setWindowSize(width_, height); }
    /// The size the window was last given (there is no way for the user to resize it).
    std::pair<int, int> windowSize() const { return {width_, height_}; }

    /// Shows the window and puts the keyboard focus into queryEdit.
    void show();
    /// Destroys the window; its destroy event is still reported to the sink.
    void destroy();

private:
    void setWindowSize(int width, int height);
    /// Starts the web engine in the background the first time the user types a key.
    void warmUpResults();
    void buildControls();
    void connectEvents();
    static gboolean onDelete(GtkWidget* widget, GdkEvent* event, gpointer self);
    static void onDestroy(GtkWidget* widget, gpointer self);
    static gboolean onConfigure(GtkWidget* widget, GdkEvent* event, gpointer self);

    struct PressBinding {
        MainWindow* window;
        Event event;
    };

    EventSink sink_;
    std::function<void()> warmUp_;
    std::vector<PressBinding> presses_;  // what each control's press signal reports
    GtkWidget* window_ = nullptr;
    GtkWidget* layout_ = nullptr;
    GtkWidget* group_ = nullptr;
    GtkWidget* queryEdit_ = nullptr;
    std::map<Control, std::unique_ptr<PictureBox>> pictures_;
    std::map<Control, std::unique_ptr<TextBox>> labels_;
    std::unique_ptr<ResultsView> results_;
    std::map<Control, GtkWidget*> widgets_;
    int width_ = CollapsedSize.width;
    int height_ = CollapsedSize.height;
    // The corner a size change keeps, and how many times more it may be put back there.
    int heldLeft_ = 0;
    int heldTop_ = 0;
    int holdTries_ = 0;
    bool warmUpStarted_ = false;
    bool destroyReported_ = false;  // the will-be-destroyed event comes at most once
};

}  // namespace sousuo::gtk
