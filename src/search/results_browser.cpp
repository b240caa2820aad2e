#include "search/results_browser.h"
// Placeholder until this subsystem lands.
namespace sousuo {} // namespace sousuo
namespace sousuo {
void onBrowserStatusText(AppContext& context, const Text& statusText) { context.texts.lastStatusText = statusText; }
void onBrowserNewWindow(AppContext&) {}
void onBrowserNavigateComplete(AppContext&) {}
}  // namespace sousuo
