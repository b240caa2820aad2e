#include <gtest/gtest.h>

#include "app/events.h"
#include "app/shell.h"
#include "fake_window.h"

namespace sousuo {
namespace {

using testing::FakeApp;

TEST(CreatedEvent, WritesHeightBeforeWidthThenStartsTheWorker) {
    FakeApp app;
    bool workerStarted = false;
    app.context.startStartupWorker = [&] {
        app.log.add("worker");
        workerStarted = true;
    };
    dispatchEvent(app.context, Event::created);
    const auto writes = app.log.matching("write ");
    ASSERT_GE(writes.size(), 2u);
    EXPECT_EQ(writes[0], "write mainWindow.3=33");
    EXPECT_EQ(writes[1], "write mainWindow.2=455");
    EXPECT_TRUE(workerStarted);
    EXPECT_EQ(app.log.entries().back(), "worker");
}

TEST(Events, NoHandlerRunsOnceTheEndHasBegun) {
    FakeApp app;
    app.context.endInProgress = 1;
    app.context.startStartupWorker = [&] { app.log.add("worker"); };
    for (Event event : {Event::created, Event::willBeDestroyed, Event::closeLeftDown,
                        Event::dragLeftDown, Event::resetLeftDown, Event::searchLeftDown,
                        Event::bannerLeftDown, Event::browserNavigateComplete,
                        Event::browserNewWindow}) {
        dispatchEvent(app.context, event);
    }
    EventArgs enter;
    enter.keyCode = 13;
    dispatchEvent(app.context, Event::queryKeyDown, enter);
    EventArgs status;
    status.text = "http://x/";
    dispatchEvent(app.context, Event::browserStatusText, status);
    EXPECT_TRUE(app.log.entries().empty());
    EXPECT_TRUE(app.context.texts.lastStatusText.empty());
}

TEST(Clamping, PositionsSizesAndDisplayModes) {
    struct Case {
        std::int32_t (*clamp)(std::int32_t);
        std::int32_t in, out;
    };
    const Case cases[] = {
        {clampSize, 40000, 32627},       {clampSize, -5, 0},          {clampSize, 567, 567},
        {clampPosition, 40000, 32627},   {clampPosition, -40000, -32627},
        {clampPosition, -15, -15},       {clampDisplayMode, 7, 2},    {clampDisplayMode, -1, 0},
        {clampDisplayMode, 1, 1},
    };
    for (const Case& c : cases) EXPECT_EQ(c.clamp(c.in), c.out) << c.in;
}

void recordFirst(AppContext& context, std::int32_t position) {
    context.texts.lastStatusText += "first" + std::to_string(position) + ";";
}
void recordSecond(AppContext& context, std::int32_t position) {
    context.texts.lastStatusText += "second" + std::to_string(position) + ";";
}

TEST(EndSequence, RunsItsStepsInOrderAndRoutinesOnce) {
    FakeApp app;
    EndRoutines routines;
    routines.add(recordFirst);
    routines.add(recordSecond);
    routines.add(recordFirst);  // listed once only
    ASSERT_EQ(routines.size(), 2u);

    std::vector<std::string> order;
    const EndSequenceSteps steps{
        .releaseLayout = [&] { order.push_back("layout " + std::to_string(app.context.endInProgress)); },
        .destroyWindows = [&] { order.push_back("destroy " + app.context.texts.lastStatusText); },
    };
    runEndSequence(app.context, routines, steps);
    EXPECT_EQ(order, (std::vector<std::string>{"layout 1", "destroy first0;second1;"}));
    EXPECT_EQ(routines.size(), 0u);
}

TEST(EndSequence, ReleaseGlobalTextsEmptiesAllThree) {
    FakeApp app;
    app.context.texts.encodedQuery = "%61";
    app.context.texts.lastStatusText = "http://a/";
    app.context.texts.setBannerLink("https://b/");
    EndRoutines routines;
    routines.add(releaseGlobalTexts);
    runEndSequence(app.context, routines, {});
    EXPECT_TRUE(app.context.texts.encodedQuery.empty());
    EXPECT_TRUE(app.context.texts.lastStatusText.empty());
    EXPECT_TRUE(app.context.texts.bannerLink().empty());
}

TEST(FatalError, TextHoldsCodeAndMessageOnlyWhenGiven) {
    EXPECT_EQ(fatalErrorText(0, ""), "运行时出错!\r\n\r\n");
    EXPECT_EQ(fatalErrorText(0, "载入启动窗口失败"),
              "运行时出错!\r\n\r\n错误信息：载入启动窗口失败\r\n");
    EXPECT_EQ(fatalErrorText(-7, "x"), "运行时出错!\r\n\r\n错误代码：-7\r\n\r\n错误信息：x\r\n");
}

}  // namespace
}  // namespace sousuo
