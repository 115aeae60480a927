#pragma once

#include "link/CommandLink.h"

namespace robot {

// The window timer that paces the reversals.
class InversionTimer {
public:
    virtual ~InversionTimer() = default;
    virtual void setInversionInterval(int milliseconds) = 0;
    virtual void setInversionEnabled(bool enabled) = 0;
};

// Reverses the cleaning motor once per period while the mode is on and the motor runs:
// stop, the other direction byte, start. The direction alternates from one reversal to the
// next for the whole run, starting with 'i'.
class InversionMode {
public:
    static constexpr int shortestPeriodSeconds = 5;
    static constexpr int longestPeriodSeconds = 50;

    InversionMode(CommandLink& link, InversionTimer& timer) : link_(link), timer_(timer) {}

    static int periodMs(int trackBarPosition);

    // The "Modo Inversión" toggle.
    void modeToggled(bool on, int trackBarPosition);
    // The period track bar moved.
    void periodChanged(int trackBarPosition);
    // One timer tick.
    void reverse(bool cleaningMotorOn);

    bool phase() const { return phase_; }

private:
    CommandLink& link_;
    InversionTimer& timer_;
    bool phase_ = false;
};

} // namespace robot
