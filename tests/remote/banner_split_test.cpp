#include "remote/banner_split.h"

#include <gtest/gtest.h>

#include <string>

namespace sousuo {
namespace {

struct Split {
    const char* name;
    Text text;
    Text caption;
    Text link;
};

class SplitBanner : public ::testing::TestWithParam<Split> {};

TEST_P(SplitBanner, CaptionBeforeTheFirstMarkerLinkAfterIt) {
    const BannerParts parts = splitBanner(GetParam().text);
    EXPECT_EQ(parts.caption, GetParam().caption);
    EXPECT_EQ(parts.link, GetParam().link);
}

const Split Splits[] = {
    {"Plain", "abc#WZ:xyz", "abc", "xyz"},
    {"MarkerFirst", "#WZ:xyz", "", "xyz"},
    {"MarkerLast", "abc#WZ:", "abc", ""},
    {"LaterMarkerBelongsToLink", "a#WZ:b#WZ:c", "a", "b#WZ:c"},
    {"LineBreakStaysInLink", "abc#WZ:xyz\r\n", "abc", "xyz\r\n"},
    {"ChineseCaption", "\xD6\xD0\xCE\xC4#WZ:xyz", "\xD6\xD0\xCE\xC4", "xyz"},
    // 0xB0 takes the "#" as its second byte: no marker begins there.
    {"MarkerInsideCharacter", "\xB0#WZ:xyz", "\xB0#WZ:xyz", ""},
    {"FourByteCharacterBeforeMarker", "\x94\x39\xFC\x36#WZ:x", "\x94\x39\xFC\x36", "x"},
    {"LowerCaseMarkerIsNoMarker", "abc#wz:xyz", "abc#wz:xyz", ""},
    {"NoMarkerIsAllCaption", "\xBB\xB6\xD3\xAD http://x.test", "\xBB\xB6\xD3\xAD http://x.test",
     ""},
    {"EmptyText", "", "", ""},
    {"PartialMarkerAtEnd", "abc#WZ", "abc#WZ", ""},
};

INSTANTIATE_TEST_SUITE_P(Cases, SplitBanner, ::testing::ValuesIn(Splits),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(BannerTextOperations, FindGivesOneBasedPositionsOnCharacterStarts) {
    EXPECT_EQ(findText("abc#WZ:xyz", "#WZ:"), 4);
    EXPECT_EQ(findText("\xD6\xD0\xCE\xC4#WZ:", "#WZ:"), 5);
    EXPECT_EQ(findText("\xB0#WZ:", "#WZ:"), -1);
    EXPECT_EQ(findText("\xB0##WZ:", "#WZ:"), 3);
    EXPECT_EQ(findText("", "#WZ:"), -1);
    EXPECT_EQ(findText("\xFF", "#WZ:"), -1);  // a lead byte at the very end
}

TEST(BannerTextOperations, LeftAndRightPartsClampTheirCounts) {
    struct Case {
        std::int64_t count;
        Text left;
        Text right;
    };
    const Case cases[] = {
        {-5, "", ""}, {0, "", ""}, {2, "ab", "cd"}, {4, "abcd", "abcd"}, {99, "abcd", "abcd"}};
    for (const Case& c : cases) {
        EXPECT_EQ(leftPart("abcd", c.count), c.left) << c.count;
        EXPECT_EQ(rightPart("abcd", c.count), c.right) << c.count;
    }
}

}  // namespace
}  // namespace sousuo
