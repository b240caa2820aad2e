#include "placement/position_store.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <system_error>
#include <vector>

#include "placement/file_attributes.h"
#include "placement/ini_file.h"
#include "placement/number_text.h"
#include "placement/position_file.h"

namespace sousuo {
namespace {

// The names in the file, as GB bytes.
const Text TopSection = "\xC4\xBF\xC2\xBC\xB6\xA5\xB1\xDF";   // 目录顶边
const Text TopKey = "\xCE\xBB\xD6\xC3\xB6\xA5\xB1\xDF";       // 位置顶边
const Text LeftSection = "\xC4\xBF\xC2\xBC\xD7\xF3\xB1\xDF";  // 目录左边
const Text LeftKey = "\xCE\xBB\xD6\xC3\xD7\xF3\xB1\xDF";      // 位置左边

bool overlaps(std::int64_t left, std::int64_t top, std::int64_t width, std::int64_t height,
              const ScreenRect& monitor) {
    return left < std::int64_t{monitor.left} + monitor.width && left + width > monitor.left &&
           top < std::int64_t{monitor.top} + monitor.height && top + height > monitor.top;
}

// A window with no title bar and no task-bar button that opens out of every monitor's sight
// could never be brought back, so such a place is not applied. With no monitor known there is
// nothing to judge by, and the place is applied.
bool showsOnAMonitor(AppContext& context, std::int32_t left, std::int32_t top) {
    const std::vector<ScreenRect> monitors = context.desktop.monitors();
    if (monitors.empty()) return true;
    const std::int32_t width = readInt(context.window, Control::mainWindow, prop::width);
    const std::int32_t height = readInt(context.window, Control::mainWindow, prop::height);
    // The window takes the place as its writes clamp it, and a size of 0 still takes a pixel.
    const std::int64_t placedLeft = clampPosition(left);
    const std::int64_t placedTop = clampPosition(top);
    for (const ScreenRect& monitor : monitors) {
        if (overlaps(placedLeft, placedTop, std::max(width, 1), std::max(height, 1), monitor)) {
            return true;
        }
    }
    return false;
}

}  // namespace

void restorePosition(AppContext& context) {
    const std::string path = positionFilePath(context);
    // Both are read before either is used: one edge alone moves nothing.
    const Text topText = readIniValue(path, TopSection, TopKey);
    const Text leftText = readIniValue(path, LeftSection, LeftKey);
    if (topText.empty() || leftText.empty()) return;

    const std::int32_t top = textToInt(topText);
    const std::int32_t left = textToInt(leftText);
    if (!showsOnAMonitor(context, left, top)) return;
    writeInt(context.window, Control::mainWindow, prop::top, top);
    writeInt(context.window, Control::mainWindow, prop::left, left);
}

void savePosition(AppContext& context) { savePosition(context, {}); }

void savePosition(AppContext& context, const ReplaceStepCheck& check) {
    const std::string path = positionFilePath(context);
    if (path.empty()) return;
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);

    const std::int32_t top = readInt(context.window, Control::mainWindow, prop::top);
    const std::int32_t left = readInt(context.window, Control::mainWindow, prop::left);
    // Both edges in one replacement: no save leaves a file with one new edge and one old.
    writeIniValues(path,
                   {IniSetting{TopSection, TopKey, intToText(top)},
                    IniSetting{LeftSection, LeftKey, intToText(left)}},
                   check);
    setFileAttributes(path, FileHidden);
}

}  // namespace sousuo
