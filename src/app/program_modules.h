#pragma once
// Where the program's own modules are: the code it loads only when it needs it (the web view, the
// downloads), so that the strip does not pay for it while it only waits.

#include <string>
#include <string_view>

namespace sousuo {

/// The path of the module file beside the executable (a build tree), in the installed module
/// folder, or in the build tree that made this binary (a copy of it run from elsewhere, as the
/// GUI tests do), whichever comes first and exists; empty when there is none. Any thread.
std::string findProgramModule(std::string_view fileName);

}  // namespace sousuo
