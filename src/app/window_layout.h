#pragma once
// The window layout: every control's kind, parent, place and size, in the layout order. Places
// are relative to the parent's client area; the window's own place is chosen at creation.

#include <array>
#include <optional>
#include <string_view>

#include "app/controls.h"

namespace sousuo {

enum class ControlKind : std::uint8_t { window, label, groupBox, pictureBox, editBox, webBrowser };

struct ControlLayout {
    Control control;
    std::string_view layoutName;  // the name the layout gives the control (UTF-8)
    ControlKind kind;
    Control parent;  // the window for itself and its direct children
    int left;
    int top;
    int width;
    int height;
    bool tabStop;
    std::string_view accessibleName;  // what the control does, for assistive tools (UTF-8)
};

/// MainWindow first, then its controls in the layout order. A control earlier in the list lies
/// above a later control of the same parent.
inline constexpr std::array<ControlLayout, 9> WindowLayout{{
    {Control::mainWindow, "", ControlKind::window, Control::mainWindow, 50, 50, 455, 33, false, "搜索条"},
    {Control::dragLabel, "标签2", ControlKind::label, Control::toolbarGroup, 424, 9, 28, 25, false, "按我移动"},
    {Control::closeButton, "图片框3", ControlKind::pictureBox, Control::toolbarGroup, 0, 6, 20, 29, false, "关闭"},
    {Control::bannerLabel, "标签1", ControlKind::label, Control::mainWindow, 456, 0, 616, 32, false, "横幅"},
    {Control::resetButton, "图片框2", ControlKind::pictureBox, Control::toolbarGroup, 388, 8, 24, 26, false, "返回等待状态"},
    {Control::searchButton, "图片框1", ControlKind::pictureBox, Control::toolbarGroup, 352, 8, 24, 26, false, "搜索"},
    {Control::queryEdit, "编辑框1", ControlKind::editBox, Control::toolbarGroup, 22, 8, 320, 27, true, "搜索内容"},
    {Control::toolbarGroup, "分组框1", ControlKind::groupBox, Control::mainWindow, 2, -5, 700, 38, false, "工具条"},
    {Control::resultsBrowser, "互联网浏览器1", ControlKind::webBrowser, Control::mainWindow, 4, 33, 1136, 528, true, "搜索结果"},
}};

constexpr const ControlLayout& layoutOf(Control control) {
    for (const ControlLayout& entry : WindowLayout) {
        if (entry.control == control) return entry;
    }
    return WindowLayout[0];
}

/// The control's place in window coordinates (its parent's offset added).
struct WindowPoint {
    int x;
    int y;
};
constexpr WindowPoint windowPlaceOf(Control control) {
    const ControlLayout& entry = layoutOf(control);
    if (entry.parent == Control::mainWindow) return {entry.left, entry.top};
    const ControlLayout& parent = layoutOf(entry.parent);
    return {parent.left + entry.left, parent.top + entry.top};
}

}  // namespace sousuo
