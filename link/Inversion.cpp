#include "link/Inversion.h"

#include "link/Commands.h"

#include <algorithm>

namespace robot {
namespace {

constexpr std::chrono::milliseconds afterStop{100};
constexpr std::chrono::milliseconds afterDirection{50};

} // namespace

int InversionMode::periodMs(int trackBarPosition) {
    return std::clamp(trackBarPosition, shortestPeriodSeconds, longestPeriodSeconds) * 1000;
}

void InversionMode::modeToggled(bool on, int trackBarPosition) {
    timer_.setInversionInterval(periodMs(trackBarPosition));
    timer_.setInversionEnabled(on);
}

void InversionMode::periodChanged(int trackBarPosition) {
    timer_.setInversionInterval(periodMs(trackBarPosition));
}

void InversionMode::reverse(bool cleaningMotorOn) {
    if (!cleaningMotorOn)
        return;
    send(link_, Command::CleaningMotorOff);
    link_.pause(afterStop);
    send(link_, phase_ ? Command::InversionUpper : Command::InversionLower);
    link_.pause(afterDirection);
    send(link_, Command::CleaningMotorOn);
    phase_ = !phase_;
}

} // namespace robot
