#include "link/Telemetry.h"

#include "link/Commands.h"
#include "link/TelemetryDecode.h"

#include <QCoreApplication>

namespace robot {
namespace {

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(Telemetry)
};

using std::chrono::milliseconds;

constexpr int replyReads = 10;
constexpr milliseconds afterRequest{10};
constexpr milliseconds afterReplyRead{10};
constexpr QChar degreeSign(0x00BA);

std::span<const std::uint8_t> bytesOf(const QByteArray& data) {
    return {reinterpret_cast<const std::uint8_t*>(data.constData()),
            static_cast<std::size_t>(data.size())};
}

QString humidityShown(const std::optional<Reading>& humidity) {
    return humidity ? QString::number(humidity->value, 'f', 0) + '%' : QStringLiteral("--%");
}

QString temperatureShown(const std::optional<Reading>& temperature) {
    return temperature ? QString::number(temperature->value, 'f', 0) + degreeSign
                       : QStringLiteral("--") + degreeSign + 'C';
}

} // namespace

Telemetry::Telemetry(Now now) : now_(std::move(now)) {}

PollOutcome Telemetry::poll(RobotLink& link, TelemetryDisplay& display) {
    if (link.lost())
        return PollOutcome::NoReply;
    auto& line = link.line();
    auto& indicators = link.indicators();
    int tries = replyReads;
    line.transmitImmediately(byteOf(Command::TelemetryRequest));
    indicators.setTxLamp(true);
    indicators.startLampTimer();
    link.pause(afterRequest);
    QByteArray reply;
    while (reply.isEmpty() && tries > 0 && line.isOpen()) {
        reply = line.read(static_cast<int>(telemetryReplySize));
        link.pause(afterReplyRead);
        --tries;
    }
    link.checkLine();
    if (link.lost())
        return PollOutcome::NoReply;
    indicators.setRxLamp(true);
    indicators.startLampTimer();
    if (reply.isEmpty())
        link.noteMissingAnswer();
    else
        link.noteAnswer();
    if (tries < 1)
        return PollOutcome::NoReply;
    const auto outcome = show(reply, display);
    line.purgeInput();
    return outcome;
}

// Either both values change or neither: a humidity never stands beside an older temperature.
PollOutcome Telemetry::show(const QByteArray& reply, TelemetryDisplay& display) {
    const auto decoded = decodeTelemetry(bytesOf(reply));
    if (!decoded.humidityPercent || !decoded.temperatureDegrees)
        return PollOutcome::Dropped;
    const auto measuredAt = now_();
    const Reading humidity{double(*decoded.humidityPercent), measuredAt};
    const Reading temperature{double(*decoded.temperatureDegrees), measuredAt};
    {
        std::lock_guard lock(mutex_);
        humidity_ = humidity;
        temperature_ = temperature;
    }
    display.showTelemetryLine(
        Texts::tr("HR: %1 T.: %2").arg(humidityShown(humidity), temperatureShown(temperature)));
    return PollOutcome::Decoded;
}

std::optional<Reading> Telemetry::freshOrNothing(const std::optional<Reading>& reading) const {
    if (reading && now_() - reading->measuredAt <= freshFor)
        return reading;
    return std::nullopt;
}

std::optional<Reading> Telemetry::humidity() const {
    std::lock_guard lock(mutex_);
    return freshOrNothing(humidity_);
}

std::optional<Reading> Telemetry::temperature() const {
    std::lock_guard lock(mutex_);
    return freshOrNothing(temperature_);
}

QString Telemetry::humidityText() const {
    return humidityShown(humidity());
}

QString Telemetry::temperatureText() const {
    return temperatureShown(temperature());
}

std::optional<bool> Telemetry::pollingAfterToggle(bool buttonOn, bool otherButtonOn) {
    if (otherButtonOn)
        return std::nullopt;
    return buttonOn;
}

} // namespace robot
