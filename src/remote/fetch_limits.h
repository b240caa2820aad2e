#pragma once
// Every time-out and limit of a download, in one place.
//
// A fetch runs on the caller's thread, and the search button fetches on the window thread, so a
// stalled or silent server must not hold that thread for long. With these values a server that
// accepts and then says nothing releases the caller after about StallTimeout; one that never
// answers the connection releases it after ConnectTimeout. Each redirect hop gets the same bounds.

#include <chrono>
#include <cstddef>

namespace sousuo::fetch_limits {

/// Name look-up, TCP connect and TLS hand-shake together must finish within this.
inline constexpr std::chrono::milliseconds ConnectTimeout{4000};

/// A transfer in which no byte has gone out or come in for this long is given up; bytes that
/// arrived before are kept as the (shortened) body. Checked about once a second, so the caller
/// is released within about a second after this.
inline constexpr std::chrono::seconds StallTimeout{5};

/// Redirects followed before giving up, so that a redirect loop ends.
inline constexpr long MaxRedirects = 10;

/// Longest parts of an address; a longer one is refused before any network use.
inline constexpr std::size_t MaxHostLength = 256;
inline constexpr std::size_t MaxPathWithQueryLength = 2048;
inline constexpr std::size_t MaxUserOrPasswordLength = 128;

/// A declared Content-Length reserves the body buffer up front, but never more than this, so a
/// lying header cannot make us allocate a huge buffer. Longer bodies still arrive whole.
inline constexpr std::size_t MaxReserve = std::size_t{16} << 20;

}  // namespace sousuo::fetch_limits
