#include "remote/banner.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_window.h"
#include "remote/link_opening.h"

namespace sousuo {
namespace {

using testing::FakeApp;
using testing::TestContentBase;

const Text BannerAddress = Text(TestContentBase) + "/sousuo/AD.txt";

TEST(LoadBanner, WritesTheCaptionAndStoresTheLink) {
    FakeApp app;
    app.fetcher.serve(BannerAddress, bytesOf("\xD6\xD0\xCE\xC4#WZ:http://x.test/\r\n"));
    loadBanner(app.context);
    EXPECT_EQ(app.log.entries(),
              (std::vector<std::string>{"fetch " + BannerAddress,
                                        "write bannerLabel.8=\xD6\xD0\xCE\xC4"}));
    EXPECT_EQ(app.context.texts.bannerLink(), "http://x.test/\r\n");
}

TEST(LoadBanner, ReadsUpToTheFirstZeroByte) {
    FakeApp app;
    app.fetcher.serve(BannerAddress, bytesOf(std::string_view("ab#WZ:cd\0ef", 11)));
    loadBanner(app.context);
    EXPECT_EQ(app.window.getText(Control::bannerLabel, prop::caption), "ab");
    EXPECT_EQ(app.context.texts.bannerLink(), "cd");
}

TEST(LoadBanner, DeadServerBlanksCaptionAndLink) {
    FakeApp app;
    app.context.texts.setBannerLink("http://old.test/");
    app.window.set(Control::bannerLabel, prop::caption, Text("old"));
    loadBanner(app.context);
    EXPECT_EQ(app.log.matching("write "), (std::vector<std::string>{"write bannerLabel.8="}));
    EXPECT_EQ(app.context.texts.bannerLink(), "");
}

TEST(LoadBanner, WritesNothingOnceTheProgramIsEnding) {
    FakeApp app;
    app.fetcher.serve(BannerAddress, bytesOf("abc#WZ:http://x.test/"));
    app.context.endInProgress = 1;
    loadBanner(app.context);
    EXPECT_TRUE(app.log.matching("write ").empty());
    EXPECT_EQ(app.context.texts.bannerLink(), "");
}

class LinkThatOpensNothing : public ::testing::TestWithParam<Text> {};

TEST_P(LinkThatOpensNothing, IsRefused) {
    EXPECT_EQ(openableLink(GetParam()), std::nullopt);
    FakeApp app;
    app.context.texts.setBannerLink(GetParam());
    openBannerLink(app.context);
    EXPECT_TRUE(app.desktop.openedUris.empty());
}

const Text RefusedLinks[] = {
    "",
    "\r\n",
    "file:///etc/passwd",
    "calc",
    "x & rm -rf ~",
    "$(touch /tmp/pwned)",
    "http://a b",
    "http://a.test/x\r\nhttps://b.test/",
    "http://a.test/\tx",
    "http://a.test/\x7F",
    "http://",
    "https:///etc/passwd",
    "http://user@/",
    "http://:80/",
    "http:a.test",
    " http://a.test/",
    "javascript:alert(1)",
    "ftp://a.test/",
    "httpx://a.test/",
    "mailto:a@b.test",
};

INSTANTIATE_TEST_SUITE_P(Cases, LinkThatOpensNothing, ::testing::ValuesIn(RefusedLinks));

struct Opens {
    Text link;
    std::string uri;
};

class LinkThatOpens : public ::testing::TestWithParam<Opens> {};

TEST_P(LinkThatOpens, OpensTrimmedAndInUtf8) {
    EXPECT_EQ(openableLink(GetParam().link), GetParam().uri);
    FakeApp app;
    app.context.texts.setBannerLink(GetParam().link);
    openBannerLink(app.context);
    EXPECT_EQ(app.desktop.openedUris, (std::vector<std::string>{GetParam().uri}));
}

const Opens OpenedLinks[] = {
    {"http://a.test/p?q=1&r=2\r\n", "http://a.test/p?q=1&r=2"},
    {"https://a.test/\r\n", "https://a.test/"},
    {"HTTPS://A.test \t\n", "HTTPS://A.test"},
    {"http://user@a.test:8080/x#top", "http://user@a.test:8080/x#top"},
    {"http://[::1]:8731/", "http://[::1]:8731/"},
    {"http://a.test/\xD6\xD0", "http://a.test/\xE4\xB8\xAD"},
};

INSTANTIATE_TEST_SUITE_P(Cases, LinkThatOpens, ::testing::ValuesIn(OpenedLinks));

}  // namespace
}  // namespace sousuo
