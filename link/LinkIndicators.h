#pragma once

#include <QString>

namespace robot {

enum class LinkState {
    Connected,   // the line is open; the robot answers, or has not been heard yet
    RobotSilent, // the line is open, but the robot that answered no longer does
    Lost,        // the line carries nothing: never opened, hung up, read or write error
};

// The parts of the main window that show the link at work: the "Tx" and "Rx" lamps,
// the timer that switches them off, the label with the last answer byte, and the state of
// the link for as long as it lasts.
class LinkIndicators {
public:
    virtual ~LinkIndicators() = default;

    virtual void setTxLamp(bool on) = 0;
    virtual void setRxLamp(bool on) = 0;
    virtual void startLampTimer() = 0;
    virtual void stopLampTimer() = 0;
    virtual void showReturn(const QString& text) = 0;
    // Called on every change of state, and once by the link's constructor.
    virtual void showLinkState(LinkState state) = 0;
};

} // namespace robot
