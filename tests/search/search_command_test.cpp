#include "search/search_command.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/code_page.h"
#include "fake_window.h"

namespace sousuo {
namespace {

using testing::FakeApp;
using testing::TestContentBase;
using testing::TestSearchPrefix;

const std::string BusyFetch = std::string("fetch ") + TestContentBase + "/sousuo/sousuo1.jpg";

// Everything the fakes saw except property reads.
std::vector<std::string> actions(const FakeApp& app) {
    std::vector<std::string> result;
    for (auto& entry : app.log.entries()) {
        if (entry.rfind("read ", 0) != 0) result.push_back(entry);
    }
    return result;
}

class SearchCommand : public ::testing::Test {
protected:
    SearchCommand() {
        app_.fetcher.serve(Text(TestContentBase) + "/sousuo/sousuo1.jpg", Bytes{1, 2, 3});
        app_.window.setHandle(Control::queryEdit, 4242);
    }
    void type(const Text& query) { app_.window.set(Control::queryEdit, prop::text, query); }

    FakeApp app_;
};

TEST_F(SearchCommand, BusyPictureComesBeforeTheSizeAndTheNavigation) {
    type("abc");
    runSearch(app_.context);
    EXPECT_EQ(actions(app_), (std::vector<std::string>{
                                 BusyFetch,
                                 "write searchButton.10=3 bytes",
                                 "write mainWindow.2=1142",
                                 "write mainWindow.3=567",
                                 std::string("navigate ") + TestSearchPrefix + "%61%62%63",
                             }));
    EXPECT_EQ(app_.window.getBytes(Control::searchButton, prop::picture), (Bytes{1, 2, 3}));
}

TEST_F(SearchCommand, EmptyQueryAttachesTheTipAndChangesNothingElse) {
    runSearch(app_.context);
    EXPECT_EQ(actions(app_), (std::vector<std::string>{
                                 BusyFetch,
                                 "write searchButton.10=3 bytes",
                                 "tip-window balloon=1",
                                 "tip 4242 " + fromUtf8("对不起，暂不支持搜索空内容哦"),
                             }));
    EXPECT_EQ(app_.window.getInt(Control::mainWindow, prop::width), CollapsedSize.width);
    EXPECT_EQ(app_.window.getInt(Control::mainWindow, prop::height), CollapsedSize.height);
    EXPECT_TRUE(app_.desktop.navigations.empty());
    EXPECT_EQ(app_.context.texts.encodedQuery, "");
}

TEST_F(SearchCommand, SpacesAreAQuery) {
    type("   ");
    runSearch(app_.context);
    ASSERT_EQ(app_.desktop.navigations.size(), 1u);
    EXPECT_EQ(app_.desktop.navigations[0], std::string(TestSearchPrefix) + "%20%20%20");
    EXPECT_EQ(app_.window.getInt(Control::mainWindow, prop::width), ExpandedSize.width);
}

TEST_F(SearchCommand, EverySearchSetsTheSizeAndNavigatesWithOnlyItsOwnQuery) {
    type("ab");
    runSearch(app_.context);
    type("\xD6\xD0");
    runSearch(app_.context);
    EXPECT_EQ(app_.desktop.navigations,
              (std::vector<Text>{std::string(TestSearchPrefix) + "%61%62",
                                 std::string(TestSearchPrefix) + "%E4%B8%AD"}));
    EXPECT_EQ(app_.log.matching("write mainWindow.2=1142").size(), 2u);
    EXPECT_EQ(app_.log.matching("write mainWindow.3=567").size(), 2u);
    EXPECT_EQ(app_.log.matching(BusyFetch).size(), 2u);
}

TEST_F(SearchCommand, DeadServerAndUnconvertibleQueryStillSearch) {
    FakeApp app;  // serves nothing
    app.window.set(Control::queryEdit, prop::text, Text("\xFF"));
    runSearch(app.context);
    EXPECT_EQ(app.log.matching("write searchButton.10").front(), "write searchButton.10=0 bytes");
    EXPECT_EQ(app.desktop.navigations, (std::vector<Text>{TestSearchPrefix}));
}

TEST_F(SearchCommand, OnlyKeyCode13Searches) {
    type("abc");
    struct Key {
        int code;
        int modifiers;
        bool searches;
    };
    const Key keys[] = {{13, 0, true},  {13, 1, true},   {13, 2, true},  {13, 4, true},
                        {10, 0, false}, {9, 0, false},   {65, 0, false}, {108, 0, false},
                        {0, 0, false},  {-13, 0, false}, {269, 0, false}};
    for (const Key& key : keys) {
        app_.log.clear();
        app_.desktop.navigations.clear();
        onQueryKeyDown(app_.context, key.code, key.modifiers);
        EXPECT_EQ(app_.desktop.navigations.size(), key.searches ? 1u : 0u)
            << "key " << key.code << " modifiers " << key.modifiers;
        if (!key.searches) {
            EXPECT_TRUE(app_.log.entries().empty()) << "key " << key.code;
        }
    }
}

}  // namespace
}  // namespace sousuo
