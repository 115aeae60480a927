#include "job/ConsoleReading.h"
#include "job/TelemetryValues.h"
#include "link/Telemetry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace job;

// What the tables write of a value, and what a table's field reads back as.
TEST(TelemetryValues, OnlyValuesTheTablesHoldAreRecordedAndReadBack) {
    const double infinity = std::numeric_limits<double>::infinity();
    const std::pair<double, const char*> table[] = {
        {22, "22"},    {-3, "-3"},     {21.5, "21.5"},   {9999, "9999"},    {-9999, "-9999"},
        {10000, "--"}, {-10000, "--"}, {infinity, "--"}, {-infinity, "--"}, {std::nan(""), "--"},
    };
    for (const auto& [value, written] : table) {
        EXPECT_EQ(valueText(recordedValue(value)), QString::fromUtf8(written)) << value;
        EXPECT_EQ(valueFromText(QString::fromUtf8(written)), recordedValue(value)) << value;
    }
    for (const char* text : {"", "--", "22º", "21,5", "12345", "inf", "nan", "1e300", "x"})
        EXPECT_EQ(valueFromText(QString::fromUtf8(text)), std::nullopt) << text;
}

TEST(TelemetryValues, NothingMeasuredGivesNoValues) {
    const TelemetryValues none = telemetryValues(robot::Telemetry());
    EXPECT_EQ(none.temperature, std::nullopt);
    EXPECT_EQ(none.humidity, std::nullopt);
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
    EXPECT_EQ(reading.temperature, std::nullopt);

    state.KeyHeld = true;
    state.Forward = true;
    EXPECT_EQ(consoleReading({}, {state, 0, false}, time).drive, QStringLiteral("avance"));
    state.Forward = false;
    state.DriveSpeed = 0;
    reading = consoleReading({31, 67}, {state, 50, false}, time);
    EXPECT_EQ(reading.drive, QStringLiteral("retroceso"));
    EXPECT_EQ(reading.speedPercent, 100);
    EXPECT_EQ(reading.lightsPercent, 100);
    EXPECT_FALSE(reading.cleaningMotor);
    EXPECT_EQ(reading.temperature, 31);
    EXPECT_EQ(reading.humidity, 67);

    state.DriveSpeed = 50;
    EXPECT_EQ(consoleReading({}, {state, 51, false}, time).lightsPercent, 100);
    EXPECT_EQ(consoleReading({}, {state, -1, false}, time).lightsPercent, 0);
    EXPECT_EQ(consoleReading({}, {state, 0, false}, time).speedPercent, 0);
}
