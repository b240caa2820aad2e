#include "placement/window_handlers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/code_page.h"
#include "app/events.h"
#include "fake_window.h"
#include "placement/ini_file.h"
#include "temp_folder.h"

namespace sousuo {
namespace {

using testing::EventLog;
using testing::FakeApp;
using testing::FakeDesktop;
using testing::FakeFetcher;
using testing::FakeWindow;
using testing::TempFolder;

const Text TopSection = "\xC4\xBF\xC2\xBC\xB6\xA5\xB1\xDF";  // 目录顶边
const Text TopKey = "\xCE\xBB\xD6\xC3\xB6\xA5\xB1\xDF";      // 位置顶边

// Everything the fakes saw except property reads.
std::vector<std::string> actions(const EventLog& log) {
    std::vector<std::string> result;
    for (auto& entry : log.entries()) {
        if (entry.rfind("read ", 0) != 0) result.push_back(entry);
    }
    return result;
}

TEST(WindowHandlers, DragSendsTheCaptionPressToTheWindowAndNothingElse) {
    FakeApp app;
    startWindowDrag(app.context);
    EXPECT_EQ(app.log.entries(), std::vector<std::string>{"message mainWindow 161 2 0"});
}

TEST(WindowHandlers, ResetEmptiesTheQueryTipsTheButtonThenSetsWidthAndHeight) {
    FakeApp app;
    app.window.setHandle(Control::resetButton, 777);
    app.window.set(Control::queryEdit, prop::text, Text("abc"));
    app.window.set(Control::mainWindow, prop::width, std::int32_t{ExpandedSize.width});
    app.window.set(Control::mainWindow, prop::height, std::int32_t{ExpandedSize.height});
    app.context.texts.encodedQuery = "%61%62%63";
    const std::string tip = "tip 777 " + fromUtf8("返回等待状态");

    resetToWaiting(app.context);
    EXPECT_EQ(actions(app.log), (std::vector<std::string>{
                                    "write queryEdit.8=",
                                    "tip-window balloon=1",
                                    tip,
                                    "write mainWindow.2=455",
                                    "write mainWindow.3=33",
                                }));
    EXPECT_EQ(app.context.texts.encodedQuery, "%61%62%63");

    // Already collapsed: the same writes again, and one more tool on the same tip window.
    app.log.clear();
    resetToWaiting(app.context);
    EXPECT_EQ(actions(app.log), (std::vector<std::string>{
                                    "write queryEdit.8=",
                                    tip,
                                    "write mainWindow.2=455",
                                    "write mainWindow.3=33",
                                }));
    EXPECT_EQ(app.context.tips.toolCount, 2);
}

// A desktop whose end command stops events reaching handlers, as the program's does.
class EndingDesktop : public FakeDesktop {
public:
    EndingDesktop(EventLog& log, AppContext*& context) : FakeDesktop(log), context_(context) {}
    void endProgram(int exitCode) override {
        context_->endInProgress.fetch_add(1);
        FakeDesktop::endProgram(exitCode);
    }

private:
    AppContext*& context_;
};

class CloseAndDestroy : public ::testing::Test {
protected:
    CloseAndDestroy() {
        self_ = &context_;
        context_.runDirectory = run_.path();
        context_.userConfigDir = run_ / "config";
        window_.set(Control::mainWindow, prop::left, std::int32_t{340});
        window_.set(Control::mainWindow, prop::top, std::int32_t{120});
    }
    Text storedTop() const { return readIniValue(run_ / "peizhi.ini", TopSection, TopKey); }
    std::size_t saves() const { return log_.matching("read mainWindow.1").size(); }

    TempFolder run_;
    EventLog log_;
    FakeWindow window_{log_};
    AppContext* self_ = nullptr;
    EndingDesktop desktop_{log_, self_};
    FakeFetcher fetcher_{log_};
    AppContext context_{window_, desktop_, fetcher_};
};

TEST_F(CloseAndDestroy, CloseButtonSavesOnceThenEndsWithZero) {
    dispatchEvent(context_, Event::closeLeftDown);
    EXPECT_EQ(storedTop(), "120");
    EXPECT_EQ(desktop_.endCodes, std::vector<int>{0});
    EXPECT_EQ(log_.entries().back(), "end 0");

    // The window goes away after the end command began: no second save.
    window_.set(Control::mainWindow, prop::top, std::int32_t{999});
    dispatchEvent(context_, Event::willBeDestroyed);
    EXPECT_EQ(storedTop(), "120");
    EXPECT_EQ(saves(), 1u);
}

TEST_F(CloseAndDestroy, ClosingByTheSystemSavesThroughTheWillBeDestroyedEvent) {
    dispatchEvent(context_, Event::willBeDestroyed);
    EXPECT_EQ(storedTop(), "120");
    EXPECT_TRUE(desktop_.endCodes.empty());
}

TEST_F(CloseAndDestroy, CloseStillEndsWhenTheFileCannotBeWritten) {
    std::filesystem::create_directory(run_ / "peizhi.ini");  // something that is no file
    dispatchEvent(context_, Event::closeLeftDown);
    EXPECT_EQ(desktop_.endCodes, std::vector<int>{0});
    EXPECT_TRUE(std::filesystem::is_directory(run_ / "peizhi.ini"));
}

}  // namespace
}  // namespace sousuo
