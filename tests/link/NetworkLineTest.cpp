#include "platform/NetworkLine.h"
#include "link/Commands.h"
#include "link/PortSetup.h"
#include "link/Telemetry.h"
#include "sim/Ser2net.h"
#include "tests/link/LinkTestSupport.h"
#include "tests/support/FloodServer.h"

#include <gtest/gtest.h>

#include <optional>

using namespace link_testing;
using platform::NetworkAddress;
using platform::NetworkLine;

namespace {

struct NullDisplay final : robot::TelemetryDisplay {
    QString line;
    void showTelemetryLine(const QString& text) override { line = text; }
};

// The simulated robot behind ser2net, and the console's link to it over TCP.
struct RobotBehindSer2net : SimulatorFixture {
    std::optional<sim::Ser2net> server;
    RecordingIndicators indicators;
    std::unique_ptr<robot::RobotLink> link;

    void SetUp() override {
        if (!sim::Ser2net::installed())
            GTEST_SKIP() << sim::Ser2net::program << " is missing (scripts/install-deps)";
        SimulatorFixture::SetUp();
        server.emplace(simulator->devicePath());
        server->start();
        robot::LineSetup setup = robot::setUpLine(server->address(), "9600,n,8,1");
        ASSERT_TRUE(setup.failures.empty());
        link = std::make_unique<robot::RobotLink>(std::move(setup.line), indicators, 2);
    }
    // Evaluates the condition once per turn of the event loop, until it holds or 5 s passed.
    static bool waitUntil(const std::function<bool()>& condition) {
        const auto deadline = std::chrono::steady_clock::now() + 5s;
        while (!condition()) {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            runEventLoopFor(10ms);
        }
        return true;
    }
};

} // namespace

TEST(NetworkAddresses, OnlyTcpWithAHostAndAPortInRange) {
    const std::pair<const char*, std::optional<NetworkAddress>> cases[] = {
        {"tcp://127.0.0.1:2000", NetworkAddress{"127.0.0.1", 2000}},
        {"TCP://robot.local:1", NetworkAddress{"robot.local", 1}},
        {"tcp://[::1]:65535", NetworkAddress{"::1", 65535}},
        {"tcp://127.0.0.1:0", std::nullopt},
        {"tcp://127.0.0.1:65536", std::nullopt},
        {"tcp://127.0.0.1", std::nullopt},
        {"tcp://:2000", std::nullopt},
        {"tcp://127.0.0.1:2000/ttyS0", std::nullopt},
        {"tcp://user@127.0.0.1:2000", std::nullopt},
        {"udp://127.0.0.1:2000", std::nullopt},
        {"/dev/ttyUSB0", std::nullopt},
    };
    for (const auto& [name, address] : cases)
        EXPECT_EQ(NetworkLine::parseAddress(name), address) << name;
    EXPECT_TRUE(NetworkLine::isNetworkName("tcp://nowhere"));
    EXPECT_FALSE(NetworkLine::isNetworkName("ttyUSB0"));
}

TEST(NetworkAddresses, NamesThatAreNoPortFailAsBefore) {
    for (const char* name : {"tcp://127.0.0.1:0", "tcp://", "udp://127.0.0.1:2000"}) {
        const robot::LineSetup setup = robot::setUpLine(name, "9600,n,8,1");
        EXPECT_FALSE(setup.portOk) << name;
        ASSERT_EQ(setup.failures.size(), 1u) << name;
        EXPECT_EQ(setup.failures[0].text, "Error abriendo puerto COMM");
        EXPECT_FALSE(setup.line->isOpen());
    }
}

TEST_F(RobotBehindSer2net, CommandsAndTheirAnswersTravelAsOnALocalPort) {
    robot::sendForward(*link, 10);
    robot::sendLightsFromSlider(*link, 20);
    robot::sendStop(*link);
    ASSERT_TRUE(simulator->waitForBytes(9, 2s));
    EXPECT_EQ(simulator->receivedValues(),
              (std::vector<std::uint8_t>{'A', 'r', '1', 10, '2', 10, 'L', 30, 'P'}));
    EXPECT_TRUE(link->replyExpected()) << "every answer came in time";
    EXPECT_EQ(indicators.returns.size(), 9);

    simulator->setTelemetry({150, 512});
    NullDisplay display;
    robot::Telemetry telemetry;
    EXPECT_EQ(telemetry.poll(*link, display), robot::PollOutcome::Decoded);
    EXPECT_EQ(display.line, "HR: 50% T.: 21º");
    simulator->setText("Marlo 3");
    EXPECT_EQ(link->textQuery(), "Marlo 3");
}

TEST_F(RobotBehindSer2net, AStoppedServerIsALostLineAndItsReturnAReconnect) {
    robot::sendForward(*link, 10);
    server->stop();
    EXPECT_TRUE(waitUntil([&] { return link->lost(); }));
    robot::sendStop(*link);
    EXPECT_EQ(indicators.states.back(), robot::LinkState::Lost);

    robot::LineReopener reopener(server->address(), "9600,n,8,1");
    EXPECT_EQ(reopener.attempt(), nullptr) << "nobody listens";
    server->start();
    simulator->clearRecord();
    std::unique_ptr<platform::SerialLine> line;
    EXPECT_TRUE(waitUntil([&] {
        line = reopener.attempt();
        return line != nullptr;
    }));
    link->reconnect(std::move(line));
    EXPECT_EQ(link->state(), robot::LinkState::Connected);
    ASSERT_TRUE(simulator->waitForBytes(1, 2s));
    EXPECT_EQ(simulator->receivedValues(), std::vector<std::uint8_t>{'P'})
        << "the Stop the outage kept from the driving robot, and nothing else";
    robot::sendStop(*link);
    ASSERT_TRUE(simulator->waitForBytes(2, 2s));
    EXPECT_EQ(simulator->receivedValues(), (std::vector<std::uint8_t>{'P', 'P'}));
}

// The line holds no more of a flood than a serial port does, whatever the event loop takes
// in meanwhile, and a purge or a read takes at most that much.
TEST(NetworkLineFlood, HoldsAtMostWhatASerialPortHolds) {
    testing_support::FloodServer server(64 * 1024 * 1024);
    robot::LineSetup setup = robot::setUpLine(server.address(), "9600,n,8,1");
    ASSERT_TRUE(setup.line->isOpen());
    // Until the robot can send no more, or has sent far more than any buffer on the way.
    std::uint64_t before = 0;
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (server.bytesSent() < 32u * 1024 * 1024 && std::chrono::steady_clock::now() < deadline) {
        before = server.bytesSent();
        runEventLoopFor(200ms);
        if (server.bytesSent() == before)
            break;
    }
    EXPECT_LT(server.bytesSent(), 32u * 1024 * 1024) << "the robot was held back";
    for (int i = 0; i < 3; ++i) {
        EXPECT_LE(setup.line->readAvailable().size(), NetworkLine::receiveBufferBytes);
        setup.line->purgeInput();
        EXPECT_EQ(setup.line->read(1).size(), 1) << "and the flood goes on";
    }
    EXPECT_TRUE(setup.line->isOpen());
}
