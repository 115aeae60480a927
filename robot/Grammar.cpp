#include "robot/Grammar.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace robot {
namespace {

constexpr std::array<Message, 26> dictionary{{
    {Command::TextQuery, "TextQuery", "text query", false},
    {Command::Motor1Speed, "Motor1Speed", "motor 1 speed", true},
    {Command::Motor2Speed, "Motor2Speed", "motor 2 speed", true},
    {Command::TurnSpeed, "TurnSpeed", "turn speed", true},
    {Command::Motor1SenseA, "Motor1SenseA", "motor 1 sense A", false},
    {Command::CleaningMotorOn, "CleaningMotorOn", "cleaning motor on", false},
    {Command::RearCamera, "RearCamera", "rear camera", false},
    {Command::ElevatorUp, "ElevatorUp", "elevator up", false},
    {Command::EndCommand, "EndCommand", "end command", false},
    {Command::InversionUpper, "InversionUpper", "cleaning motor direction I", false},
    {Command::PageUpCommand, "PageUpCommand", "page up command", false},
    {Command::LightsLevel, "LightsLevel", "lights level", true},
    {Command::Stop, "Stop", "stop", false},
    {Command::Motor1SenseR, "Motor1SenseR", "motor 1 sense R", false},
    {Command::PositionCommand, "PositionCommand", "position", true},
    {Command::TelemetryRequest, "TelemetryRequest", "telemetry request", false},
    {Command::ZoomOut, "ZoomOut", "zoom out", false},
    {Command::Motor2SenseA, "Motor2SenseA", "motor 2 sense A", false},
    {Command::CleaningMotorOff, "CleaningMotorOff", "cleaning motor off", false},
    {Command::FrontCamera, "FrontCamera", "front camera", false},
    {Command::ElevatorDown, "ElevatorDown", "elevator down", false},
    {Command::InversionLower, "InversionLower", "cleaning motor direction i", false},
    {Command::PageDownCommand, "PageDownCommand", "page down command", false},
    {Command::LightsOff, "LightsOff", "lights off", false},
    {Command::Motor2SenseR, "Motor2SenseR", "motor 2 sense R", false},
    {Command::ZoomIn, "ZoomIn", "zoom in", false},
}};

constexpr std::uint8_t channelTagMask = 0xC0;

const Message* find(std::uint8_t byte) {
    const auto* found =
        std::find_if(dictionary.begin(), dictionary.end(),
                     [byte](const Message& m) { return byteOf(m.command) == byte; });
    return found == dictionary.end() ? nullptr : found;
}

std::string hexByte(std::uint8_t byte) {
    std::array<char, 8> text{};
    std::snprintf(text.data(), text.size(), "0x%02x", byte);
    return text.data();
}

std::string scaleValue(int value) {
    std::string text = std::to_string(value);
    if (value > noPower)
        text += " (out of range)";
    return text;
}

// C0's value 64 travels as 0x80 and so reads as channel 80 value 0, which is why the raw
// byte is printed too.
std::string describePosition(std::uint8_t byte) {
    const std::string raw = " (byte " + hexByte(byte) + ")";
    const auto position = positionOf(byte);
    if (!position)
        return "position without channel tag" + raw;
    const char* channel = position->channel == PositionChannel::ChannelC0 ? "C0" : "80";
    return std::string("position channel ") + channel + " value " +
           std::to_string(position->value) + raw;
}

} // namespace

std::span<const Message> messages() {
    return dictionary;
}

std::string_view nameOf(Command command) {
    const Message* found = find(byteOf(command));
    return found ? found->name : std::string_view();
}

bool takesValue(std::uint8_t byte) {
    const Message* found = find(byte);
    return found && found->takesValue;
}

std::optional<Position> positionOf(std::uint8_t byte) {
    for (const auto channel : {PositionChannel::ChannelC0, PositionChannel::Channel80}) {
        const auto tag = static_cast<std::uint8_t>(channel);
        if ((byte & channelTagMask) == tag)
            return Position{channel, static_cast<std::uint8_t>(byte ^ tag)};
    }
    return std::nullopt;
}

std::optional<Decoded> Decoder::receive(std::uint8_t byte) {
    if (pending_) {
        const Decoded decoded{*pending_, byte};
        pending_.reset();
        return decoded;
    }
    if (takesValue(byte)) {
        pending_ = byte;
        return std::nullopt;
    }
    return Decoded{byte, std::nullopt};
}

std::string describe(const Decoded& decoded) {
    const Message* message = find(decoded.command);
    if (!message)
        return "unknown byte " + hexByte(decoded.command);
    if (!decoded.value)
        return std::string(message->description);
    if (message->command == Command::PositionCommand)
        return describePosition(*decoded.value);
    return std::string(message->description) + " " + scaleValue(*decoded.value);
}

} // namespace robot
