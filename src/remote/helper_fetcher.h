#pragma once
// The downloads of the start-up worker, in a helper process (sousuo-fetch). The worker downloads
// while the strip starts; done in the program, that would leave libcurl and the twenty-odd
// libraries under it in the idle strip's memory for good. The helper carries them instead and
// ends with this object.

#include <sys/types.h>

#include <mutex>
#include <string>

#include "placement/unique_fd.h"
#include "remote/fetcher.h"

namespace sousuo {

class HelperFetcher : public Fetcher {
public:
    /// The helper at helperPath, started on the first fetch. When it cannot be started, the
    /// fetches go to fallback.
    HelperFetcher(std::string helperPath, Fetcher& fallback)
        : helperPath_(std::move(helperPath)), fallback_(fallback) {}
    HelperFetcher(const HelperFetcher&) = delete;
    HelperFetcher& operator=(const HelperFetcher&) = delete;
    /// Ends the helper: it sees the end of its requests, leaves, and is waited for.
    ~HelperFetcher() override;

    /// Downloads through the helper, one fetch at a time (callers on several threads wait for
    /// each other). A helper that dies during a fetch makes that fetch fail (the empty buffer);
    /// the next fetch starts a new one.
    Bytes fetch(const Text& address) override;

    /// The helper's process id while one runs, else -1 (tests).
    pid_t helperProcess();

private:
    bool startHelper();
    void endHelper();

    const std::string helperPath_;
    Fetcher& fallback_;
    std::mutex busy_;
    UniqueFd socket_;
    pid_t helper_ = -1;
    bool cannotStart_ = false;
};

}  // namespace sousuo
