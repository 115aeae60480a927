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

// One measured value and when the good reply that carried it came.
struct Reading {
    double value = 0;
    std::chrono::steady_clock::time_point measuredAt;

    bool operator==(const Reading&) const = default;
};

// The robot's temperature and humidity, polled once a second while the operator asks for
// either. The values, and the texts the window shows of them, may be read from any thread at
// any time; they hold only what a good reply measured in the last few seconds, and nothing
// ("--") otherwise, so that no picture or table shows a value that was never measured.
class Telemetry {
public:
    using Clock = std::chrono::steady_clock;
    using Now = std::function<Clock::time_point()>;

    // A reading older than this is no longer shown.
    static constexpr auto freshFor = std::chrono::seconds(5);

    explicit Telemetry(Now now = Clock::now);

    // One poll: request, wait for the nine-byte reply, decode and show it.
    PollOutcome poll(RobotLink& link, TelemetryDisplay& display);

    // Per cent and degrees of the last good reply while fresh.
    std::optional<Reading> humidity() const;
    std::optional<Reading> temperature() const;
    // As the window shows them: "50%" and "21º", or "--%" and "--ºC".
    QString humidityText() const;
    QString temperatureText() const;

    // The polling timer's new state after one of the two telemetry buttons was toggled to
    // buttonOn, or nothing when the other button is on and polling stays as it is.
    static std::optional<bool> pollingAfterToggle(bool buttonOn, bool otherButtonOn);

private:
    PollOutcome show(const QByteArray& reply, TelemetryDisplay& display);
    std::optional<Reading> freshOrNothing(const std::optional<Reading>& reading) const;

    Now now_;
    mutable std::mutex mutex_;
    // Both set by the same reply.
    std::optional<Reading> humidity_;
    std::optional<Reading> temperature_;
};

} // namespace robot
