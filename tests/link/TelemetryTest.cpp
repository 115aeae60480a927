#include "link/Telemetry.h"
#include "link/TelemetryDecode.h"
#include "platform/SharedText.h"
#include "tests/link/LinkTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string_view>
#include <thread>

using namespace link_testing;
using robot::PollOutcome;
using robot::Telemetry;
using robot::TelemetryReading;

namespace {

TelemetryReading decode(std::string_view reply) {
    return robot::decodeTelemetry(
        {reinterpret_cast<const std::uint8_t*>(reply.data()), reply.size()});
}

TelemetryReading reading(std::optional<int> humidity, std::optional<int> temperature) {
    return {humidity, temperature};
}

const QString degree = QString(QChar(0x00BA));

struct RecordingDisplay final : robot::TelemetryDisplay {
    QStringList lines;
    void showTelemetryLine(const QString& line) override { lines << line; }
};

} // namespace

TEST(TelemetryDecoding, Conversions) {
    EXPECT_EQ(decode("T01500512"), reading(50, 21));
    EXPECT_EQ(decode("T00001023"), reading(99, -40));
    EXPECT_EQ(decode("T01211024"), reading(100, 10));
    EXPECT_EQ(decode("T99999999"), reading(976, 4091));
    // Negative temperatures are truncated toward zero too: -35.9 is -35.
    EXPECT_EQ(decode("T9.920000"), reading(0, -35));
    EXPECT_EQ(decode("T+121-512"), reading(-50, 10));
    EXPECT_EQ(decode("T1e020512"), reading(50, 1));
}

TEST(TelemetryDecoding, AZeroByteEndsAField) {
    using namespace std::string_view_literals;
    EXPECT_EQ(decode("T1\0\0\0"
                     "5\0\0\0"sv),
              reading(0, -39));
    EXPECT_EQ(decode("T0150\0"
                     "512"sv),
              reading(std::nullopt, std::nullopt));
    EXPECT_EQ(decode("T\0"
                     "1500512"sv),
              reading(50, std::nullopt));
}

TEST(TelemetryDecoding, WrongShapeOrLetterGivesNothing) {
    EXPECT_EQ(decode("X01500512"), reading(std::nullopt, std::nullopt));
    EXPECT_EQ(decode("t01500512"), reading(std::nullopt, std::nullopt));
    EXPECT_EQ(decode("T0150051"), reading(std::nullopt, std::nullopt));
    EXPECT_EQ(decode("T015005120"), reading(std::nullopt, std::nullopt));
    EXPECT_EQ(decode(""), reading(std::nullopt, std::nullopt));
}

TEST(TelemetryDecoding, BadHumidityGivesNothingBadTemperatureGivesHumidity) {
    for (const char* reply :
         {"T01500x12", "T0150 512", "T01505.12", "T0150+-12", "T0150-   ", "T0150++12"})
        EXPECT_EQ(decode(reply), reading(std::nullopt, std::nullopt)) << reply;
    for (const char* reply : {"T0x500512", "Tinf 0512", "Tnan 0512", "T 1500512", "T1e990512",
                              "T--150512", "T1..20512", "T0,150512"})
        EXPECT_EQ(decode(reply), reading(50, std::nullopt)) << reply;
}

TEST(TelemetryPolling, TheTimerRunsWhileEitherButtonIsOn) {
    // Temperature on, humidity on, temperature off, humidity off.
    EXPECT_EQ(Telemetry::pollingAfterToggle(true, false), true);
    EXPECT_EQ(Telemetry::pollingAfterToggle(true, true), std::nullopt);
    EXPECT_EQ(Telemetry::pollingAfterToggle(false, true), std::nullopt);
    EXPECT_EQ(Telemetry::pollingAfterToggle(false, false), false);
}

TEST(TelemetryTexts, NothingMeasuredYetShowsDashes) {
    const Telemetry telemetry;
    EXPECT_EQ(telemetry.humidityText(), "--%");
    EXPECT_EQ(telemetry.temperatureText(), "--" + degree + "C");
}

struct TelemetryTest : SimulatorFixture {
    RecordingIndicators indicators;
    RecordingDisplay display;
    ObservedLine* observed = nullptr;
    std::unique_ptr<robot::RobotLink> link;
    Telemetry telemetry;

    void SetUp() override {
        SimulatorFixture::SetUp();
        auto line = std::make_unique<ObservedLine>(openConsolePort(portPath()), *simulator);
        observed = line.get();
        link = std::make_unique<robot::RobotLink>(std::move(line), indicators, 15);
    }
};

