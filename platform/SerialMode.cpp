#include "platform/SerialMode.h"

#include <array>
#include <cctype>
#include <utility>
#include <vector>

namespace platform {
namespace {

constexpr int maxBaudRate = 4'000'000;

// The mode command reads two-digit rates as their first two digits.
constexpr std::array<std::pair<int, int>, 9> abbreviatedRates{{{11, 110},
                                                               {15, 150},
                                                               {30, 300},
                                                               {60, 600},
                                                               {12, 1200},
                                                               {24, 2400},
                                                               {48, 4800},
                                                               {96, 9600},
                                                               {19, 19200}}};

bool isSpace(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

char lower(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

std::string quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

// A refusal or nothing; each field parser fills its part of the settings.
using Problem = std::optional<std::string>;

std::optional<long> decimal(std::string_view text, long limit) {
    if (text.empty())
        return std::nullopt;
    long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > limit)
            return std::nullopt;
    }
    return value;
}

Problem parseBaud(std::string_view text, LineSettings& settings) {
    const auto value = decimal(text, maxBaudRate);
    if (!value || *value == 0)
        return "baud rate " + quoted(text) + " is not a number from 1 to 4000000";
    settings.baudRate = static_cast<int>(*value);
    for (const auto& [abbreviation, rate] : abbreviatedRates) {
        if (text.size() == 2 && *value == abbreviation)
            settings.baudRate = rate;
    }
    return std::nullopt;
}

Problem parseParity(std::string_view text, LineSettings& settings) {
    if (text.size() == 1) {
        switch (lower(text.front())) {
        case 'n':
            settings.parity = Parity::None;
            return std::nullopt;
        case 'e':
            settings.parity = Parity::Even;
            return std::nullopt;
        case 'o':
            settings.parity = Parity::Odd;
            return std::nullopt;
        case 'm':
            settings.parity = Parity::Mark;
            return std::nullopt;
        case 's':
            settings.parity = Parity::Space;
            return std::nullopt;
        default:
            break;
        }
    }
    return "parity " + quoted(text) + " is not one of n, e, o, m, s";
}

Problem parseDataBits(std::string_view text, LineSettings& settings) {
    const auto value = decimal(text, 99);
    if (!value || *value < 5 || *value > 8)
        return "data bits " + quoted(text) + " are not 5, 6, 7 or 8";
    settings.dataBits = static_cast<int>(*value);
    return std::nullopt;
}

Problem parseStopBits(std::string_view text, LineSettings& settings) {
    if (text == "1")
        settings.stopBits = StopBits::One;
    else if (text == "1.5")
        settings.stopBits = StopBits::OneAndHalf;
    else if (text == "2")
        settings.stopBits = StopBits::Two;
    else
        return "stop bits " + quoted(text) + " are not 1, 1.5 or 2";
    return std::nullopt;
}

Problem parseFlowLetter(std::string_view text, LineSettings& settings) {
    if (equalsIgnoringCase(text, "x"))
        settings.flowControl = FlowControl::Software;
    else if (equalsIgnoringCase(text, "p"))
        settings.flowControl = FlowControl::Hardware;
    else
        return "flow control " + quoted(text) + " is not x or p";
    return std::nullopt;
}

std::optional<bool> onOff(std::string_view text) {
    if (equalsIgnoringCase(text, "on"))
        return true;
    if (equalsIgnoringCase(text, "off"))
        return false;
    return std::nullopt;
}

Problem parseSwitch(std::string_view key, std::string_view text, bool& on) {
    const auto value = onOff(text);
    if (!value)
        return std::string(key) + "=" + quoted(text) + " is not on or off";
    on = *value;
    return std::nullopt;
}

Problem parseSignal(std::string_view key, std::string_view text, bool handshakeAllowed,
                    SignalLevel& level, bool& handshake) {
    if (const auto value = onOff(text)) {
        level = *value ? SignalLevel::On : SignalLevel::Off;
        return std::nullopt;
    }
    if (handshakeAllowed && equalsIgnoringCase(text, "hs")) {
        handshake = true;
        return std::nullopt;
    }
    return std::string(key) + "=" + quoted(text) + " is not supported on this port";
}

// Fills what the mode string left out with the mode command's defaults.
struct Given {
    bool parity = false;
    bool dataBits = false;
    bool stopBits = false;
};

LineSettings withDefaults(LineSettings settings, const Given& given) {
    if (!given.parity)
        settings.parity = Parity::Even;
    if (!given.dataBits)
        settings.dataBits = 7;
    if (!given.stopBits)
        settings.stopBits = settings.baudRate == 110 ? StopBits::Two : StopBits::One;
    return settings;
}

Problem checkCombination(const LineSettings& settings) {
    if (settings.stopBits == StopBits::OneAndHalf && settings.dataBits != 5)
        return "1.5 stop bits need 5 data bits";
    if (settings.stopBits == StopBits::Two && settings.dataBits == 5)
        return "2 stop bits cannot go with 5 data bits";
    return std::nullopt;
}

std::vector<std::string_view> split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (;;) {
        const auto end = text.find(separator, start);
        parts.push_back(trimmed(text.substr(start, end - start)));
        if (end == std::string_view::npos)
            return parts;
        start = end + 1;
    }
}

std::vector<std::string_view> words(std::string_view text) {
    std::vector<std::string_view> result;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && isSpace(text[i]))
            ++i;
        const auto start = i;
        while (i < text.size() && !isSpace(text[i]))
            ++i;
        if (i > start)
            result.push_back(text.substr(start, i - start));
    }
    return result;
}

