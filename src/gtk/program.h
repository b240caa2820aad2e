#pragma once
// The life of the process on GTK: start-up, the main loop, the end command and fatal errors.

#include "app/addresses.h"

namespace sousuo::gtk {

/// Runs the whole program; never returns (the process ends with its exit code).
[[noreturn]] void runProgram(const Addresses& addresses);

}  // namespace sousuo::gtk
