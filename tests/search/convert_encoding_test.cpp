#include "search/convert_encoding.h"

#include <gtest/gtest.h>

#include <string>

namespace sousuo {
namespace {

Bytes repeated(std::string_view unit, std::size_t times) {
    std::string text;
    for (std::size_t i = 0; i < times; ++i) text += unit;
    return bytesOf(text);
}

struct Conversion {
    const char* name;
    Bytes input;
    const char* from;
    const char* to;
    Bytes expected;
};

class ConvertEncodingSucceeds : public ::testing::TestWithParam<Conversion> {};

TEST_P(ConvertEncodingSucceeds, GivesExactlyTheConvertedBytes) {
    const Conversion& c = GetParam();
    bool succeeded = false;
    const Bytes output = convertEncoding(c.input, c.from, c.to, &succeeded);
    EXPECT_TRUE(succeeded);
    EXPECT_EQ(output.size(), c.expected.size());
    EXPECT_EQ(output, c.expected);
    EXPECT_EQ(convertEncoding(c.input, c.from, c.to), c.expected) << "without the flag";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ConvertEncodingSucceeds,
    ::testing::Values(
        Conversion{"Gb2312ToUtf8", bytesOf("\xD6\xD0"), "GB2312", "UTF-8", bytesOf("\xE4\xB8\xAD")},
        Conversion{"NamesIgnoreCase", bytesOf("\xD6\xD0"), "gb2312", "utf-8",
                   bytesOf("\xE4\xB8\xAD")},
        Conversion{"GbkCharacterFromGb18030", bytesOf("\x86\xB4"), "GB18030", "UTF-8",
                   bytesOf("\xE5\x96\x86")},
        Conversion{"FourByteGb18030Emoji", bytesOf("\x94\x39\xFC\x36"), "GB18030", "UTF-8",
                   bytesOf("\xF0\x9F\x98\x80")},
        // Output half again as long as the input: one enlargement.
        Conversion{"Utf16ToUtf8OneEnlargement", repeated("\x2D\x4E", 1000), "UTF-16LE", "UTF-8",
                   repeated("\xE4\xB8\xAD", 1000)},
        // Four times the input: the buffer grows five times and the bytes produced before each
        // enlargement are kept in place.
        Conversion{"AsciiToUtf32FiveEnlargements", bytesOf(std::string(1000, 'a')), "UTF-8",
                   "UTF-32LE", repeated(std::string_view("a\0\0\0", 4), 1000)},
        Conversion{"HundredChineseCharacters", repeated("\xD6\xD0", 100), "GB2312", "UTF-8",
                   repeated("\xE4\xB8\xAD", 100)},
        // A byte-order mark alone converts to nothing, and that is still a success.
        Conversion{"OnlyByteOrderMark", bytesOf("\xFF\xFE"), "UTF-16", "UTF-8", Bytes{}}),
    [](const auto& test) { return std::string(test.param.name); });

struct Failure {
    const char* name;
    Bytes input;
    const char* from;
    const char* to;
};

class ConvertEncodingFails : public ::testing::TestWithParam<Failure> {};

TEST_P(ConvertEncodingFails, GivesTheEmptyBufferAndClearsTheFlag) {
    const Failure& f = GetParam();
    bool succeeded = true;  // must be cleared, not left as the caller had it
    EXPECT_TRUE(convertEncoding(f.input, f.from, f.to, &succeeded).empty());
    EXPECT_FALSE(succeeded);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ConvertEncodingFails,
    ::testing::Values(
        Failure{"UnknownSourceCharset", bytesOf("abc"), "NO-SUCH-CHARSET", "UTF-8"},
        Failure{"UnknownTargetCharset", bytesOf("abc"), "UTF-8", "NO-SUCH-CHARSET"},
        // The GBK character 86 B4 is not GB2312: nothing of the valid part around it survives.
        Failure{"GbkCharacterIsNotGb2312", bytesOf("ab\xD6\xD0\x86\xB4\xD6\xD0"), "GB2312",
                "UTF-8"},
        Failure{"InvalidSequenceLate", bytesOf(std::string(5000, 'a') + "\xFF"), "UTF-8",
                "UTF-16LE"},
        Failure{"IncompleteCharacterAtEnd", bytesOf("abc\xD6"), "GB18030", "UTF-8"},
        Failure{"EmptyInput", Bytes{}, "GB18030", "UTF-8"}),
    [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace sousuo
