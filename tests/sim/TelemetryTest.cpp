#include "sim/Telemetry.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string text(const sim::TelemetryReply& reply) {
    return {reply.begin(), reply.end()};
}

TEST(TelemetryTest, ReplyIsTheLetterThenTemperatureThenHumidity) {
    EXPECT_EQ(text(sim::telemetryReply({150, 512})), "T01500512");
    EXPECT_EQ(text(sim::telemetryReply({0, 1024})), "T00001024");
    EXPECT_EQ(text(sim::telemetryReply({9999, 7})), "T99990007");
    EXPECT_EQ(text(sim::telemetryReply({-3, 12345})), "T00009999");
}

TEST(TelemetryTest, ConsoleConversionOfKnownReadings) {
    EXPECT_EQ(sim::consoleHumidityPercent(512), 50);
    EXPECT_EQ(sim::consoleHumidityPercent(1023), 99);
    EXPECT_EQ(sim::consoleHumidityPercent(1024), 100);
    EXPECT_EQ(sim::consoleTemperatureDegrees(150), 21);
    EXPECT_EQ(sim::consoleTemperatureDegrees(121), 10);
    EXPECT_EQ(sim::consoleTemperatureDegrees(0), -40);
}

TEST(TelemetryTest, EveryWholePercentComesBackAsAsked) {
    for (int percent = 0; percent <= 976; ++percent) {
        const auto raw = sim::humidityRawFor(percent);
        ASSERT_TRUE(raw.has_value()) << percent;
        EXPECT_EQ(sim::consoleHumidityPercent(*raw), percent);
        if (*raw > 0) {
            EXPECT_LT(sim::consoleHumidityPercent(*raw - 1), percent) << "not the smallest";
        }
    }
    EXPECT_EQ(sim::humidityRawFor(50), 512);
    EXPECT_EQ(sim::humidityRawFor(100), 1024);
    EXPECT_FALSE(sim::humidityRawFor(-1).has_value());
    EXPECT_FALSE(sim::humidityRawFor(977).has_value());
}

TEST(TelemetryTest, EveryWholeDegreeComesBackAsAsked) {
    for (int degrees = -40; degrees <= 4091; ++degrees) {
        const auto raw = sim::temperatureRawFor(degrees);
        ASSERT_TRUE(raw.has_value()) << degrees;
        EXPECT_EQ(sim::consoleTemperatureDegrees(*raw), degrees);
    }
    EXPECT_EQ(sim::temperatureRawFor(10), 121);
    EXPECT_EQ(sim::temperatureRawFor(-40), 0);
    EXPECT_FALSE(sim::temperatureRawFor(-40.5).has_value());
    EXPECT_FALSE(sim::temperatureRawFor(4093).has_value());
}

TEST(TelemetryTest, FractionalValuesShowTruncated) {
    EXPECT_EQ(sim::consoleTemperatureDegrees(*sim::temperatureRawFor(21.7)), 21);
    EXPECT_EQ(sim::consoleTemperatureDegrees(*sim::temperatureRawFor(-35.9)), -35);
    EXPECT_EQ(sim::consoleHumidityPercent(*sim::humidityRawFor(49.5)), 49);
}

} // namespace
