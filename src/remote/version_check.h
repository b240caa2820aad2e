#pragma once
// The version check at the end of the start-up worker, and the forced update.

#include "app/app_context.h"

namespace sousuo {

/// True when the server's marker equals the program's version, byte for byte up to the first
/// zero byte of each.
bool versionMatches(const Text& marker, const Text& programVersion);

/// Fetches "/sousuo/banben.txt", "/sousuo/xxnr.txt" and "/sousuo/xxbt.txt" in that order, then
/// compares the marker with MainWindow's caption. On a difference: the server's message box, then
/// the home page opened with the desktop's handler, then the end of the program with 0 (the
/// position is not saved). Skips whatever is left once the program is ending. Worker thread.
void checkVersion(AppContext& context, Fetcher& downloads);
inline void checkVersion(AppContext& context) { checkVersion(context, context.fetcher); }

}  // namespace sousuo
