#include "input/Keyboard.h"
#include "tests/input/RecordingPanel.h"
#include "tests/link/LinkTestSupport.h"
#include "tests/support/HexBytes.h"

#include <gtest/gtest.h>

#include <tuple>

using testing_support::hexBytes;

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr int s = 14;

// What a key may change. Each value starts away from its start-up value, so a key that takes
// the wrong speed or skips a reset shows.
struct Values {
    int drive = 20, stored = s, c0 = 40, p80 = 30, motors = 50, power = -1, slider = -1;
    int forward = -1; // -1: as before the key
    bool held = false, arm = false, cleaning = false;
    int camera = -1; // 1 front, 0 rear
    int snapshots = 0, records = 0, stopRecords = 0;
};

auto tied(const Values& v) {
    return std::tuple(v.drive, v.stored, v.c0, v.p80, v.motors, v.power, v.slider, v.forward,
                      v.held, v.arm, v.cleaning, v.camera, v.snapshots, v.records, v.stopRecords);
}

struct Keys {
    input::ControlState state;
    link_testing::RecordingLink link;
    input_testing::RecordingPanel panel{link};
    input::Keyboard keyboard{state, panel, link};

    explicit Keys(const Values& v = {}, bool forward = true)
        : state{.DriveSpeed = std::uint8_t(v.drive),
                .StoredSpeed = std::uint8_t(v.stored),
                .Forward = forward,
                .KeyHeld = v.held,
                .PositionC0 = v.c0,
                .Position80 = v.p80,
                .ArmActive = v.arm} {
        panel.cleaning = v.cleaning;
        panel.status = QStringLiteral("untouched");
    }
    Bytes press(int key) {
        link.steps.clear();
        keyboard.keyDown(key);
        return link.bytes();
    }
    // The values in the order tied() gives them; both motors take one value.
    auto values() const {
        const bool sameMotors = state.Motor1Value == state.Motor2Value;
        return std::tuple(int(state.DriveSpeed), int(state.StoredSpeed), state.PositionC0,
                          state.Position80, sameMotors ? state.Motor1Value : -1, panel.power,
                          panel.slider, int(state.Forward), state.KeyHeld, state.ArmActive,
                          panel.cleaning, panel.frontCamera ? int(*panel.frontCamera) : -1,
                          panel.snapshots, panel.records, panel.stopRecords);
    }
};

} // namespace

