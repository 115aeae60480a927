#include "input/GameController.h"
#include "input/Keyboard.h"
#include "input/LostControl.h"
#include "platform/Joystick.h"
#include "platform/VirtualJoystick.h"
#include "tests/input/RecordingPanel.h"
#include "tests/link/LinkTestSupport.h"
#include "tests/support/HexBytes.h"

#include <gtest/gtest.h>

#include <map>
#include <tuple>

using link_testing::RecordingLink;
using platform::stickMax;
using platform::stickMin;
using testing_support::hexBytes;

namespace {

using Bytes = std::vector<std::uint8_t>;

// A virtual controller read through the real SDL device, feeding the controller's tick.
struct ControllerOnVirtualStick : ::testing::Test, input_testing::ControllerConsole {
    platform::VirtualJoystick stick;

    void SetUp() override { open(); }
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

TEST_F(ControllerOnVirtualStick, StickTickAtEveryThresholdOnBothSides) {
    struct Row {
        const char* rule;
        platform::JoystickReading from, to;
        const char* bytes;
        // What the tick shows: a ahead, b back, t turning ahead, u turning back, s spinning on the
        // spot, - nothing.
        char shown;
        int power = -1;
    };
    const Row rows[] = {
        {"rest: x 1 stops", {3, 0}, {1, 0}, "50", '-'},
        {"rest: x 2 is not at rest", {3, 0}, {2, 0}, "", '-'},
        {"rest: x -1 stops", {-3, 0}, {-1, 0}, "50", '-'},
        {"rest: x -2 is not at rest", {-3, 0}, {-2, 0}, "", '-'},
        {"rest: y 1 stops", {0, 3}, {0, 1}, "50", '-'},
        {"rest: y 2 is not at rest", {0, 3}, {0, 2}, "", '-'},
        {"rest: y -1 stops", {0, -3}, {0, -1}, "50", '-'},
        {"rest: y -2 is not at rest", {0, -3}, {0, -2}, "", '-'},
        {"dead band: x +2", {10, -20}, {12, -20}, "", '-'},
        {"dead band: x +3", {10, -20}, {13, -20}, "41 72 31 11 32 2B 31 11 32 2B", 't', 20},
        {"dead band: x -2", {10, -20}, {8, -20}, "", '-'},
        {"dead band: x -3", {10, -20}, {7, -20}, "41 72 31 17 32 25 31 17 32 25", 't', 20},
        {"dead band: y -2", {10, -20}, {10, -22}, "", '-'},
        {"dead band: y -3", {10, -20}, {10, -23}, "41 72 31 11 32 25 31 11 32 25", 't', 23},
        {"dead band: y +2", {10, -20}, {10, -18}, "", '-'},
        {"dead band: y +3", {10, -20}, {10, -17}, "41 72 31 17 32 2B 31 17 32 2B", 't', 17},
        {"y 0 forward", {0, 0}, {3, 0}, "41 72 31 2F 32 31", 'a', 2},
        {"y 1 forward, pulled-back arithmetic", {0, 0}, {3, 1}, "41 72 31 30 32 32", 'a', 1},
        {"y 2 backward", {0, 0}, {3, 2}, "52 61 31 2F 32 31", 'b', 2},
        {"|m1 - m2| 3 goes straight", {0, 0}, {3, -1}, "41 72 31 2E 32 31", 'a', 3},
        {"|m1 - m2| 4 turns, 51 is 49", {0, 0}, {3, -2}, "41 72 31 2D 32 31 31 2D 32 31", 't', 3},
        {"x 45 turns", {0, 0}, {45, 0}, "41 72 31 05 32 31 31 05 32 31", 't', 23},
        {"x 46 spins right", {0, 0}, {46, 0}, "41 72 31 04 32 31 31 01 32 01 61 41", 's', 24},
        {"x -45 turns", {0, 0}, {-45, 0}, "41 72 31 31 32 05 31 31 32 05", 't', 23},
        {"x -46 spins left", {0, 0}, {-46, 0}, "41 72 31 31 32 04 52 31 01 32 01", 's', 24},
        {"hard turn at y 1 spins", {0, 0}, {48, 1}, "41 72 31 19 32 31 31 01 32 01 61 41", 's', 13},
        {"y -1 spins, 1 stays", {0, 0}, {-48, -1}, "41 72 31 31 32 01 52 31 01 32 01", 's', 25},
        {"hard turn at y 2 is an arc", {0, 0}, {48, 2}, "52 61 31 18 32 31 31 18 32 31", 'u', 14},
        {"y -2 is an arc, 0 stays", {0, 0}, {48, -2}, "41 72 31 00 32 31 31 00 32 31", 't', 26},
        {"forward arc (48, -30)", {0, 0}, {48, -30}, "41 72 31 01 32 31 31 01 32 31", 't', 25},
        {"motor values 0 and 50 stay", {0, 0}, {25, -25}, "41 72 31 00 32 32 31 00 32 32", 't', 25},
        {"motor value -1 becomes 1", {0, 0}, {26, -25}, "41 72 31 01 32 31 31 01 32 31", 't', 25},
        {"motor value 49 stays", {0, 0}, {3, -4}, "41 72 31 2B 32 31 31 2B 32 31", 't', 4},
        {"full forward", {0, 0}, {0, -48}, "41 72 31 02 32 02", 'a', 48},
        {"full back", {0, 0}, {0, 48}, "52 61 31 02 32 02", 'b', 48},
        {"full right", {0, 0}, {48, 0}, "41 72 31 02 32 31 31 01 32 01 61 41", 's', 25},
        {"back to centre sends speed 50", {0, -48}, {0, 0}, "41 72 31 32 32 32", 'a', 0},
    };
    const std::map<char, std::string> texts{{'-', "before"},      {'a', "Recto adelante"},
                                            {'b', "Recto atrás"}, {'t', "Girando"},
                                            {'u', "Girando"},     {'s', "Girando"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.rule);
        input_testing::ControllerConsole fresh;
        stick.setStick(row.from.x, row.from.y);
        fresh.open();
        fresh.tick();
        stick.setStick(row.to.x, row.to.y);
        fresh.panel.status = "before";
        fresh.panel.power = fresh.panel.slider = fresh.panel.jogMeter = -99;
        const bool shown = row.shown != '-';
        const bool forward = row.shown == 'a' || row.shown == 't';
        fresh.state.Forward = !forward;
        const Bytes sent = fresh.tick();
        const platform::JoystickReading last = fresh.controller.joyLastSent();
        const platform::JoystickReading kept = shown ? row.to : row.from;
        const int power = shown ? row.power : -99;
        EXPECT_EQ(std::tuple(sent, fresh.panel.status.toStdString(), fresh.state.Forward,
                             fresh.panel.power, fresh.panel.slider, fresh.panel.jogMeter, last.x,
                             last.y),
                  std::tuple(hexBytes(row.bytes), texts.at(row.shown), shown == forward, power,
                             power, shown ? row.to.x : -99, kept.x, kept.y));
    }
}

TEST_F(ControllerOnVirtualStick, ZIsSentOnTheFirstTickAndOnEveryChangeThenTheRestingStickStops) {
    controller.tick(true);
    using Step = RecordingLink::Step;
    EXPECT_EQ(link.steps, (std::vector<Step>{
                              {-1, 20}, {'S', 0}, {-1, 10}, {15 ^ 0x80, 0}, {-1, 20}, {'P', 0}}));
    EXPECT_EQ(state.Position80, 15);
    EXPECT_TRUE(controller.stickIdle());
    EXPECT_TRUE(tick().empty()) << "an unchanged Z and a resting stick send nothing";
    stick.setZ(16);
    EXPECT_EQ(tick(), (Bytes{0x53, 16 ^ 0x80, 0x50})) << "a change of one";
    EXPECT_EQ(state.Position80, 16);
    stick.setStick(0, -48);
    tick();
    stick.setZ(55);
    EXPECT_EQ(tick(), (Bytes{0x53, 55 ^ 0x80})) << "no stop while the stick drives";
    EXPECT_EQ(std::tuple(state.Position80, controller.joyLastSent().z), std::tuple(55, 55));
}

TEST_F(ControllerOnVirtualStick, HeldButtonsActOnEveryTickInTheTablesOrder) {
    tick();
    stick.setButton(1, true);
    for (const char byte : {'B', 'b', 'B'})
        EXPECT_EQ(tick(), Bytes{std::uint8_t(byte)}) << "held, it acts again";
    EXPECT_EQ(panel.status, "Botón 2: Motor limpieza");
    stick.setButton(1, false);
    const std::pair<int, const char*> alone[] = {{0, "Botón 1: Foto instantánea"},
                                                 {2, "Botón 4: Cámara trasera"},
                                                 {3, "Botón 3: Cámara delantera"},
                                                 {6, "Botón 7: Zoom -"},
                                                 {7, "Botón 8: Zoom +"}};
    for (const auto& [index, text] : alone) {
        stick.setButton(index, true);
        panel.texts.clear();
        tick();
        EXPECT_EQ(panel.texts, QStringList{text}) << "index " << index << " alone";
        stick.setButton(index, false);
    }
    for (int index : {0, 2, 3, 4, 5, 6, 7})
        stick.setButton(index, true);
    EXPECT_EQ(tick(), (Bytes{'c', 'C', 'Z', 'z'})) << "all together, in the table's order";
    EXPECT_EQ(std::tuple(panel.frontCamera, panel.snapshots, panel.records, panel.stopRecords),
              std::tuple(false, 2, 1, 1))
        << "index 2 (Botón 4) acts after index 3";
}

TEST(TwoAxisController, SendsNoZAndDrives) {
    platform::VirtualJoystick stick(2);
    input_testing::ControllerConsole console;
    console.open();
    EXPECT_TRUE(console.tick().empty()) << "no third axis, no channel 80";
    EXPECT_EQ(console.state.Position80, input::centre80);
    stick.setStick(0, 48);
    EXPECT_EQ(console.tick(), hexBytes("52 61 31 02 32 02"));
    EXPECT_EQ(console.controller.poll(false), input::PollOutcome::Failed) << "none present";
}

TEST_F(ControllerOnVirtualStick, LostControlStopsOnceWhicheverWayDrove) {
    const struct {
        const char* rule;
        int key;
        bool stickPushed;
        const char* bytes;
    } rows[] = {
        {"neither drove", 'D', false, ""},
        {"a held arrow alone", 38, false, "50"},
        {"a pushed stick alone", 'D', true, "50"},
        {"both together", 40, true, "50"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.rule);
        input_testing::ControllerConsole c;
        input::Keyboard keyboard{c.state, c.panel, c.link};
        stick.setStick(0, 0);
        c.open();
        c.tick();
        stick.setStick(0, row.stickPushed ? -48 : 0);
        c.tick();
        keyboard.keyDown(row.key);
        c.link.steps.clear();
        input::stopOnLostControl(keyboard, c.controller, c.link);
        input::stopOnLostControl(keyboard, c.controller, c.link);
        EXPECT_EQ(c.link.bytes(), hexBytes(row.bytes)) << "once";
        EXPECT_FALSE(c.state.KeyHeld);
        EXPECT_TRUE(c.controller.stickIdle());
        EXPECT_TRUE(c.tick().empty()) << "the held stick does not drive again by itself";
    }
}
