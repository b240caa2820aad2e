#pragma once
// Where the program's own parts are: the modules it loads only when it needs them (the web view,
// the downloads) and its download helper, so that the strip does not pay for them while it only
// waits.

#include <string>
#include <string_view>

namespace sousuo {

/// The path of the file beside the executable (a build tree), in the module folder of the
/// installed tree the executable is in, in the module folder it was built for, or in the build
/// tree that made this binary (a copy of it run from elsewhere, as the GUI tests do), whichever
/// comes first and exists; empty when there is none. Any thread.
std::string findProgramFile(std::string_view fileName);

}  // namespace sousuo
