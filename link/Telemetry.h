#pragma once

#include "link/RobotLink.h"
#include "link/SharedText.h"

#include <QString>

#include <optional>

namespace robot {

// Where the telemetry line goes (the label in the small display).
class TelemetryDisplay {
public:
    virtual ~TelemetryDisplay() = default;
    virtual void showTelemetryLine(const QString& line) = 0;
};

enum class PollOutcome {
    NoReply,      // nothing within the first nine reads: nothing changed, nothing purged
    Dropped,      // short, wrong letter or bad humidity: nothing changed, input purged
    HumidityOnly, // bad temperature: humidity text updated, line kept, input purged
    Decoded,      // both texts and the line updated, input purged
};

// The robot's temperature and humidity, polled once a second while the operator asks for
// either. The two texts may be read from any thread at any time.
class Telemetry {
public:
    Telemetry();

    // One poll: request, wait for the nine-byte reply, decode and show it.
    PollOutcome poll(RobotLink& link, TelemetryDisplay& display);

    QString humidityText() const { return humidity_.get(); }
    QString temperatureText() const { return temperature_.get(); }

    // The polling timer's new state after one of the two telemetry buttons was toggled to
    // buttonOn, or nothing when the other button is on and polling stays as it is.
    static std::optional<bool> pollingAfterToggle(bool buttonOn, bool otherButtonOn);

private:
    PollOutcome show(const QByteArray& reply, TelemetryDisplay& display);

    SharedText humidity_;
    SharedText temperature_;
};

} // namespace robot
