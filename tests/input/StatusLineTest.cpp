#include "input/StatusLine.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using input::StatusLine;
using Condition = StatusLine::Condition;
using namespace std::chrono_literals;

struct Line {
    std::vector<QString> shown;
    StatusLine::Clock::time_point now{};
    StatusLine line{[this](const QString& text) { shown.push_back(text); }, [this] { return now; }};

    QString after(StatusLine::Clock::duration wait) {
        now += wait;
        line.refresh();
        return line.text();
    }
};

TEST(StatusLine, AConditionShowsAtOnceAndComesBackAfterAKeyTextHasBeenSeenForTheHoldTime) {
    Line l;
    l.line.raise(Condition::LinkLost, QStringLiteral("Conexión con el robot perdida"));
    EXPECT_EQ(l.line.text(), QStringLiteral("Conexión con el robot perdida"));
    l.line.show(QStringLiteral("Recto adelante"));
    EXPECT_EQ(l.line.text(), QStringLiteral("Recto adelante"));
    EXPECT_EQ(l.after(StatusLine::holdTime - 1ms), QStringLiteral("Recto adelante"));
    EXPECT_EQ(l.after(1ms), QStringLiteral("Conexión con el robot perdida"));
    const auto count = l.shown.size();
    l.line.refresh();
    EXPECT_EQ(l.shown.size(), count) << "a refresh that changes nothing repaints nothing";
}

TEST(StatusLine, TheMostUrgentConditionWinsAndTheNextOneShowsWhenItEnds) {
    Line l;
    l.line.raise(Condition::CameraNoPicture, QStringLiteral("Cámara sin imagen"));
    l.line.raise(Condition::LinkLost, QStringLiteral("Conexión con el robot perdida"));
    EXPECT_EQ(l.line.text(), QStringLiteral("Conexión con el robot perdida"));
    l.line.raise(Condition::CameraNoPicture, QStringLiteral("Cámara sin imagen"));
    EXPECT_EQ(l.line.text(), QStringLiteral("Conexión con el robot perdida"))
        << "a less urgent condition does not cover a more urgent one";
    l.line.clear(Condition::LinkLost);
    EXPECT_EQ(l.line.text(), QStringLiteral("Cámara sin imagen"));
    EXPECT_FALSE(l.line.active(Condition::LinkLost));
    EXPECT_TRUE(l.line.active(Condition::CameraNoPicture));
}

TEST(StatusLine, EndingAConditionLeavesAKeyTextThatCoversIt) {
    Line l;
    l.line.raise(Condition::CameraNoPicture, QStringLiteral("Cámara sin imagen"));
    l.line.show(QStringLiteral("Girando"));
    l.line.clear(Condition::CameraNoPicture);
    EXPECT_EQ(l.line.text(), QStringLiteral("Girando"));
    EXPECT_EQ(l.after(StatusLine::holdTime), QStringLiteral("Girando"));
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
