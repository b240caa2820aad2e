#pragma once
// Two downloads through one fetcher from two threads that start at the same moment, as the
// window thread and the start-up worker do.

#include <latch>
#include <thread>
#include <utility>

#include "remote/fetcher.h"

namespace sousuo::testing {

/// The bodies of first and second, fetched at the same moment from two threads.
inline std::pair<Bytes, Bytes> fetchTogether(Fetcher& fetcher, const Text& first,
                                             const Text& second) {
    std::pair<Bytes, Bytes> bodies;
    std::latch start(2);
    std::thread one([&] {
        start.arrive_and_wait();
        bodies.first = fetcher.fetch(first);
    });
    std::thread other([&] {
        start.arrive_and_wait();
        bodies.second = fetcher.fetch(second);
    });
    one.join();
    other.join();
    return bodies;
}

}  // namespace sousuo::testing
