#include "sim/Robot.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using sim::Reply;
using sim::Robot;

std::vector<std::string> feed(Robot& robot, const std::vector<std::uint8_t>& bytes) {
    std::vector<std::string> lines;
    for (const auto byte : bytes)
        if (auto line = robot.receive(byte).line)
            lines.push_back(*line);
    return lines;
}

struct SingleByteCase {
    std::uint8_t byte;
    const char* line;
};

TEST(RobotTest, DecodesEverySingleByteCommand) {
    const std::vector<SingleByteCase> cases{
        {'0', "text query"},
        {'T', "telemetry request"},
        {'A', "motor 1 sense A"},
        {'R', "motor 1 sense R"},
        {'a', "motor 2 sense A"},
        {'r', "motor 2 sense R"},
        {'P', "stop"},
        {'B', "cleaning motor on"},
        {'b', "cleaning motor off"},
        {'I', "cleaning motor direction I"},
        {'i', "cleaning motor direction i"},
        {'C', "rear camera"},
        {'c', "front camera"},
        {'E', "elevator up"},
        {'e', "elevator down"},
        {'F', "end command"},
        {'J', "page up command"},
        {'j', "page down command"},
        {'l', "lights off"},
        {'Z', "zoom out"},
        {'z', "zoom in"},
        {0x7f, "unknown byte 0x7f"},
        {0x00, "unknown byte 0x00"},
        {0xff, "unknown byte 0xff"},
    };
    for (const auto& [byte, expected] : cases) {
        Robot robot;
        const auto reaction = robot.receive(byte);
        ASSERT_TRUE(reaction.line.has_value()) << int(byte);
        EXPECT_EQ(*reaction.line, expected);
        EXPECT_FALSE(robot.awaitingValue());
    }
}

TEST(RobotTest, DecodesValueCommandsOnTheirSecondByte) {
    Robot robot;
    EXPECT_FALSE(robot.receive('1').line.has_value());
    EXPECT_TRUE(robot.awaitingValue());
    EXPECT_EQ(robot.receive(10).line, "motor 1 speed 10");
    EXPECT_EQ(feed(robot, {'2', 0}), std::vector<std::string>{"motor 2 speed 0"});
    EXPECT_EQ(feed(robot, {'3', 50}), std::vector<std::string>{"turn speed 50"});
    EXPECT_EQ(feed(robot, {'L', 0x1e}), std::vector<std::string>{"lights level 30"});
    EXPECT_EQ(feed(robot, {'L', 51}), std::vector<std::string>{"lights level 51 (out of range)"});
    EXPECT_EQ(robot.state().motor1.speed, 10);
    EXPECT_EQ(robot.state().motor2.speed, 0);
    EXPECT_EQ(robot.state().turnSpeed, 50);
    EXPECT_EQ(robot.state().lightsLevel, 51);
}

TEST(RobotTest, ValueBytesAreNeverTakenForCommands) {
    Robot robot;
    // 0x54 is 'T' and 0x30 is '0': as values they must not trigger replies of their own.
    const auto value = [&](std::uint8_t command, std::uint8_t byte) {
        robot.receive(command);
        return robot.receive(byte);
    };
    const auto speed = value('1', 'T');
    EXPECT_EQ(speed.line, "motor 1 speed 84 (out of range)");
    ASSERT_EQ(speed.replies.size(), 1u);
    EXPECT_EQ(speed.replies[0].kind, Reply::Kind::Acknowledgement);
    const auto lights = value('L', '0');
    ASSERT_EQ(lights.replies.size(), 1u);
    EXPECT_EQ(lights.replies[0].kind, Reply::Kind::Acknowledgement);
    EXPECT_EQ(robot.state().textQueries, 0);
    EXPECT_EQ(robot.state().telemetryRequests, 0);
    EXPECT_EQ(feed(robot, {'S', 'S', 'P'}),
              (std::vector<std::string>{"position without channel tag (byte 0x53)", "stop"}));
}

