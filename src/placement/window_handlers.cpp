#include "placement/window_handlers.h"

#include <string_view>

#include "app/code_page.h"
#include "placement/balloon_tip.h"
#include "placement/position_store.h"

namespace sousuo {
namespace {

constexpr std::string_view ResetTip = "返回等待状态";

}  // namespace

void startWindowDrag(AppContext& context) {
    // A press on the caption: the window follows the pointer until the button is released.
    context.window.sendMessageTo(Control::mainWindow, WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

void resetToWaiting(AppContext& context) {
    writeText(context.window, Control::queryEdit, prop::text, Text());
    attachBalloonTip(context, context.window.windowHandleOf(Control::resetButton),
                     fromUtf8(ResetTip), 1, 0);
    // Width first, then height (the created event does it the other way round).
    writeInt(context.window, Control::mainWindow, prop::width, CollapsedSize.width);
    writeInt(context.window, Control::mainWindow, prop::height, CollapsedSize.height);
}

void saveAndExit(AppContext& context) {
    savePosition(context);
    // From here no event reaches a handler, so the will-be-destroyed event does not save again.
    context.desktop.endProgram(0);
}

}  // namespace sousuo
