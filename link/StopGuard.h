#pragma once

#include "robot/Grammar.h"

#include <cstdint>

namespace robot {

// Follows the command stream to know whether the robot may still be driving on a command
// whose Stop never reached it, so that the Stop can go out first once the line is back.
class StopGuard {
public:
    enum class Delivery {
        Sent,      // went out and the line was still open afterwards
        Uncertain, // went out, but the line was found closed right after
        NotSent,   // the line was down: nothing went out
    };

    // Every byte asked of the link, in order, with what became of it.
    void note(std::uint8_t byte, Delivery delivery);
    bool stopOwed() const { return stopOwed_; }

private:
    Decoder decoder_;
    bool driving_ = false;
    bool stopOwed_ = false;
};

} // namespace robot
