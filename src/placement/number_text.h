#pragma once
// Whole numbers as the position file holds them.

#include <cstdint>

#include "app/text.h"

namespace sousuo {

/// Signed decimal: a "-" before negative values, no plus sign, no leading zeros, no spaces.
Text intToText(std::int32_t value);

/// Folds GB full-width forms (digits, signs, the ideographic space) to ASCII, then reads a
/// leading decimal number the way C's atol does: white space, one optional sign, digits up to the
/// first other byte. The value wraps in 32 bits; no digits give 0.
std::int32_t textToInt(const Text& text);

}  // namespace sousuo
