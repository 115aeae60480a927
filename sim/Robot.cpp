#include "sim/Robot.h"

#include <cstdio>

namespace sim {

namespace {

constexpr std::uint8_t textQuery = '0';
constexpr std::uint8_t telemetryRequest = 'T';
constexpr std::uint8_t motor1Speed = '1';
constexpr std::uint8_t motor2Speed = '2';
constexpr std::uint8_t turnSpeed = '3';
constexpr std::uint8_t lightsLevel = 'L';
constexpr std::uint8_t positionCommand = 'S';
constexpr std::uint8_t channelC0Tag = 0xC0;
constexpr std::uint8_t channel80Tag = 0x80;
constexpr int lowestPower = 50;

std::string hexByte(std::uint8_t byte) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02x", byte);
    return text;
}

std::string scaleValue(int value) {
    std::string text = std::to_string(value);
    if (value > lowestPower)
        text += " (out of range)";
    return text;
}

} // namespace

bool takesValue(std::uint8_t command) {
    return command == motor1Speed || command == motor2Speed || command == turnSpeed ||
           command == lightsLevel || command == positionCommand;
}

Robot::Robot(RobotSettings settings) : settings_(std::move(settings)) {
    setText(settings_.text);
}

void Robot::setText(std::string text) {
    if (text.size() > maxTextLength)
        text.resize(maxTextLength);
    settings_.text = std::move(text);
}

Reaction Robot::receive(std::uint8_t byte) {
    Reaction reaction;
    if (pendingCommand_) {
        const std::uint8_t command = *pendingCommand_;
        pendingCommand_.reset();
        reaction.line = decodeValue(command, byte);
        reaction.replies = repliesTo(byte, true);
        return reaction;
    }
    reaction.replies = repliesTo(byte, false);
    if (takesValue(byte))
        pendingCommand_ = byte;
    else
        reaction.line = decodeCommand(byte);
    return reaction;
}

std::vector<Reply> Robot::repliesTo(std::uint8_t byte, bool completesValue) const {
    if (!completesValue && byte == telemetryRequest) {
        const TelemetryReply reply = telemetryReply(settings_.telemetry);
        return {{Reply::Kind::Telemetry, {reply.begin(), reply.end()}, {}}};
    }
    std::vector<Reply> replies{{Reply::Kind::Acknowledgement, {settings_.acknowledgement}, {}}};
    if (!completesValue && byte == textQuery) {
        std::vector<std::uint8_t> text(settings_.text.begin(), settings_.text.end());
        text.push_back(0);
        replies.push_back({Reply::Kind::Text, std::move(text), settings_.textDelay});
    }
    return replies;
}

std::string Robot::decodeCommand(std::uint8_t byte) {
    switch (byte) {
    case textQuery:
        ++state_.textQueries;
        return "text query";
    case telemetryRequest:
        ++state_.telemetryRequests;
        return "telemetry request";
    case 'A':
        state_.motor1.sense = Sense::A;
        state_.stopped = false;
        return "motor 1 sense A";
    case 'R':
        state_.motor1.sense = Sense::R;
        state_.stopped = false;
        return "motor 1 sense R";
    case 'a':
        state_.motor2.sense = Sense::A;
        state_.stopped = false;
        return "motor 2 sense A";
    case 'r':
        state_.motor2.sense = Sense::R;
        state_.stopped = false;
        return "motor 2 sense R";
    case 'P':
        state_.stopped = true;
        return "stop";
    case 'B':
        state_.cleaningMotorOn = true;
        return "cleaning motor on";
    case 'b':
        state_.cleaningMotorOn = false;
        return "cleaning motor off";
    case 'I':
    case 'i':
        state_.cleaningDirection = static_cast<char>(byte);
        return std::string("cleaning motor direction ") + static_cast<char>(byte);
    case 'C':
        state_.camera = Camera::Rear;
        return "rear camera";
    case 'c':
        state_.camera = Camera::Front;
        return "front camera";
    case 'E':
        state_.elevator = ElevatorMove::Up;
        return "elevator up";
    case 'e':
        state_.elevator = ElevatorMove::Down;
        return "elevator down";
    case 'F':
        ++state_.endCommands;
        return "end command";
    case 'J':
        ++state_.pageUpCommands;
        return "page up command";
    case 'j':
        ++state_.pageDownCommands;
        return "page down command";
    case 'l':
        state_.lightsLevel = lowestPower;
        return "lights off";
    case 'Z':
        --state_.zoomSteps;
        return "zoom out";
    case 'z':
        ++state_.zoomSteps;
        return "zoom in";
    default:
        ++state_.unknownBytes;
        return "unknown byte " + hexByte(byte);
    }
}

std::string Robot::decodeValue(std::uint8_t command, std::uint8_t value) {
    switch (command) {
    case motor1Speed:
        state_.motor1.speed = value;
        return "motor 1 speed " + scaleValue(value);
    case motor2Speed:
        state_.motor2.speed = value;
        return "motor 2 speed " + scaleValue(value);
    case turnSpeed:
        state_.turnSpeed = value;
        return "turn speed " + scaleValue(value);
    case lightsLevel:
        state_.lightsLevel = value;
        return "lights level " + scaleValue(value);
    default:
        return decodePosition(value);
    }
}

// The two top bits tell the channel: 11 for C0, 10 for 80. C0's value 64 travels as 0x80 and
// so reads as channel 80 value 0, which is why the raw byte is printed too.
std::string Robot::decodePosition(std::uint8_t value) {
    const std::string raw = " (byte " + hexByte(value) + ")";
    if ((value & channelC0Tag) == channelC0Tag) {
        state_.positionC0 = value ^ channelC0Tag;
        return "position channel C0 value " + std::to_string(*state_.positionC0) + raw;
    }
    if ((value & channelC0Tag) == channel80Tag) {
        state_.position80 = value ^ channel80Tag;
        return "position channel 80 value " + std::to_string(*state_.position80) + raw;
    }
    return "position without channel tag" + raw;
}

} // namespace sim