TEST_F(TelemetryTest, AGoodReplyUpdatesTextsAndDisplay) {
    simulator->setTelemetry({150, 512});
    EXPECT_EQ(telemetry.poll(*link, display), PollOutcome::Decoded);
    EXPECT_EQ(telemetry.humidityText(), "50%");
    EXPECT_EQ(telemetry.temperatureText(), "21" + degree);
    EXPECT_EQ(display.lines, QStringList({"HR: 50% T.: 21" + degree}));
    EXPECT_EQ(indicators.events, QStringList({"tx on", "timer on", "rx on", "timer on"}));
    EXPECT_EQ(observed->purges, 1);
    // The request is only the letter, and the answering state is left alone.
    ASSERT_TRUE(simulator->waitForBytes(1, 2s));
    EXPECT_EQ(simulator->receivedValues(), std::vector<std::uint8_t>{'T'});
    EXPECT_TRUE(link->replyExpected());
    EXPECT_TRUE(indicators.returns.isEmpty());
}

TEST_F(TelemetryTest, RepliesThatCannotBeShownArePurged) {
    const std::pair<sim::Fault, PollOutcome> cases[] = {
        {sim::Fault::shortTelemetry(), PollOutcome::Dropped},
        {sim::Fault::malformedTelemetry(sim::TelemetryDefect::WrongLetter), PollOutcome::Dropped},
        {sim::Fault::malformedTelemetry(sim::TelemetryDefect::HumidityNotDigits),
         PollOutcome::Dropped},
    };
    int purges = 0;
    for (const auto& [fault, outcome] : cases) {
        simulator->setFault(fault);
        EXPECT_EQ(telemetry.poll(*link, display), outcome) << sim::describe(fault);
        EXPECT_EQ(observed->purges, ++purges);
    }
    EXPECT_EQ(telemetry.humidityText(), "--%");
    EXPECT_EQ(telemetry.temperatureText(), "--" + degree + "C");
    EXPECT_TRUE(display.lines.isEmpty());
}

// A real humidity never stands beside a temperature from an older reply.
TEST_F(TelemetryTest, ABadTemperatureChangesNeitherText) {
    simulator->setTelemetry({150, 512});
    ASSERT_EQ(telemetry.poll(*link, display), PollOutcome::Decoded);
    simulator->setTelemetry({150, 1023});
    simulator->setFault(sim::Fault::malformedTelemetry(sim::TelemetryDefect::TemperatureNotDigits));
    EXPECT_EQ(telemetry.poll(*link, display), PollOutcome::Dropped);
    EXPECT_EQ(telemetry.humidityText(), "50%");
    EXPECT_EQ(telemetry.temperatureText(), "21" + degree);
    EXPECT_EQ(display.lines.size(), 1);
    EXPECT_EQ(observed->purges, 2);
}

TEST_F(TelemetryTest, NoReplyChangesNothingAndPurgesNothing) {
    simulator->setTelemetry({0, 0});
    EXPECT_EQ(telemetry.poll(*link, display), PollOutcome::Decoded);
    simulator->setFault(sim::Fault::silent());
    observed->reads = 0;
    EXPECT_EQ(telemetry.poll(*link, display), PollOutcome::NoReply);
    EXPECT_EQ(observed->reads, 10);
    EXPECT_EQ(observed->purges, 1);
    EXPECT_EQ(telemetry.temperatureText(), "-40" + degree);
    EXPECT_EQ(display.lines.size(), 1);
}

TEST_F(TelemetryTest, AReplyOnlyOnTheTenthReadIsIgnored) {
    simulator->setFault(sim::Fault::silent());
    observed->answerOnRead(10, 'T');
    EXPECT_EQ(telemetry.poll(*link, display), PollOutcome::NoReply);
    EXPECT_EQ(observed->purges, 0);
}

TEST(TelemetryTexts, ReadersOnAnotherThreadNeverSeeAHalfText) {
    platform::SharedText text(QString(64, 'a'));
    std::atomic<bool> done = false;
    std::atomic<int> torn = 0;
    std::thread reader([&] {
        while (!done) {
            const QString seen = text.get();
            if (seen != QString(64, 'a') && seen != QString(32, 'b'))
                ++torn;
        }
    });
    for (int i = 0; i < 20000; ++i)
        text.set(i % 2 ? QString(64, 'a') : QString(32, 'b'));
    done = true;
    reader.join();
    EXPECT_EQ(torn, 0);
}

TEST_F(TelemetryTest, ATemperatureOfManyDigitsIsShownWhole) {
    simulator->setFault(sim::Fault::silent());
    const std::string_view reply = "T9e080512";
    simulator->sendRaw({reply.begin(), reply.end()});
    ASSERT_TRUE(waitUntilSent(*simulator, reply.size()));
    ASSERT_EQ(telemetry.poll(*link, display), PollOutcome::Decoded);
    EXPECT_EQ(telemetry.temperatureText(), "371900786" + degree);
    EXPECT_EQ(telemetry.temperature()->value, 371900786);
    EXPECT_EQ(display.lines, QStringList({"HR: 50% T.: 371900786" + degree}));
}
