#include "app/events.h"

#include <array>

#include "placement/position_store.h"
#include "placement/window_handlers.h"
#include "remote/banner.h"
#include "search/results_browser.h"
#include "search/search_command.h"

namespace sousuo {
namespace {

using Handler = void (*)(AppContext&, const EventArgs&);

struct Binding {
    Event event;
    Handler handler;
};

// One row per event; adding an event is a change of this table alone.
constexpr std::array<Binding, 11> EventTable{{
    {Event::created, [](AppContext& c, const EventArgs&) { onMainWindowCreated(c); }},
    {Event::willBeDestroyed, [](AppContext& c, const EventArgs&) { savePosition(c); }},
    {Event::bannerLeftDown, [](AppContext& c, const EventArgs&) { openBannerLink(c); }},
    {Event::dragLeftDown, [](AppContext& c, const EventArgs&) { startWindowDrag(c); }},
    {Event::closeLeftDown, [](AppContext& c, const EventArgs&) { saveAndExit(c); }},
    {Event::resetLeftDown, [](AppContext& c, const EventArgs&) { resetToWaiting(c); }},
    {Event::searchLeftDown, [](AppContext& c, const EventArgs&) { runSearch(c); }},
    {Event::queryKeyDown,
     [](AppContext& c, const EventArgs& a) { onQueryKeyDown(c, a.keyCode, a.modifiers); }},
    {Event::browserNavigateComplete,
     [](AppContext& c, const EventArgs&) { onBrowserNavigateComplete(c); }},
    {Event::browserNewWindow, [](AppContext& c, const EventArgs&) { onBrowserNewWindow(c); }},
    {Event::browserStatusText,
     [](AppContext& c, const EventArgs& a) { onBrowserStatusText(c, a.text); }},
}};

}  // namespace

void dispatchEvent(AppContext& context, Event event, const EventArgs& args) {
    if (context.endInProgress.load() > 0) return;
    for (const Binding& binding : EventTable) {
        if (binding.event == event) {
            binding.handler(context, args);
            return;
        }
    }
}

void onMainWindowCreated(AppContext& context) {
    writeInt(context.window, Control::mainWindow, prop::height, CollapsedSize.height);
    writeInt(context.window, Control::mainWindow, prop::width, CollapsedSize.width);
    restorePosition(context);
    if (context.startStartupWorker) context.startStartupWorker();
}

}  // namespace sousuo
