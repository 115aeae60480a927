#include "input/Keyboard.h"
#include "tests/input/RecordingPanel.h"
#include "tests/link/LinkTestSupport.h"

#include <gtest/gtest.h>

#include <optional>

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

input::ControlState startState() {
    input::ControlState state;
    state.DriveSpeed = driveSpeed;
    state.StoredSpeed = storedSpeed;
    state.PositionC0 = positionC0;
    state.Position80 = position80;
    state.ArmActive = false;
    return state;
}

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

QString status(int speed, bool forward, int key) {
    return QStringLiteral("%1   %2 -- %3").arg(speed).arg(forward ? 1 : 0).arg(key);
}

} // namespace

TEST_F(KeyboardTable, EveryRowSendsItsBytesAppliesItsEffectsAndWritesItsStatus) {
    struct Row {
        const char* rule;
        int key;
        Bytes bytes;
        // A status of the key's own, or none for the speed-direction-key line.
        std::optional<QString> text = {};
        int power = -1;
        int slider = -1;
        bool held = false;
        // The direction the key sets; none when it keeps it.
        std::optional<bool> forward = {};
        std::uint8_t drive = driveSpeed;
        std::uint8_t stored = storedSpeed;
        int c0 = positionC0;
        int p80 = position80;
        std::int8_t motors = 50;
    };
    const Row rows[] = {
        {"Enter stops and empties the power bar", 13, {0x50}, {}, 0},
        {"Space centres C0 then 80",
         32,
         {0x53, 0xE2, 0x53, 0xAD},
         {},
         -1,
         -1,
         false,
         {},
         driveSpeed,
         storedSpeed,
         34,
         45},
        {"Page Up", 33, {0x4A}},
        {"Page Down", 34, {0x6A}},
        {"End", 35, {0x46}},
        {"Left turns at the drive speed", 37, {0x33, driveSpeed, 0x52, 0x72}, {}, -1, -1, true},
        {"Up drives forward at the stored speed",
         38,
         {0x41, 0x72, 0x31, storedSpeed, 0x32, storedSpeed},
         {},
         50 - storedSpeed,
         -1,
         true,
         true,
         storedSpeed,
         storedSpeed,
         positionC0,
         position80,
         storedSpeed},
        {"Right turns at the drive speed", 39, {0x33, driveSpeed, 0x61, 0x41}, {}, -1, -1, true},
        {"Down drives backward at the stored speed",
         40,
         {0x52, 0x61, 0x31, storedSpeed, 0x32, storedSpeed},
         {},
         50 - storedSpeed,
         -1,
         true,
         false,
         storedSpeed,
         storedSpeed,
         positionC0,
         position80,
         storedSpeed},
        {"A cleaning motor on", 'A', {0x42}},
        {"C fixed byte, arm down by one",
         'C',
         {0x53, 0xFF},
         {},
         -1,
         -1,
         false,
         {},
         driveSpeed,
         storedSpeed,
         positionC0,
         position80 - 1},
        {"D front camera", 'D', {0x63}},
        {"E keeps its own text", 'E', {0x45}, QStringLiteral("Elevador arriba")},
        {"F picture keeps its own text", 'F', {}, QStringLiteral("Botón 1: Foto instantánea")},
        {"G leaves the line to the recording", 'G', {}, untouched},
        {"P leaves the line to the recording", 'P', {}, untouched},
        {"R keeps its own text", 'R', {0x65}, QStringLiteral("Elevador abajo")},
        {"S cleaning motor off", 'S', {0x62}},
        {"T rear camera", 'T', {0x43}},
        {"V fixed byte, arm up by one",
         'V',
         {0x53, 0xC1},
         {},
         -1,
         -1,
         false,
         {},
         driveSpeed,
         storedSpeed,
         positionC0,
         position80 + 1},
        {"X steps C0 up",
         'X',
         {0x53, (positionC0 + 1) ^ 0xC0},
         {},
         -1,
         -1,
         false,
         {},
         driveSpeed,
         storedSpeed,
         positionC0 + 1},
        {"Z steps C0 down",
         'Z',
         {0x53, (positionC0 - 1) ^ 0xC0},
         {},
         -1,
         -1,
         false,
         {},
         driveSpeed,
         storedSpeed,
         positionC0 - 1},
        {"keypad 0 shows the robot's text", 96, {}, QStringLiteral("robot text")},
        {"keypad plus: more power", 107, {}, {}, 32, 32, false, {}, 18, 18},
        {"plus: more power", 187, {}, {}, 32, 32, false, {}, 18, 18},
        {"keypad minus: less power", 109, {}, {}, 28, 28, false, {}, 22, 22},
        {"minus: less power", 189, {}, {}, 28, 28, false, {}, 22, 22},
        {"F1 lights preset", 112, {0x4C, 25}},
        {"F2 lights off", 113, {0x6C}},
        {"F11 zoom out", 122, {0x5A}},
        {"F12 zoom in", 123, {0x7A}},
        {"any other key", 36, {}},
        {"any other key, code as unsigned", 255, {}},
    };
    for (const Row& row : rows) {
        for (const bool forwardBefore : {true, false}) {
            SCOPED_TRACE(std::string(row.rule) + (forwardBefore ? ", forward" : ", backward"));
            input::ControlState state = startState();
            state.Forward = forwardBefore;
            RecordingLink link;
            input_testing::RecordingPanel panel{link};
            panel.status = untouched;
            input::Keyboard(state, panel, link).keyDown(row.key);

            EXPECT_EQ(link.bytes(), row.bytes);
            const bool forward = row.forward.value_or(forwardBefore);
            EXPECT_EQ(panel.status, row.text.value_or(status(row.drive, forward, row.key)));
            EXPECT_EQ(panel.power, row.power);
            EXPECT_EQ(panel.slider, row.slider);
            EXPECT_EQ(state.KeyHeld, row.held);
            EXPECT_EQ(state.Forward, forward);
            EXPECT_EQ(state.DriveSpeed, row.drive);
            EXPECT_EQ(state.StoredSpeed, row.stored);
            EXPECT_EQ(state.PositionC0, row.c0);
            EXPECT_EQ(state.Position80, row.p80);
            EXPECT_EQ(state.Motor1Value, row.motors);
            EXPECT_EQ(state.Motor2Value, row.motors);
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
        state.Forward = true;
        panel.power = -1;
        EXPECT_TRUE(press(arrow).empty());
        EXPECT_EQ(state.DriveSpeed, driveSpeed);
        EXPECT_TRUE(state.Forward);
        EXPECT_EQ(panel.power, -1);
        EXPECT_EQ(panel.status, status(driveSpeed, true, arrow)) << "the status line still follows";
    }
    EXPECT_EQ(press('X'), (Bytes{0x53, (positionC0 + 1) ^ 0xC0}))
        << "X acts while an arrow is held";
    EXPECT_EQ(press('X'), (Bytes{0x53, (positionC0 + 2) ^ 0xC0}));
    EXPECT_TRUE(state.KeyHeld);
}

TEST_F(KeyboardTable, ReleaseStopsAndFreesTheArrows) {
    press(38);
    link.steps.clear();
    keyboard.keyUp();
    EXPECT_EQ(link.bytes(), Bytes{0x50});
    EXPECT_FALSE(state.KeyHeld);
    EXPECT_EQ(press(37), (Bytes{0x33, storedSpeed, 0x52, 0x72})) << "Up left the drive speed at 14";
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

TEST_F(KeyboardTable, PositionKeysStayWithin1To64) {
    struct Case {
        int key, before, after;
    };
    for (const Case& c : {Case{'X', 63, 64}, Case{'X', 64, 64}, Case{'Z', 2, 1}, Case{'Z', 1, 1}}) {
        SCOPED_TRACE(std::string(1, static_cast<char>(c.key)) + std::to_string(c.before));
        state.PositionC0 = c.before;
        EXPECT_EQ(press(c.key), (Bytes{0x53, static_cast<std::uint8_t>(c.after ^ 0xC0)}));
        EXPECT_EQ(state.PositionC0, c.after);
    }
}

TEST_F(KeyboardTable, ArmKeysStepTheUnsentChannelOrJumpWhileTheArmIsActive) {
    struct Case {
        int key;
        bool armActive;
        int before, after;
    };
    for (const Case& c :
         {Case{'C', false, 2, 1}, Case{'C', false, 1, 1}, Case{'C', true, 30, 8},
          Case{'V', false, 55, 56}, Case{'V', false, 56, 56}, Case{'V', true, 10, 56}}) {
        SCOPED_TRACE(std::string(1, static_cast<char>(c.key)) + std::to_string(c.before) +
                     (c.armActive ? " active" : ""));
        state.ArmActive = c.armActive;
        state.Position80 = c.before;
        EXPECT_EQ(press(c.key),
                  (Bytes{0x53, c.key == 'C' ? std::uint8_t{0xFF} : std::uint8_t{0xC1}}));
        EXPECT_EQ(state.Position80, c.after);
    }
}
