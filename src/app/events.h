#pragma once
// The events that run program code, and the one dispatcher that maps them to handlers.

#include <cstdint>

#include "app/app_context.h"

namespace sousuo {

enum class Event : std::uint8_t {
    created,                  // MainWindow, once, before it is first shown
    willBeDestroyed,          // MainWindow, when destroyed outside the end command
    bannerLeftDown,           // bannerLabel
    dragLeftDown,             // dragLabel
    closeLeftDown,            // closeButton
    resetLeftDown,            // resetButton
    searchLeftDown,           // searchButton
    queryKeyDown,             // queryEdit; keyCode and modifiers
    browserNavigateComplete,  // resultsBrowser
    browserNewWindow,         // resultsBrowser
    browserStatusText,        // resultsBrowser; text (GB18030)
};

struct EventArgs {
    int keyCode = 0;
    int modifiers = 0;
    Text text;
};

/// Runs the event's handler, unless the program is ending (endInProgress above 0): then nothing
/// runs. Window thread only.
void dispatchEvent(AppContext& context, Event event, const EventArgs& args = {});

/// The created event: height 33, width 455, restorePosition, then the start-up worker.
void onMainWindowCreated(AppContext& context);

}  // namespace sousuo
