#include "gtk/gtk_window_access.h"

#include <algorithm>

#include "app/code_page.h"
#include "app/shell.h"
#include "gtk/main_thread.h"

namespace sousuo::gtk {
namespace {

std::int32_t intOf(const PropertyValue& value) {
    const auto* number = std::get_if<std::int32_t>(&value);
    return number ? *number : 0;
}

Text textOf(const PropertyValue& value) {
    const auto* text = std::get_if<Text>(&value);
    return text ? *text : Text();
}

Bytes bytesOfValue(const PropertyValue& value) {
    const auto* bytes = std::get_if<Bytes>(&value);
    return bytes ? *bytes : Bytes();
}

}  // namespace

bool GtkWindowAccess::usable(Control control, std::string_view failureMessage, bool kindSpecific) {
    const bool windowLoaded = window_ && window_->alive();
    const bool controlLoaded = windowLoaded && window_->widgetOf(control) != nullptr;
    if (windowLoaded && controlLoaded) return true;
    if (!onMainThread()) return false;
    if (!windowLoaded) {
        fatal_(failureMessage.empty() ? WindowNotLoaded : failureMessage);
    } else {
        fatal_(kindSpecific || failureMessage.empty() ? ControlWindowNotLoaded : failureMessage);
    }
    return false;
}

PropertyValue GtkWindowAccess::readProperty(Control control, int index) {
    PropertyValue result{std::int32_t{0}};
    runOnMainThread([&] {
        if (usable(control, {}, index >= prop::caption)) result = read(control, index);
    });
    return result;
}

void GtkWindowAccess::writeProperty(Control control, int index, const PropertyValue& value) {
    runOnMainThread([&] {
        if (usable(control, {}, index >= prop::caption)) write(control, index, value);
    });
}

std::intptr_t GtkWindowAccess::windowHandleOf(Control control) {
    std::intptr_t handle = 0;
    runOnMainThread([&] {
        if (usable(control, ControlMissing, false)) {
            handle = reinterpret_cast<std::intptr_t>(window_->widgetOf(control));
        }
    });
    return handle;
}

std::intptr_t GtkWindowAccess::sendMessageTo(Control control, std::uint32_t message,
                                             std::intptr_t first, std::intptr_t /*second*/) {
    runOnMainThread([&] {
        if (!usable(control, ControlMissing, false)) return;
        if (control != Control::mainWindow || message != WM_NCLBUTTONDOWN || first != HTCAPTION) {
            return;
        }
        // A press on the caption: let the window manager move the window with the pointer until
        // the button is released.
        GdkEvent* event = gtk_get_current_event();
        double rootX = 0;
        double rootY = 0;
        guint button = 1;
        if (!event || !gdk_event_get_root_coords(event, &rootX, &rootY)) {
            GdkSeat* seat = gdk_display_get_default_seat(gdk_display_get_default());
            int x = 0;
            int y = 0;
            gdk_device_get_position(gdk_seat_get_pointer(seat), nullptr, &x, &y);
            rootX = x;
            rootY = y;
        }
        if (event) gdk_event_get_button(event, &button);
        gtk_window_begin_move_drag(window_->window(), static_cast<gint>(button ? button : 1),
                                   static_cast<gint>(rootX), static_cast<gint>(rootY),
                                   gtk_get_current_event_time());
        if (event) gdk_event_free(event);
    });
    return 0;
}

PropertyValue GtkWindowAccess::read(Control control, int index) {
    const ControlLayout& entry = layoutOf(control);
    if (index <= prop::height && control == Control::mainWindow) {
        int left = 0;
        int top = 0;
        gtk_window_get_position(window_->window(), &left, &top);
        const auto [width, height] = window_->windowSize();
        const int values[] = {left, top, width, height};
        return std::int32_t{values[index]};
    }
    if (index <= prop::height) {
        const auto [left, top] = window_->controlPlace(control);
        int width = 0;
        int height = 0;
        gtk_widget_get_size_request(window_->widgetOf(control), &width, &height);
        const int values[] = {left, top, width, height};
        return std::int32_t{values[index]};
    }
    if (index == prop::visible) return std::int32_t{gtk_widget_get_visible(window_->widgetOf(control))};
    if (index == prop::disabled) {
        return std::int32_t{!gtk_widget_get_sensitive(window_->widgetOf(control))};
    }
    switch (entry.kind) {
        case ControlKind::window:
            if (index == prop::caption) {
                const auto found = stored_.find({control, index});
                return found == stored_.end() ? PropertyValue{Text(ProgramVersion)} : found->second;
            }
            break;
        case ControlKind::label:
            if (index == prop::caption) return fromUtf8(window_->textBox(control)->caption());
            break;
        case ControlKind::editBox:
            if (index == prop::text) return fromUtf8(gtk_entry_get_text(window_->queryEdit()));
            break;
        case ControlKind::pictureBox:
            if (index == prop::displayMode) {
                return std::int32_t{window_->pictureBox(control)->displayMode()};
            }
            if (index == prop::backColour) {
                const auto found = stored_.find({control, index});
                return found == stored_.end() ? PropertyValue{std::int32_t(ButtonFaceColour)}
                                              : found->second;
            }
            break;
        default: break;
    }
    const auto found = stored_.find({control, index});
    if (found != stored_.end()) return found->second;
    if (index == prop::tag) return Text();
    if (index == prop::mousePointer || (entry.kind == ControlKind::pictureBox && index == prop::picture)) {
        return Bytes();
    }
    return std::int32_t{0};
}

void GtkWindowAccess::write(Control control, int index, const PropertyValue& value) {
    const ControlLayout& entry = layoutOf(control);
    if (index <= prop::top) {
        const std::int32_t edge = clampPosition(intOf(value));
        if (control == Control::mainWindow) {
            int left = 0;
            int top = 0;
            gtk_window_get_position(window_->window(), &left, &top);
            if (index == prop::left) left = edge; else top = edge;
            gtk_window_move(window_->window(), left, top);
        } else {
            auto [left, top] = window_->controlPlace(control);
            if (index == prop::left) left = edge; else top = edge;
            window_->placeControl(control, left, top);
        }
        return;
    }
    if (index <= prop::height) {
        const std::int32_t size = clampSize(intOf(value));
        if (control == Control::mainWindow) {
            if (index == prop::width) window_->setWindowWidth(size); else window_->setWindowHeight(size);
        } else {
            int width = 0;
            int height = 0;
            gtk_widget_get_size_request(window_->widgetOf(control), &width, &height);
            if (index == prop::width) width = size; else height = size;
            window_->sizeControl(control, width, height);
        }
        return;
    }
    if (index == prop::visible) {
        gtk_widget_set_visible(window_->widgetOf(control), intOf(value) != 0);
        return;
    }
    if (index == prop::disabled) {
        gtk_widget_set_sensitive(window_->widgetOf(control), intOf(value) == 0);
        return;
    }
    switch (entry.kind) {
        case ControlKind::window:
            if (index == prop::caption) {
                stored_[{control, index}] = textOf(value);
                gtk_window_set_title(window_->window(), toUtf8(textOf(value)).c_str());
                return;
            }
            break;
        case ControlKind::label:
            if (index == prop::caption) {
                window_->textBox(control)->setCaption(toUtf8(textOf(value)));
                return;
            }
            break;
        case ControlKind::editBox:
            if (index == prop::text) {
                gtk_entry_set_text(window_->queryEdit(), toUtf8(textOf(value)).c_str());
                return;
            }
            break;
        case ControlKind::pictureBox:
            if (index == prop::picture) {
                Bytes bytes = bytesOfValue(value);
                window_->pictureBox(control)->setPicture(bytes);
                stored_[{control, index}] = std::move(bytes);
                return;
            }
            if (index == prop::displayMode) {
                window_->pictureBox(control)->setDisplayMode(intOf(value));
                return;
            }
            if (index == prop::border) {
                stored_[{control, index}] = std::int32_t{std::clamp(intOf(value), 0, 5)};
                return;
            }
            break;
        default: break;
    }
    stored_[{control, index}] = value;
}

}  // namespace sousuo::gtk
