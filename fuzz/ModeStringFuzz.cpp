// Any byte string given as a mode string: the parser must return, and what it accepts must
// be a setting a port can take.
#include "platform/SerialMode.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto parsed = platform::parseMode(text);
    if (!parsed.ok()) {
        if (parsed.reason().empty())
            __builtin_trap();
        return 0;
    }
    const auto& settings = parsed.settings();
    if (settings.baudRate < 1 || settings.baudRate > 4'000'000)
        __builtin_trap();
    if (settings.dataBits < 5 || settings.dataBits > 8)
        __builtin_trap();
    if (settings.stopBits == platform::StopBits::OneAndHalf && settings.dataBits != 5)
        __builtin_trap();
    if (!parsed.reason().empty())
        __builtin_trap();
    return 0;
}
