#include "input/Keyboard.h"
#include "tests/input/RecordingPanel.h"
#include "tests/link/LinkTestSupport.h"
#include "tests/support/HexBytes.h"

#include <gtest/gtest.h>

#include <tuple>

using link_testing::RecordingLink;
using testing_support::hexBytes;

namespace {

using Bytes = std::vector<std::uint8_t>;

// Every value a key applies or resets starts away from its start-up value, so a key that
// takes the wrong speed or skips a reset shows.
constexpr int d = 20, s = 14, c0 = 40, p80 = 30;

std::string status(int speed, bool forward, int key) {
    return QStringLiteral("%1   %2 -- %3").arg(speed).arg(forward ? 1 : 0).arg(key).toStdString();
}

// A keyboard whose values all start away from their defaults.
struct Keys {
    input::ControlState state;
    RecordingLink link;
    input_testing::RecordingPanel panel{link};
    input::Keyboard keyboard{state, panel, link};

    explicit Keys(bool forward = true) {
        state.DriveSpeed = d;
        state.StoredSpeed = s;
        state.PositionC0 = c0;
        state.Position80 = p80;
        state.ArmActive = false;
        state.Forward = forward;
        panel.status = QStringLiteral("untouched");
    }
    Bytes press(int key) {
        link.steps.clear();
        keyboard.keyDown(key);
        return link.bytes();
    }
    // Everything a key press leaves behind, as one comparable value.
    auto outcome(int key) {
        const Bytes sent = press(key);
        return std::tuple(sent, panel.status.toStdString(), panel.power, panel.slider,
                          state.KeyHeld, state.Forward, int(state.DriveSpeed),
                          int(state.StoredSpeed), state.PositionC0, state.Position80,
                          int(state.Motor1Value), int(state.Motor2Value));
    }
};

struct KeyboardTable : ::testing::Test, Keys {};

} // namespace

