#pragma once
// Everything a handler works with, passed to every handler instead of globals.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "app/addresses.h"
#include "app/desktop.h"
#include "app/global_texts.h"
#include "app/window_access.h"
#include "remote/fetcher.h"

namespace sousuo {

/// State of the process's one hover-tip window (see placement/balloon_tip.h). Window thread only.
struct TipState {
    bool created = false;
    bool balloon = false;
    int toolCount = 0;
};

struct AppContext {
    AppContext(WindowAccess& windowAccess, Desktop& desktopServices, Fetcher& downloads)
        : window(windowAccess), desktop(desktopServices), fetcher(downloads) {}
    AppContext(const AppContext&) = delete;
    AppContext& operator=(const AppContext&) = delete;

    WindowAccess& window;
    Desktop& desktop;
    Fetcher& fetcher;

    Addresses addresses;
    GlobalTexts texts;
    TipState tips;

    /// The directory of the executable, without a trailing slash.
    std::string runDirectory;
    /// The user's configuration directory (where the position file goes when runDirectory is not
    /// writable).
    std::string userConfigDir;

    /// Raised by the end command and by a fatal error; while above 0 no event reaches a handler,
    /// on any thread.
    std::atomic<int> endInProgress{0};

    /// Starts the start-up worker. Empty in tests that do not want one.
    std::function<void()> startStartupWorker;
    /// Opens the downloads of the start-up worker, which ends them by destroying them when it is
    /// done. Empty, or a nullptr from it: the worker downloads through fetcher.
    std::function<std::unique_ptr<Fetcher>()> openStartupFetcher;
};

}  // namespace sousuo
