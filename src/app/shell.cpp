#include "app/shell.h"

#include <algorithm>

namespace sousuo {

void EndRoutines::add(EndRoutine routine) {
    if (std::find(routines_.begin(), routines_.end(), routine) == routines_.end()) {
        routines_.push_back(routine);
    }
}

void EndRoutines::runAll(AppContext& context) {
    for (std::size_t i = 0; i < routines_.size(); ++i) {
        routines_[i](context, static_cast<std::int32_t>(i));
    }
    routines_.clear();
}

void releaseGlobalTexts(AppContext& context, std::int32_t /*position*/) { context.texts.release(); }

void runEndSequence(AppContext& context, EndRoutines& routines, const EndSequenceSteps& steps) {
    context.endInProgress.fetch_add(1);
    if (steps.releaseLayout) steps.releaseLayout();
    routines.runAll(context);
    if (steps.destroyWindows) steps.destroyWindows();
}

std::string fatalErrorText(std::int32_t code, std::string_view utf8Message) {
    std::string text = "运行时出错!\r\n\r\n";
    if (code != 0) {
        text += "错误代码：";
        text += std::to_string(code);
        text += "\r\n\r\n";
    }
    if (!utf8Message.empty()) {
        text += "错误信息：";
        text += utf8Message;
        text += "\r\n";
    }
    return text;
}

}  // namespace sousuo
