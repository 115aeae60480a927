#pragma once

#include "input/StatusLine.h"
#include "link/LinkIndicators.h"

#include <QString>

#include <string>

namespace input {

// Keeps the state of the robot link in the status line for as long as it lasts, and says
// when a lost line is back.
class LinkStatus {
public:
    explicit LinkStatus(StatusLine& statusLine) : statusLine_(statusLine) {}

    void show(robot::LinkState state);

    // The lasting indicator's text for the state; empty while the link works.
    static QString indicatorText(robot::LinkState state);
    // The state as the traffic record names it.
    static std::string eventText(robot::LinkState state);

private:
    StatusLine& statusLine_;
    bool wasLost_ = false;
};

} // namespace input
