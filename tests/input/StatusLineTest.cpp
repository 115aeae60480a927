#include "input/StatusLine.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using input::StatusLine;
using Condition = StatusLine::Condition;
using namespace std::chrono_literals;

const QString lost = QStringLiteral("Conexión con el robot perdida");
const QString noPicture = QStringLiteral("Cámara sin imagen");

struct Line {
    std::vector<QString> shown;
    StatusLine::Clock::time_point now{};
    StatusLine line{[this](const QString& text) { shown.push_back(text); }, [this] { return now; }};

    void after(std::chrono::milliseconds wait) {
        now += wait;
        line.refresh();
    }
};

TEST(StatusLine, AConditionComesBackOnceAKeyTextHasBeenSeenForTheHoldTime) {
    Line l;
    l.line.raise(Condition::LinkLost, lost);
    EXPECT_EQ(l.line.text(), lost);
    l.line.show(QStringLiteral("Recto adelante"));
    l.after(StatusLine::holdTime - 1ms);
    EXPECT_EQ(l.line.text(), QStringLiteral("Recto adelante"));
    l.after(1ms);
    EXPECT_EQ(l.line.text(), lost);
    const auto count = l.shown.size();
    l.after(StatusLine::holdTime);
    EXPECT_EQ(l.shown.size(), count) << "one condition on: a refresh repaints nothing";
}

TEST(StatusLine, ANewConditionShowsAtOnceAndConditionsTakeTurnsWhileOn) {
    Line l;
    l.line.raise(Condition::LinkLost, lost);
    l.line.raise(Condition::CameraNoPicture, noPicture);
    EXPECT_EQ(l.line.text(), noPicture) << "news shows at once, even behind a more urgent one";
    l.after(StatusLine::holdTime - 1ms);
    EXPECT_EQ(l.line.text(), noPicture);
    l.after(1ms);
    EXPECT_EQ(l.line.text(), lost);
    l.after(StatusLine::holdTime);
    EXPECT_EQ(l.line.text(), noPicture);
    l.line.raise(Condition::CameraNoPicture, noPicture);
    l.after(StatusLine::holdTime);
    EXPECT_EQ(l.line.text(), lost) << "the same text again is no news";
}

TEST(StatusLine, EndingTheConditionInViewShowsTheNextOneAndEndingAHiddenOneChangesNothing) {
    Line l;
    l.line.raise(Condition::CameraNoPicture, noPicture);
    l.line.raise(Condition::LinkLost, lost);
    l.line.clear(Condition::LinkLost);
    EXPECT_EQ(l.line.text(), noPicture);
    EXPECT_FALSE(l.line.active(Condition::LinkLost));
    EXPECT_TRUE(l.line.active(Condition::CameraNoPicture));
    l.line.show(QStringLiteral("Girando"));
    l.line.clear(Condition::CameraNoPicture);
    EXPECT_EQ(l.line.text(), QStringLiteral("Girando"));
    l.after(StatusLine::holdTime);
    EXPECT_EQ(l.line.text(), QStringLiteral("Girando")) << "nothing left to bring back";
}

TEST(StatusLine, ARaisedConditionChangesItsTextInPlace) {
    Line l;
    l.line.raise(Condition::FramesDropped, QStringLiteral("Cuadros perdidos: 3"));
    l.line.raise(Condition::FramesDropped, QStringLiteral("Cuadros perdidos: 4"));
    EXPECT_EQ(l.line.text(), QStringLiteral("Cuadros perdidos: 4"));
    l.line.clear(Condition::FramesDropped);
    l.line.clear(Condition::FramesDropped);
    EXPECT_FALSE(l.line.active(Condition::FramesDropped));
}

} // namespace
