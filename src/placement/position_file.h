#pragma once
// Where the position file lives.

#include <string>
#include <string_view>

#include "app/app_context.h"

namespace sousuo {

inline constexpr std::string_view PositionFileName = "peizhi.ini";

/// The directory of the running executable (/proc/self/exe), without a trailing slash; empty
/// when it cannot be told. Settled once at start-up by the program.
std::string runDirectory();

/// runDirectory/peizhi.ini when the user may write into runDirectory; otherwise (a copy
/// installed under /usr or /opt) userConfigDir/sousuo/peizhi.ini, so the place is not lost on
/// every run. Reads look where writes go. Composed afresh for every use; empty when neither
/// directory is known.
std::string positionFilePath(const AppContext& context);

}  // namespace sousuo
