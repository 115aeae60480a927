#pragma once

#include "link/CommandLink.h"
#include "link/LinkIndicators.h"
#include "platform/SerialPort.h"

#include <QString>

#include <memory>

namespace robot {

// The console's end of the serial line to the robot: sends each command byte, takes the
// robot's one-byte answer while the robot keeps answering, and shows both on the lamps.
// Runs on the GUI thread only; every wait blocks it for a few milliseconds.
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

    bool replyExpected() const { return replyExpected_; }
    int retardo() const { return retardoMs_; }

    platform::SerialLine& line() { return *line_; }
    LinkIndicators& indicators() { return indicators_; }

private:
    void awaitAnswer();
    void showAnswer(std::uint8_t answer);

    std::unique_ptr<platform::SerialLine> line_;
    LinkIndicators& indicators_;
    int retardoMs_;
    bool replyExpected_ = true;
};

} // namespace robot
