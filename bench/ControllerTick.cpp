#include "input/GameController.h"
#include "platform/Joystick.h"
#include "platform/VirtualJoystick.h"

#include <benchmark/benchmark.h>

namespace {

// The tick's own work: its pauses are the GUI thread sleeping, so they are left out here.
struct SilentLink final : robot::CommandLink {
    void SendByte(std::uint8_t) override {}
    void pause(std::chrono::milliseconds) override {}
};

struct SilentPanel final : input::ConsolePanel {
    void showStatus(const QString&) override {}
    void setPowerBar(int) override {}
    void setMotorSlider(int) override {}
    void setCleaningSwitch(bool) override {}
    void clickCleaningSwitch() override {}
    void showCamera(bool) override {}
    void takeSnapshot() override {}
    void clickRecord() override {}
    void clickStopRecord() override {}
    void showRobotText() override {}
    void setJogMeter(int) override {}
};

// One Timer1 tick (two polls of a virtual controller through SDL) with the stick at rest;
// the console runs one every 100 ms.
void ControllerTickAtRest(benchmark::State& state) {
    platform::VirtualJoystick stick;
    input::ControlState control;
    SilentLink link;
    SilentPanel panel;
    input::GameController controller(control, panel, link);
    if (!stick.attached() || !controller.init(platform::openFirstJoystick())) {
        state.SkipWithError("no virtual controller");
        return;
    }
    controller.acquire(true);
    controller.tick(true);
    for (auto _ : state)
        controller.tick(true);
}

BENCHMARK(ControllerTickAtRest)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
