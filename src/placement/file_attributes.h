#pragma once
// The Windows attribute word on a POSIX file.

#include <cstdint>
#include <string>

namespace sousuo {

inline constexpr std::uint32_t FileReadOnly = 0x01;
inline constexpr std::uint32_t FileHidden = 0x02;

/// Only read-only (1), hidden (2), system (4) and archive (0x20) count. Read-only takes the
/// owner's write permission away and its absence gives it back; the other three have no meaning
/// here and change nothing. True when the permissions were set.
bool setFileAttributes(const std::string& path, std::uint32_t attributes);

}  // namespace sousuo
