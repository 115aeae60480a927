#pragma once

#include <QString>

namespace robot {

// The parts of the main window that show the link at work: the "Tx" and "Rx" lamps,
// the timer that switches them off, and the label with the last answer byte.
class LinkIndicators {
public:
    virtual ~LinkIndicators() = default;

    virtual void setTxLamp(bool on) = 0;
    virtual void setRxLamp(bool on) = 0;
    virtual void startLampTimer() = 0;
    virtual void stopLampTimer() = 0;
    virtual void showReturn(const QString& text) = 0;
};

} // namespace robot
