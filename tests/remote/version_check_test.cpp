#include "remote/version_check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_window.h"

namespace sousuo {
namespace {

using testing::FakeApp;
using testing::FakeDesktop;
using testing::TestContentBase;

const Text Base = TestContentBase;
const std::vector<std::string> ThreeFetches{
    "fetch " + Base + "/sousuo/banben.txt",
    "fetch " + Base + "/sousuo/xxnr.txt",
    "fetch " + Base + "/sousuo/xxbt.txt",
};

// Everything the fakes saw except property reads.
std::vector<std::string> actions(const FakeApp& app) {
    std::vector<std::string> result;
    for (auto& entry : app.log.entries()) {
        if (entry.rfind("read ", 0) != 0) result.push_back(entry);
    }
    return result;
}

std::vector<std::string> forcedUpdate(const std::string& title, const std::string& text) {
    std::vector<std::string> expected = ThreeFetches;
    expected.push_back("message-box " + title + "|" + text);
    expected.push_back("open " + Base);
    expected.push_back("end 0");
    return expected;
}

struct Marker {
    const char* name;
    Bytes body;  // empty: the file is not served
    bool goesOn;
};

class CheckVersion : public ::testing::TestWithParam<Marker> {};

TEST_P(CheckVersion, GoesOnOnlyForExactlyTheProgramVersion) {
    FakeApp app;
    if (!GetParam().body.empty()) app.fetcher.serve(Base + "/sousuo/banben.txt", GetParam().body);
    app.fetcher.serve(Base + "/sousuo/xxnr.txt", bytesOf("\xC7\xEB\xC9\xFD\xBC\xB6\r\nline 2"));
    app.fetcher.serve(Base + "/sousuo/xxbt.txt", bytesOf("\xB8\xFC\xD0\xC2"));
    checkVersion(app.context);
    if (GetParam().goesOn) {
        EXPECT_EQ(actions(app), ThreeFetches);
    } else {
        EXPECT_EQ(actions(app),
                  forcedUpdate("\xB8\xFC\xD0\xC2", "\xC7\xEB\xC9\xFD\xBC\xB6\r\nline 2"));
    }
    // The version is the caption read back from the window, after the three fetches.
    EXPECT_EQ(app.log.entries()[3], "read mainWindow.8");
}

const Marker Markers[] = {
    {"Exact", bytesOf("1.0"), true},
    {"ZeroByteEndsTheMarker", bytesOf(std::string_view("1.0\0xyz", 7)), true},
    {"TrailingLineBreak", bytesOf("1.0\r\n"), false},
    {"LeadingSpace", bytesOf(" 1.0"), false},
    {"FurtherDigit", bytesOf("1.01"), false},
    {"Shorter", bytesOf("1."), false},
    {"HtmlErrorPage", bytesOf("<html><body>404</body></html>"), false},
    {"DeadServer", Bytes{}, false},
};

INSTANTIATE_TEST_SUITE_P(Cases, CheckVersion, ::testing::ValuesIn(Markers),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(CheckVersionForcedUpdate, DeadServerShowsAnEmptyBoxAndSavesNothing) {
    FakeApp app;
    checkVersion(app.context);
    EXPECT_EQ(actions(app), forcedUpdate("", ""));
    EXPECT_TRUE(app.log.matching("write ").empty());
}

TEST(CheckVersionForcedUpdate, ComparesWithTheCaptionTheWindowHolds) {
    FakeApp app;
    app.fetcher.serve(Base + "/sousuo/banben.txt", bytesOf("2.0"));
    app.window.set(Control::mainWindow, prop::caption, Text("2.0"));
    checkVersion(app.context);
    EXPECT_EQ(actions(app), ThreeFetches);
}

// The user closes MainWindow while the message box is open.
class ClosingDesktop : public FakeDesktop {
public:
    using FakeDesktop::FakeDesktop;
    AppContext* context = nullptr;
    void showMessageBox(const Text& text, const Text& title) override {
        FakeDesktop::showMessageBox(text, title);
        context->endInProgress = 1;
    }
};

TEST(CheckVersionForcedUpdate, ClosingTheWindowDuringTheBoxOpensNoHomePage) {
    FakeApp app;
    ClosingDesktop desktop(app.log);
    AppContext context(app.window, desktop, app.fetcher);
    context.addresses = app.context.addresses;
    desktop.context = &context;
    checkVersion(context);
    EXPECT_EQ(actions(app).back(), "message-box |");
    EXPECT_TRUE(desktop.openedUris.empty());
    EXPECT_TRUE(desktop.endCodes.empty());
}

TEST(VersionMatches, ComparesBytesUpToTheFirstZero) {
    EXPECT_TRUE(versionMatches("1.0", "1.0"));
    EXPECT_TRUE(versionMatches(Text("1.0\0a", 5), Text("1.0\0b", 5)));
    EXPECT_FALSE(versionMatches("1.0", "1.O"));
    EXPECT_FALSE(versionMatches("", "1.0"));
    EXPECT_TRUE(versionMatches("", ""));
}

}  // namespace
}  // namespace sousuo
