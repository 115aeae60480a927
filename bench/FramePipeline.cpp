// The per-frame cost of the picture pipeline and of the effect, at 352 x 288 and at the
// camera's own larger sizes.
#include "video/FramePipeline.h"
#include "bench/QtBenchmarkMain.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <vector>

namespace {

struct NoSink : video::FrameSink {
    void addFrame(const video::DibSection&) override {}
};

std::vector<std::uint8_t> cameraFrame(int width, int height) {
    std::vector<std::uint8_t> frame(std::size_t(width) * std::size_t(height) * 3);
    for (std::size_t i = 0; i < frame.size(); ++i)
        frame[i] = static_cast<std::uint8_t>((i * 7) / 5);
    return frame;
}

// Effect on every channel and all four overlays, as the busiest operator would have it; any
// size but 352 x 288 at the camera's own size, with the panels' fitted result.
void BM_FrameCallbackEffectAndOverlays(benchmark::State& state) {
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    video::FrameSurface surface;
    NoSink sink;
    video::FramePipeline pipeline(
        surface, sink,
        {[] { return QStringLiteral("22ºC"); }, [] { return QStringLiteral("45%"); }},
        QApplication::font());
    auto& controls = pipeline.controls;
    controls.EffectsOn = controls.ShowRed = controls.ShowGreen = controls.ShowBlue = true;
    controls.ShowFps = controls.ShowTemperature = controls.ShowHumidity = controls.ShowTitle = true;
    controls.OwnSize = width != video::frameWidth || height != video::frameHeight;
    pipeline.TitleText.set(QStringLiteral("Colector 3, tramo B"));
    pipeline.setResultHandler([](const QImage& result) { benchmark::DoNotOptimize(result); });
    const std::vector<std::uint8_t> frame = cameraFrame(width, height);
    for (auto _ : state)
        pipeline.FrameCallback(frame.data(), width, height);
}
BENCHMARK(BM_FrameCallbackEffectAndOverlays)
    ->Args({video::frameWidth, video::frameHeight})
    ->Args({1280, 720})
    ->Args({1920, 1080})
    ->Unit(benchmark::kMicrosecond);

// The effect alone at a frame size: prepared from T, D and the switches, then one pass.
void BM_EffectAlone(benchmark::State& state) {
    const auto bytes = static_cast<std::size_t>(state.range(0) * state.range(1) * 3);
    std::vector<std::uint8_t> frame(bytes);
    for (std::size_t i = 0; i < frame.size(); ++i)
        frame[i] = static_cast<std::uint8_t>((i * 7) / 5);
    std::vector<std::uint8_t> result(frame.size());
    const video::EffectSettings settings{true, true, true, true, 100, 37};
    for (auto _ : state) {
        video::EffectPass(settings).apply(frame.data(), result.data(), frame.size());
        benchmark::DoNotOptimize(result.data());
    }
}
BENCHMARK(BM_EffectAlone)
    ->Args({video::frameWidth, video::frameHeight})
    ->Args({1280, 720})
    ->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    return runQtBenchmarks(argc, argv);
}
