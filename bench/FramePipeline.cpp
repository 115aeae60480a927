// The per-frame cost of the picture pipeline at 352 x 288, and of the effect at larger sizes.
#include "video/FramePipeline.h"
#include "bench/QtBenchmarkMain.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <vector>

namespace {

struct NoSink : video::FrameSink {
    void addFrame(const video::DibSection&) override {}
};

std::vector<std::uint8_t> cameraFrame() {
    std::vector<std::uint8_t> frame(video::frameBytes);
    for (std::size_t i = 0; i < frame.size(); ++i)
        frame[i] = static_cast<std::uint8_t>((i * 7) / 5);
    return frame;
}

// Effect on every channel and all four overlays, as the busiest operator would have it.
void BM_FrameCallbackEffectAndOverlays(benchmark::State& state) {
    video::FrameSurface surface;
    NoSink sink;
    video::FramePipeline pipeline(
        surface, sink,
        {[] { return QStringLiteral("22ºC"); }, [] { return QStringLiteral("45%"); }},
        QApplication::font());
    auto& controls = pipeline.controls;
    controls.EffectsOn = controls.ShowRed = controls.ShowGreen = controls.ShowBlue = true;
    controls.ShowFps = controls.ShowTemperature = controls.ShowHumidity = controls.ShowTitle = true;
    pipeline.TitleText.set(QStringLiteral("Colector 3, tramo B"));
    pipeline.setResultHandler([](const QImage& result) { benchmark::DoNotOptimize(result); });
    const std::vector<std::uint8_t> frame = cameraFrame();
    for (auto _ : state)
        pipeline.FrameCallback(frame.data(), video::frameWidth, video::frameHeight);
}
BENCHMARK(BM_FrameCallbackEffectAndOverlays)->Unit(benchmark::kMicrosecond);

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
