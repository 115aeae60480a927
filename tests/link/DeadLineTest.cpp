#include "link/Commands.h"
#include "link/Telemetry.h"
#include "tests/link/LinkTestSupport.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

using namespace link_testing;
using Clock = std::chrono::steady_clock;

namespace {

std::chrono::microseconds threadCpuTime() {
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return std::chrono::seconds(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           std::chrono::microseconds(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
}

struct NullDisplay final : robot::TelemetryDisplay {
    void showTelemetryLine(const QString&) override {}
};

struct DeadLine : SimulatorFixture {
    RecordingIndicators indicators;
    NullDisplay display;
    robot::Telemetry telemetry;
    std::unique_ptr<robot::RobotLink> link;
    platform::SerialPort* port = nullptr;

    void SetUp() override {
        SimulatorFixture::SetUp();
        auto opened = openConsolePort(portPath());
        port = opened.get();
        link = std::make_unique<robot::RobotLink>(std::move(opened), indicators, 15);
        robot::sendStop(*link);
        ASSERT_TRUE(link->replyExpected());
    }
};

} // namespace

TEST_F(DeadLine, SendsAndPollsEndWithinTheirBoundsAfterAHangUp) {
    simulator->closeLine();
    auto start = Clock::now();
    robot::sendForward(*link, 10);
    // The first byte finds the line gone; the rest are not even tried.
    EXPECT_LT(Clock::now() - start, 1s);
    EXPECT_TRUE(link->lost());
    EXPECT_TRUE(port->hungUp());

    start = Clock::now();
    EXPECT_EQ(telemetry.poll(*link, display), robot::PollOutcome::NoReply);
    EXPECT_LT(Clock::now() - start, 1s);
    EXPECT_EQ(link->textQuery(), QString());
}

TEST_F(DeadLine, AnIdleDeadLineCostsNoProcessorTime) {
    simulator->closeLine();
    const auto cpuBefore = threadCpuTime();
    runEventLoopFor(1s);
    EXPECT_LT(threadCpuTime() - cpuBefore, 100ms);
    EXPECT_TRUE(port->hungUp());

    robot::sendStop(*link);
    const auto cpuAfterSend = threadCpuTime();
    runEventLoopFor(1s);
    EXPECT_LT(threadCpuTime() - cpuAfterSend, 100ms);
}
