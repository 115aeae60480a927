#include "link/Commands.h"
#include "link/PortSetup.h"
#include "link/Telemetry.h"
#include "sim/DeviceLink.h"
#include "tests/link/LinkTestSupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>

using namespace link_testing;
using robot::LinkState;
using States = std::vector<LinkState>;

namespace {

struct NullDisplay final : robot::TelemetryDisplay {
    void showTelemetryLine(const QString&) override {}
};

// The console's link on a simulated robot reached through a symbolic link, as a
// /dev/serial/by-id name reaches an adapter.
struct LinkThroughSymlink : ::testing::Test {
    QTemporaryDir folder;
    QString linkPath = folder.filePath("robot");
    std::unique_ptr<sim::Simulator> simulator = std::make_unique<sim::Simulator>();
    std::optional<sim::DeviceLink> deviceLink;
    RecordingIndicators indicators;
    std::unique_ptr<robot::RobotLink> link;

    void SetUp() override {
        deviceLink.emplace(linkPath.toStdString(), simulator->devicePath());
        link = std::make_unique<robot::RobotLink>(robot::reopenPort(linkPath, "9600,n,8,1"),
                                                  indicators, 2);
        ASSERT_FALSE(link->lost());
    }
    // The event loop alone brings the news of a hang-up.
    bool waitUntilLost() {
        const auto deadline = std::chrono::steady_clock::now() + 5s;
        while (!link->lost() && std::chrono::steady_clock::now() < deadline)
            runEventLoopFor(10ms);
        return link->lost();
    }
    // A new robot behind the same name, after the old one went away.
    void replaceRobot() {
        deviceLink.reset();
        simulator = std::make_unique<sim::Simulator>();
        deviceLink.emplace(linkPath.toStdString(), simulator->devicePath());
    }
};

} // namespace

TEST_F(LinkThroughSymlink, AHangUpIsNoticedWhileIdleAndNothingIsSentAfterIt) {
    robot::sendStop(*link);
    ASSERT_TRUE(simulator->waitForBytes(1, 2s));
    simulator->closeLine();
    EXPECT_TRUE(waitUntilLost());
    EXPECT_EQ(indicators.states, (States{LinkState::Connected, LinkState::Lost}));
    EXPECT_EQ(indicators.events.mid(indicators.events.size() - 3),
              QStringList({"tx off", "rx off", "timer off"}))
        << "no lamp stays lit on a dead line";

    indicators.events.clear();
    robot::sendForward(*link, 10);
    EXPECT_TRUE(indicators.events.isEmpty());
    EXPECT_EQ(indicators.states.size(), 2u) << "the state is announced once";
}

TEST_F(LinkThroughSymlink, ReconnectsToTheNewRobotAndSendsOnlyTheNextKey) {
    simulator->setFault(sim::Fault::silent());
    robot::sendStop(*link);
    ASSERT_FALSE(link->replyExpected());
    simulator->closeLine();
    ASSERT_TRUE(waitUntilLost());
    EXPECT_EQ(robot::reopenPort(linkPath, "9600,n,8,1"), nullptr) << "the old robot is gone";

    replaceRobot();
    auto port = robot::reopenPort(linkPath, "9600,n,8,1");
    ASSERT_NE(port, nullptr);
    EXPECT_EQ(port->timeouts(), robot::consoleTimeouts);
    link->reconnect(std::move(port));
    EXPECT_EQ(link->state(), LinkState::Connected);
    EXPECT_TRUE(link->replyExpected()) << "answers are expected again, as at start-up";
    runEventLoopFor(200ms);
    EXPECT_TRUE(simulator->receivedValues().empty()) << "nothing goes out on its own";

    robot::sendForward(*link, 10);
    ASSERT_TRUE(simulator->waitForBytes(6, 2s));
    EXPECT_EQ(simulator->receivedValues(), (std::vector<std::uint8_t>{'A', 'r', '1', 10, '2', 10}));
    EXPECT_EQ(indicators.returns.last(), "65");
}

