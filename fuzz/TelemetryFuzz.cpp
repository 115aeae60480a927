// Any reply as telemetry: the decoder must return, only nine bytes starting with T may
// yield anything, and a temperature never comes without the humidity.
#include "link/TelemetryDecode.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto reading = robot::decodeTelemetry({data, size});
    const bool wellFormed = size == robot::telemetryReplySize && data[0] == robot::telemetryLetter;
    if (!wellFormed && (reading.humidityPercent || reading.temperatureDegrees))
        __builtin_trap();
    if (reading.temperatureDegrees && !reading.humidityPercent)
        __builtin_trap();
    // Four characters of humidity cannot go beyond -999..9999.
    if (reading.humidityPercent &&
        (*reading.humidityPercent < -98 || *reading.humidityPercent > 976))
        __builtin_trap();
    return 0;
}