TEST(Keyboard, EachKeySendsShowsAndChangesOnlyItsOwnValuesFromEitherDirection) {
    struct Row {
        const char* rule;
        int key;
        const char* bytes;
        Values after = {};
        const char* text = nullptr; // none: the status line
        Values before = {};
    };
    const Values held{.held = true}, armed{.arm = true};
    const Values ahead{.drive = s, .motors = s, .power = 36, .forward = 1, .held = true};
    const Values back{.drive = s, .motors = s, .power = 36, .forward = 0, .held = true};
    const char* photo = "Botón 1: Foto instantánea";
    std::vector<Row> rows = {
        {"A cleaning motor on", 'A', "42", {.cleaning = true}},
        {"S cleaning motor off", 'S', "62", {}, nullptr, {.cleaning = true}},
        {"D front camera", 'D', "63", {.camera = 1}},
        {"T rear camera", 'T', "43", {.camera = 0}},
        {"E own text", 'E', "45", {}, "Elevador arriba"},
        {"R own text", 'R', "65", {}, "Elevador abajo"},
        {"F a picture, own text", 'F', "", {.snapshots = 1}, photo},
        {"G leaves the line", 'G', "", {.records = 1}, "untouched"},
        {"P leaves the line", 'P', "", {.stopRecords = 1}, "untouched"},
        {"keypad 0 robot text", 96, "", {}, "robot text"},
        {"Enter stops, power 0", 13, "50", {.power = 0}},
        {"Space centres C0 and 80", 32, "53 E2 53 AD", {.c0 = 34, .p80 = 45}},
        {"Left at drive speed", 37, "33 14 52 72", held},
        {"Right at drive speed", 39, "33 14 61 41", held},
        {"Up at stored speed", 38, "41 72 31 0E 32 0E", ahead},
        {"Down at stored speed", 40, "52 61 31 0E 32 0E", back},
        {"X acts while an arrow is held", 'X', "53 E9", {.c0 = 41, .held = true}, nullptr, held},
        {"F acts while an arrow is held", 'F', "", {.held = true, .snapshots = 1}, photo, held},
        {"X steps C0 up", 'X', "53 E9", {.c0 = 41}},
        {"X up to 64", 'X', "53 80", {.c0 = 64}, nullptr, {.c0 = 63}},
        {"X stays at 64", 'X', "53 80", {.c0 = 64}, nullptr, {.c0 = 64}},
        {"Z steps C0 down", 'Z', "53 E7", {.c0 = 39}},
        {"Z down to 1", 'Z', "53 C1", {.c0 = 1}, nullptr, {.c0 = 2}},
        {"Z stays at 1", 'Z', "53 C1", {.c0 = 1}, nullptr, {.c0 = 1}},
        {"C steps the arm down unsent", 'C', "53 FF", {.p80 = 29}},
        {"C down to 1", 'C', "53 FF", {.p80 = 1}, nullptr, {.p80 = 2}},
        {"C stays at 1", 'C', "53 FF", {.p80 = 1}, nullptr, {.p80 = 1}},
        {"C: 8 while the arm is active", 'C', "53 FF", {.p80 = 8, .arm = true}, nullptr, armed},
        {"V steps the arm up unsent", 'V', "53 C1", {.p80 = 31}},
        {"V up to 56", 'V', "53 C1", {.p80 = 56}, nullptr, {.p80 = 55}},
        {"V stays at 56", 'V', "53 C1", {.p80 = 56}, nullptr, {.p80 = 56}},
        {"V: 63 capped at 56 if active", 'V', "53 C1", {.p80 = 56, .arm = true}, nullptr, armed},
    };
    // Keys that send their command and change nothing else; the last two send nothing.
    const std::pair<int, const char*> commands[] = {{33, "4A"},     {34, "6A"},  {35, "46"},
                                                    {112, "4C 19"}, {113, "6C"}, {122, "5A"},
                                                    {123, "7A"},    {36, ""},    {255, ""}};
    for (const auto& [key, bytes] : commands)
        rows.push_back({"command only", key, bytes});
    for (const int arrow : {37, 38, 39, 40})
        rows.push_back({"held arrow: the line only", arrow, "", held, nullptr, held});
    // Plus gives more power (a lower speed value), minus less, within 0 to 50.
    for (const auto& [key, step] : {std::pair{107, -2}, {187, -2}, {109, 2}, {189, 2}}) {
        const int next = Values{}.drive + step, end = step < 0 ? 0 : 50;
        const Values one{.drive = next, .stored = next, .power = 50 - next, .slider = 50 - next};
        const Values atEnd{.drive = end, .stored = end, .power = 50 - end, .slider = 50 - end};
        rows.push_back({"one step", key, "", one});
        rows.push_back({"to the end", key, "", atEnd, nullptr, {.drive = end - step}});
        rows.push_back({"stops at the end", key, "", atEnd, nullptr, {.drive = end - step / 2}});
        rows.push_back({"stays at the end", key, "", atEnd, nullptr, {.drive = end}});
    }
    for (const Row& r : rows) {
        for (const bool before : {true, false}) {
            SCOPED_TRACE(std::string(r.rule) + ", key " + std::to_string(r.key) +
                         (before ? ", forward" : ", backward"));
            Values want = r.after;
            want.forward = r.after.forward < 0 ? before : r.after.forward;
            const QString line = QStringLiteral("%1   %2 -- %3").arg(want.drive).arg(want.forward);
            const std::string text = r.text ? r.text : line.arg(r.key).toStdString();
            Keys keys(r.before, before);
            const Bytes sent = keys.press(r.key);
            EXPECT_EQ(std::tuple(sent, keys.panel.status.toStdString(), keys.values()),
                      std::tuple(hexBytes(r.bytes), text, tied(want)));
        }
    }
}

TEST(Keyboard, EveryReleaseStopsAndFreesTheArrowsAndALostKeyboardCountsOnlyWhileOneDrove) {
    Keys keys;
    keys.keyboard.keyUp();
    EXPECT_EQ(keys.link.bytes(), Bytes{0x50}) << "with no arrow held too";
    EXPECT_FALSE(keys.keyboard.releaseHeldKey());
    keys.press(38);
    keys.keyboard.keyUp();
    EXPECT_EQ(keys.link.bytes(), hexBytes("41 72 31 0E 32 0E 50"));
    EXPECT_FALSE(keys.state.KeyHeld);
    EXPECT_EQ(keys.press(37), hexBytes("33 0E 52 72")) << "Up left the drive speed at 14";
    EXPECT_TRUE(keys.keyboard.releaseHeldKey());
    EXPECT_FALSE(keys.state.KeyHeld);
    EXPECT_FALSE(keys.keyboard.releaseHeldKey());
    EXPECT_EQ(keys.press(40).size(), 6u) << "the next press acts again";
}
