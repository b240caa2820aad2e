#pragma once
// The four operations through which every handler reaches MainWindow and its controls. The real
// implementation lives in src/gtk/; tests use a fake that records what happens.

#include <cstdint>
#include <variant>

#include "app/controls.h"
#include "app/text.h"

namespace sousuo {

/// A property value: an integer (also Booleans and colours), a Text or a Byte buffer. The type is
/// fixed by the property index and the control's kind.
using PropertyValue = std::variant<std::int32_t, Text, Bytes>;

/// Window messages the program sends.
inline constexpr std::uint32_t WM_NCLBUTTONDOWN = 0xA1;
inline constexpr std::intptr_t HTCAPTION = 2;

class WindowAccess {
public:
    virtual ~WindowAccess() = default;

    /// Reads a property. Positions and sizes are read from the native window each time.
    /// Any thread: calls from other threads are handed to the window thread and wait for it.
    virtual PropertyValue readProperty(Control control, int index) = 0;

    /// Writes a property; the control keeps its own copy of a Text or Byte buffer. Out-of-range
    /// values are clamped. Any thread: calls from other threads are applied on the window thread,
    /// in order, and the caller waits until they have been applied.
    virtual void writeProperty(Control control, int index, const PropertyValue& value) = 0;

    /// A non-zero integer naming the control's native widget for as long as it exists.
    virtual std::intptr_t windowHandleOf(Control control) = 0;

    /// Sends a window message to the control and gives its result. Only the caption drag
    /// (WM_NCLBUTTONDOWN with HTCAPTION) means anything; every other message gives 0.
    virtual std::intptr_t sendMessageTo(Control control, std::uint32_t message, std::intptr_t first,
                                        std::intptr_t second) = 0;
};

// Typed helpers over the variant. A value of the wrong type reads as zero or empty.
std::int32_t readInt(WindowAccess& window, Control control, int index);
Text readText(WindowAccess& window, Control control, int index);
inline void writeInt(WindowAccess& window, Control control, int index, std::int32_t value) {
    window.writeProperty(control, index, PropertyValue{value});
}
inline void writeText(WindowAccess& window, Control control, int index, const Text& value) {
    window.writeProperty(control, index, PropertyValue{value});
}
inline void writeBytes(WindowAccess& window, Control control, int index, const Bytes& value) {
    window.writeProperty(control, index, PropertyValue{value});
}

/// Clamping of position and size writes.
std::int32_t clampPosition(std::int32_t value);
std::int32_t clampSize(std::int32_t value);
std::int32_t clampDisplayMode(std::int32_t value);

}  // namespace sousuo
