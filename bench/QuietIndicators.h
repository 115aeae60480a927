#pragma once

#include "link/LinkIndicators.h"

// Lamps and answer label that show nothing, for timing the link alone.
struct QuietIndicators final : robot::LinkIndicators {
    void setTxLamp(bool) override {}
    void setRxLamp(bool) override {}
    void startLampTimer() override {}
    void stopLampTimer() override {}
    void showReturn(const QString&) override {}
    void showLinkState(robot::LinkState) override {}
};
