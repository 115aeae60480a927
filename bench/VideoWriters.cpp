// Frame writes of a recording, uncompressed and Motion-JPEG, and one still picture, all of the
// 352 x 288 surface, into files under the system's temporary folder.
#include "bench/Percentile.h"
#include "video/AviWriter.h"
#include "video/BitmapFile.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <vector>

namespace {

class Surface {
public:
    Surface() : pixels_(video::dibRowSize(352, 24) * 288) {
        for (std::size_t i = 0; i < pixels_.size(); ++i)
            pixels_[i] = static_cast<std::uint8_t>(i / 1056 + i % 1056 / 8);
        dib_.width = 352;
        dib_.height = 288;
        dib_.bits = pixels_.data();
        dib_.imageSize = pixels_.size();
    }
    const video::DibSection& dib() const { return dib_; }

private:
    std::vector<std::uint8_t> pixels_;
    video::DibSection dib_;
};

std::filesystem::path benchFile(const char* name) {
    return std::filesystem::temp_directory_path() / name;
}

void recordFrames(benchmark::State& state, const video::AviCompressOptions* options) {
    const Surface surface;
    const auto file = benchFile("marlo-bench.avi");
    auto writer = video::OpenVideoWriter(file, 100);
    if (!writer || (options && video::SetVideoCompression(writer.get(), &surface.dib(), options) !=
                                   video::AVIERR_OK)) {
        state.SkipWithError("cannot open the recording");
        return;
    }
    for (auto _ : state) {
        if (video::AddVideoFrame(writer.get(), &surface.dib()) != video::AVIERR_OK) {
            state.SkipWithError("frame write failed");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations());
    video::CloseVideoWriter(std::move(writer));
    std::filesystem::remove(file);
}

void UncompressedFrame(benchmark::State& state) {
    recordFrames(state, nullptr);
}

void MotionJpegFrame(benchmark::State& state) {
    const auto options = video::wmv3Options();
    recordFrames(state, &options);
}

void BitmapFile(benchmark::State& state) {
    const Surface surface;
    const auto file = benchFile("marlo-bench.bmp");
    for (auto _ : state) {
        if (video::WriteBitmapFile(&surface.dib(), file) != platform::DiskError::None) {
            state.SkipWithError("picture write failed");
            break;
        }
    }
    std::filesystem::remove(file);
}

} // namespace

BENCHMARK(UncompressedFrame)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Apply(fiveRunsWithWorst);
BENCHMARK(MotionJpegFrame)->Unit(benchmark::kMillisecond)->UseRealTime()->Apply(fiveRunsWithWorst);
BENCHMARK(BitmapFile)->Unit(benchmark::kMillisecond)->UseRealTime()->Apply(fiveRunsWithWorst);

BENCHMARK_MAIN();
