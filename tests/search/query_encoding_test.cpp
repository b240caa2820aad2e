#include "search/query_encoding.h"

#include <gtest/gtest.h>

#include <string>

#include "fake_window.h"

namespace sousuo {
namespace {

using testing::FakeApp;

struct Example {
    const char* name;
    Text query;  // GB18030 bytes, as queryEdit gives them
    Text encoded;
};

class EncodeQueryExamples : public ::testing::TestWithParam<Example> {};

TEST_P(EncodeQueryExamples, EncodesEveryUtf8ByteAsUpperCaseHex) {
    FakeApp app;
    app.window.set(Control::queryEdit, prop::text, GetParam().query);
    encodeQuery(app.context);
    EXPECT_EQ(app.context.texts.encodedQuery, GetParam().encoded);
}

const Example Examples[] = {
    {"Letters", "abc", "%61%62%63"},
    {"SpaceAndDigit", "ab 1", "%61%62%20%31"},
    {"Reserved", "a+b&c%", "%61%2B%62%26%63%25"},
    {"TwoSpaces", "  ", "%20%20"},
    {"TabHasLeadingZero", "\t", "%09"},
    {"Zhong", "\xD6\xD0", "%E4%B8%AD"},
    {"Zhongwen", "\xD6\xD0\xCE\xC4", "%E4%B8%AD%E6%96%87"},
    // Outside GB2312 but typed every day: these must reach the search.
    {"GbkCharacterBetweenOthers", "a\x86\xB4\xD6\xD0", "%61%E5%96%86%E4%B8%AD"},
    {"EmojiOutsideGbk", "\x94\x39\xFC\x36", "%F0%9F%98%80"},
    {"ExtensionBCharacter", "\x95\x32\x82\x36", "%F0%A0%80%80"},
    // Bytes that are no GB18030 at all: the whole query is dropped, never half of it.
    {"InvalidInputGivesNothing", "abc\x81", ""},
};

INSTANTIATE_TEST_SUITE_P(Cases, EncodeQueryExamples, ::testing::ValuesIn(Examples),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(EncodeQuery, HundredChineseCharactersGiveNineHundredCharacters) {
    FakeApp app;
    Text query;
    for (int i = 0; i < 100; ++i) query += "\xD6\xD0";
    app.window.set(Control::queryEdit, prop::text, query);
    encodeQuery(app.context);
    EXPECT_EQ(app.context.texts.encodedQuery.size(), 900u);
    EXPECT_EQ(app.context.texts.encodedQuery.substr(891), "%E4%B8%AD");
}

TEST(EncodeQuery, EachSearchReplacesTheValueWhole) {
    FakeApp app;
    app.window.set(Control::queryEdit, prop::text, Text("ab"));
    encodeQuery(app.context);
    app.window.set(Control::queryEdit, prop::text, Text("c"));
    encodeQuery(app.context);
    EXPECT_EQ(app.context.texts.encodedQuery, "%63");

    // A failed conversion leaves it empty, not holding the previous query.
    app.window.set(Control::queryEdit, prop::text, Text("\xFF"));
    encodeQuery(app.context);
    EXPECT_EQ(app.context.texts.encodedQuery, "");
}

TEST(PercentEncode, CoversEveryByteValue) {
    Bytes all;
    for (int value = 0; value < 256; ++value) all.push_back(static_cast<std::uint8_t>(value));
    const Text encoded = percentEncode(all);
    ASSERT_EQ(encoded.size(), 768u);
    EXPECT_EQ(encoded.substr(0, 6), "%00%01");
    EXPECT_EQ(encoded.substr(3 * 0xAB, 3), "%AB");
    EXPECT_EQ(encoded.substr(765), "%FF");
}

}  // namespace
}  // namespace sousuo
