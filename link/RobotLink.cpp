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
    : indicators_(indicators), retardoMs_(std::max(retardoMs, 0)) {
    attach(std::move(line));
}

void RobotLink::attach(std::unique_ptr<platform::SerialLine> line) {
    line_ = std::move(line);
    replyExpected_ = true;
    heardFromRobot_ = false;
    line_->setHangUpHandler([this] { checkLine(); });
    if (!line_->isOpen()) {
        announce(LinkState::Lost);
        return;
    }
    // Quietly up, so that the owed Stop goes out before the news that the line is back.
    state_ = LinkState::Connected;
    if (stopGuard_.stopOwed())
        sendStop(*this);
    if (!lost())
        announce(state_);
}

void RobotLink::reconnect(std::unique_ptr<platform::SerialLine> line) {
    if (line)
        attach(std::move(line));
}

void RobotLink::SendByte(std::uint8_t byte) {
    using Delivery = StopGuard::Delivery;
    if (lost()) {
        ++unsentBytes_;
        stopGuard_.note(byte, Delivery::NotSent);
        return;
    }
    indicators_.setTxLamp(true);
    line_->transmitImmediately(byte);
    checkLine();
    stopGuard_.note(byte, lost() ? Delivery::Uncertain : Delivery::Sent);
    if (lost())
        return;
    pause(std::chrono::milliseconds(retardoMs_));
    indicators_.startLampTimer();
    if (!replyExpected_) {
        // Only a robot that fell silent is listened for, to see it come back.
        if (state_ == LinkState::RobotSilent && line_->hasInput())
            noteAnswer();
        return;
    }
    awaitAnswer();
    line_->purgeInput();
    checkLine();
}

// Shows an answer that came within the first nine reads.
void RobotLink::awaitAnswer() {
    int tries = answerReads;
    QByteArray got;
    while (got.isEmpty() && tries > 0 && line_->isOpen()) {
        got = line_->read(1);
        pause(pauseAfterAnswerRead);
        --tries;
    }
    checkLine();
    if (lost())
        return;
    if (tries < 2)
        replyExpected_ = false;
    if (got.isEmpty()) {
        noteMissingAnswer();
        return;
    }
    noteAnswer();
    if (tries > 0)
        showAnswer(static_cast<std::uint8_t>(got.front()));
}

void RobotLink::showAnswer(std::uint8_t answer) {
    indicators_.setRxLamp(true);
    indicators_.startLampTimer();
    indicators_.showReturn(QString::number(answer));
}

void RobotLink::pause(std::chrono::milliseconds duration) {
    if (duration.count() > 0 && !lost())
        platform::sleepUntil(std::chrono::steady_clock::now() + duration);
}

void RobotLink::lampTimerTick() {
    indicators_.setTxLamp(false);
    indicators_.setRxLamp(false);
    indicators_.stopLampTimer();
}

QString RobotLink::textQuery() {
    if (lost())
        return {};
    line_->purgeInput();
    SendByte(static_cast<std::uint8_t>(Command::TextQuery));
    pause(textQueryWait);
    const QByteArray reply = line_->read(textQueryLength);
    checkLine();
    const auto end = reply.indexOf('\0');
    return fromCp1252(end < 0 ? QByteArrayView(reply) : QByteArrayView(reply).first(end));
}

void RobotLink::checkLine() {
    if (!line_->isOpen())
        setState(LinkState::Lost);
}

void RobotLink::noteAnswer() {
    heardFromRobot_ = true;
    if (state_ == LinkState::RobotSilent)
        setState(LinkState::Connected);
}

void RobotLink::noteMissingAnswer() {
    if (heardFromRobot_ && state_ == LinkState::Connected)
        setState(LinkState::RobotSilent);
}

void RobotLink::setState(LinkState state) {
    if (state != state_)
        announce(state);
}

// A lost line leaves no lamp lit: nothing is on its way.
void RobotLink::announce(LinkState state) {
    state_ = state;
    if (state == LinkState::Lost)
        lampTimerTick();
    indicators_.showLinkState(state);
}

} // namespace robot
