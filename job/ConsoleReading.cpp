#include "job/ConsoleReading.h"

#include "link/Commands.h"

#include <algorithm>

namespace job {
namespace {

int percentOfFullPower(int position) {
    return std::clamp(position, 0, robot::noPower) * 100 / robot::noPower;
}

} // namespace

Reading consoleReading(const TelemetryValues& telemetry, const ConsoleControls& controls,
                       const QTime& time) {
    Reading reading;
    reading.time = time;
    reading.temperature = telemetry.temperature;
    reading.humidity = telemetry.humidity;
    const input::ControlState& state = controls.state;
    if (state.KeyHeld)
        reading.drive = state.Forward ? QStringLiteral("avance") : QStringLiteral("retroceso");
    reading.speedPercent = percentOfFullPower(robot::noPower - state.DriveSpeed);
    reading.lightsPercent = percentOfFullPower(controls.lightsSlider);
    reading.cleaningMotor = controls.cleaningMotor;
    return reading;
}

} // namespace job
