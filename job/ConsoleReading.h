#pragma once

#include "input/ControlState.h"
#include "job/Reading.h"
#include "job/TelemetryValues.h"

namespace job {

// What the console sent, as the controls hold it: the drive state and speed of the shared
// control state, the lights slider (0..50) and "Motor Limpieza".
struct ConsoleControls {
    const input::ControlState& state;
    int lightsSlider = 0;
    bool cleaningMotor = false;
};

Reading consoleReading(const TelemetryValues& telemetry, const ConsoleControls& controls,
                       const QTime& time);

} // namespace job
