#pragma once
// What the program and its download helper (sousuo-fetch) say to each other over their socket:
// a request is the address's length (4 bytes) and its bytes; the answer is the body's length
// (8 bytes) and its bytes, the empty body being a failed download. Both sides run on one machine
// from one build, so the lengths go in the machine's own byte order.

#include <cstddef>
#include <cstdint>

namespace sousuo::helper {

inline constexpr const char* HelperName = "sousuo-fetch";
/// Longer addresses are refused by the downloads anyway; a longer request is a broken one.
inline constexpr std::uint32_t MaxAddressSize = 64 * 1024;
/// A longer answer is a broken one.
inline constexpr std::uint64_t MaxBodySize = std::uint64_t{1} << 32;

/// Reads exactly size bytes; false at the end of the stream or on an error. Retries on EINTR.
bool readAll(int fd, void* data, std::size_t size);
/// Writes exactly size bytes without raising SIGPIPE; false on an error. Retries on EINTR.
bool writeAll(int fd, const void* data, std::size_t size);

}  // namespace sousuo::helper
