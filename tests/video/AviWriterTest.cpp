#include "ChildProcess.h"
#include "VideoFiles.h"

#include "video/AviWriter.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>
#include <tuple>

namespace {

using namespace video_test;
using video::AviResult;

// Writes the frames numbered 0..count-1 (smooth ones for JPEG) and closes the file.
void record(const std::filesystem::path& file, int interval, int count,
            const video::AviCompressOptions* options) {
    auto writer = video::OpenVideoWriter(file, interval);
    ASSERT_TRUE(writer);
    if (options) {
        const TestFrame surface(0);
        const auto dib = surface.dib();
        ASSERT_EQ(video::SetVideoCompression(writer.get(), &dib, options), video::AVIERR_OK);
    }
    for (int n = 0; n < count; ++n) {
        const auto number = static_cast<std::uint32_t>(n);
        const auto frame = options ? TestFrame::smooth(number) : TestFrame(number);
        const auto dib = frame.dib();
        ASSERT_EQ(video::AddVideoFrame(writer.get(), &dib), video::AVIERR_OK);
    }
    ASSERT_EQ(video::CloseVideoWriter(std::move(writer)), video::AVIERR_OK);
}

// Mean absolute difference of a decoded top-down frame from the bottom-up original.
double differenceFromOriginal(const std::vector<std::uint8_t>& decoded, const TestFrame& original) {
    const std::size_t row = video::dibRowSize(original.width, 24);
    double sum = 0;
    for (int y = 0; y < original.height; ++y)
        for (std::size_t x = 0; x < row; ++x)
            sum += std::abs(decoded[y * row + x] -
                            original.pixels[(original.height - 1 - y) * row + x]);
    return sum / static_cast<double>(decoded.size());
}

struct DeclaredPeriod {
    int interval;
    std::uint32_t scale;
};

class UncompressedRecording : public testing::TestWithParam<DeclaredPeriod> {};

TEST_P(UncompressedRecording, ReadsBackBottomUpWithTheLiteralStreamHeader) {
    QTemporaryDir dir;
    const auto file = inDir(dir, "007video.avi");
    record(file, GetParam().interval, 5, nullptr);

    EXPECT_EQ(probe(file), (Probe{"rawvideo", 352, 288, 5}));
    const auto h = readHeaders(file);
    const std::uint32_t scale = GetParam().scale;
    EXPECT_EQ(std::tuple(h.handler, h.compression, h.microSecPerFrame, h.scale, h.rate,
                         h.suggestedBufferSize, h.frame, h.width, h.height, h.bitCount),
              std::tuple(video::fourCc("DIB "), 0u, scale * 1000, scale, 1000u, 304128u,
                         std::array<std::int16_t, 4>{0, 0, 352, 288}, 352, 288, 24))
        << "the buffer size is the surface's image size";
    EXPECT_EQ(std::tuple(h.avihTotalFrames, h.length, h.dmlhTotalFrames, h.indxFrames),
              std::tuple(5u, 5u, 5u, 5u));

    const long decoded = decodeFrames(file, 352, 288, [](long n, const auto& pixels) {
        EXPECT_EQ(differenceFromOriginal(pixels, TestFrame(static_cast<std::uint32_t>(n))), 0)
            << "frame " << n;
    });
    EXPECT_EQ(decoded, 5);
}

INSTANTIATE_TEST_SUITE_P(Intervals, UncompressedRecording,
                         testing::Values(DeclaredPeriod{100, 100}, DeclaredPeriod{40, 40},
                                         DeclaredPeriod{1, 1}, DeclaredPeriod{0, 100},
                                         DeclaredPeriod{-7, 100}),
                         [](const testing::TestParamInfo<DeclaredPeriod>& info) {
                             const int interval = info.param.interval;
                             return (interval < 0 ? "minus" : "") +
                                    std::to_string(std::abs(interval)) + "ms";
                         });

TEST(CompressedRecording, Wmv3RequestGivesMotionJpegKeyFrames) {
    QTemporaryDir dir;
    const auto file = inDir(dir, "008video.avi");
    const auto options = video::wmv3Options();
    record(file, 33, 5, &options);

    EXPECT_EQ(probe(file), (Probe{"mjpeg", 352, 288, 5}));
    const auto h = readHeaders(file);
    EXPECT_EQ(std::tuple(h.handler, h.compression, h.microSecPerFrame, h.scale, h.rate,
                         h.suggestedBufferSize, h.frame, h.height),
              std::tuple(video::fourCc("MJPG"), video::fourCc("MJPG"), 33'000u, 33u, 1000u, 304128u,
                         std::array<std::int16_t, 4>{0, 0, 352, 288}, 288));
    const long decoded = decodeFrames(file, 352, 288, [](long n, const auto& pixels) {
        EXPECT_LT(differenceFromOriginal(pixels, TestFrame::smooth(static_cast<std::uint32_t>(n))),
                  2)
            << "frame " << n;
    });
    EXPECT_EQ(decoded, 5);
    EXPECT_EQ(commandOutput("ffprobe -v error -select_streams v:0 -show_entries packet=flags "
                            "-of csv=p=0 " +
                            quoted(file)),
              "K_\nK_\nK_\nK_\nK_\n");
}

TEST(VideoWriter, ResultCodes) {
    QTemporaryDir dir;
    const TestFrame frame(0), small(0, 176, 144);
    const auto dib = frame.dib(), smallDib = small.dib();
    const auto wmv3 = video::wmv3Options();
    auto unknown = wmv3;
    unknown.fccHandler = video::fourCc("XVID");

    EXPECT_EQ(
        std::tuple(video::SetVideoCompression(nullptr, &dib, &wmv3),
                   video::AddVideoFrame(nullptr, &dib), video::CloseVideoWriter(nullptr)),
        std::tuple(video::AVIERR_BADHANDLE, video::AVIERR_BADHANDLE, video::AVIERR_BADHANDLE));
    EXPECT_FALSE(video::OpenVideoWriter(inDir(dir, "no/such/folder.avi"), 100));

    auto writer = video::OpenVideoWriter(inDir(dir, "codes.avi"), 100);
    ASSERT_TRUE(writer);
    auto incomplete = dib;
    incomplete.bits = nullptr;
    for (const video::DibSection* bad : {static_cast<const video::DibSection*>(nullptr),
                                         static_cast<const video::DibSection*>(&incomplete)}) {
        EXPECT_EQ(video::SetVideoCompression(writer.get(), bad, &wmv3), video::AVIERR_BADPARAM);
        EXPECT_EQ(video::AddVideoFrame(writer.get(), bad), video::AVIERR_BADPARAM);
    }
    EXPECT_EQ(video::AddVideoFrame(writer.get(), &dib), video::AVIERR_OK);
    EXPECT_EQ(video::SetVideoCompression(writer.get(), &dib, &wmv3), video::AVIERR_COMPRESSOR);
    EXPECT_EQ(video::AddVideoFrame(writer.get(), &smallDib), video::AVIERR_BADFORMAT);
    EXPECT_EQ(video::AddVideoFrame(writer.get(), &dib), video::AVIERR_OK);
    EXPECT_FALSE(writer->failed());
    EXPECT_EQ(writer->framesWritten(), 2u);

    auto noCompressor = video::OpenVideoWriter(inDir(dir, "xvid.avi"), 100);
    EXPECT_EQ(video::SetVideoCompression(noCompressor.get(), &dib, &unknown),
              video::AVIERR_NOCOMPRESSOR);
    EXPECT_TRUE(noCompressor->failed());
    EXPECT_EQ(video::AddVideoFrame(noCompressor.get(), &dib), video::AVIERR_ERROR);
    EXPECT_EQ(video::SetVideoCompression(noCompressor.get(), &dib, &wmv3), video::AVIERR_ERROR);
    EXPECT_EQ(video::CloseVideoWriter(std::move(noCompressor)), video::AVIERR_OK);
    EXPECT_EQ(video::CloseVideoWriter(std::move(writer)), video::AVIERR_OK);
    EXPECT_EQ(probe(inDir(dir, "codes.avi")).frames, 2);
}

TEST(VideoWriter, FullDiskFailsTheWriterAndKeepsTheFramesWritten) {
    QTemporaryDir dir;
    const auto file = inDir(dir, "lleno.avi");
    const int written = runWithFileLimit(2'000'000, [&file] {
        auto writer = video::OpenVideoWriter(file, 100);
        const TestFrame frame(0);
        const auto dib = frame.dib();
        int added = 0;
        while (added < 100 && video::AddVideoFrame(writer.get(), &dib) == video::AVIERR_OK)
            ++added;
        const bool refusedAfter =
            writer->failed() && video::AddVideoFrame(writer.get(), &dib) == video::AVIERR_ERROR;
        const bool closed = video::CloseVideoWriter(std::move(writer)) == video::AVIERR_OK;
        return refusedAfter && closed ? added : 200;
    });
    ASSERT_GT(written, 0);
    ASSERT_LT(written, 100);
    EXPECT_EQ(probe(file).frames, written);
    EXPECT_EQ(readHeaders(file).dmlhTotalFrames, static_cast<std::uint32_t>(written));
}

TEST(VideoWriter, OpenFileReadsBackOnceTheIndexIsDue) {
    QTemporaryDir dir;
    const auto file = inDir(dir, "abierto.avi");
    auto writer = video::OpenVideoWriter(file, 100);
    const TestFrame frame(0);
    const auto dib = frame.dib();
    for (int n = 0; n < 3; ++n)
        ASSERT_EQ(video::AddVideoFrame(writer.get(), &dib), video::AVIERR_OK);
    std::this_thread::sleep_for(video::AviWriter::flushPeriod);
    ASSERT_EQ(video::AddVideoFrame(writer.get(), &dib), video::AVIERR_OK);

    const auto snapshot = inDir(dir, "copia.avi");
    std::filesystem::copy_file(file, snapshot);
    EXPECT_EQ(probe(snapshot).frames, 4);
    EXPECT_EQ(readHeaders(snapshot).length, 4u);
}

} // namespace
