#include "input/Keyboard.h"
#include "tests/input/HexBytes.h"
#include "tests/input/RecordingPanel.h"
#include "tests/link/LinkTestSupport.h"

#include <gtest/gtest.h>

using input_testing::hexBytes;
using link_testing::RecordingLink;

namespace {

using Bytes = std::vector<std::uint8_t>;

// Every value a key applies or resets starts away from its start-up value, so a key that
// takes the wrong speed or skips a reset shows.
constexpr std::uint8_t driveSpeed = 20;
constexpr std::uint8_t storedSpeed = 14;
constexpr int positionC0 = 40;
constexpr int position80 = 30;
const QString untouched = QStringLiteral("untouched");

input::ControlState startState(bool forward = true) {
    input::ControlState state;
    state.DriveSpeed = driveSpeed;
    state.StoredSpeed = storedSpeed;
    state.PositionC0 = positionC0;
    state.Position80 = position80;
    state.ArmActive = false;
    state.Forward = forward;
    return state;
}

QString status(int speed, bool forward, int key) {
    return QStringLiteral("%1   %2 -- %3").arg(speed).arg(forward ? 1 : 0).arg(key);
}

// One key pressed from the start state, with or without Forward set.
struct KeyPress {
    input::ControlState state;
    RecordingLink link;
    input_testing::RecordingPanel panel{link};

    KeyPress(int key, bool forward) : state(startState(forward)) {
        panel.status = untouched;
        input::Keyboard(state, panel, link).keyDown(key);
    }
};

struct KeyboardTable : ::testing::Test {
    input::ControlState state = startState();
    RecordingLink link;
    input_testing::RecordingPanel panel{link};
    input::Keyboard keyboard{state, panel, link};

    KeyboardTable() { panel.status = untouched; }
    Bytes press(int key) {
        link.steps.clear();
        keyboard.keyDown(key);
        return link.bytes();
    }
};

} // namespace

TEST(KeyboardRows, KeysThatOnlySendOrShowLeaveEveryValueAlone) {
    struct Row {
        const char* rule;
        int key;
        const char* bytes;
        // The key's own text; none for the status line.
        const char* text = nullptr;
    };
    const Row rows[] = {
        {"Page Up", 33, "4A"},
        {"Page Down", 34, "6A"},
        {"End", 35, "46"},
        {"A cleaning motor on", 'A', "42"},
        {"D front camera", 'D', "63"},
        {"E keeps its own text", 'E', "45", "Elevador arriba"},
        {"F picture keeps its own text", 'F', "", "Botón 1: Foto instantánea"},
        {"G leaves the line to the recording", 'G', "", "untouched"},
        {"P leaves the line to the recording", 'P', "", "untouched"},
        {"R keeps its own text", 'R', "65", "Elevador abajo"},
        {"S cleaning motor off", 'S', "62"},
        {"T rear camera", 'T', "43"},
        {"keypad 0 shows the robot's text", 96, "", "robot text"},
        {"F1 lights preset", 112, "4C 19"},
        {"F2 lights off", 113, "6C"},
        {"F11 zoom out", 122, "5A"},
        {"F12 zoom in", 123, "7A"},
        {"any other key", 36, ""},
        {"any other key, its code unsigned", 255, ""},
    };
    for (const Row& row : rows) {
        for (const bool forward : {true, false}) {
            SCOPED_TRACE(std::string(row.rule) + (forward ? ", forward" : ", backward"));
            const KeyPress press(row.key, forward);
            EXPECT_EQ(press.link.bytes(), hexBytes(row.bytes));
            EXPECT_EQ(press.panel.status, row.text ? QString::fromUtf8(row.text)
                                                   : status(driveSpeed, forward, row.key));
            EXPECT_EQ(press.panel.power, -1);
            EXPECT_EQ(press.panel.slider, -1);
            EXPECT_FALSE(press.state.KeyHeld);
            EXPECT_EQ(press.state.Forward, forward);
            EXPECT_EQ(press.state.DriveSpeed, driveSpeed);
            EXPECT_EQ(press.state.StoredSpeed, storedSpeed);
            EXPECT_EQ(press.state.PositionC0, positionC0);
            EXPECT_EQ(press.state.Position80, position80);
        }
    }
}

