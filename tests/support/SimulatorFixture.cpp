#include "tests/support/SimulatorFixture.h"

QString SimulatorFixture::portPath() const {
    return simulator ? QString::fromStdString(simulator->devicePath()) : QString();
}

void SimulatorFixture::SetUp() {
    simulator = std::make_unique<sim::Simulator>();
}

void SimulatorFixture::TearDown() {
    simulator.reset();
}
