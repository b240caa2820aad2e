#pragma once
// The boundary between the program and its download code. libcurl and the libraries under it
// (TLS, name look-up, authentication) live in a module of their own (libsousuo-fetch.so) that
// the program loads on its first download, on the thread that downloads: the window does not wait
// for them to be linked when the program starts.

#include <cstddef>

extern "C" {

/// Receives the body of a download, piece by piece, in order.
using SousuoFetchSink = void (*)(void* context, const char* data, std::size_t size);

struct SousuoFetchApi {
    int version;
    /// Downloads the address (size bytes, not zero-terminated) and hands the whole body to the
    /// sink before it returns; nothing at all on failure. Any thread, at the same time.
    void (*fetch)(const char* address, std::size_t size, SousuoFetchSink sink, void* context);
};

using SousuoFetchEntry = const SousuoFetchApi* (*)();
}

namespace sousuo {
inline constexpr int FetchApiVersion = 1;
inline constexpr const char* FetchEntryName = "sousuo_fetch_api";
inline constexpr const char* FetchModuleName = "libsousuo-fetch.so";
}  // namespace sousuo
