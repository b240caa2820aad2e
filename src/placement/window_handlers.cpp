#include "placement/window_handlers.h"
// Placeholder until this subsystem lands.
namespace sousuo {} // namespace sousuo
namespace sousuo {
void startWindowDrag(AppContext& context) { context.window.sendMessageTo(Control::mainWindow, WM_NCLBUTTONDOWN, HTCAPTION, 0); }
void resetToWaiting(AppContext&) {}
void saveAndExit(AppContext& context) { context.desktop.endProgram(0); }
}  // namespace sousuo
