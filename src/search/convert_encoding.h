#pragma once
// Character-set conversion of a byte buffer through iconv.

#include <string_view>

#include "app/text.h"

namespace sousuo {

/// Converts the bytes from one character set to another (names matched without regard to case).
/// Gives the converted bytes, or the empty buffer on every failure: a name iconv does not know, an
/// invalid or incomplete sequence in the input, output that does not fit after 11 enlargements of
/// the work buffer, or memory running out. Never partial output. The empty input gives the empty
/// buffer too. When `succeeded` is given it is false until a conversion has succeeded (the empty
/// input leaves it false). Any thread; no shared state.
Bytes convertEncoding(const Bytes& bytes, std::string_view fromCharset, std::string_view toCharset,
                      bool* succeeded = nullptr);

}  // namespace sousuo
