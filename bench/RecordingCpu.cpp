// What a recording costs the machine at 30 frames per second: the capture side's copy into the
// queue, the writer thread's frame writes, and the forced writes of frames, index and headers
// once a second, as a share of one core. Files go to the system's temporary folder unless
// MARLO_BENCH_DIR names another (a real disk, where the forced writes reach a device).
#include "bench/Percentile.h"
#include "video/Recorder.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>
#include <vector>

#include <sys/resource.h>

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto recordingLength = std::chrono::seconds(5);
constexpr auto framePeriod = std::chrono::microseconds(1'000'000 / 30);

double processCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

std::filesystem::path benchFolder() {
    const char* chosen = std::getenv("MARLO_BENCH_DIR");
    return chosen ? std::filesystem::path(chosen) : std::filesystem::temp_directory_path();
}

void recordAtThirtyFrames(benchmark::State& state, bool compress) {
    std::vector<std::uint8_t> pixels(video::dibRowSize(352, 24) * 288);
    for (std::size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<std::uint8_t>(i / 1056 + i % 1056 / 8);
    video::DibSection frame{352, 288, 1, 24, pixels.data(), pixels.size()};
    const auto file = benchFolder() / "marlo-bench-recording.avi";
    double cpuShare = 0;
    std::uint32_t written = 0;
    for (auto _ : state) {
        video::Recorder recorder;
        if (!recorder.start(file, 100, compress, &frame)) {
            state.SkipWithError("cannot start the recording");
            return;
        }
        const double cpuBefore = processCpuSeconds();
        const auto start = Clock::now();
        auto next = start;
        while (Clock::now() - start < recordingLength) {
            // The camera changes the picture every frame.
            pixels[static_cast<std::size_t>((next - start).count()) % pixels.size()] ^= 0xFF;
            recorder.addFrame(frame);
            next += framePeriod;
            std::this_thread::sleep_until(next);
        }
        recorder.stop();
        recorder.waitUntilClosed(std::chrono::seconds(60));
        const double wall = std::chrono::duration<double>(Clock::now() - start).count();
        cpuShare = (processCpuSeconds() - cpuBefore) / wall * 100;
        written = recorder.framesWritten();
    }
    std::filesystem::remove(file);
    state.counters["cpu_percent_of_one_core"] = cpuShare;
    state.counters["frames_written"] = written;
}

void RawRecordingAt30Fps(benchmark::State& state) {
    recordAtThirtyFrames(state, false);
}

void MotionJpegRecordingAt30Fps(benchmark::State& state) {
    recordAtThirtyFrames(state, true);
}

} // namespace

BENCHMARK(RawRecordingAt30Fps)
    ->Unit(benchmark::kSecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Apply(fiveRunsWithWorst);
BENCHMARK(MotionJpegRecordingAt30Fps)
    ->Unit(benchmark::kSecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Apply(fiveRunsWithWorst);

BENCHMARK_MAIN();
