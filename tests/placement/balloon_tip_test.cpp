#include "placement/balloon_tip.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_window.h"

namespace sousuo {
namespace {

using testing::FakeApp;

TEST(BalloonTip, HandleZeroDoesNothingAndALaterCallCreatesWithItsOwnStyle) {
    FakeApp app;
    EXPECT_EQ(attachBalloonTip(app.context, 0, "a", 1, 0), 0);
    EXPECT_TRUE(app.log.entries().empty());
    EXPECT_FALSE(app.context.tips.created);

    EXPECT_EQ(attachBalloonTip(app.context, 0x101, "b", 0, 0), 1);
    EXPECT_EQ(app.log.entries(), (std::vector<std::string>{"tip-window balloon=0", "tip 257 b"}));
    EXPECT_TRUE(app.context.tips.created);
    EXPECT_FALSE(app.context.tips.balloon);
}

TEST(BalloonTip, TheWindowIsCreatedOnceWithItsStyleFixedAndEveryCallAddsATool) {
    FakeApp app;
    EXPECT_EQ(attachBalloonTip(app.context, 0x101, "one", 1, 0), 1);
    EXPECT_EQ(attachBalloonTip(app.context, 0x102, "two", 0, 1), 1);  // balloon 0 comes too late
    EXPECT_EQ(attachBalloonTip(app.context, 0x101, "one", 1, 2), 1);  // 2 is not true
    EXPECT_EQ(app.log.entries(), (std::vector<std::string>{
                                     "tip-window balloon=1",
                                     "tip 257 one",
                                     "tip 258 two centred",
                                     "tip 257 one",
                                 }));
    EXPECT_TRUE(app.context.tips.balloon);
    EXPECT_EQ(app.context.tips.toolCount, 3);
}

TEST(BalloonTip, FlagsCountOnlyWhenExactlyOne) {
    FakeApp app;
    EXPECT_EQ(attachBalloonTip(app.context, 0x101, "x", -1, 0), 1);
    EXPECT_EQ(app.log.entries().front(), "tip-window balloon=0");
}

TEST(BalloonTip, AFailedCreationAddsNoToolAndIsTriedAgain) {
    FakeApp app;
    app.desktop.tipWindowCreationFails = true;
    EXPECT_EQ(attachBalloonTip(app.context, 0x101, "x", 1, 0), 0);
    EXPECT_FALSE(app.context.tips.created);
    EXPECT_EQ(app.context.tips.toolCount, 0);

    app.desktop.tipWindowCreationFails = false;
    EXPECT_EQ(attachBalloonTip(app.context, 0x101, "x", 1, 0), 1);
    EXPECT_EQ(app.log.entries(), (std::vector<std::string>{
                                     "tip-window balloon=1 failed",
                                     "tip-window balloon=1",
                                     "tip 257 x",
                                 }));
    EXPECT_EQ(app.context.tips.toolCount, 1);
}

}  // namespace
}  // namespace sousuo