TEST(RobotTest, DecodesBothPositionChannels) {
    Robot robot;
    EXPECT_EQ(feed(robot, {'S', 0xE2, 'S', 0xAD}),
              (std::vector<std::string>{"position channel C0 value 34 (byte 0xe2)",
                                        "position channel 80 value 45 (byte 0xad)"}));
    EXPECT_EQ(robot.state().positionC0, 34);
    EXPECT_EQ(robot.state().position80, 45);
    EXPECT_EQ(feed(robot, {'S', 0xFF, 'S', 0xC1}),
              (std::vector<std::string>{"position channel C0 value 63 (byte 0xff)",
                                        "position channel C0 value 1 (byte 0xc1)"}));
    // Value 64 on channel C0 travels as 0x80 and cannot be told from channel 80 value 0.
    EXPECT_EQ(feed(robot, {'S', 0x80}),
              std::vector<std::string>{"position channel 80 value 0 (byte 0x80)"});
}

TEST(RobotTest, KeepsTheStateOfADrivingSequence) {
    Robot robot;
    feed(robot, {0x41, 0x72, 0x31, 10, 0x32, 10});
    auto state = robot.state();
    EXPECT_EQ(state.motor1, (sim::MotorState{sim::Sense::A, 10}));
    EXPECT_EQ(state.motor2, (sim::MotorState{sim::Sense::R, 10}));
    EXPECT_FALSE(state.stopped);
    feed(robot, {'P', 'B', 'i', 'C', 'E', 'z', 'z', 'Z', 'J', 'j', 'F'});
    state = robot.state();
    EXPECT_TRUE(state.stopped);
    EXPECT_TRUE(state.cleaningMotorOn);
    EXPECT_EQ(state.cleaningDirection, 'i');
    EXPECT_EQ(state.camera, sim::Camera::Rear);
    EXPECT_EQ(state.elevator, sim::ElevatorMove::Up);
    EXPECT_EQ(state.zoomSteps, 1);
    EXPECT_EQ(state.pageUpCommands, 1);
    EXPECT_EQ(state.pageDownCommands, 1);
    EXPECT_EQ(state.endCommands, 1);
    feed(robot, {'b', 'I', 'c', 'e', 'L', 0, 'l'});
    state = robot.state();
    EXPECT_FALSE(state.cleaningMotorOn);
    EXPECT_EQ(state.cleaningDirection, 'I');
    EXPECT_EQ(state.camera, sim::Camera::Front);
    EXPECT_EQ(state.elevator, sim::ElevatorMove::Down);
    EXPECT_EQ(state.lightsLevel, 50);
}

TEST(RobotTest, AcknowledgesEveryByteButTheTelemetryRequest) {
    sim::RobotSettings settings;
    settings.acknowledgement = 0x06;
    settings.telemetry = {121, 1023};
    Robot robot(settings);
    for (const std::uint8_t byte : std::vector<std::uint8_t>{'A', '1', 5, 'x', 'S', 0xE2}) {
        const auto replies = robot.receive(byte).replies;
        ASSERT_EQ(replies.size(), 1u);
        EXPECT_EQ(replies[0], (Reply{Reply::Kind::Acknowledgement, {0x06}, {}}));
    }
    const auto telemetry = robot.receive('T').replies;
    ASSERT_EQ(telemetry.size(), 1u);
    EXPECT_EQ(telemetry[0].kind, Reply::Kind::Telemetry);
    EXPECT_EQ(std::string(telemetry[0].bytes.begin(), telemetry[0].bytes.end()), "T01211023");
}

TEST(RobotTest, AnswersTheTextQueryAfterItsAcknowledgement) {
    sim::RobotSettings settings;
    settings.text = "hola";
    settings.textDelay = std::chrono::milliseconds(45);
    Robot robot(settings);
    const auto replies = robot.receive('0').replies;
    ASSERT_EQ(replies.size(), 2u);
    EXPECT_EQ(replies[0].kind, Reply::Kind::Acknowledgement);
    EXPECT_EQ(replies[1], (Reply{Reply::Kind::Text, {'h', 'o', 'l', 'a', 0}, settings.textDelay}));

    robot.setText(std::string(50, 'x'));
    const auto longText = robot.receive('0').replies.at(1).bytes;
    EXPECT_EQ(longText.size(), Robot::maxTextLength + 1);
    EXPECT_EQ(longText.back(), 0);
}

} // namespace
