#include "link/StopGuard.h"
#include "link/Commands.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using robot::StopGuard;
using Delivery = StopGuard::Delivery;

struct Step {
    std::uint8_t byte;
    Delivery delivery;
};

struct Case {
    const char* name;
    std::vector<Step> steps;
    bool owed;
};

constexpr auto sent = Delivery::Sent;
constexpr auto uncertain = Delivery::Uncertain;
constexpr auto notSent = Delivery::NotSent;

// Up arrow's bytes: both senses and both speeds.
std::vector<Step> forward(Delivery delivery) {
    return {{'A', delivery}, {'r', delivery}, {'1', delivery},
            {10, delivery},  {'2', delivery}, {10, delivery}};
}

std::vector<Step> then(std::vector<Step> first, const std::vector<Step>& more) {
    first.insert(first.end(), more.begin(), more.end());
    return first;
}

TEST(StopGuard, OwesAStopOnlyWhenOneWasLostWhileTheRobotMayBeDriving) {
    const std::vector<Case> cases{
        {"nothing sent yet", {}, false},
        {"Stop lost while driving", then(forward(sent), {{'P', notSent}}), true},
        {"Stop lost without driving first", {{'P', notSent}}, false},
        {"Stop lost after a Stop went out", then(forward(sent), {{'P', sent}, {'P', notSent}}),
         false},
        {"Stop went out as the line closed", then(forward(sent), {{'P', uncertain}}), true},
        {"drive went out as the line closed", then(forward(uncertain), {{'P', notSent}}), true},
        {"drive never went out", then(forward(notSent), {{'P', notSent}}), false},
        {"owed Stop delivered", then(forward(sent), {{'P', notSent}, {'P', sent}}), false},
        {"still driving, no Stop asked", forward(sent), false},
        {"a turn counts as driving",
         {{'3', sent}, {8, sent}, {'R', sent}, {'r', sent}, {'P', notSent}},
         true},
        {"a position value 'P' is no Stop", then(forward(sent), {{'S', notSent}, {'P', notSent}}),
         false},
        {"a speed value 'A' is no drive", {{'1', sent}, {'A', sent}, {'P', notSent}}, false},
        {"lights and camera are not driving", {{'B', sent}, {'c', sent}, {'P', notSent}}, false},
    };
    for (const auto& c : cases) {
        StopGuard guard;
        for (const auto& step : c.steps)
            guard.note(step.byte, step.delivery);
        EXPECT_EQ(guard.stopOwed(), c.owed) << c.name;
    }
}

} // namespace
