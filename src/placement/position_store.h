#pragma once
// The window's place, kept from run to run in peizhi.ini.

#include "app/app_context.h"
#include "placement/file_contents.h"

namespace sousuo {

/// Moves MainWindow to the stored place (top, then left) when the file holds both edges and the
/// strip, at its current size, would show at least partly on a monitor; otherwise the window
/// stays where it was created. The file is not changed. Window thread, in the created event.
void restorePosition(AppContext& context);

/// Stores MainWindow's top and left edges in one replacement of the file, then marks the file
/// hidden (which also makes a read-only file writable again; a read-only file keeps its values at
/// this save). Creates the configuration folder when the file goes there. Window thread.
void savePosition(AppContext& context);

/// The same, with the check asked before each step of the file replacement (tests cut the save
/// there).
void savePosition(AppContext& context, const ReplaceStepCheck& check);

}  // namespace sousuo
