#include "input/GameController.h"
#include "platform/Joystick.h"
#include "platform/VirtualJoystick.h"
#include "tests/input/RecordingPanel.h"
#include "tests/link/LinkTestSupport.h"

#include <gtest/gtest.h>

using link_testing::RecordingLink;
using platform::stickMax;
using platform::stickMin;

namespace {

using Bytes = std::vector<std::uint8_t>;

// A virtual controller read through the real SDL device, feeding the controller's tick.
struct ControllerOnVirtualStick : ::testing::Test {
    platform::VirtualJoystick stick;
    input::ControlState state;
    RecordingLink link;
    input_testing::RecordingPanel panel{link};
    input::GameController controller{state, panel, link};

    void SetUp() override {
        ASSERT_TRUE(stick.attached());
        ASSERT_TRUE(controller.init(platform::openFirstJoystick()));
        controller.acquire(true);
    }
    // The first tick sends the Z value and then stops the resting stick.
    void settle() {
        controller.tick(true);
        link.steps.clear();
    }
    Bytes tick() {
        link.steps.clear();
        controller.tick(true);
        return link.bytes();
    }
};

} // namespace

TEST(AxisScaling, RawEndsAndCentreLandOnTheConsoleRanges) {
    struct Case {
        int raw, min, max, expected;
    };
    for (const Case& c :
         {Case{-32768, stickMin, stickMax, -48}, Case{32767, stickMin, stickMax, 48},
          Case{0, stickMin, stickMax, 0}, Case{-32768, 15, 55, 15}, Case{32767, 15, 55, 55},
          Case{0, 15, 55, 35}, Case{-99999, stickMin, stickMax, -48}, Case{99999, 15, 55, 55}})
        EXPECT_EQ(platform::scaleAxis(c.raw, c.min, c.max), c.expected) << c.raw;
}

TEST(StickArithmetic, MotorValuesAndTheirClampTo49And1) {
    struct Case {
        int x, y;
        input::MotorValues expected;
    };
    for (const Case& c : {Case{0, -48, {2, 2}}, Case{0, 48, {2, 2}}, Case{48, 0, {2, 49}},
                          Case{-48, 0, {49, 2}}, Case{3, 0, {47, 49}}, Case{-3, 40, {11, 9}},
                          Case{0, 0, {50, 50}}, Case{48, -48, {1, 50}}, Case{500, -500, {1, 50}}})
        EXPECT_EQ(input::stickMotors(c.x, c.y), c.expected) << c.x << "," << c.y;
}

TEST_F(ControllerOnVirtualStick, FirstTickSendsTheZValueThenStop) {
    controller.tick(true);
    using Step = RecordingLink::Step;
    EXPECT_EQ(link.steps, (std::vector<Step>{
                              {-1, 20}, {'S', 0}, {-1, 10}, {15 ^ 0x80, 0}, {-1, 20}, {'P', 0}}));
    EXPECT_EQ(state.Position80, 15);
    EXPECT_TRUE(controller.stickIdle());
    EXPECT_TRUE(tick().empty()) << "a stick at rest sends nothing more";
}

TEST_F(ControllerOnVirtualStick, StickMovesFromRestSendTheirBursts) {
    struct Case {
        const char* name;
        int x, y;
        Bytes bytes;
        QString status;
        int power;
    };
    const Case cases[] = {
        {"full forward", 0, -48, {0x41, 0x72, 0x31, 2, 0x32, 2}, "Recto adelante", 48},
        {"full back", 0, 48, {0x52, 0x61, 0x31, 2, 0x32, 2}, "Recto atrás", 48},
        {"hard right",
         48,
         0,
         {0x41, 0x72, 0x31, 2, 0x32, 49, 0x31, 1, 0x32, 1, 0x61, 0x41},
         "Girando",
         25},
        {"hard left",
         -48,
         0,
         {0x41, 0x72, 0x31, 49, 0x32, 2, 0x52, 0x31, 1, 0x32, 1},
         "Girando",
         25},
        {"slight right", 3, 0, {0x41, 0x72, 0x31, 47, 0x32, 49}, "Recto adelante", 2},
        {"turning back",
         20,
         30,
         {0x52, 0x61, 0x31, 10, 0x32, 30, 0x31, 10, 0x32, 30},
         "Girando",
         30},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        stick.setStick(0, 0);
        input::GameController fresh(state, panel, link);
        ASSERT_TRUE(fresh.init(platform::openFirstJoystick()));
        fresh.acquire(true);
        fresh.tick(true);

        stick.setStick(c.x, c.y);
        link.steps.clear();
        fresh.tick(true);
        EXPECT_EQ(link.bytes(), c.bytes);
        EXPECT_EQ(panel.status, c.status);
        EXPECT_EQ(panel.power, c.power);
        EXPECT_EQ(panel.slider, c.power);
        EXPECT_EQ(panel.jogMeter, c.x);
        EXPECT_EQ(fresh.joyLastSent().x, c.x);
    }
}

