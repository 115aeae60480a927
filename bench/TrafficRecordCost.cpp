// What the traffic record adds to SendByte on the GUI thread: SendByte in the send-only
// state, with Retardo 0, on a line that takes every byte at once, with and without the
// record. The difference of the two is the record's cost per byte.
#include "bench/Percentile.h"
#include "bench/QtBenchmarkMain.h"
#include "bench/QuietIndicators.h"
#include "link/RecordedLine.h"
#include "link/RobotLink.h"
#include "link/TrafficRecord.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using Microseconds = std::chrono::duration<double, std::micro>;

// A line that is always open, takes every byte and never answers.
struct TakingLine final : platform::SerialLine {
    bool isOpen() const override { return true; }
    void setHangUpHandler(HangUpHandler) override {}
    bool hasInput() override { return false; }
    QByteArray readAvailable() override { return {}; }
    bool transmitImmediately(std::uint8_t) override { return true; }
    QByteArray read(int) override { return {}; }
    void purgeInput() override {}
};

void measure(benchmark::State& state, std::unique_ptr<platform::SerialLine> line) {
    QuietIndicators indicators;
    robot::RobotLink link(std::move(line), indicators, 0);
    // The first byte's ten empty reads switch the link to sending only.
    link.SendByte('P');
    std::vector<double> durations;
    std::uint8_t byte = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        link.SendByte(byte++);
        durations.push_back(Microseconds(Clock::now() - start).count());
    }
    state.counters["median_us"] = percentile(durations, 0.5);
    state.counters["p99_us"] = percentile(durations, 0.99);
    state.counters["max_us"] = percentile(durations, 1.0);
}

void SendByteWithoutRecord(benchmark::State& state) {
    measure(state, std::make_unique<TakingLine>());
}

void SendByteWithRecord(benchmark::State& state) {
    QTemporaryDir folder;
    robot::TrafficRecord record(folder.path().toStdString());
    if (!record.ok())
        state.SkipWithError("no record");
    measure(state, std::make_unique<robot::RecordedLine>(std::make_unique<TakingLine>(), record));
}

BENCHMARK(SendByteWithoutRecord)->Iterations(200000)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(SendByteWithRecord)->Iterations(200000)->UseRealTime()->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    return runQtBenchmarks(argc, argv);
}
