#include "placement/balloon_tip.h"

namespace sousuo {

std::int32_t attachBalloonTip(AppContext& context, std::intptr_t controlHandle, const Text& text,
                              int balloon, int centred) {
    if (controlHandle == 0) return 0;
    TipState& tips = context.tips;
    if (!tips.created) {
        // The style is fixed here, by the first call that gets this far; a failed creation is
        // tried again by the next call.
        if (!context.desktop.createTipWindow(balloon == 1)) return 0;
        tips.created = true;
        tips.balloon = balloon == 1;
    }
    // Tools are only ever added, one more for every call, also for the same control.
    context.desktop.addTipTool(controlHandle, text, centred == 1);
    ++tips.toolCount;
    return 1;
}

}  // namespace sousuo
