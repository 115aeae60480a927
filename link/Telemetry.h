#pragma once

#include "link/RobotLink.h"

#include <QString>

#include <chrono>
#include <functional>
#include <mutex>
#include <optional>

namespace robot {

// Where the telemetry line goes (the label in the small display).
class TelemetryDisplay {
public:
    virtual ~TelemetryDisplay() = default;
    virtual void showTelemetryLine(const QString& line) = 0;
};

enum class PollOutcome {
    NoReply, // nothing within the first nine reads, or no line: nothing changed, nothing purged
    Dropped, // short, wrong letter or a bad field: nothing changed, input purged
    Decoded, // both texts and the line updated, input purged
};

// The robot's temperature and humidity, polled once a second while the operator asks for
// either. The two texts may be read from any thread at any time; they hold only what a
// good reply measured in the last few seconds, and "--" otherwise, so that no picture
// shows a value that was never measured.
class Telemetry {
public:
    using Clock = std::chrono::steady_clock;
    using Now = std::function<Clock::time_point()>;

    // A reading older than this is no longer shown.
    static constexpr auto freshFor = std::chrono::seconds(5);

    explicit Telemetry(Now now = Clock::now);

    // One poll: request, wait for the nine-byte reply, decode and show it.
    PollOutcome poll(RobotLink& link, TelemetryDisplay& display);

    QString humidityText() const;
    QString temperatureText() const;

    // The polling timer's new state after one of the two telemetry buttons was toggled to
    // buttonOn, or nothing when the other button is on and polling stays as it is.
    static std::optional<bool> pollingAfterToggle(bool buttonOn, bool otherButtonOn);

private:
    PollOutcome show(const QByteArray& reply, TelemetryDisplay& display);
    bool fresh() const;

    Now now_;
    mutable std::mutex mutex_;
    QString humidity_;
    QString temperature_;
    std::optional<Clock::time_point> measuredAt_;
};

} // namespace robot
