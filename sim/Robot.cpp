#include "sim/Robot.h"

namespace sim {

using robot::Command;

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
    reaction.replies = repliesTo(byte, decoder_.awaitingValue());
    if (const auto decoded = decoder_.receive(byte)) {
        obey(*decoded);
        reaction.line = robot::describe(*decoded);
    }
    return reaction;
}

std::vector<Reply> Robot::repliesTo(std::uint8_t byte, bool completesValue) const {
    if (!completesValue && byte == robot::byteOf(Command::TelemetryRequest)) {
        const TelemetryReply reply = telemetryReply(settings_.telemetry);
        return {{Reply::Kind::Telemetry, {reply.begin(), reply.end()}, {}}};
    }
    std::vector<Reply> replies{{Reply::Kind::Acknowledgement, {settings_.acknowledgement}, {}}};
    if (!completesValue && byte == robot::byteOf(Command::TextQuery)) {
        std::vector<std::uint8_t> text(settings_.text.begin(), settings_.text.end());
        text.push_back(0);
        replies.push_back({Reply::Kind::Text, std::move(text), settings_.textDelay});
    }
    return replies;
}

void Robot::obey(const robot::Decoded& decoded) {
    const auto command = static_cast<Command>(decoded.command);
    if (decoded.value) {
        obeyValue(command, *decoded.value);
        return;
    }
    switch (command) {
    case Command::TextQuery:
        ++state_.textQueries;
        break;
    case Command::TelemetryRequest:
        ++state_.telemetryRequests;
        break;
    case Command::Motor1SenseA:
    case Command::Motor1SenseR:
        state_.motor1.sense = command == Command::Motor1SenseA ? Sense::A : Sense::R;
        state_.stopped = false;
        break;
    case Command::Motor2SenseA:
    case Command::Motor2SenseR:
        state_.motor2.sense = command == Command::Motor2SenseA ? Sense::A : Sense::R;
        state_.stopped = false;
        break;
    case Command::Stop:
        state_.stopped = true;
        break;
    case Command::CleaningMotorOn:
    case Command::CleaningMotorOff:
        state_.cleaningMotorOn = command == Command::CleaningMotorOn;
        break;
    case Command::InversionUpper:
    case Command::InversionLower:
        state_.cleaningDirection = static_cast<char>(decoded.command);
        break;
    case Command::RearCamera:
    case Command::FrontCamera:
        state_.camera = command == Command::RearCamera ? Camera::Rear : Camera::Front;
        break;
    case Command::ElevatorUp:
    case Command::ElevatorDown:
        state_.elevator = command == Command::ElevatorUp ? ElevatorMove::Up : ElevatorMove::Down;
        break;
    case Command::EndCommand:
        ++state_.endCommands;
        break;
    case Command::PageUpCommand:
        ++state_.pageUpCommands;
        break;
    case Command::PageDownCommand:
        ++state_.pageDownCommands;
        break;
    case Command::LightsOff:
        state_.lightsLevel = robot::noPower;
        break;
    case Command::ZoomOut:
    case Command::ZoomIn:
        state_.zoomSteps += command == Command::ZoomIn ? 1 : -1;
        break;
    default:
        ++state_.unknownBytes;
        break;
    }
}

void Robot::obeyValue(Command command, std::uint8_t value) {
    switch (command) {
    case Command::Motor1Speed:
        state_.motor1.speed = value;
        break;
    case Command::Motor2Speed:
        state_.motor2.speed = value;
        break;
    case Command::TurnSpeed:
        state_.turnSpeed = value;
        break;
    case Command::LightsLevel:
        state_.lightsLevel = value;
        break;
    default:
        if (const auto position = robot::positionOf(value))
            (position->channel == robot::PositionChannel::ChannelC0 ? state_.positionC0
                                                                    : state_.position80) =
                position->value;
        break;
    }
}

} // namespace sim
