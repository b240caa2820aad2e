#pragma once
// The window's place, kept from run to run in peizhi.ini.

#include "app/app_context.h"

namespace sousuo {

/// Moves MainWindow to the stored place (top, then left). Window thread, in the created event.
void restorePosition(AppContext& context);

/// Stores MainWindow's top and left edges and marks the file hidden. Window thread.
void savePosition(AppContext& context);

}  // namespace sousuo
