#include "input/ControllerPlug.h"
#include "platform/VirtualJoystick.h"
#include "tests/input/RecordingPanel.h"
#include "tests/support/HexBytes.h"

#include <gtest/gtest.h>

using testing_support::hexBytes;

namespace {

using Bytes = std::vector<std::uint8_t>;

// A console that started without a controller and follows the device events.
struct PluggedLater : ::testing::Test, input_testing::ControllerConsole {
    platform::JoystickDevices devices;
    input::ControllerPlug plug{controller, panel, link, platform::openFirstJoystick};
    bool present = false;

    void SetUp() override {
        ASSERT_FALSE(controller.init(nullptr));
        follow();
        ASSERT_FALSE(present);
    }
    Bytes follow() {
        link.steps.clear();
        if (devices.pumpChanges())
            present = plug.follow(present, true);
        return link.bytes();
    }
    Bytes tick() { return ControllerConsole::tick(present); }
};

} // namespace

TEST_F(PluggedLater, AttachedControllerIsNamedAndSendsNothingUntilReadAtRestThenDrives) {
    platform::VirtualJoystick stick;
    ASSERT_TRUE(stick.attached());
    stick.setStick(0, -48);
    stick.setButton(6, true);
    EXPECT_TRUE(follow().empty());
    EXPECT_TRUE(present);
    EXPECT_TRUE(panel.status.startsWith("Joystick: ")) << panel.status.toStdString();
    EXPECT_GT(panel.status.size(), 10);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(tick().empty()) << "held forward, zoom button down";
    stick.setButton(6, false);
    stick.setStick(2, 0);
    EXPECT_TRUE(tick().empty()) << "2 from centre is not at rest";
    stick.setStick(1, -1);
    EXPECT_EQ(tick(), hexBytes("53 8F 50")) << "read at rest: the Z value, then the stop";
    stick.setStick(0, -48);
    EXPECT_EQ(tick(), hexBytes("41 72 31 02 32 02")) << "then it drives";
    EXPECT_TRUE(follow().empty()) << "no device event, nothing changes";
    EXPECT_TRUE(present);
}

TEST_F(PluggedLater, PulledOutStopsOnceOnlyWhenItsStickDroveAndSaysSo) {
    auto stick = std::make_unique<platform::VirtualJoystick>();
    follow();
    tick();
    stick->unplug();
    EXPECT_TRUE(tick().empty()) << "at rest";
    EXPECT_TRUE(follow().empty());
    EXPECT_EQ(std::tuple(present, panel.status), std::tuple(false, QString("Sin joystick")));
    for (const bool tickFirst : {false, true}) {
        SCOPED_TRACE(tickFirst ? "the tick finds it gone first" : "the device event comes first");
        stick = std::make_unique<platform::VirtualJoystick>();
        follow();
        ASSERT_TRUE(present) << "plugged in again";
        tick();
        stick->setStick(0, -48);
        tick();
        panel.status.clear();
        stick->unplug();
        EXPECT_EQ(tickFirst ? tick() : follow(), Bytes{0x50});
        EXPECT_TRUE(tick().empty());
        EXPECT_TRUE(follow().empty());
        EXPECT_EQ(std::tuple(present, panel.status), std::tuple(false, QString("Sin joystick")));
    }
}