ModeParse finish(const LineSettings& parsed, const Given& given) {
    const auto settings = withDefaults(parsed, given);
    if (auto problem = checkCombination(settings))
        return ModeParse::refused(std::move(*problem));
    return ModeParse::accepted(settings);
}

ModeParse parsePositional(std::string_view text) {
    const auto fields = split(text, ',');
    if (fields.size() > 5)
        return ModeParse::refused("more than five comma-separated fields");
    for (const auto field : fields) {
        if (field.empty())
            return ModeParse::refused("empty field in " + quoted(text));
    }
    LineSettings settings;
    Given given;
    Problem problem = parseBaud(fields[0], settings);
    if (!problem && fields.size() > 1) {
        problem = parseParity(fields[1], settings);
        given.parity = true;
    }
    if (!problem && fields.size() > 2) {
        problem = parseDataBits(fields[2], settings);
        given.dataBits = true;
    }
    if (!problem && fields.size() > 3) {
        problem = parseStopBits(fields[3], settings);
        given.stopBits = true;
    }
    if (!problem && fields.size() > 4)
        problem = parseFlowLetter(fields[4], settings);
    if (problem)
        return ModeParse::refused(std::move(*problem));
    return finish(settings, given);
}

struct Keywords {
    LineSettings settings;
    Given given;
    bool baud = false;
    bool softwareFlow = false;
    bool clearToSendFlow = false;
    bool requestToSendHandshake = false;
    std::vector<std::string> seen;

    Problem take(std::string_view key, std::string_view value) {
        std::string name;
        for (char c : key)
            name.push_back(lower(c));
        for (const auto& earlier : seen) {
            if (earlier == name)
                return "key " + quoted(name) + " given twice";
        }
        seen.push_back(name);
        return apply(name, value);
    }

    Problem apply(const std::string& name, std::string_view value) {
        bool unused = false;
        if (name == "baud") {
            baud = true;
            return parseBaud(value, settings);
        }
        if (name == "parity") {
            given.parity = true;
            return parseParity(value, settings);
        }
        if (name == "data") {
            given.dataBits = true;
            return parseDataBits(value, settings);
        }
        if (name == "stop") {
            given.stopBits = true;
            return parseStopBits(value, settings);
        }
        if (name == "xon")
            return parseSwitch(name, value, softwareFlow);
        if (name == "octs")
            return parseSwitch(name, value, clearToSendFlow);
        if (name == "dtr")
            return parseSignal(name, value, false, settings.dataTerminalReady, unused);
        if (name == "rts")
            return parseSignal(name, value, true, settings.requestToSend, requestToSendHandshake);
        // Checked for form only: the port layer has no equivalent of these options.
        if (name == "odsr" || name == "idsr" || name == "to")
            return parseSwitch(name, value, unused);
        return "unknown key " + quoted(name);
    }

    Problem flowControl() {
        const bool hardware = clearToSendFlow || requestToSendHandshake;
        if (hardware && softwareFlow)
            return std::string("software and hardware flow control cannot be combined");
        if (hardware)
            settings.flowControl = FlowControl::Hardware;
        else if (softwareFlow)
            settings.flowControl = FlowControl::Software;
        return std::nullopt;
    }
};

ModeParse parseKeywords(std::string_view text) {
    Keywords keywords;
    for (const auto word : words(text)) {
        const auto equals = word.find('=');
        if (equals == std::string_view::npos || equals == 0 || equals + 1 == word.size())
            return ModeParse::refused(quoted(word) + " is not of the form key=value");
        if (auto problem = keywords.take(word.substr(0, equals), word.substr(equals + 1)))
            return ModeParse::refused(std::move(*problem));
    }
    if (!keywords.baud)
        return ModeParse::refused("no baud rate given");
    if (auto problem = keywords.flowControl())
        return ModeParse::refused(std::move(*problem));
    return finish(keywords.settings, keywords.given);
}

// Drops a leading "COMn:" device name.
std::string_view withoutDevice(std::string_view text) {
    const auto colon = text.find(':');
    if (colon == std::string_view::npos || colon < 4 ||
        !equalsIgnoringCase(text.substr(0, 3), "com"))
        return text;
    if (!decimal(text.substr(3, colon - 3), 255))
        return text;
    return trimmed(text.substr(colon + 1));
}

} // namespace

ModeParse parseMode(std::string_view text) {
    const auto body = withoutDevice(trimmed(text));
    if (body.empty())
        return ModeParse::refused("empty mode string");
    if (body.find('=') != std::string_view::npos)
        return parseKeywords(body);
    return parsePositional(body);
}

} // namespace platform
