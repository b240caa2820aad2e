#pragma once
// The window, its eight controls and the property indexes the program uses.

#include <array>
#include <cstdint>
#include <string_view>

namespace sousuo {

enum class Control : std::uint8_t {
    mainWindow,
    bannerLabel,
    toolbarGroup,
    dragLabel,
    closeButton,
    resetButton,
    searchButton,
    queryEdit,
    resultsBrowser,
};

/// Every control, in the layout order (the window first).
inline constexpr std::array<Control, 9> AllControls = {
    Control::mainWindow,   Control::dragLabel,    Control::closeButton,
    Control::bannerLabel,  Control::resetButton,  Control::searchButton,
    Control::queryEdit,    Control::toolbarGroup, Control::resultsBrowser,
};

std::string_view controlName(Control control);

/// Property indexes. 0 to 7 are common to every kind; from 8 on they depend on the kind.
namespace prop {
inline constexpr int left = 0;
inline constexpr int top = 1;
inline constexpr int width = 2;
inline constexpr int height = 3;
inline constexpr int tag = 4;
inline constexpr int visible = 5;
inline constexpr int disabled = 6;
inline constexpr int mousePointer = 7;
inline constexpr int caption = 8;  // window caption, label caption
inline constexpr int text = 8;     // edit-box content
inline constexpr int border = 8;   // picture box
inline constexpr int backColour = 9;
inline constexpr int picture = 10;
inline constexpr int displayMode = 11;
inline constexpr int playAnimation = 12;
}  // namespace prop

struct Size {
    int width;
    int height;
};

inline constexpr Size CollapsedSize{455, 33};
inline constexpr Size ExpandedSize{1142, 567};

/// The version marker the program carries: MainWindow's caption.
inline constexpr std::string_view ProgramVersion = "1.0";

/// Colour value meaning "the system colour of button faces".
inline constexpr std::uint32_t ButtonFaceColour = 0xFF000000u;

}  // namespace sousuo
