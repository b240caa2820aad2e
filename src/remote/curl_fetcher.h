#pragma once
// The real downloads behind the Fetcher seam.

#include "remote/fetcher.h"

namespace sousuo {

/// Fetches with fetchRemoteFile (the process-wide agent, the time-outs of fetch_limits.h).
/// Holds no state of its own: one instance may serve every thread at once.
class CurlFetcher : public Fetcher {
public:
    Bytes fetch(const Text& address) override;
};

}  // namespace sousuo
