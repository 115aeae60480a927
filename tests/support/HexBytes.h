#pragma once

#include <cstdint>
#include <sstream>
#include <vector>

namespace testing_support {

// "41 72 31 0E": bytes of a table row, written as they are read in a dump.
inline std::vector<std::uint8_t> hexBytes(const char* text) {
    std::istringstream in(text);
    std::vector<std::uint8_t> bytes;
    unsigned value = 0;
    while (in >> std::hex >> value)
        bytes.push_back(static_cast<std::uint8_t>(value));
    return bytes;
}

} // namespace testing_support
