#pragma once

#include "sim/Simulator.h"

#include <QString>

#include <gtest/gtest.h>

#include <memory>

// Starts a simulated robot on a fresh pseudo-terminal for each test; the console side opens
// portPath().
struct SimulatorFixture : ::testing::Test {
    std::unique_ptr<sim::Simulator> simulator;

    QString portPath() const;
    void SetUp() override;
    void TearDown() override;
};
