#pragma once

#include "robot/Grammar.h"
#include "sim/Telemetry.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sim {

enum class Sense { None, A, R };
enum class Camera { Unknown, Front, Rear };
enum class ElevatorMove { None, Up, Down };

struct MotorState {
    Sense sense = Sense::None;
    int speed = 50;

    bool operator==(const MotorState&) const = default;
};

// What the robot has been told so far. Speeds and the lights level keep the line's inverted
// scale: 0 is full power or full light, 50 none.
struct RobotState {
    MotorState motor1;
    MotorState motor2;
    int turnSpeed = 50;
    bool stopped = true;
    int lightsLevel = 50;
    bool cleaningMotorOn = false;
    std::optional<char> cleaningDirection; // 'I' or 'i', the last reversal byte
    ElevatorMove elevator = ElevatorMove::None;
    Camera camera = Camera::Unknown;
    int zoomSteps = 0; // 'z' adds one, 'Z' takes one away
    std::optional<int> position80;
    std::optional<int> positionC0;
    int pageUpCommands = 0;
    int pageDownCommands = 0;
    int endCommands = 0;
    int textQueries = 0;
    int telemetryRequests = 0;
    int unknownBytes = 0;

    bool operator==(const RobotState&) const = default;
};

// One answer the robot puts on the line, due `delay` after the byte that caused it.
struct Reply {
    enum class Kind { Acknowledgement, Telemetry, Text };

    Kind kind = Kind::Acknowledgement;
    std::vector<std::uint8_t> bytes;
    std::chrono::milliseconds delay{0};

    bool operator==(const Reply&) const = default;
};

// What one received byte did: a readable line when it completed a command, and the replies.
struct Reaction {
    std::optional<std::string> line;
    std::vector<Reply> replies;
};

struct RobotSettings {
    // Every byte except 'T' is answered with this one byte at once.
    std::uint8_t acknowledgement = 'A';
    Telemetry telemetry;
    // The answer to '0', sent with a terminating zero byte after the acknowledgement. It comes
    // late enough to survive the purge that follows the acknowledgement read.
    std::string text = "MARLO 3 SIMULADOR";
    std::chrono::milliseconds textDelay{60};
};

// The robot's byte decoder and state model. Not thread-safe; the simulator serialises access.
class Robot {
public:
    static constexpr std::size_t maxTextLength = 35;

    explicit Robot(RobotSettings settings = {});

    Reaction receive(std::uint8_t byte);

    const RobotState& state() const { return state_; }
    const RobotSettings& settings() const { return settings_; }
    void setTelemetry(const Telemetry& telemetry) { settings_.telemetry = telemetry; }
    void setText(std::string text);
    bool awaitingValue() const { return decoder_.awaitingValue(); }

private:
    void obey(const robot::Decoded& decoded);
    void obeyValue(robot::Command command, std::uint8_t value);
    std::vector<Reply> repliesTo(std::uint8_t byte, bool completesValue) const;

    RobotSettings settings_;
    RobotState state_;
    robot::Decoder decoder_;
};

} // namespace sim
