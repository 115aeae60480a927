#include "link/Telemetry.h"
#include "tests/link/LinkTestSupport.h"

#include <gtest/gtest.h>

using namespace link_testing;
using robot::PollOutcome;
using robot::Telemetry;

namespace {

const QString degree = QString(QChar(0x00BA));
const QString noTemperature = "--" + degree + "C";

struct NullDisplay final : robot::TelemetryDisplay {
    void showTelemetryLine(const QString&) override {}
};

// Telemetry on the simulated robot with a clock the test moves by hand.
struct MeasuredTelemetry : SimulatorFixture {
    RecordingIndicators indicators;
    NullDisplay display;
    std::unique_ptr<robot::RobotLink> link;
    Telemetry::Clock::time_point now = Telemetry::Clock::time_point() + std::chrono::hours(1);
    Telemetry telemetry{[this] { return now; }};

    void SetUp() override {
        SimulatorFixture::SetUp();
        link = std::make_unique<robot::RobotLink>(openConsolePort(portPath()), indicators, 15);
        simulator->setTelemetry({150, 512});
    }
    void expectTexts(const QString& temperature, const QString& humidity) {
        EXPECT_EQ(telemetry.temperatureText(), temperature);
        EXPECT_EQ(telemetry.humidityText(), humidity);
    }
};

} // namespace

TEST_F(MeasuredTelemetry, FaultyRepliesShowDashesUntilAGoodOneAndAfterItGoesStale) {
    const std::pair<sim::Fault, PollOutcome> faults[] = {
        {sim::Fault::silent(), PollOutcome::NoReply},
        {sim::Fault::shortTelemetry(), PollOutcome::Dropped},
        {sim::Fault::malformedTelemetry(sim::TelemetryDefect::WrongLetter), PollOutcome::Dropped},
        {sim::Fault::malformedTelemetry(sim::TelemetryDefect::HumidityNotDigits),
         PollOutcome::Dropped},
        {sim::Fault::malformedTelemetry(sim::TelemetryDefect::TemperatureNotDigits),
         PollOutcome::Dropped},
    };
    for (const auto& [fault, outcome] : faults) {
        SCOPED_TRACE(sim::describe(fault));
        Telemetry fresh{[this] { return now; }};
        simulator->setFault(fault);
        EXPECT_EQ(fresh.poll(*link, display), outcome);
        EXPECT_EQ(fresh.temperatureText(), noTemperature);
        EXPECT_EQ(fresh.humidityText(), "--%");

        simulator->setFault(sim::Fault::none());
        ASSERT_EQ(fresh.poll(*link, display), PollOutcome::Decoded);
        EXPECT_EQ(fresh.temperatureText(), "21" + degree);
        EXPECT_EQ(fresh.humidityText(), "50%");

        // The fault again: the measured values stay for five seconds, not one moment more.
        simulator->setFault(fault);
        now += Telemetry::freshFor;
        EXPECT_EQ(fresh.poll(*link, display), outcome);
        EXPECT_EQ(fresh.temperatureText(), "21" + degree);
        EXPECT_EQ(fresh.humidityText(), "50%");
        now += std::chrono::milliseconds(1);
        EXPECT_EQ(fresh.temperatureText(), noTemperature);
        EXPECT_EQ(fresh.humidityText(), "--%");
        simulator->setFault(sim::Fault::none());
    }
}

TEST_F(MeasuredTelemetry, EachGoodReplyStartsTheFiveSecondsAgain) {
    ASSERT_EQ(telemetry.poll(*link, display), PollOutcome::Decoded);
    now += std::chrono::seconds(4);
    simulator->setTelemetry({0, 1023});
    ASSERT_EQ(telemetry.poll(*link, display), PollOutcome::Decoded);
    now += std::chrono::seconds(4);
    expectTexts("-40" + degree, "99%");
    now += std::chrono::seconds(2);
    expectTexts(noTemperature, "--%");
}

TEST_F(MeasuredTelemetry, ValuesCarryTheTimeOfTheirReplyUntilTheyGoStale) {
    EXPECT_EQ(telemetry.humidity(), std::nullopt) << "nothing before a good reply";
    EXPECT_EQ(telemetry.temperature(), std::nullopt);
    const auto measured = now;
    ASSERT_EQ(telemetry.poll(*link, display), PollOutcome::Decoded);
    now += Telemetry::freshFor;
    EXPECT_EQ(telemetry.humidity(), (robot::Reading{50, measured}));
    EXPECT_EQ(telemetry.temperature(), (robot::Reading{21, measured}));
    now += std::chrono::milliseconds(1);
    EXPECT_EQ(telemetry.humidity(), std::nullopt);
    EXPECT_EQ(telemetry.temperature(), std::nullopt);
}