TEST(KeyboardRows, KeysThatDriveResetOrChangeTheSpeed) {
    struct Row {
        const char* rule;
        int key;
        const char* bytes;
        int power, slider;
        bool held;
        int forward; // -1 keeps it
        int drive, stored, c0, p80, motors;
    };
    const int d = driveSpeed, s = storedSpeed, c0 = positionC0, p80 = position80;
    const Row rows[] = {
        {"Enter stops, power bar 0", 13, "50", 0, -1, false, -1, d, s, c0, p80, 50},
        {"Space centres C0 then 80", 32, "53 E2 53 AD", -1, -1, false, -1, d, s, 34, 45, 50},
        {"Left turns at the drive speed", 37, "33 14 52 72", -1, -1, true, -1, d, s, c0, p80, 50},
        {"Right turns at the drive speed", 39, "33 14 61 41", -1, -1, true, -1, d, s, c0, p80, 50},
        {"Up at the stored speed", 38, "41 72 31 0E 32 0E", 36, -1, true, 1, s, s, c0, p80, s},
        {"Down at the stored speed", 40, "52 61 31 0E 32 0E", 36, -1, true, 0, s, s, c0, p80, s},
        {"keypad plus: more power", 107, "", 32, 32, false, -1, 18, 18, c0, p80, 50},
        {"plus: more power", 187, "", 32, 32, false, -1, 18, 18, c0, p80, 50},
        {"keypad minus: less power", 109, "", 28, 28, false, -1, 22, 22, c0, p80, 50},
        {"minus: less power", 189, "", 28, 28, false, -1, 22, 22, c0, p80, 50},
    };
    for (const Row& row : rows) {
        for (const bool forwardBefore : {true, false}) {
            SCOPED_TRACE(std::string(row.rule) + (forwardBefore ? ", forward" : ", backward"));
            const KeyPress press(row.key, forwardBefore);
            const bool forward = row.forward < 0 ? forwardBefore : row.forward == 1;
            EXPECT_EQ(press.link.bytes(), hexBytes(row.bytes));
            EXPECT_EQ(press.panel.status, status(row.drive, forward, row.key));
            EXPECT_EQ(press.panel.power, row.power);
            EXPECT_EQ(press.panel.slider, row.slider);
            EXPECT_EQ(press.state.KeyHeld, row.held);
            EXPECT_EQ(press.state.Forward, forward);
            EXPECT_EQ(press.state.DriveSpeed, row.drive);
            EXPECT_EQ(press.state.StoredSpeed, row.stored);
            EXPECT_EQ(press.state.PositionC0, row.c0);
            EXPECT_EQ(press.state.Position80, row.p80);
            EXPECT_EQ(press.state.Motor1Value, row.motors);
            EXPECT_EQ(press.state.Motor2Value, row.motors);
        }
    }
}

TEST_F(KeyboardTable, PanelEffectsOfTheSwitchCameraAndPictureKeys) {
    press('A');
    EXPECT_TRUE(panel.cleaning);
    press('S');
    EXPECT_FALSE(panel.cleaning);
    press('D');
    EXPECT_EQ(panel.frontCamera, true);
    press('T');
    EXPECT_EQ(panel.frontCamera, false);
    press('F');
    press('F');
    press('G');
    press('P');
    EXPECT_EQ(panel.snapshots, 2) << "a held F takes a picture on every repeat";
    EXPECT_EQ(panel.records, 1);
    EXPECT_EQ(panel.stopRecords, 1);
}

TEST_F(KeyboardTable, HeldArrowActsOncePerPressAndOtherKeysRepeat) {
    for (int arrow : {37, 38, 39, 40}) {
        SCOPED_TRACE(arrow);
        state.KeyHeld = true;
        EXPECT_TRUE(press(arrow).empty());
        EXPECT_EQ(state.DriveSpeed, driveSpeed);
        EXPECT_TRUE(state.Forward);
        EXPECT_EQ(panel.power, -1);
        EXPECT_EQ(panel.status, status(driveSpeed, true, arrow)) << "the status line still follows";
    }
    EXPECT_EQ(press('X'), hexBytes("53 E9")) << "X acts while an arrow is held";
    EXPECT_EQ(press('X'), hexBytes("53 EA"));
    EXPECT_TRUE(state.KeyHeld);
}

