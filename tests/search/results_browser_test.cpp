#include "search/results_browser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_window.h"

namespace sousuo {
namespace {

using testing::FakeApp;
using testing::TestContentBase;

TEST(ResultsBrowser, NewWindowBeforeAnyStatusTextNavigatesToTheEmptyAddress) {
    FakeApp app;
    onBrowserNewWindow(app.context);
    EXPECT_EQ(app.desktop.navigations, (std::vector<Text>{""}));
}

TEST(ResultsBrowser, NewWindowOpensTheLastOfQuickStatusTexts) {
    FakeApp app;
    onBrowserStatusText(app.context, "http://a.test/one");
    onBrowserStatusText(app.context, "http://a.test/two");
    onBrowserStatusText(app.context, "");
    onBrowserStatusText(app.context, "http://a.test/three");
    EXPECT_EQ(app.context.texts.lastStatusText, "http://a.test/three");
    onBrowserNewWindow(app.context);
    // A script's window.open with the pointer off every link goes to whatever came last.
    onBrowserStatusText(app.context, "");
    onBrowserNewWindow(app.context);
    EXPECT_EQ(app.desktop.navigations, (std::vector<Text>{"http://a.test/three", ""}));
}

TEST(ResultsBrowser, EveryCompletedNavigationRestoresTheNormalPicture) {
    FakeApp app;
    const Text normal = Text(TestContentBase) + "/sousuo/sousuo2.jpg";
    onBrowserNavigateComplete(app.context);  // server not there yet: the empty picture
    app.fetcher.serve(normal, Bytes{9, 8});
    onBrowserNavigateComplete(app.context);  // a frame of the same page: fetched again
    EXPECT_EQ(app.log.entries(), (std::vector<std::string>{
                                     "fetch " + normal,
                                     "write searchButton.10=0 bytes",
                                     "fetch " + normal,
                                     "write searchButton.10=2 bytes",
                                 }));
    EXPECT_EQ(app.window.getBytes(Control::searchButton, prop::picture), (Bytes{9, 8}));
}

}  // namespace
}  // namespace sousuo
