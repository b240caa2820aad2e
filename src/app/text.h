#pragma once
// The two value types every part of sousuo passes around.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sousuo {

/// Text: bytes in the program's code page (GB18030), without a terminating zero inside.
/// The empty string is the empty (or absent) text. Conversion to UTF-8 happens only where text
/// crosses into the toolkit, the web view or the desktop (see code_page.h).
using Text = std::string;

/// Byte buffer: the body of a download, a picture, the bytes of a text. Empty is the failure value
/// of every download and conversion.
using Bytes = std::vector<std::uint8_t>;

inline Bytes bytesOf(std::string_view text) { return Bytes(text.begin(), text.end()); }

}  // namespace sousuo
