#include "placement/number_text.h"

#include <algorithm>
#include <string>

namespace sousuo {
namespace {

// One double-byte pair folded to ASCII, or 0 when the pair stays as it is.
char foldedPair(std::uint8_t lead, std::uint8_t trail) {
    if (lead == 0xA1) {
        if (trail == 0xA1) return ' ';
        if (trail == 0xAB) return '~';
        if (trail == 0xEE || trail == 0xEF) return '*';
    }
    // GB2312's full-width ASCII row: A3 A1 to A3 FE are "!" to "~".
    if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE) return static_cast<char>(trail - 0x80);
    return 0;
}

Text foldFullWidth(const Text& text) {
    const std::size_t end = std::min(text.find('\0'), text.size());
    Text folded;
    folded.reserve(end);
    for (std::size_t i = 0; i < end; ++i) {
        const auto byte = static_cast<std::uint8_t>(text[i]);
        if (byte < 0x80) {
            folded += text[i];
            continue;
        }
        if (i + 1 >= end) break;  // a lone lead byte at the end is dropped
        const auto trail = static_cast<std::uint8_t>(text[i + 1]);
        if (const char ascii = foldedPair(byte, trail)) {
            folded += ascii;
        } else {
            folded += text[i];
            folded += text[i + 1];
        }
        ++i;
    }
    return folded;
}

bool isParseSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

}  // namespace

Text intToText(std::int32_t value) { return std::to_string(value); }

std::int32_t textToInt(const Text& text) {
    const Text folded = foldFullWidth(text);
    std::size_t i = 0;
    while (i < folded.size() && isParseSpace(folded[i])) ++i;
    bool negative = false;
    if (i < folded.size() && (folded[i] == '+' || folded[i] == '-')) {
        negative = folded[i] == '-';
        ++i;
    }
    // Unsigned arithmetic wraps where a signed 32-bit value would overflow.
    std::uint32_t value = 0;
    for (; i < folded.size() && folded[i] >= '0' && folded[i] <= '9'; ++i) {
        value = value * 10u + static_cast<std::uint32_t>(folded[i] - '0');
    }
    if (negative) value = 0u - value;
    return static_cast<std::int32_t>(value);
}

}  // namespace sousuo
