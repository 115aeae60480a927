#include "link/Commands.h"
#include "tests/link/LinkTestSupport.h"

#include <gtest/gtest.h>

#include <set>

using namespace link_testing;
using namespace robot;
using Bytes = std::vector<std::uint8_t>;
using Step = RecordingLink::Step;

namespace {

Bytes recorded(const std::function<void(CommandLink&)>& sequence) {
    RecordingLink link;
    sequence(link);
    return link.bytes();
}

struct Sequence {
    const char* input;
    std::function<void(CommandLink&)> send;
    Bytes bytes;
};

// Every byte sequence the input handlers send.
std::vector<Sequence> sequences() {
    return {
        {"up arrow", [](CommandLink& l) { sendForward(l, 7); }, {0x41, 0x72, 0x31, 7, 0x32, 7}},
        {"down arrow", [](CommandLink& l) { sendBackward(l, 0); }, {0x52, 0x61, 0x31, 0, 0x32, 0}},
        {"left arrow", [](CommandLink& l) { sendTurnLeft(l, 10); }, {0x33, 10, 0x52, 0x72}},
        {"right arrow", [](CommandLink& l) { sendTurnRight(l, 50); }, {0x33, 0x32, 0x61, 0x41}},
        {"key release", [](CommandLink& l) { sendStop(l); }, {0x50}},
        {"space", [](CommandLink& l) { sendCentring(l); }, {0x53, 0xE2, 0x53, 0xAD}},
        {"X at the top", [](CommandLink& l) { sendPositionC0(l, 64); }, {0x53, 0x80}},
        {"Z", [](CommandLink& l) { sendPositionC0(l, 1); }, {0x53, 0xC1}},
        {"C key", [](CommandLink& l) { sendPositionByte(l, cKeyPositionByte); }, {0x53, 0xFF}},
        {"V key", [](CommandLink& l) { sendPositionByte(l, vKeyPositionByte); }, {0x53, 0xC1}},
        {"F1", [](CommandLink& l) { sendLightsPreset(l); }, {0x4C, 0x19}},
        {"lights slider", [](CommandLink& l) { sendLightsFromSlider(l, 20); }, {0x4C, 30}},
        {"controller Z", [](CommandLink& l) { sendControllerZ(l, 15); }, {0x53, 0x8F}},
        {"stick forward",
         [](CommandLink& l) { sendStickForward(l, 3, 4, false); },
         {0x41, 0x72, 0x31, 3, 0x32, 4}},
        {"stick forward turning",
         [](CommandLink& l) { sendStickForward(l, 3, 4, true); },
         {0x41, 0x72, 0x31, 3, 0x32, 4, 0x31, 3, 0x32, 4}},
        {"stick back",
         [](CommandLink& l) { sendStickBack(l, 5, 6, false); },
         {0x52, 0x61, 0x31, 5, 0x32, 6}},
        {"stick back turning",
         [](CommandLink& l) { sendStickBack(l, 5, 6, true); },
         {0x52, 0x61, 0x31, 5, 0x32, 6, 0x31, 5, 0x32, 6}},
        {"stick hard right",
         [](CommandLink& l) { sendStickHardRight(l, 8, 9); },
         {0x41, 0x72, 0x31, 8, 0x32, 9, 0x31, 0x01, 0x32, 0x01, 0x61, 0x41}},
        {"stick hard left",
         [](CommandLink& l) { sendStickHardLeft(l, 8, 9); },
         {0x41, 0x72, 0x31, 8, 0x32, 9, 0x52, 0x31, 0x01, 0x32, 0x01}},
        {"cleaning motor on", [](CommandLink& l) { sendCleaningMotor(l, true); }, {0x42}},
        {"cleaning motor off", [](CommandLink& l) { sendCleaningMotor(l, false); }, {0x62}},
    };
}

} // namespace

TEST(CommandDictionary, OneEntryPerByteInByteOrder) {
    const auto all = messages();
    std::set<std::uint8_t> bytes;
    std::set<std::string_view> names;
    for (const auto& message : all) {
        bytes.insert(byteOf(message.command));
        names.insert(message.name);
        EXPECT_EQ(nameOf(message.command), message.name);
    }
    EXPECT_EQ(bytes.size(), all.size());
    EXPECT_EQ(names.size(), all.size());
    EXPECT_TRUE(std::is_sorted(all.begin(), all.end(), [](const Message& a, const Message& b) {
        return byteOf(a.command) < byteOf(b.command);
    }));
    std::set<char> withValue;
    for (const auto& message : all)
        if (message.takesValue)
            withValue.insert(static_cast<char>(byteOf(message.command)));
    EXPECT_EQ(withValue, (std::set<char>{'1', '2', '3', 'L', 'S'}));
    EXPECT_EQ(nameOf(Command::Stop), "Stop");
    EXPECT_EQ(byteOf(Command::TelemetryRequest), 0x54);
}

