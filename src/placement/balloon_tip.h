#pragma once
// Hover tips on controls: one shared tip window for the process, one more tool per call.

#include <cstdint>

#include "app/app_context.h"

namespace sousuo {

/// Registers the control (by its window handle) as a tool of the process's tip window with the
/// text. The tip shows when the pointer rests on the control, not now. Handle 0: nothing, result 0.
/// The first call with a non-zero handle creates the tip window, its balloon style fixed for good.
/// Flags count as true only when exactly 1. Window thread.
std::int32_t attachBalloonTip(AppContext& context, std::intptr_t controlHandle, const Text& text,
                              int balloon, int centred);

}  // namespace sousuo
