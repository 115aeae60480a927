#pragma once

#include <chrono>
#include <cstdint>

namespace robot {

// Where command bytes go: one SendByte per byte, and the pauses some messages need
// between their bytes. The robot link is the real one; input handlers can be tested
// against a recording one.
class CommandLink {
public:
    virtual ~CommandLink() = default;

    virtual void SendByte(std::uint8_t byte) = 0;
    virtual void pause(std::chrono::milliseconds duration) = 0;
};

} // namespace robot