TEST_F(ControllerOnVirtualStick, DeadBandCountsFromTheLastSentPosition) {
    settle();
    stick.setStick(2, 0);
    EXPECT_TRUE(tick().empty());
    stick.setStick(3, 0);
    EXPECT_EQ(tick(), (Bytes{0x41, 0x72, 0x31, 47, 0x32, 49}));
    stick.setStick(5, 0);
    EXPECT_TRUE(tick().empty()) << "2 units from the sent 3";
    stick.setStick(6, 0);
    EXPECT_FALSE(tick().empty());
}

TEST_F(ControllerOnVirtualStick, FullForwardBackToCentreSendsSpeed50ThenStopOnTheNextTick) {
    settle();
    stick.setStick(0, -48);
    tick();
    stick.setStick(0, 0);
    EXPECT_EQ(tick(), (Bytes{0x41, 0x72, 0x31, 50, 0x32, 50}));
    EXPECT_EQ(tick(), Bytes{0x50});
    EXPECT_TRUE(tick().empty());
}

TEST_F(ControllerOnVirtualStick, HeldButtonsRepeatEveryTickInTheirOrder) {
    settle();
    stick.setButton(1, true);
    Bytes sent;
    for (int i = 0; i < 10; ++i)
        for (auto byte : tick())
            sent.push_back(byte);
    EXPECT_EQ(sent, (Bytes{'B', 'b', 'B', 'b', 'B', 'b', 'B', 'b', 'B', 'b'}));
    EXPECT_EQ(panel.status, "Botón 2: Motor limpieza");

    stick.setButton(1, false);
    for (int index : {0, 2, 3, 4, 5, 6, 7})
        stick.setButton(index, true);
    EXPECT_EQ(tick(), (Bytes{'c', 'C', 'Z', 'z'}));
    EXPECT_EQ(panel.status, "Botón 8: Zoom +");
    EXPECT_EQ(panel.frontCamera, false) << "index 2 (Botón 4) acts after index 3";
    EXPECT_EQ(panel.snapshots, 1);
    EXPECT_EQ(panel.records, 1);
    EXPECT_EQ(panel.stopRecords, 1);

    for (int index : {0, 2, 4, 5, 6, 7})
        stick.setButton(index, false);
    tick();
    EXPECT_EQ(panel.status, "Botón 3: Cámara delantera");
    stick.setButton(3, false);
    stick.setButton(2, true);
    tick();
    EXPECT_EQ(panel.status, "Botón 4: Cámara trasera");
}

TEST_F(ControllerOnVirtualStick, ReleasedControllerFailsItsPollsUntilReacquired) {
    settle();
    controller.acquire(false);
    EXPECT_EQ(controller.poll(true), input::PollOutcome::Failed);
    stick.setStick(0, -48);
    EXPECT_TRUE(tick().empty());
    controller.acquire(true);
    EXPECT_EQ(controller.poll(true), input::PollOutcome::Ok);
    EXPECT_FALSE(tick().empty());
    EXPECT_EQ(controller.poll(false), input::PollOutcome::Failed) << "no controller present";
}

TEST_F(ControllerOnVirtualStick, LostFocusWhileDrivingStopsOnceAndOnlyThen) {
    settle();
    EXPECT_FALSE(controller.releaseStick()) << "a resting stick needs no stop";
    stick.setStick(0, -48);
    tick();
    EXPECT_TRUE(controller.releaseStick());
    EXPECT_FALSE(controller.releaseStick());
    controller.acquire(true);
    EXPECT_TRUE(tick().empty()) << "the held stick does not drive again by itself";
}

TEST_F(ControllerOnVirtualStick, UnpluggedWhileDrivingSendsOneStopAtTheNextTick) {
    settle();
    stick.setStick(0, -48);
    tick();
    stick.unplug();
    EXPECT_EQ(tick(), Bytes{0x50});
    EXPECT_EQ(controller.poll(true), input::PollOutcome::Lost);
    EXPECT_TRUE(tick().empty());
}

TEST_F(ControllerOnVirtualStick, UnpluggedAtRestSendsNothing) {
    settle();
    stick.unplug();
    EXPECT_TRUE(tick().empty());
}
