#pragma once
// The download seam: handlers fetch through this so that tests can count and order downloads.

#include "app/text.h"

namespace sousuo {

class Fetcher {
public:
    virtual ~Fetcher() = default;
    /// Downloads the whole body at the address; the empty buffer on every failure. Any thread.
    virtual Bytes fetch(const Text& address) = 0;
};

}  // namespace sousuo
