#pragma once

#include <cstdint>
#include <sstream>
#include <vector>

namespace input_testing {

// "41 72 31 0E": the bytes of a table row, written as the robot's commands are read.
inline std::vector<std::uint8_t> hexBytes(const char* text) {
    std::istringstream in(text);
    std::vector<std::uint8_t> bytes;
    unsigned value = 0;
    while (in >> std::hex >> value)
        bytes.push_back(static_cast<std::uint8_t>(value));
    return bytes;
}

} // namespace input_testing