TEST_F(KeyboardTable, ReleaseStopsAndFreesTheArrows) {
    press(38);
    link.steps.clear();
    keyboard.keyUp();
    EXPECT_EQ(link.bytes(), Bytes{0x50});
    EXPECT_FALSE(state.KeyHeld);
    EXPECT_EQ(press(37), hexBytes("33 0E 52 72")) << "Up left the drive speed at 14";
    link.steps.clear();
    keyboard.keyUp();
    EXPECT_EQ(link.bytes(), Bytes{0x50}) << "every release stops, held or not";
}

TEST_F(KeyboardTable, LostKeyboardCountsAsAReleaseOnlyWhileAnArrowDrove) {
    EXPECT_FALSE(keyboard.releaseHeldKey());
    press(40);
    EXPECT_TRUE(keyboard.releaseHeldKey());
    EXPECT_FALSE(state.KeyHeld);
    EXPECT_FALSE(keyboard.releaseHeldKey());
    EXPECT_EQ(press(40).size(), 6u) << "the next press acts again";
}

TEST_F(KeyboardTable, SpeedKeysClampTo0And50) {
    struct Case {
        int key;
        std::uint8_t before, after;
    };
    for (const Case& c : {Case{107, 2, 0}, Case{107, 1, 0}, Case{187, 0, 0}, Case{109, 48, 50},
                          Case{189, 49, 50}, Case{109, 50, 50}}) {
        SCOPED_TRACE(c.key * 1000 + c.before);
        state.DriveSpeed = c.before;
        state.StoredSpeed = storedSpeed;
        EXPECT_TRUE(press(c.key).empty());
        EXPECT_EQ(state.DriveSpeed, c.after);
        EXPECT_EQ(state.StoredSpeed, c.after);
        EXPECT_EQ(panel.power, 50 - c.after);
        EXPECT_EQ(panel.slider, 50 - c.after);
        EXPECT_EQ(panel.status, status(c.after, true, c.key));
    }
}

TEST_F(KeyboardTable, PositionKeysStayWithinTheirChannelsBounds) {
    struct Row {
        const char* rule;
        int key;
        bool armActive;
        int c0, p80; // before
        int c0After, p80After;
        const char* bytes;
    };
    const Row rows[] = {
        {"X steps C0 up", 'X', false, 40, 30, 41, 30, "53 E9"},
        {"X up to 64", 'X', false, 63, 30, 64, 30, "53 80"},
        {"X stays at 64", 'X', false, 64, 30, 64, 30, "53 80"},
        {"Z steps C0 down", 'Z', false, 40, 30, 39, 30, "53 E7"},
        {"Z down to 1", 'Z', false, 2, 30, 1, 30, "53 C1"},
        {"Z stays at 1", 'Z', false, 1, 30, 1, 30, "53 C1"},
        {"C steps the arm down unsent", 'C', false, 40, 30, 40, 29, "53 FF"},
        {"C down to 1", 'C', false, 40, 2, 40, 1, "53 FF"},
        {"C stays at 1", 'C', false, 40, 1, 40, 1, "53 FF"},
        {"C jumps to 8 while the arm is active", 'C', true, 40, 30, 40, 8, "53 FF"},
        {"V steps the arm up unsent", 'V', false, 40, 30, 40, 31, "53 C1"},
        {"V up to 56", 'V', false, 40, 55, 40, 56, "53 C1"},
        {"V stays at 56", 'V', false, 40, 56, 40, 56, "53 C1"},
        {"V jumps to 63, capped at 56, while active", 'V', true, 40, 10, 40, 56, "53 C1"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.rule);
        state.ArmActive = row.armActive;
        state.PositionC0 = row.c0;
        state.Position80 = row.p80;
        EXPECT_EQ(press(row.key), hexBytes(row.bytes));
        EXPECT_EQ(state.PositionC0, row.c0After);
        EXPECT_EQ(state.Position80, row.p80After);
        EXPECT_EQ(panel.status, status(driveSpeed, true, row.key));
    }
}
