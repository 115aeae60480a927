#include "link/Telemetry.h"

#include "link/Commands.h"
#include "link/TelemetryDecode.h"

namespace robot {
namespace {

using std::chrono::milliseconds;

constexpr int replyReads = 10;
constexpr milliseconds afterRequest{10};
constexpr milliseconds afterReplyRead{10};
constexpr QChar degreeSign(0x00BA);

std::span<const std::uint8_t> bytesOf(const QByteArray& data) {
    return {reinterpret_cast<const std::uint8_t*>(data.constData()),
            static_cast<std::size_t>(data.size())};
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

// Either both texts change or neither: a humidity never stands beside an older temperature.
PollOutcome Telemetry::show(const QByteArray& reply, TelemetryDisplay& display) {
    const auto reading = decodeTelemetry(bytesOf(reply));
    if (!reading.humidityPercent || !reading.temperatureDegrees)
        return PollOutcome::Dropped;
    const QString humidity = QString::number(*reading.humidityPercent) + '%';
    const QString temperature = QString::number(*reading.temperatureDegrees) + degreeSign;
    {
        std::lock_guard lock(mutex_);
        humidity_ = humidity;
        temperature_ = temperature;
        measuredAt_ = now_();
    }
    display.showTelemetryLine(QStringLiteral("HR: ") + humidity + QStringLiteral(" T.: ") +
                              temperature);
    return PollOutcome::Decoded;
}

bool Telemetry::fresh() const {
    return measuredAt_ && now_() - *measuredAt_ <= freshFor;
}

QString Telemetry::humidityText() const {
    std::lock_guard lock(mutex_);
    return fresh() ? humidity_ : QStringLiteral("--%");
}

QString Telemetry::temperatureText() const {
    std::lock_guard lock(mutex_);
    return fresh() ? temperature_ : QStringLiteral("--") + degreeSign + 'C';
}

std::optional<bool> Telemetry::pollingAfterToggle(bool buttonOn, bool otherButtonOn) {
    if (otherButtonOn)
        return std::nullopt;
    return buttonOn;
}

} // namespace robot