TEST_F(LinkThroughSymlink, AStopLostToTheOutageGoesFirstOnTheNewLineBeforeTheNews) {
    robot::sendForward(*link, 10);
    ASSERT_TRUE(simulator->waitForBytes(6, 2s));
    simulator->closeLine();
    ASSERT_TRUE(waitUntilLost());
    robot::sendStop(*link);
    EXPECT_EQ(link->unsentBytes(), 1u);

    replaceRobot();
    indicators.events.clear();
    link->reconnect(robot::reopenPort(linkPath, "9600,n,8,1"));
    ASSERT_TRUE(simulator->waitForBytes(1, 2s));
    EXPECT_EQ(simulator->receivedValues(), std::vector<std::uint8_t>{'P'});
    ASSERT_EQ(indicators.states.back(), LinkState::Connected);
    EXPECT_EQ(indicators.events.first(indicators.eventsAtState.back()).count("tx on"), 1)
        << "the Stop went out before the line was shown as back";

    robot::sendForward(*link, 10);
    ASSERT_TRUE(simulator->waitForBytes(7, 2s));
    EXPECT_EQ(simulator->receivedValues(),
              (std::vector<std::uint8_t>{'P', 'A', 'r', '1', 10, '2', 10}));

    // Lost again while still driving on that key: no Stop was asked, so none is owed.
    simulator->closeLine();
    ASSERT_TRUE(waitUntilLost());
    replaceRobot();
    // Tried again until it opens, as the window's once-a-second attempts do.
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (link->lost() && std::chrono::steady_clock::now() < deadline) {
        link->reconnect(robot::reopenPort(linkPath, "9600,n,8,1"));
        runEventLoopFor(10ms);
    }
    ASSERT_EQ(link->state(), LinkState::Connected);
    runEventLoopFor(200ms);
    EXPECT_TRUE(simulator->receivedValues().empty()) << "nothing goes out on its own";
}

TEST_F(LinkThroughSymlink, ARobotThatStopsAnsweringIsSilentUntilItAnswersAgain) {
    robot::sendStop(*link);
    ASSERT_EQ(link->state(), LinkState::Connected);
    simulator->setFault(sim::Fault::silent());
    robot::sendStop(*link);
    EXPECT_EQ(link->state(), LinkState::RobotSilent);
    robot::sendStop(*link);
    EXPECT_EQ(link->state(), LinkState::RobotSilent);

    simulator->setFault(sim::Fault::none());
    robot::sendForward(*link, 10);
    EXPECT_EQ(link->state(), LinkState::Connected);
    EXPECT_FALSE(link->replyExpected()) << "sending only, as before";
    EXPECT_EQ(indicators.states,
              (States{LinkState::Connected, LinkState::RobotSilent, LinkState::Connected}));
}

TEST_F(LinkThroughSymlink, ARobotNeverHeardIsNotCalledSilent) {
    simulator->setFault(sim::Fault::silent());
    robot::sendForward(*link, 10);
    NullDisplay display;
    robot::Telemetry telemetry;
    telemetry.poll(*link, display);
    EXPECT_EQ(link->state(), LinkState::Connected);
    EXPECT_EQ(indicators.states, States{LinkState::Connected});
}

TEST_F(LinkThroughSymlink, TelemetryRepliesTellWhetherTheRobotAnswers) {
    NullDisplay display;
    robot::Telemetry telemetry;
    ASSERT_EQ(telemetry.poll(*link, display), robot::PollOutcome::Decoded);
    simulator->setFault(sim::Fault::silent());
    EXPECT_EQ(telemetry.poll(*link, display), robot::PollOutcome::NoReply);
    EXPECT_EQ(link->state(), LinkState::RobotSilent);
    EXPECT_TRUE(link->replyExpected()) << "the poll leaves the answer state alone";
    simulator->setFault(sim::Fault::shortTelemetry());
    EXPECT_EQ(telemetry.poll(*link, display), robot::PollOutcome::Dropped);
    EXPECT_EQ(link->state(), LinkState::Connected) << "a short reply is still an answer";
}

TEST_F(LinkThroughSymlink, ALostLinkTouchesTheLineNoMore) {
    link.reset();
    auto line =
        std::make_unique<ObservedLine>(robot::reopenPort(linkPath, "9600,n,8,1"), *simulator);
    ObservedLine& observed = *line;
    link = std::make_unique<robot::RobotLink>(std::move(line), indicators, 2);
    simulator->closeLine();
    ASSERT_TRUE(waitUntilLost());
    const int transmits = observed.transmits;
    const int reads = observed.reads;
    const int purges = observed.purges;

    NullDisplay display;
    robot::Telemetry telemetry;
    EXPECT_EQ(telemetry.poll(*link, display), robot::PollOutcome::NoReply);
    EXPECT_EQ(link->textQuery(), QString());
    robot::sendLightsFromSlider(*link, 20);
    EXPECT_EQ(observed.transmits, transmits);
    EXPECT_EQ(observed.reads, reads);
    EXPECT_EQ(observed.purges, purges);
}
