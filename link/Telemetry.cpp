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

Telemetry::Telemetry()
    : humidity_(QStringLiteral("50%")), temperature_(QStringLiteral("25") + degreeSign + 'C') {}

PollOutcome Telemetry::poll(RobotLink& link, TelemetryDisplay& display) {
    auto& line = link.line();
    auto& indicators = link.indicators();
    int tries = replyReads;
    line.transmitImmediately(byteOf(Command::TelemetryRequest));
    indicators.setTxLamp(true);
    indicators.startLampTimer();
    link.pause(afterRequest);
    QByteArray reply;
    while (reply.isEmpty() && tries > 0) {
        reply = line.read(static_cast<int>(telemetryReplySize));
        link.pause(afterReplyRead);
        --tries;
    }
    indicators.setRxLamp(true);
    indicators.startLampTimer();
    if (tries < 1)
        return PollOutcome::NoReply;
    const auto outcome = show(reply, display);
    line.purgeInput();
    return outcome;
}

PollOutcome Telemetry::show(const QByteArray& reply, TelemetryDisplay& display) {
    const auto reading = decodeTelemetry(bytesOf(reply));
    if (!reading.humidityPercent)
        return PollOutcome::Dropped;
    humidity_.set(QString::number(*reading.humidityPercent) + '%');
    if (!reading.temperatureDegrees)
        return PollOutcome::HumidityOnly;
    temperature_.set(QString::number(*reading.temperatureDegrees) + degreeSign);
    display.showTelemetryLine(QStringLiteral("HR: ") + humidityText() + QStringLiteral(" T.: ") +
                              temperatureText());
    return PollOutcome::Decoded;
}

std::optional<bool> Telemetry::pollingAfterToggle(bool buttonOn, bool otherButtonOn) {
    if (otherButtonOn)
        return std::nullopt;
    return buttonOn;
}

} // namespace robot
