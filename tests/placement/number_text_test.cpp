#include "placement/number_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace sousuo {
namespace {

struct NumberCase {
    const char* name;
    Text text;
    std::int32_t value;
};

const NumberCase NumberCases[] = {
    {"plain", "120", 120},
    {"negative", "-15", -15},
    {"full-width digits", "\xA3\xB1\xA3\xB2\xA3\xB0", 120},                 // １２０
    {"ideographic space then full-width", "\xA1\xA1\xA3\xB1\xA3\xB2", 12},  // 　１２
    {"full-width minus", "\xA3\xAD\xA3\xB5", -5},                           // －５
    {"full-width plus",
     "\xA3\xAB"
     "7",
     7},  // ＋7
    {"plus", "+7", 7},
    {"minus, space, digit", "- 5", 0},
    {"digits then letters", "12abc", 12},
    {"unit after the number", "120px", 120},
    {"letters", "abc", 0},
    {"no other base", "0x1F", 0},
    {"empty", "", 0},
    {"leading white space", " \t\r\n\v\f42", 42},
    {"wraps modulo 2^32", "99999999999", 1215752191},
    {"largest", "2147483647", std::numeric_limits<std::int32_t>::max()},
    {"smallest", "-2147483648", std::numeric_limits<std::int32_t>::min()},
    {"one past the largest wraps", "2147483648", std::numeric_limits<std::int32_t>::min()},
    {"other double-byte character stops",
     "12\xD6\xD0"
     "3",
     12},  // 12中3
    {"lone lead byte at the end", "7\xA3", 7},
    {"full-width row is not mixed up with its neighbours", "\xA2\xB1", 0},
    {"trail byte that looks like a digit is not one",
     "\x81\x31"
     "5",
     0},
    {"stops at a zero byte",
     std::string("4\0"
                 "5",
                 3),
     4},
};

TEST(TextToInt, FoldsFullWidthFormsThenParsesLikeAtol) {
    for (const NumberCase& c : NumberCases) {
        EXPECT_EQ(textToInt(c.text), c.value) << c.name;
    }
}

TEST(IntToText, SignedDecimalThatReadsBack) {
    for (std::int32_t value : {0, 120, -15, std::numeric_limits<std::int32_t>::max(),
                               std::numeric_limits<std::int32_t>::min()}) {
        EXPECT_EQ(textToInt(intToText(value)), value);
    }
    EXPECT_EQ(intToText(-15), "-15");
    EXPECT_EQ(intToText(7), "7");
}

}  // namespace
}  // namespace sousuo
