#include "sim/Options.h"

#include <QCommandLineParser>
#include <QFileInfo>

#include <limits>

namespace sim {

namespace {

constexpr const char* description = R"(Simulated Marlo robot on a serial line.

Serves a pseudo-terminal (or --device) that the console opens as its port, answers
each command byte with the acknowledgement, the text query with --text and the
telemetry request with the readings, and prints each command it decodes. It runs
until interrupted.

Fault modes (--fault):
  none                      proper answers (the default)
  silent                    no answer at all, as a robot that is off or unplugged
  late:MS                   every answer MS milliseconds late (0..60000)
  garbage                   every answer replaced by 0 to 12 random bytes (--seed)
  short-telemetry           telemetry replies cut to their first 5 bytes
  bad-telemetry[:DEFECT]    telemetry replies spoiled: letter (first byte not T,
                            the default), humidity or temperature (a non-digit in
                            that reading))";

struct Parser {
    QCommandLineParser parser;
    QCommandLineOption device{"device", "Serve this serial device instead of a pseudo-terminal.",
                              "path"};
    QCommandLineOption baud{"baud", "Baud rate of --device (default 9600).", "rate"};
    QCommandLineOption humidityRaw{"humidity-raw", "Raw humidity reading, 0..9999 (512 = 50%).",
                                   "n"};
    QCommandLineOption temperatureRaw{"temperature-raw",
                                      "Raw temperature reading, 0..9999 (150 = 21 degrees).", "n"};
    QCommandLineOption humidity{"humidity", "Humidity in per cent, as the console shows it.",
                                "percent"};
    QCommandLineOption temperature{"temperature", "Temperature in degrees Celsius.", "degrees"};
    QCommandLineOption fault{"fault", "How the robot misbehaves: one of the fault modes below.",
                             "mode"};
    QCommandLineOption link{"link", "Create a symbolic link to the device at this path.", "path"};
    QCommandLineOption acknowledgement{"ack", "Acknowledgement byte, 0..255 (default 65, 'A').",
                                       "byte"};
    QCommandLineOption text{"text", "Answer to the text query (at most 35 characters).", "text"};
    QCommandLineOption textDelay{"text-delay", "Delay of the text answer in ms (default 60).",
                                 "ms"};
    QCommandLineOption seed{"seed", "Seed of the garbage answers.", "n"};
    QCommandLineOption quiet{"quiet", "Print only the device line."};
    QCommandLineOption replay{
        "replay", "Print a console's traffic record as the decoded commands, and end.", "file"};
    QCommandLineOption help{QStringList{"h", "help"}, "Show this help."};

