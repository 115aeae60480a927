#include "sim/Fault.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using namespace std::chrono_literals;
using sim::Fault;
using sim::Reply;
using sim::TelemetryDefect;

std::vector<Reply> properReplies() {
    return {{Reply::Kind::Acknowledgement, {'A'}, 0ms},
            {Reply::Kind::Telemetry, {'T', '0', '1', '5', '0', '0', '5', '1', '2'}, 0ms},
            {Reply::Kind::Text, {'o', 'k', 0}, 60ms}};
}

std::string bytesOf(const Reply& reply) {
    return {reply.bytes.begin(), reply.bytes.end()};
}

TEST(FaultTest, ParsesTheCommandLineForms) {
    EXPECT_EQ(sim::parseFault("none"), Fault::none());
    EXPECT_EQ(sim::parseFault("silent"), Fault::silent());
    EXPECT_EQ(sim::parseFault("late:37"), Fault::late(37ms));
    EXPECT_EQ(sim::parseFault("late:0"), Fault::late(0ms));
    EXPECT_EQ(sim::parseFault("garbage"), Fault::garbage());
    EXPECT_EQ(sim::parseFault("short-telemetry"), Fault::shortTelemetry());
    EXPECT_EQ(sim::parseFault("bad-telemetry"), Fault::malformedTelemetry());
    EXPECT_EQ(sim::parseFault("bad-telemetry:humidity"),
              Fault::malformedTelemetry(TelemetryDefect::HumidityNotDigits));
    EXPECT_EQ(sim::parseFault("bad-telemetry:temperature"),
              Fault::malformedTelemetry(TelemetryDefect::TemperatureNotDigits));
    for (const char* bad :
         {"", "late", "late:", "late:-1", "late:12x", "late:99999999999999999999", "late:60001",
          "Silent", "bad-telemetry:", "bad-telemetry:x", "bad-telemetryx"})
        EXPECT_FALSE(sim::parseFault(bad).has_value()) << bad;
}

TEST(FaultTest, DescriptionParsesBackToTheSameFault) {
    for (const Fault& fault :
         {Fault::none(), Fault::silent(), Fault::late(12ms), Fault::garbage(),
          Fault::shortTelemetry(), Fault::malformedTelemetry(TelemetryDefect::WrongLetter),
          Fault::malformedTelemetry(TelemetryDefect::HumidityNotDigits),
          Fault::malformedTelemetry(TelemetryDefect::TemperatureNotDigits)})
        EXPECT_EQ(sim::parseFault(sim::describe(fault)), fault) << sim::describe(fault);
}

TEST(FaultTest, ShapesTheReplies) {
    std::mt19937 random(1);
    EXPECT_EQ(sim::applyFault(Fault::none(), properReplies(), random), properReplies());
    EXPECT_TRUE(sim::applyFault(Fault::silent(), properReplies(), random).empty());

    const auto late = sim::applyFault(Fault::late(40ms), properReplies(), random);
    ASSERT_EQ(late.size(), 3u);
    EXPECT_EQ(late[0].delay, 40ms);
    EXPECT_EQ(late[2].delay, 100ms);
    EXPECT_EQ(bytesOf(late[1]), "T01500512");

    const auto shortened = sim::applyFault(Fault::shortTelemetry(), properReplies(), random);
    EXPECT_EQ(bytesOf(shortened[0]), "A");
    EXPECT_EQ(bytesOf(shortened[1]), "T0150");
    EXPECT_EQ(shortened[2], properReplies()[2]);
}

TEST(FaultTest, SpoilsOnlyTheChosenTelemetryField) {
    std::mt19937 random(1);
    const auto spoiled = [&](TelemetryDefect defect) {
        const auto replies =
            sim::applyFault(Fault::malformedTelemetry(defect), properReplies(), random);
        EXPECT_EQ(bytesOf(replies[0]), "A");
        return bytesOf(replies[1]);
    };
    EXPECT_EQ(spoiled(TelemetryDefect::WrongLetter), "X01500512");
    EXPECT_EQ(spoiled(TelemetryDefect::HumidityNotDigits), "T01500x12");
    EXPECT_EQ(spoiled(TelemetryDefect::TemperatureNotDigits), "T0x500512");
}

TEST(FaultTest, GarbageIsRepeatableForASeedAndNotTheProperAnswer) {
    std::mt19937 first(7);
    std::mt19937 second(7);
    std::vector<Reply> a;
    std::vector<Reply> b;
    for (int i = 0; i < 20; ++i) {
        for (auto& reply : sim::applyFault(Fault::garbage(), properReplies(), first))
            a.push_back(reply);
        for (auto& reply : sim::applyFault(Fault::garbage(), properReplies(), second))
            b.push_back(reply);
    }
    EXPECT_EQ(a, b);
    int proper = 0;
    std::set<std::size_t> lengths;
    for (std::size_t i = 0; i < a.size(); ++i) {
        lengths.insert(a[i].bytes.size());
        proper += a[i].bytes == properReplies()[i % 3].bytes;
    }
    EXPECT_LE(proper, 1);
    EXPECT_GE(lengths.size(), 5u);
}

} // namespace
