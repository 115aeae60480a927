#include "link/RobotLink.h"

#include "link/Commands.h"
#include "link/Cp1252.h"
#include "platform/PreciseSleep.h"

#include <algorithm>

namespace robot {
namespace {

constexpr int answerReads = 10;
constexpr std::chrono::milliseconds pauseAfterAnswerRead{5};
constexpr std::chrono::milliseconds textQueryWait{20};
constexpr int textQueryLength = 36;

} // namespace

RobotLink::RobotLink(std::unique_ptr<platform::SerialLine> line, LinkIndicators& indicators,
                     int retardoMs)
    : line_(std::move(line)), indicators_(indicators), retardoMs_(std::max(retardoMs, 0)) {}

void RobotLink::SendByte(std::uint8_t byte) {
    indicators_.setTxLamp(true);
    line_->transmitImmediately(byte);
    pause(std::chrono::milliseconds(retardoMs_));
    indicators_.startLampTimer();
    if (!replyExpected_)
        return;
    awaitAnswer();
    line_->purgeInput();
}

// Shows an answer that came within the first nine reads.
void RobotLink::awaitAnswer() {
    int tries = answerReads;
    QByteArray got;
    while (got.isEmpty() && tries > 0) {
        got = line_->read(1);
        pause(pauseAfterAnswerRead);
        --tries;
    }
    if (tries < 2)
        replyExpected_ = false;
    if (tries > 0)
        showAnswer(static_cast<std::uint8_t>(got.front()));
}

void RobotLink::showAnswer(std::uint8_t answer) {
    indicators_.setRxLamp(true);
    indicators_.startLampTimer();
    indicators_.showReturn(QString::number(answer));
}

void RobotLink::pause(std::chrono::milliseconds duration) {
    if (duration.count() > 0)
        platform::sleepUntil(std::chrono::steady_clock::now() + duration);
}

void RobotLink::lampTimerTick() {
    indicators_.setTxLamp(false);
    indicators_.setRxLamp(false);
    indicators_.stopLampTimer();
}

QString RobotLink::textQuery() {
    line_->purgeInput();
    SendByte(static_cast<std::uint8_t>(Command::TextQuery));
    pause(textQueryWait);
    const QByteArray reply = line_->read(textQueryLength);
    const auto end = reply.indexOf('\0');
    return fromCp1252(end < 0 ? QByteArrayView(reply) : QByteArrayView(reply).first(end));
}

} // namespace robot
