#include "link/Inversion.h"
#include "tests/link/LinkTestSupport.h"

#include <gtest/gtest.h>

using namespace link_testing;
using robot::InversionMode;
using Step = RecordingLink::Step;

namespace {

struct RecordingTimer final : robot::InversionTimer {
    std::vector<int> intervals;
    bool enabled = false;
    void setInversionInterval(int milliseconds) override { intervals.push_back(milliseconds); }
    void setInversionEnabled(bool on) override { enabled = on; }
};

std::vector<Step> reversal(char direction) {
    return {{'b', 0}, {-1, 100}, {direction, 0}, {-1, 50}, {'B', 0}};
}

} // namespace

TEST(Inversion, ReversalsAlternateStartingWithLowerCase) {
    RecordingLink link;
    RecordingTimer timer;
    InversionMode mode(link, timer);
    mode.reverse(true);
    EXPECT_EQ(link.steps, reversal('i'));
    link.steps.clear();
    mode.reverse(true);
    EXPECT_EQ(link.steps, reversal('I'));
    link.steps.clear();
    mode.reverse(true);
    EXPECT_EQ(link.steps, reversal('i'));
}

TEST(Inversion, NothingWhileTheCleaningMotorIsOff) {
    RecordingLink link;
    RecordingTimer timer;
    InversionMode mode(link, timer);
    mode.reverse(true);
    for (int tick = 0; tick < 5; ++tick)
        mode.reverse(false);
    EXPECT_EQ(link.steps, reversal('i'));
    EXPECT_TRUE(mode.phase());
}

TEST(Inversion, ThePhaseSurvivesSwitchingTheModeOffAndOn) {
    RecordingLink link;
    RecordingTimer timer;
    InversionMode mode(link, timer);
    mode.modeToggled(true, 10);
    mode.reverse(true);
    mode.modeToggled(false, 10);
    EXPECT_FALSE(timer.enabled);
    mode.modeToggled(true, 10);
    link.steps.clear();
    mode.reverse(true);
    EXPECT_EQ(link.steps, reversal('I'));
}

TEST(Inversion, ThePeriodFollowsTheTrackBar) {
    RecordingLink link;
    RecordingTimer timer;
    InversionMode mode(link, timer);
    mode.periodChanged(5);
    EXPECT_FALSE(timer.enabled);
    mode.modeToggled(true, 5);
    EXPECT_TRUE(timer.enabled);
    mode.periodChanged(50);
    mode.periodChanged(2);
    mode.periodChanged(90);
    EXPECT_EQ(timer.intervals, (std::vector<int>{5000, 5000, 50000, 5000, 50000}));
    EXPECT_TRUE(link.steps.empty());
}

struct InversionOnTheLine : SimulatorFixture {};

TEST_F(InversionOnTheLine, TheRobotReversesItsCleaningMotor) {
    RecordingIndicators indicators;
    robot::RobotLink link(openConsolePort(portPath()), indicators, 15);
    RecordingTimer timer;
    InversionMode mode(link, timer);
    mode.reverse(true);
    mode.reverse(false);
    mode.reverse(true);
    ASSERT_TRUE(simulator->waitForBytes(6, 2s));
    EXPECT_EQ(simulator->receivedValues(),
              (std::vector<std::uint8_t>{'b', 'i', 'B', 'b', 'I', 'B'}));
    const auto state = simulator->robotState();
    EXPECT_TRUE(state.cleaningMotorOn);
    EXPECT_EQ(state.cleaningDirection, 'I');
    // Receive stamps may come a few milliseconds late, which shortens the gap they show.
    const auto bytes = simulator->receivedBytes();
    EXPECT_GE(bytes[1].time - bytes[0].time, 110ms);
    EXPECT_GE(bytes[2].time - bytes[1].time, 60ms);
}
