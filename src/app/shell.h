#pragma once
// The life of the process apart from the toolkit: the end routines, the end sequence's order and
// the fatal-error text. src/gtk/ drives these from the real main loop.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/app_context.h"

namespace sousuo {

using EndRoutine = void (*)(AppContext&, std::int32_t);

/// The ordered list of end-of-program routines; a routine is listed at most once.
class EndRoutines {
public:
    void add(EndRoutine routine);
    /// Runs every routine in the order added, each with its position in the list; then empties it.
    void runAll(AppContext& context);
    void clear() { routines_.clear(); }
    std::size_t size() const { return routines_.size(); }

private:
    std::vector<EndRoutine> routines_;
};

/// The one end routine the program adds: releases encodedQuery, lastStatusText and bannerLink.
void releaseGlobalTexts(AppContext& context, std::int32_t position);

/// The toolkit's share of the end sequence.
struct EndSequenceSteps {
    std::function<void()> releaseLayout;
    std::function<void()> destroyWindows;
};

/// The end sequence, on the window thread: raise endInProgress, release the layout, run the end
/// routines, destroy the windows (their events no longer reach a handler).
void runEndSequence(AppContext& context, EndRoutines& routines, const EndSequenceSteps& steps);

/// The text of the fatal-error box (UTF-8): "运行时出错!", the code when not 0, the message when not
/// empty, with the line breaks of the original box.
std::string fatalErrorText(std::int32_t code, std::string_view utf8Message);
inline constexpr std::string_view FatalErrorTitle = "错误";

// The messages of the fatal errors (UTF-8).
inline constexpr std::string_view MainWindowLoadFailed = "载入启动窗口失败";
inline constexpr std::string_view LayoutLoadFailed = "载入窗口模板数据段出错!";
inline constexpr std::string_view WindowNotLoaded = "未载入欲访问窗口组件所在的窗口";
inline constexpr std::string_view ControlWindowNotLoaded = "指定窗口尚未载入";
inline constexpr std::string_view ControlMissing = "指定窗口或窗口组件不存在或尚未载入";

/// The process exit code of a fatal error (-1, seen by the parent as 255).
inline constexpr int FatalExitCode = -1;

}  // namespace sousuo
