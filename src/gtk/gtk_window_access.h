#pragma once
// The four property operations on the real window. Calls from the start-up worker are handed to
// the window thread and wait there (GTK is not thread-safe); a call that arrives after the window
// is gone is dropped. On the window thread, access to a window that is gone is a fatal error.

#include <functional>
#include <map>
#include <string_view>

#include "app/window_access.h"
#include "gtk/main_window.h"

namespace sousuo::gtk {

/// Shows the fatal-error box for the message (UTF-8) and ends the program with -1.
using FatalErrorReporter = std::function<void(std::string_view utf8Message)>;

class GtkWindowAccess : public WindowAccess {
public:
    explicit GtkWindowAccess(FatalErrorReporter fatal) : fatal_(std::move(fatal)) {}

    /// The window the operations act on; set once it has been created.
    void attach(MainWindow* window) { window_ = window; }

    PropertyValue readProperty(Control control, int index) override;
    void writeProperty(Control control, int index, const PropertyValue& value) override;
    std::intptr_t windowHandleOf(Control control) override;
    std::intptr_t sendMessageTo(Control control, std::uint32_t message, std::intptr_t first,
                                std::intptr_t second) override;

private:
    /// True when the control can be used now. Otherwise: on the window thread a fatal error,
    /// elsewhere false (the call is dropped).
    bool usable(Control control, std::string_view failureMessage, bool kindSpecific);
    PropertyValue read(Control control, int index);
    void write(Control control, int index, const PropertyValue& value);

    FatalErrorReporter fatal_;
    MainWindow* window_ = nullptr;
    // Properties that the toolkit does not hold for us (tags, pointers, borders, colours, the
    // pictures' bytes, the window's caption).
    std::map<std::pair<Control, int>, PropertyValue> stored_;
};

}  // namespace sousuo::gtk
