#include "app/window_access.h"

#include <algorithm>

namespace sousuo {

std::int32_t readInt(WindowAccess& window, Control control, int index) {
    const PropertyValue value = window.readProperty(control, index);
    if (const auto* number = std::get_if<std::int32_t>(&value)) return *number;
    return 0;
}

Text readText(WindowAccess& window, Control control, int index) {
    PropertyValue value = window.readProperty(control, index);
    if (auto* text = std::get_if<Text>(&value)) return std::move(*text);
    return {};
}

std::int32_t clampPosition(std::int32_t value) { return std::clamp(value, -32627, 32627); }
std::int32_t clampSize(std::int32_t value) { return std::clamp(value, 0, 32627); }
std::int32_t clampDisplayMode(std::int32_t value) { return std::clamp(value, 0, 2); }

}  // namespace sousuo
