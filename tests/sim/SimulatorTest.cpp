#include "sim/Simulator.h"
#include "tests/sim/LineEnd.h"
#include "tests/support/SimulatorFixture.h"

#include <QSerialPort>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdlib.h>
#include <thread>

namespace {

using namespace std::chrono_literals;
using sim::Fault;
using sim_test::LineEnd;
using Clock = std::chrono::steady_clock;

constexpr auto patience = 2000ms;

std::vector<std::uint8_t> bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

class SimulatorTest : public SimulatorFixture {
protected:
    LineEnd console() const { return LineEnd(portPath().toStdString()); }
};

TEST_F(SimulatorTest, AcknowledgesEachByteAndRecordsIt) {
    const LineEnd line = console();
    const auto before = Clock::now();
    line.write(bytes("Ar1\x0a"));
    EXPECT_EQ(line.readText(4, patience), "AAAA");
    const auto after = Clock::now();
    ASSERT_TRUE(simulator->waitForBytes(4, patience));
    EXPECT_EQ(simulator->receivedValues(), bytes("Ar1\x0a"));
    EXPECT_EQ(simulator->decodedLines(),
              (std::vector<std::string>{"motor 1 sense A", "motor 2 sense R", "motor 1 speed 10"}));
    EXPECT_EQ(simulator->sentBytes(), bytes("AAAA"));
    for (const auto& byte : simulator->receivedBytes()) {
        EXPECT_GE(byte.time, before);
        EXPECT_LE(byte.time, after);
    }
    EXPECT_EQ(simulator->robotState().motor1.speed, 10);

    simulator->clearRecord();
    EXPECT_TRUE(simulator->receivedBytes().empty());
    EXPECT_TRUE(simulator->decodedLines().empty());
    EXPECT_TRUE(simulator->sentBytes().empty());
}

TEST_F(SimulatorTest, TimestampsFollowTheOrderOfArrival) {
    const LineEnd line = console();
    for (const char byte : std::string("PLcBZ")) {
        line.write(std::string(1, byte));
        ASSERT_EQ(line.read(1, patience).size(), 1u);
    }
    const auto received = simulator->receivedBytes();
    ASSERT_EQ(received.size(), 5u);
    for (std::size_t i = 1; i < received.size(); ++i)
        EXPECT_LT(received[i - 1].time, received[i].time);
}

TEST_F(SimulatorTest, AnswersTelemetryAndTheTextQuery) {
    simulator->setTelemetry({*sim::temperatureRawFor(21), *sim::humidityRawFor(50)});
    simulator->setText("ROBOT 7");
    const LineEnd line = console();
    line.write("T");
    EXPECT_EQ(line.readText(9, patience), "T01480512");
    line.write("0");
    EXPECT_EQ(line.readText(1, patience), "A");
    EXPECT_EQ(line.read(8, patience), bytes(std::string("ROBOT 7") + '\0'));
    EXPECT_EQ(simulator->robotState().telemetryRequests, 1);
    EXPECT_EQ(simulator->robotState().textQueries, 1);
}

TEST_F(SimulatorTest, SilentRobotRecordsButNeverAnswers) {
    simulator->setFault(Fault::silent());
    const LineEnd line = console();
    line.write("AT0");
    ASSERT_TRUE(simulator->waitForBytes(3, patience));
    EXPECT_TRUE(line.read(1, 150ms).empty());
    EXPECT_EQ(simulator->decodedLines().size(), 3u);

    simulator->setFault(Fault::none());
    line.write("P");
    EXPECT_EQ(line.readText(1, patience), "A");
}

TEST_F(SimulatorTest, LateAnswersComeNoEarlierThanTheirDelay) {
    simulator->setFault(Fault::late(60ms));
    const LineEnd line = console();
    line.write("P");
    ASSERT_TRUE(simulator->waitForBytes(1, patience));
    const auto receipt = simulator->receivedBytes().front().time;
    EXPECT_EQ(line.readText(1, patience), "A");
    EXPECT_GE(Clock::now() - receipt, 60ms);
}

TEST_F(SimulatorTest, GarbageAndBrokenTelemetryOverTheLine) {
    const LineEnd line = console();
    simulator->setFault(Fault::shortTelemetry());
    line.write("T");
    EXPECT_EQ(line.readText(9, 200ms), "T0150");

    simulator->setFault(Fault::malformedTelemetry(sim::TelemetryDefect::WrongLetter));
    line.write("T");
    EXPECT_EQ(line.readText(9, patience), "X01500512");

    simulator->setFault(Fault::garbage());
    simulator->clearRecord();
    line.write(std::string(20, 'P'));
    line.write("T");
    // Replies without delay are written before the byte count is published.
    ASSERT_TRUE(simulator->waitForBytes(21, patience));
    const auto answered = line.read(500, 300ms);
    EXPECT_NE(answered, bytes(std::string(20, 'A') + "T01500512"));
    EXPECT_EQ(answered, simulator->sentBytes());
}

TEST_F(SimulatorTest, StrayBytesArriveUnasked) {
    const LineEnd line = console();
    simulator->sendRaw({0x00, 0xff, 'x'});
    EXPECT_EQ(line.read(3, patience), (std::vector<std::uint8_t>{0x00, 0xff, 'x'}));
    EXPECT_TRUE(simulator->receivedBytes().empty());
}

TEST_F(SimulatorTest, LineSurvivesTheConsoleClosingAndReopeningIt) {
    {
        const LineEnd first = console();
        first.write("B");
        EXPECT_EQ(first.readText(1, patience), "A");
    }
    const LineEnd second = console();
    second.write("b");
    EXPECT_EQ(second.readText(1, patience), "A");
    EXPECT_TRUE(simulator->lineOpen());
}

TEST_F(SimulatorTest, ClosingTheLineHangsUpTheConsole) {
    const LineEnd line = console();
    line.write("P");
    ASSERT_EQ(line.read(1, patience).size(), 1u);
    simulator->closeLine();
    EXPECT_FALSE(simulator->lineOpen());
    const auto hangUp = line.waitForHangUp(patience);
    EXPECT_TRUE(hangUp.pollHangUp);
    EXPECT_TRUE(hangUp.endOfFile);
    simulator->closeLine();
    simulator->clearRecord();
    simulator->sendRaw({'x'});
    EXPECT_TRUE(simulator->sentBytes().empty());
}

TEST_F(SimulatorTest, ConsoleSerialPortTalksToIt) {
    QSerialPort port(portPath());
    ASSERT_TRUE(port.open(QIODevice::ReadWrite)) << port.errorString().toStdString();
    port.setBaudRate(9600);
    port.write("L\x1e", 2);
    ASSERT_TRUE(port.waitForBytesWritten(int(patience.count())));
    QByteArray answer;
    const auto deadline = Clock::now() + patience;
    while (answer.size() < 2 && Clock::now() < deadline)
        if (port.waitForReadyRead(50))
            answer += port.readAll();
    EXPECT_EQ(answer, QByteArray("AA"));
    ASSERT_TRUE(simulator->waitForLines(1, patience));
    EXPECT_EQ(simulator->decodedLines(), std::vector<std::string>{"lights level 30"});
}

// A pseudo-terminal whose slave stands in for a serial device; the master is the far end.
LineEnd openFarEnd(std::string& device) {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    EXPECT_GE(master, 0);
    EXPECT_EQ(::grantpt(master), 0);
    EXPECT_EQ(::unlockpt(master), 0);
    device = ::ptsname(master);
    return LineEnd::adopt(master);
}

TEST(SimulatorDeviceTest, ServesAGivenSerialDevice) {
    std::string device;
    const LineEnd robotSide = openFarEnd(device);

    std::vector<std::string> printed;
    sim::SimulatorSettings settings;
    settings.onLine = [&printed](const std::string& line) { printed.push_back(line); };
    auto simulator = std::make_unique<sim::Simulator>(device, settings);
    EXPECT_EQ(simulator->devicePath(), device);
    robotSide.write("z");
    EXPECT_EQ(robotSide.readText(1, patience), "A");
    simulator.reset();
    EXPECT_EQ(printed, std::vector<std::string>{"zoom in"});

    settings.baudRate = 12345;
    EXPECT_THROW(sim::Simulator(device, settings), std::invalid_argument);
    EXPECT_THROW(sim::Simulator("/nonexistent/tty", {}), std::system_error);
}

TEST(SimulatorDeviceTest, StopsWatchingADeviceThatWentAway) {
    std::string device;
    auto farEnd = std::make_unique<LineEnd>(openFarEnd(device));
    sim::Simulator simulator(device, {});
    farEnd.reset();
    const auto deadline = Clock::now() + patience;
    while (simulator.lineOpen() && Clock::now() < deadline)
        std::this_thread::sleep_for(5ms);
    EXPECT_FALSE(simulator.lineOpen());
}

} // namespace
