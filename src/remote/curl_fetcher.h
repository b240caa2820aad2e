#pragma once
// The downloads behind the Fetcher seam, linked in directly: what the download module and the
// helper run, for the code that links the download library itself (tests, benchmarks).

#include "remote/fetcher.h"

namespace sousuo {

/// Fetches with fetchRemoteFile (the process-wide agent, the time-outs of fetch_limits.h).
/// Holds no state of its own: one instance may serve every thread at once.
class CurlFetcher : public Fetcher {
public:
    Bytes fetch(const Text& address) override;
};

}  // namespace sousuo