TEST(CommandSequences, BytesOfEveryInput) {
    for (const auto& sequence : sequences())
        EXPECT_EQ(recorded(sequence.send), sequence.bytes) << sequence.input;
}

TEST(CommandSequences, PositionBytesCombineTagAndValue) {
    EXPECT_EQ(positionByte(PositionChannel::ChannelC0, 64), 0x80);
    EXPECT_EQ(positionByte(PositionChannel::ChannelC0, 63), 0xFF);
    EXPECT_EQ(positionByte(PositionChannel::Channel80, 55), 0xB7);
}

TEST(CommandSequences, LightsSliderLevelStaysInRange) {
    EXPECT_EQ(recorded([](CommandLink& l) { sendLightsFromSlider(l, 0); }), (Bytes{0x4C, 50}));
    EXPECT_EQ(recorded([](CommandLink& l) { sendLightsFromSlider(l, 50); }), (Bytes{0x4C, 0}));
    EXPECT_EQ(recorded([](CommandLink& l) { sendLightsFromSlider(l, 80); }), (Bytes{0x4C, 0}));
    EXPECT_EQ(recorded([](CommandLink& l) { sendLightsFromSlider(l, -3); }), (Bytes{0x4C, 50}));
}

TEST(CommandSequences, PausesWhereTheMessagesNeedThem) {
    RecordingLink lights;
    sendLightsFromSlider(lights, 20);
    EXPECT_EQ(lights.steps, (std::vector<Step>{{0x4C, 0}, {-1, 10}, {30, 0}}));
    RecordingLink z;
    sendControllerZ(z, 45);
    EXPECT_EQ(z.steps, (std::vector<Step>{{0x53, 0}, {-1, 10}, {0xAD, 0}, {-1, 20}}));
    RecordingLink forward;
    sendForward(forward, 10);
    EXPECT_EQ(forward.steps.size(), 6u);
}

struct CommandsOnTheLine : SimulatorFixture {
    RecordingIndicators indicators;
    std::unique_ptr<RobotLink> link;

    void SetUp() override {
        SimulatorFixture::SetUp();
        link = std::make_unique<RobotLink>(openConsolePort(portPath()), indicators, 0);
    }
};

TEST_F(CommandsOnTheLine, EveryMessageArrivesByteForByte) {
    Bytes expected;
    for (const auto& message : messages()) {
        if (message.takesValue) {
            sendWithValue(*link, message.command, 0x27);
            expected.insert(expected.end(), {byteOf(message.command), 0x27});
        } else {
            send(*link, message.command);
            expected.push_back(byteOf(message.command));
        }
    }
    ASSERT_TRUE(simulator->waitForBytes(expected.size(), 5s));
    EXPECT_EQ(simulator->receivedValues(), expected);
    EXPECT_TRUE(link->replyExpected());
}

TEST_F(CommandsOnTheLine, EverySequenceArrivesByteForByte) {
    Bytes expected;
    for (const auto& sequence : sequences()) {
        sequence.send(*link);
        expected.insert(expected.end(), sequence.bytes.begin(), sequence.bytes.end());
    }
    ASSERT_TRUE(simulator->waitForBytes(expected.size(), 5s));
    EXPECT_EQ(simulator->receivedValues(), expected);
}

TEST_F(CommandsOnTheLine, TheRobotSeesTheCommands) {
    sendForward(*link, 12);
    sendLightsFromSlider(*link, 20);
    sendPositionC0(*link, 34);
    sendControllerZ(*link, 15);
    ASSERT_TRUE(simulator->waitForBytes(12, 2s));
    const auto state = simulator->robotState();
    EXPECT_EQ(state.motor1.sense, sim::Sense::A);
    EXPECT_EQ(state.motor2.sense, sim::Sense::R);
    EXPECT_EQ(state.motor1.speed, 12);
    EXPECT_EQ(state.lightsLevel, 30);
    EXPECT_EQ(state.positionC0, 34);
    EXPECT_EQ(state.position80, 15);
}

TEST_F(CommandsOnTheLine, LightsLevelFollowsItsCommandAfterTheExtraPause) {
    simulator->setFault(sim::Fault::silent());
    send(*link, Command::Stop);
    simulator->clearRecord();
    sendLightsFromSlider(*link, 20);
    ASSERT_TRUE(simulator->waitForBytes(2, 2s));
    const auto bytes = simulator->receivedBytes();
    // Receive times jitter by a few milliseconds on a busy machine; the pause must still show.
    EXPECT_GE(bytes[1].time - bytes[0].time, 5ms);
}