    Parser() {
        parser.setApplicationDescription(description);
        parser.addOptions({device, baud, humidityRaw, temperatureRaw, humidity, temperature, fault,
                           link, acknowledgement, text, textDelay, seed, quiet, replay, help});
    }
};

std::optional<long long> integerValue(const QString& text, long long low, long long high) {
    bool ok = false;
    const long long value = text.toLongLong(&ok);
    if (!ok || value < low || value > high)
        return std::nullopt;
    return value;
}

std::optional<double> realValue(const QString& text) {
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return value;
}

OptionsError invalid(const QCommandLineOption& option, const QString& value) {
    return {"invalid value for --" + option.names().constFirst().toStdString() + ": " +
            value.toStdString()};
}

// Fills one telemetry reading from either its raw option or its converted option.
std::optional<OptionsError> readReading(const QCommandLineParser& parser,
                                        const QCommandLineOption& rawOption,
                                        const QCommandLineOption& convertedOption,
                                        std::optional<int> (*toRaw)(double), int& reading) {
    if (parser.isSet(rawOption) && parser.isSet(convertedOption))
        return OptionsError{"--" + rawOption.names().constFirst().toStdString() + " and --" +
                            convertedOption.names().constFirst().toStdString() +
                            " exclude each other"};
    if (parser.isSet(rawOption)) {
        const QString value = parser.value(rawOption);
        const auto raw = integerValue(value, 0, Telemetry::maxRaw);
        if (!raw)
            return invalid(rawOption, value);
        reading = static_cast<int>(*raw);
    }
    if (parser.isSet(convertedOption)) {
        const QString value = parser.value(convertedOption);
        const auto converted = realValue(value);
        const auto raw = converted ? toRaw(*converted) : std::nullopt;
        if (!raw)
            return invalid(convertedOption, value);
        reading = *raw;
    }
    return std::nullopt;
}

std::optional<OptionsError> readLineOptions(const Parser& p, Options& options) {
    const QCommandLineParser& parser = p.parser;
    if (parser.isSet(p.device))
        options.device = parser.value(p.device).toStdString();
    if (parser.isSet(p.baud)) {
        const auto baud = integerValue(parser.value(p.baud), 1, std::numeric_limits<int>::max());
        if (!baud)
            return invalid(p.baud, parser.value(p.baud));
        options.settings.baudRate = static_cast<int>(*baud);
    }
    if (parser.isSet(p.link))
        options.link = parser.value(p.link).toStdString();
    if (parser.isSet(p.fault)) {
        const auto fault = parseFault(parser.value(p.fault).toStdString());
        if (!fault)
            return invalid(p.fault, parser.value(p.fault));
        options.settings.fault = *fault;
    }
    if (parser.isSet(p.seed)) {
        const auto seed = integerValue(parser.value(p.seed), 0, 0xffffffffLL);
        if (!seed)
            return invalid(p.seed, parser.value(p.seed));
        options.settings.garbageSeed = static_cast<std::uint32_t>(*seed);
    }
    options.quiet = parser.isSet(p.quiet);
    if (parser.isSet(p.replay))
        options.replay = parser.value(p.replay).toStdString();
    return std::nullopt;
}

std::optional<OptionsError> readRobotOptions(const Parser& p, RobotSettings& robot) {
    const QCommandLineParser& parser = p.parser;
    if (auto error = readReading(parser, p.humidityRaw, p.humidity, &humidityRawFor,
                                 robot.telemetry.humidityRaw))
        return error;
    if (auto error = readReading(parser, p.temperatureRaw, p.temperature, &temperatureRawFor,
                                 robot.telemetry.temperatureRaw))
        return error;
    if (parser.isSet(p.acknowledgement)) {
        const auto byte = integerValue(parser.value(p.acknowledgement), 0, 255);
        if (!byte)
            return invalid(p.acknowledgement, parser.value(p.acknowledgement));
        robot.acknowledgement = static_cast<std::uint8_t>(*byte);
    }
    if (parser.isSet(p.text)) {
        const QByteArray text = parser.value(p.text).toLatin1();
        if (static_cast<std::size_t>(text.size()) > Robot::maxTextLength || text.contains('\0'))
            return invalid(p.text, parser.value(p.text));
        robot.text = text.toStdString();
    }
    if (parser.isSet(p.textDelay)) {
        const auto delay = integerValue(parser.value(p.textDelay), 0, 60'000);
        if (!delay)
            return invalid(p.textDelay, parser.value(p.textDelay));
        robot.textDelay = std::chrono::milliseconds(*delay);
    }
    return std::nullopt;
}

} // namespace

ParsedOptions parseOptions(const QStringList& arguments) {
    Parser p;
    if (!p.parser.parse(arguments))
        return OptionsError{p.parser.errorText().toStdString()};
    if (p.parser.isSet(p.help)) {
        // The parser would name the program of whatever application object runs, if any.
        const QString program = arguments.isEmpty() ? QStringLiteral("marlo-sim")
                                                    : QFileInfo(arguments.first()).fileName();
        QString text = p.parser.helpText();
        text.replace(0, text.indexOf('\n'), QStringLiteral("Usage: %1 [options]").arg(program));
        return HelpRequested{text.toStdString()};
    }
    if (!p.parser.positionalArguments().isEmpty())
        return OptionsError{"unexpected argument: " +
                            p.parser.positionalArguments().constFirst().toStdString()};
    Options options;
    if (auto error = readLineOptions(p, options))
        return *error;
    if (auto error = readRobotOptions(p, options.settings.robot))
        return *error;
    return options;
}

} // namespace sim
