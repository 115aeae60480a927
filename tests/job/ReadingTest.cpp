#include "job/ConsoleReading.h"
#include "job/TelemetryValues.h"
#include "link/Telemetry.h"

#include <gtest/gtest.h>

using namespace job;

TEST(TelemetryValues, LeadingNumberOfEachText) {
    const std::pair<const char*, const char*> table[] = {
        {"22º", "22"}, {"25ºC", "25"}, {"45%", "45"}, {"-3º", "-3"},    {"21,5º", "21.5"},
        {"", "--"},    {"--ºC", "--"}, {"º", "--"},   {"12345º", "--"},
    };
    for (const auto& [text, number] : table)
        EXPECT_EQ(numberOf(QString::fromUtf8(text)), QString::fromUtf8(number)) << text;
}

TEST(TelemetryValues, NothingMeasuredGivesNoValues) {
    const TelemetryValues none = telemetryValues(robot::Telemetry());
    EXPECT_EQ(none.temperature, noValue);
    EXPECT_EQ(none.humidity, noValue);
}

TEST(ConsoleReading, DriveStateSpeedLightsAndCleaningFromTheControls) {
    input::ControlState state;
    const QTime time(9, 0, 1);
    state.DriveSpeed = 10;
    Reading reading = consoleReading({}, {state, 20, true}, time);
    EXPECT_EQ(reading.drive, QStringLiteral("parado"));
    EXPECT_EQ(reading.speedPercent, 80);
    EXPECT_EQ(reading.lightsPercent, 40);
    EXPECT_TRUE(reading.cleaningMotor);
    EXPECT_EQ(reading.time, time);
    EXPECT_EQ(reading.temperature, noValue);

    state.KeyHeld = true;
    state.Forward = true;
    EXPECT_EQ(consoleReading({}, {state, 0, false}, time).drive, QStringLiteral("avance"));
    state.Forward = false;
    state.DriveSpeed = 0;
    reading =
        consoleReading({QStringLiteral("31"), QStringLiteral("67")}, {state, 50, false}, time);
    EXPECT_EQ(reading.drive, QStringLiteral("retroceso"));
    EXPECT_EQ(reading.speedPercent, 100);
    EXPECT_EQ(reading.lightsPercent, 100);
    EXPECT_FALSE(reading.cleaningMotor);
    EXPECT_EQ(reading.temperature, QStringLiteral("31"));
    EXPECT_EQ(reading.humidity, QStringLiteral("67"));

    state.DriveSpeed = 50;
    EXPECT_EQ(consoleReading({}, {state, 51, false}, time).lightsPercent, 100);
    EXPECT_EQ(consoleReading({}, {state, -1, false}, time).lightsPercent, 0);
    EXPECT_EQ(consoleReading({}, {state, 0, false}, time).speedPercent, 0);
}
