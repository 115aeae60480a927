// Pacing of the robot link, timed by the simulated robot's receive stamps:
// the gap between the bytes of one message in the send-only state, on a local line and
// through ser2net, and the cost of one SendByte against a robot that answers. Both are reported as
// milliseconds over Retardo.
#include "bench/Percentile.h"
#include "bench/QtBenchmarkMain.h"
#include "bench/QuietIndicators.h"
#include "link/Commands.h"
#include "link/PortSetup.h"
#include "link/RobotLink.h"
#include "sim/Ser2net.h"
#include "sim/Simulator.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <stdexcept>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::duration<double, std::milli>;

constexpr int retardoMs = 15;

struct LinkOnSimulator {
    sim::Simulator simulator;
    QuietIndicators indicators;
    robot::RobotLink link;

    LinkOnSimulator() : link(openPort(simulator), indicators, retardoMs) {}

    static std::unique_ptr<platform::SerialPort> openPort(const sim::Simulator& simulator) {
        auto setup = robot::setUpPort(QString::fromStdString(simulator.devicePath()),
                                      QStringLiteral("9600,n,8,1"));
        if (!setup.portOk)
            throw std::runtime_error("cannot open the simulator's line");
        return std::move(setup.port);
    }
};

// The same robot behind ser2net on 127.0.0.1, reached over TCP.
struct LinkThroughSer2net {
    sim::Simulator simulator;
    sim::Ser2net server{simulator.devicePath()};
    QuietIndicators indicators;
    robot::RobotLink link;

    LinkThroughSer2net() : link(connect(server), indicators, retardoMs) {}

    static std::unique_ptr<platform::SerialLine> connect(sim::Ser2net& server) {
        server.start();
        auto setup = robot::setUpLine(server.address(), QStringLiteral("9600,n,8,1"));
        if (!setup.portOk)
            throw std::runtime_error("cannot reach ser2net");
        return std::move(setup.line);
    }
};

void reportOverRetardo(benchmark::State& state, const std::vector<double>& milliseconds) {
    // A gap below Retardo can only come from late receive stamps, which lengthen the next gap.
    state.counters["min_over_retardo_ms"] = percentile(milliseconds, 0.0) - retardoMs;
    state.counters["median_over_retardo_ms"] = percentile(milliseconds, 0.5) - retardoMs;
    state.counters["p99_over_retardo_ms"] = percentile(milliseconds, 0.99) - retardoMs;
    state.counters["max_over_retardo_ms"] = percentile(milliseconds, 1.0) - retardoMs;
    state.counters["samples"] = static_cast<double>(milliseconds.size());
}

template <typename Bench> void measureByteGaps(benchmark::State& state, Bench& bench) {
    bench.simulator.setFault(sim::Fault::silent());
    robot::sendStop(bench.link);
    if (bench.link.replyExpected())
        state.SkipWithError("still expecting answers");
    bench.simulator.clearRecord();
    std::size_t messages = 0;
    for (auto _ : state) {
        robot::sendForward(bench.link, 10);
        ++messages;
    }
    bench.simulator.waitForBytes(messages * 6, 5s);
    const auto received = bench.simulator.receivedBytes();
    std::vector<double> gaps;
    for (std::size_t message = 0; message + 1 <= received.size() / 6; ++message) {
        for (std::size_t byte = 1; byte < 6; ++byte) {
            const auto& before = received[message * 6 + byte - 1];
            const auto& after = received[message * 6 + byte];
            gaps.push_back(Milliseconds(after.time - before.time).count());
        }
    }
    reportOverRetardo(state, gaps);
}

void ByteGapInSendOnlyState(benchmark::State& state) {
    LinkOnSimulator bench;
    measureByteGaps(state, bench);
}

void ByteGapThroughSer2net(benchmark::State& state) {
    if (!sim::Ser2net::installed()) {
        state.SkipWithError("ser2net is not installed");
        return;
    }
    LinkThroughSer2net bench;
    measureByteGaps(state, bench);
}

// How long SendByte takes, timed on the console's side.
std::vector<double> timeSendByte(benchmark::State& state, robot::RobotLink& link) {
    std::vector<double> durations;
    for (auto _ : state) {
        const auto start = Clock::now();
        link.SendByte('P');
        durations.push_back(Milliseconds(Clock::now() - start).count());
    }
    return durations;
}

void SendByteToAnsweringRobot(benchmark::State& state) {
    LinkOnSimulator bench;
    const std::vector<double> durations = timeSendByte(state, bench.link);
    if (!bench.link.replyExpected())
        state.SkipWithError("the robot stopped answering");
    reportOverRetardo(state, durations);
}

// The pause itself, free of the line's and the receiver's delays: write plus pause.
void SendByteInSendOnlyState(benchmark::State& state) {
    LinkOnSimulator bench;
    bench.simulator.setFault(sim::Fault::silent());
    robot::sendStop(bench.link);
    if (bench.link.replyExpected())
        state.SkipWithError("still expecting answers");
    reportOverRetardo(state, timeSendByte(state, bench.link));
}

BENCHMARK(ByteGapInSendOnlyState)->Iterations(200)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(ByteGapThroughSer2net)->Iterations(200)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(SendByteToAnsweringRobot)->Iterations(500)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(SendByteInSendOnlyState)->Iterations(1000)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return runQtBenchmarks(argc, argv);
}
