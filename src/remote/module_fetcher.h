#pragma once
// The program's downloads: fetchRemoteFile, reached through the download module that the first
// download loads (see fetch_module_api.h).

#include <mutex>
#include <optional>
#include <string>

#include "remote/fetcher.h"

struct SousuoFetchApi;

namespace sousuo {

class ModuleFetcher : public Fetcher {
public:
    /// The module that findProgramFile finds, looked up on first use.
    ModuleFetcher() = default;
    /// The module at this path (tests).
    explicit ModuleFetcher(std::string modulePath) : modulePath_(std::move(modulePath)) {}

    ModuleFetcher(const ModuleFetcher&) = delete;
    ModuleFetcher& operator=(const ModuleFetcher&) = delete;

    /// Loads the module on first use (once, whichever threads ask at the same moment) and
    /// downloads through it. Without a usable module every download fails: the empty buffer.
    /// Any thread, at the same time.
    Bytes fetch(const Text& address) override;

    /// Loads the module when that has not been tried; whether it is usable. Any thread.
    bool load();

private:
    std::optional<std::string> modulePath_;
    std::once_flag loading_;
    const SousuoFetchApi* api_ = nullptr;  // written once, under loading_
};

}  // namespace sousuo