TEST(KeyboardRows, EachKeySendsShowsAndChangesOnlyItsOwnValuesFromEitherDirection) {
    struct Row {
        const char* rule;
        int key;
        const char* bytes;
        const char* text; // none: the status line
        int power, slider;
        bool held;
        int forward; // -1 keeps it
        int drive, stored, c0, p80, motors;
    };
    const Row rows[] = {
        {"Page Up", 33, "4A", nullptr, -1, -1, false, -1, d, s, c0, p80, 50},
        {"Page Down", 34, "6A", nullptr, -1, -1, false, -1, d, s, c0, p80, 50},
        {"End", 35, "46", nullptr, -1, -1, false, -1, d, s, c0, p80, 50},
        {"A cleaning motor on", 'A', "42", nullptr, -1, -1, false, -1, d, s, c0, p80, 50},
        {"D front camera", 'D', "63", nullptr, -1, -1, false, -1, d, s, c0, p80, 50},
        {"E own text", 'E', "45", "Elevador arriba", -1, -1, false, -1, d, s, c0, p80, 50},
        {"F own text", 'F', "", "Botón 1: Foto instantánea", -1, -1, false, -1, d, s, c0, p80, 50},
        {"G leaves the line", 'G', "", "untouched", -1, -1, false, -1, d, s, c0, p80, 50},
        {"P leaves the line", 'P', "", "untouched", -1, -1, false, -1, d, s, c0, p80, 50},
        {"R own text", 'R', "65", "Elevador abajo", -1, -1, false, -1, d, s, c0, p80, 50},
        {"S cleaning motor off", 'S', "62", nullptr, -1, -1, false, -1, d, s, c0, p80, 50},
        {"T rear camera", 'T', "43", nullptr, -1, -1, false, -1, d, s, c0, p80, 50},
        {"keypad 0 robot text", 96, "", "robot text", -1, -1, false, -1, d, s, c0, p80, 50},
        {"F1 lights preset", 112, "4C 19", nullptr, -1, -1, false, -1, d, s, c0, p80, 50},
        {"F2 lights off", 113, "6C", nullptr, -1, -1, false, -1, d, s, c0, p80, 50},
        {"F11 zoom out", 122, "5A", nullptr, -1, -1, false, -1, d, s, c0, p80, 50},
        {"F12 zoom in", 123, "7A", nullptr, -1, -1, false, -1, d, s, c0, p80, 50},
        {"any other key", 36, "", nullptr, -1, -1, false, -1, d, s, c0, p80, 50},
        {"its code unsigned", 255, "", nullptr, -1, -1, false, -1, d, s, c0, p80, 50},
        {"Enter stops, power 0", 13, "50", nullptr, 0, -1, false, -1, d, s, c0, p80, 50},
        {"Space centres C0, 80", 32, "53 E2 53 AD", nullptr, -1, -1, false, -1, d, s, 34, 45, 50},
        {"Left at drive speed", 37, "33 14 52 72", nullptr, -1, -1, true, -1, d, s, c0, p80, 50},
        {"Right at drive speed", 39, "33 14 61 41", nullptr, -1, -1, true, -1, d, s, c0, p80, 50},
        {"Up at stored speed", 38, "41 72 31 0E 32 0E", nullptr, 36, -1, true, 1, s, s, c0, p80, s},
        {"Down at stored", 40, "52 61 31 0E 32 0E", nullptr, 36, -1, true, 0, s, s, c0, p80, s},
        {"keypad plus", 107, "", nullptr, 32, 32, false, -1, 18, 18, c0, p80, 50},
        {"plus: more power", 187, "", nullptr, 32, 32, false, -1, 18, 18, c0, p80, 50},
        {"keypad minus", 109, "", nullptr, 28, 28, false, -1, 22, 22, c0, p80, 50},
        {"minus: less power", 189, "", nullptr, 28, 28, false, -1, 22, 22, c0, p80, 50},
    };
    for (const Row& r : rows) {
        for (const bool before : {true, false}) {
            SCOPED_TRACE(std::string(r.rule) + (before ? ", forward" : ", backward"));
            const bool forward = r.forward < 0 ? before : r.forward == 1;
            const std::string text = r.text ? r.text : status(r.drive, forward, r.key);
            EXPECT_EQ(Keys(before).outcome(r.key),
                      std::tuple(hexBytes(r.bytes), text, r.power, r.slider, r.held, forward,
                                 r.drive, r.stored, r.c0, r.p80, r.motors, r.motors));
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
    for (int key : {'F', 'F', 'G', 'P'})
        press(key);
    EXPECT_EQ(std::tuple(panel.snapshots, panel.records, panel.stopRecords), std::tuple(2, 1, 1))
        << "a held F takes a picture on every repeat";
}

TEST_F(KeyboardTable, HeldArrowActsOncePerPressAndOtherKeysRepeat) {
    for (int arrow : {37, 38, 39, 40}) {
        SCOPED_TRACE(arrow);
        state.KeyHeld = true;
        EXPECT_EQ(outcome(arrow), std::tuple(Bytes{}, status(d, true, arrow), -1, -1, true, true, d,
                                             s, c0, p80, 50, 50))
            << "only the status line follows";
    }
    EXPECT_EQ(press('X'), hexBytes("53 E9")) << "X acts while an arrow is held";
    EXPECT_EQ(press('X'), hexBytes("53 EA"));
    EXPECT_TRUE(state.KeyHeld);
}

TEST_F(KeyboardTable, ReleaseStopsAndFreesTheArrowsAndALostKeyboardCountsOnlyWhileOneDrove) {
    press(38);
    link.steps.clear();
    keyboard.keyUp();
    EXPECT_EQ(link.bytes(), Bytes{0x50});
    EXPECT_FALSE(state.KeyHeld);
    EXPECT_EQ(press(37), hexBytes("33 0E 52 72")) << "Up left the drive speed at 14";
    link.steps.clear();
    keyboard.keyUp();
    EXPECT_EQ(link.bytes(), Bytes{0x50}) << "every release stops, held or not";

    EXPECT_FALSE(keyboard.releaseHeldKey());
    press(40);
    EXPECT_TRUE(keyboard.releaseHeldKey());
    EXPECT_FALSE(state.KeyHeld);
    EXPECT_FALSE(keyboard.releaseHeldKey());
    EXPECT_EQ(press(40).size(), 6u) << "the next press acts again";
}

TEST_F(KeyboardTable, SpeedKeysClampTo0And50) {
    for (const auto& [key, before, after] : {std::tuple{107, 2, 0},
                                             {107, 1, 0},
                                             {187, 0, 0},
                                             {109, 48, 50},
                                             {189, 49, 50},
                                             {109, 50, 50}}) {
        SCOPED_TRACE(key * 1000 + before);
        state.DriveSpeed = std::uint8_t(before);
        state.StoredSpeed = s;
        EXPECT_EQ(outcome(key), std::tuple(Bytes{}, status(after, true, key), 50 - after,
                                           50 - after, false, true, after, after, c0, p80, 50, 50));
    }
}

TEST_F(KeyboardTable, PositionKeysStayWithinTheirChannelsBounds) {
    struct Row {
        const char* rule;
        int key;
        bool armActive;
        int c0, p80, c0After, p80After;
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
        EXPECT_EQ(outcome(row.key),
                  std::tuple(hexBytes(row.bytes), status(d, true, row.key), -1, -1, false, true, d,
                             s, row.c0After, row.p80After, 50, 50));
    }
}
