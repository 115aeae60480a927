#include "platform/Keys.h"

#include <QKeyEvent>

#include <gtest/gtest.h>

namespace {

int codeOf(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    const QKeyEvent event(QEvent::KeyPress, key, modifiers);
    return platform::virtualKey(event);
}

} // namespace

TEST(VirtualKeys, EveryKeyOfTheTableAndAnyOtherKeyGetsItsCode) {
    struct Case {
        int key;
        Qt::KeyboardModifiers modifiers;
        int code;
    };
    const Case cases[] = {
        {Qt::Key_Return, Qt::NoModifier, 13},      {Qt::Key_Enter, Qt::KeypadModifier, 13},
        {Qt::Key_Space, Qt::NoModifier, 32},       {Qt::Key_PageUp, Qt::NoModifier, 33},
        {Qt::Key_PageDown, Qt::NoModifier, 34},    {Qt::Key_End, Qt::NoModifier, 35},
        {Qt::Key_Left, Qt::NoModifier, 37},        {Qt::Key_Up, Qt::ShiftModifier, 38},
        {Qt::Key_Right, Qt::NoModifier, 39},       {Qt::Key_Down, Qt::ControlModifier, 40},
        {Qt::Key_A, Qt::NoModifier, 65},           {Qt::Key_Z, Qt::ShiftModifier, 90},
        {Qt::Key_0, Qt::KeypadModifier, 96},       {Qt::Key_9, Qt::KeypadModifier, 105},
        {Qt::Key_0, Qt::NoModifier, 48},           {Qt::Key_Plus, Qt::KeypadModifier, 107},
        {Qt::Key_Minus, Qt::KeypadModifier, 109},  {Qt::Key_Plus, Qt::NoModifier, 187},
        {Qt::Key_Equal, Qt::NoModifier, 187},      {Qt::Key_Plus, Qt::ShiftModifier, 187},
        {Qt::Key_Minus, Qt::NoModifier, 189},      {Qt::Key_Underscore, Qt::ShiftModifier, 189},
        {Qt::Key_Insert, Qt::KeypadModifier, 45},  {Qt::Key_F1, Qt::NoModifier, 112},
        {Qt::Key_F12, Qt::NoModifier, 123},        {Qt::Key_Shift, Qt::ShiftModifier, 16},
        {Qt::Key_Escape, Qt::NoModifier, 27},      {Qt::Key_Ntilde, Qt::NoModifier, 192},
        {Qt::Key_LaunchMail, Qt::NoModifier, 255}, {Qt::Key_unknown, Qt::NoModifier, 255},
    };
    for (const Case& c : cases)
        EXPECT_EQ(codeOf(c.key, c.modifiers), c.code) << std::hex << c.key;
}

TEST(VirtualKeys, OnlyAutoRepeatedReleasesAreDropped) {
    const QKeyEvent repeatRelease(QEvent::KeyRelease, Qt::Key_Up, Qt::NoModifier, {}, true);
    const QKeyEvent realRelease(QEvent::KeyRelease, Qt::Key_Up, Qt::NoModifier);
    const QKeyEvent repeatPress(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier, {}, true);
    EXPECT_TRUE(platform::isRepeatRelease(repeatRelease));
    EXPECT_FALSE(platform::isRepeatRelease(realRelease));
    EXPECT_FALSE(platform::isRepeatRelease(repeatPress));
}

TEST(VirtualKeys, RepeatsThatWaitedBehindASlowHandlerAreDropped) {
    platform::KeyRepeatFilter filter;
    auto stale = [&](bool autoRepeat, quint64 timestamp, std::int64_t now) {
        QKeyEvent event(QEvent::KeyPress, Qt::Key_0, Qt::KeypadModifier, {}, autoRepeat);
        event.setTimestamp(timestamp);
        return filter.isStaleRepeat(event, now);
    };
    // The server's clock runs 5000 ms behind the console's.
    EXPECT_FALSE(stale(false, 1000, 6001));
    EXPECT_FALSE(stale(true, 1030, 6032));
    EXPECT_TRUE(stale(true, 1060, 6200)) << "waited 140 ms while the handler ran";
    EXPECT_FALSE(stale(true, 1190, 6215));
    EXPECT_FALSE(stale(false, 1300, 9999)) << "a new press is never dropped";
    EXPECT_FALSE(stale(true, 1330, 10030)) << "and waits count from it";
    EXPECT_FALSE(stale(true, 0, 99999)) << "events without a time are kept";
}
