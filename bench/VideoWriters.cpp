// Frame writes of a recording, uncompressed and Motion-JPEG, and one still picture, all of the
// 352 x 288 surface, into files under the system's temporary folder; and H.264 in MP4 at
// 352 x 288 and 1280 x 720, with the encoder's threads counted and the file's size per hour
// at 30 frames per second.
#include "bench/Percentile.h"
#include "video/AviWriter.h"
#include "video/BitmapFile.h"
#include "video/Mp4Writer.h"

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

// A grey ramp with a square that moves four pixels a frame, as a slow inspection would see.
std::vector<std::uint8_t> movingSquare(int width, int height, std::int64_t n) {
    const std::size_t row = video::dibRowSize(width, 24);
    std::vector<std::uint8_t> pixels(row * static_cast<std::size_t>(height));
    const int side = height / 4;
    const auto left = static_cast<int>(n * 4 % (width - side));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const bool square = x >= left && x < left + side && y >= side && y < 2 * side;
            const auto grey = static_cast<std::uint8_t>(square ? 230 : 40 + y * 150 / height);
            std::fill_n(pixels.begin() + static_cast<long>(y * row + x * 3), 3, grey);
        }
    return pixels;
}

void Mp4Frame(benchmark::State& state) {
    const auto width = static_cast<int>(state.range(0));
    const auto height = static_cast<int>(state.range(1));
    constexpr int cycle = 64;
    std::vector<std::vector<std::uint8_t>> frames;
    for (int n = 0; n < cycle; ++n)
        frames.push_back(movingSquare(width, height, n));
    const auto file = benchFile("marlo-bench.mp4");
    std::filesystem::remove(file);
    auto writer =
        video::Mp4Writer::open(platform::localDisk().open(file, platform::OpenMode::New), 33);
    if (!writer) {
        state.SkipWithError("no H.264 encoder");
        return;
    }
    std::int64_t n = 0;
    for (auto _ : state) {
        const auto& pixels = frames[static_cast<std::size_t>(n++ % cycle)];
        const video::DibSection dib{width, height, 1, 24, pixels.data(), pixels.size()};
        if (!writer->addFrame(dib)) {
            state.SkipWithError("frame refused");
            break;
        }
    }
    writer->close();
    const double perFrame = static_cast<double>(writer->bytesWritten()) / static_cast<double>(n);
    state.counters["MB_per_hour_at_30fps"] = perFrame * 30 * 3600 / 1e6;
    std::filesystem::remove(file);
}

} // namespace

BENCHMARK(Mp4Frame)
    ->Args({352, 288})
    ->Args({1280, 720})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Iterations(600)
    ->Apply(fiveRunsWithWorst);
BENCHMARK(UncompressedFrame)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Apply(fiveRunsWithWorst);
BENCHMARK(MotionJpegFrame)->Unit(benchmark::kMillisecond)->UseRealTime()->Apply(fiveRunsWithWorst);
BENCHMARK(BitmapFile)->Unit(benchmark::kMillisecond)->UseRealTime()->Apply(fiveRunsWithWorst);

BENCHMARK_MAIN();
