#pragma once
// Splitting the banner file into its caption and its link, with the byte-counting text operations
// the banner relies on. Positions and counts are in bytes.

#include <cstdint>
#include <string_view>

#include "app/text.h"

namespace sousuo {

/// The 1-based byte position of the first occurrence of `needle`, or -1 when there is none.
/// Case-sensitive. Walks the text character by character (a byte of 0x80 or above and the byte
/// after it form one character), so a match only begins where a character begins.
std::int64_t findText(std::string_view text, std::string_view needle);

/// The first `count` bytes (the whole text when it is shorter); empty for a count of 0 or less.
Text leftPart(std::string_view text, std::int64_t count);

/// The last `count` bytes (the whole text when it is shorter); empty for a count of 0 or less.
Text rightPart(std::string_view text, std::int64_t count);

/// The marker between the caption and the link in the banner file.
inline constexpr std::string_view BannerMarker = "#WZ:";

struct BannerParts {
    Text caption;
    Text link;
};

/// Caption before the first marker, link after it (a trailing line break included). A text
/// without the marker is all caption, with no link.
BannerParts splitBanner(std::string_view text);

}  // namespace sousuo
