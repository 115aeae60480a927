// How late the Stop of a released arrow key reaches the robot when the release comes while
// the window is still sending the key's drive sequence, and perhaps a telemetry poll is due
// too. Up is pressed and released from another thread, as the X server would deliver them,
// at offsets that meet every phase of the one-second telemetry timer; the time runs from
// the release until the simulated robot stamps the Stop byte.

#include "app/Main.h"
#include "bench/Percentile.h"
#include "bench/QtBenchmarkMain.h"
#include "sim/Simulator.h"
#include "tests/support/TempSettings.h"
#include "widgets/Vrthreads.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QTimer>
#include <QWindow>

#include <benchmark/benchmark.h>

#include <chrono>
#include <optional>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::duration<double, std::milli>;

constexpr std::uint8_t stopByte = 0x50;

void runEventLoopFor(std::chrono::milliseconds duration) {
    QEventLoop loop;
    QTimer::singleShot(duration, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

void postKey(QWindow& window, QEvent::Type type) {
    // The event queue takes ownership of the event.
    QCoreApplication::postEvent(&window, new QKeyEvent(type, Qt::Key_Up, Qt::NoModifier));
}

struct ConsoleOnRobot {
    sim::Simulator simulator;
    testing_support::TempSettings settings;
    std::unique_ptr<TForm1> form;

    ConsoleOnRobot(int retardo, bool answering, bool telemetry) {
        settings.store("Puerto Comm", QString::fromStdString(simulator.devicePath()));
        settings.store("Retardo", retardo);
        form = std::make_unique<TForm1>();
        form->Timer1->SetEnabled(false);
        form->show();
        simulator.waitForBytes(2, 2s);
        if (!answering)
            simulator.setFault(sim::Fault::silent());
        form->TimerRx->SetEnabled(telemetry);
        runEventLoopFor(300ms);
    }

    // Milliseconds from the release to the Stop at the robot, if it came within 5 s.
    std::optional<double> tap(std::chrono::milliseconds pressAt,
                              std::chrono::milliseconds holdFor) {
        simulator.clearRecord();
        QWindow* const window = form->windowHandle();
        Clock::time_point released;
        std::jthread typist([&] {
            std::this_thread::sleep_for(pressAt);
            postKey(*window, QEvent::KeyPress);
            std::this_thread::sleep_for(holdFor);
            released = Clock::now();
            postKey(*window, QEvent::KeyRelease);
        });
        runEventLoopFor(pressAt + holdFor + 5ms);
        typist.join();
        const auto deadline = Clock::now() + 5s;
        while (Clock::now() < deadline) {
            for (const sim::ReceivedByte& byte : simulator.receivedBytes())
                if (byte.value == stopByte && byte.time >= released)
                    return Milliseconds(byte.time - released).count();
            runEventLoopFor(5ms);
        }
        return std::nullopt;
    }
};

// Arguments: Retardo, robot answering (1) or silent (0), telemetry on (1) or off (0).
void KeyReleaseToStop(benchmark::State& state) {
    ConsoleOnRobot console(static_cast<int>(state.range(0)), state.range(1) != 0,
                           state.range(2) != 0);
    std::vector<double> latencies;
    int lost = 0;
    int key = 0;
    for (auto _ : state) {
        const std::chrono::milliseconds pressAt((key * 137) % 1000);
        const std::chrono::milliseconds holdFor((key * 23) % 60);
        ++key;
        if (const auto latency = console.tap(pressAt, holdFor))
            latencies.push_back(*latency);
        else
            ++lost;
    }
    state.counters["median_ms"] = percentile(latencies, 0.5);
    state.counters["max_ms"] = percentile(latencies, 1.0);
    state.counters["stops_lost"] = lost;
    if (console.form->link()->lost())
        state.SkipWithError("the line was lost");
}

BENCHMARK(KeyReleaseToStop)
    ->ArgNames({"retardo", "answering", "telemetry"})
    ->ArgsProduct({{15, 100}, {1, 0}, {0, 1}})
    ->Iterations(12)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return runQtBenchmarks(argc, argv);
}
