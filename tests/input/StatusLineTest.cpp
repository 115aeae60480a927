#include "input/StatusLine.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using input::StatusLine;
using Condition = StatusLine::Condition;
using namespace std::chrono_literals;

const QString lost = QStringLiteral("Conexión con el robot perdida");
const QString noPicture = QStringLiteral("Cámara sin imagen");
const QString failed = QStringLiteral("Grabación detenida: disco lleno");

struct Line : ::testing::Test {
    std::vector<QString> shown;
    StatusLine::Clock::time_point now{};
    StatusLine line{[this](const QString& text) { shown.push_back(text); }, [this] { return now; }};

    void after(std::chrono::milliseconds wait) {
        now += wait;
        line.refresh();
    }
};

TEST_F(Line, AConditionComesBackOnceAKeyTextHasBeenSeenForTheHoldTime) {
    line.raise(Condition::RecordingFailed, failed);
    EXPECT_EQ(line.text(), failed);
    line.show(QStringLiteral("Recto adelante"));
    after(StatusLine::holdTime - 1ms);
    EXPECT_EQ(line.text(), QStringLiteral("Recto adelante"));
    after(1ms);
    EXPECT_EQ(line.text(), failed);
    const auto count = shown.size();
    after(StatusLine::holdTime);
    EXPECT_EQ(shown.size(), count) << "one condition on: a refresh repaints nothing";
}

TEST_F(Line, ANewConditionShowsAtOnceAndConditionsTakeTurnsWhileOn) {
    line.raise(Condition::RecordingFailed, failed);
    line.raise(Condition::CameraNoPicture, noPicture);
    EXPECT_EQ(line.text(), noPicture) << "news shows at once, even behind a more urgent one";
    after(StatusLine::holdTime - 1ms);
    EXPECT_EQ(line.text(), noPicture);
    after(1ms);
    EXPECT_EQ(line.text(), failed);
    after(StatusLine::holdTime);
    EXPECT_EQ(line.text(), noPicture);
    line.raise(Condition::CameraNoPicture, noPicture);
    after(StatusLine::holdTime);
    EXPECT_EQ(line.text(), failed) << "the same text again is no news";
    line.raise(Condition::CameraNoPicture, QStringLiteral("Cámara sin imagen: 2"));
    EXPECT_EQ(line.text(), QStringLiteral("Cámara sin imagen: 2")) << "a new text is news";
}

TEST_F(Line, EndingTheConditionInViewShowsTheNextOneAndEndingAHiddenOneChangesNothing) {
    line.raise(Condition::CameraNoPicture, noPicture);
    line.raise(Condition::RecordingFailed, failed);
    line.clear(Condition::RecordingFailed);
    EXPECT_EQ(line.text(), noPicture);
    EXPECT_FALSE(line.active(Condition::RecordingFailed));
    EXPECT_TRUE(line.active(Condition::CameraNoPicture));
    line.show(QStringLiteral("Girando"));
    line.clear(Condition::CameraNoPicture);
    line.clear(Condition::CameraNoPicture);
    EXPECT_EQ(line.text(), QStringLiteral("Girando"));
    after(StatusLine::holdTime);
    EXPECT_EQ(line.text(), QStringLiteral("Girando")) << "nothing left to bring back";
}

TEST_F(Line, ALostLinkStaysInViewAheadOfEveryOtherTextAndLeavesNoTraceWhenItEnds) {
    const QString unsent = QStringLiteral("Sin conexión: no enviado");
    line.raise(Condition::LinkLost, lost);
    line.show(unsent);
    EXPECT_EQ(line.text(), lost + " · " + unsent);
    after(StatusLine::holdTime);
    EXPECT_EQ(line.text(), lost);
    line.raise(Condition::CameraNoPicture, noPicture);
    EXPECT_EQ(line.text(), lost + " · " + noPicture);
    after(StatusLine::holdTime);
    EXPECT_EQ(line.text(), lost);
    after(StatusLine::holdTime);
    EXPECT_EQ(line.text(), lost + " · " + noPicture) << "the others still take their turns";

    line.clear(Condition::LinkLost);
    EXPECT_EQ(line.text(), noPicture);
    line.raise(Condition::LinkLost, lost);
    line.show(QStringLiteral("Girando"));
    line.clear(Condition::LinkLost);
    EXPECT_EQ(line.text(), QStringLiteral("Girando")) << "the key text alone once the link is back";
    line.clear(Condition::CameraNoPicture);
    EXPECT_EQ(line.text(), QStringLiteral("Girando"));
}

} // namespace
