#pragma once

#include "link/CommandLink.h"
#include "link/LinkIndicators.h"
#include "link/StopGuard.h"
#include "platform/SerialPort.h"

#include <QString>

#include <memory>

namespace robot {

// The console's end of the serial line to the robot: sends each command byte, takes the
// robot's one-byte answer while the robot keeps answering, and shows both on the lamps.
// It also follows the state of the line: a lost line sends nothing and never waits until
// a new line is handed over. Runs on the GUI thread only; every wait blocks it for a few
// milliseconds.
class RobotLink final : public CommandLink {
public:
    RobotLink(std::unique_ptr<platform::SerialLine> line, LinkIndicators& indicators,
              int retardoMs);

    // Transmits the byte, pauses Retardo and, while answers are expected, waits up to ten
    // short reads for the answer. A missing or late answer switches to sending only, for
    // the rest of the run.
    void SendByte(std::uint8_t byte) override;
    void pause(std::chrono::milliseconds duration) override;

    // The lamp timer's tick: both lamps off, timer off.
    void lampTimerTick();

    // Asks the robot for its text and returns what came back, up to the first zero byte.
    QString textQuery();

    // Takes a freshly opened line in place of the lost one, as at start-up: answers are
    // expected again. Nothing is sent, except a Stop that the dead line kept from the robot
    // while it may still be driving: that goes out first, before the line is shown as back.
    void reconnect(std::unique_ptr<platform::SerialLine> line);

    // What the line and the robot did: a line that closed makes the link lost; an answer
    // or its absence decides whether a robot heard before is silent.
    void checkLine();
    void noteAnswer();
    void noteMissingAnswer();

    LinkState state() const { return state_; }
    bool lost() const { return state_ == LinkState::Lost; }
    bool replyExpected() const { return replyExpected_; }
    int retardo() const { return retardoMs_; }
    // Bytes asked for while the line was lost, which never went out.
    std::uint64_t unsentBytes() const { return unsentBytes_; }

    platform::SerialLine& line() { return *line_; }
    LinkIndicators& indicators() { return indicators_; }

private:
    void attach(std::unique_ptr<platform::SerialLine> line);
    void awaitAnswer();
    void showAnswer(std::uint8_t answer);
    void setState(LinkState state);
    void announce(LinkState state);

    std::unique_ptr<platform::SerialLine> line_;
    LinkIndicators& indicators_;
    int retardoMs_;
    bool replyExpected_ = true;
    bool heardFromRobot_ = false;
    LinkState state_ = LinkState::Lost;
    StopGuard stopGuard_;
    std::uint64_t unsentBytes_ = 0;
};

} // namespace robot
