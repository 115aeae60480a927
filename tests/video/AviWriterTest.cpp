#include "VideoFiles.h"

#include "tests/support/WorkingFolder.h"
#include "video/AviFile.h"
#include "video/AviWriter.h"
#include "video/MotionJpeg.h"

#include <gtest/gtest.h>

#include <thread>
#include <tuple>

namespace {

using namespace video_test;
using video::AddVideoFrame;
using video::SetVideoCompression;

// Writes frames numbered 0..count-1 (smooth ones for JPEG) and closes the file.
void record(const char* file, int interval, int count, int width, bool compress) {
    auto writer = video::OpenVideoWriter(file, interval);
    ASSERT_TRUE(writer);
    const auto options = video::wmv3Options();
    const TestFrame surface(0, width);
    const auto surfaceDib = surface.dib();
    if (compress) {
        ASSERT_EQ(SetVideoCompression(writer.get(), &surfaceDib, &options), video::AVIERR_OK);
    }
    for (std::uint32_t n = 0; n < static_cast<std::uint32_t>(count); ++n) {
        const auto frame = compress ? TestFrame::smooth(width) : TestFrame(n, width);
        const auto dib = frame.dib();
        ASSERT_EQ(AddVideoFrame(writer.get(), &dib), video::AVIERR_OK);
    }
    ASSERT_EQ(video::CloseVideoWriter(std::move(writer)), video::AVIERR_OK);
}

// Mean absolute difference of a decoded top-down frame from the bottom-up original.
double differenceFromOriginal(const std::vector<std::uint8_t>& decoded, const TestFrame& original) {
    const std::size_t row = video::dibRowSize(original.width, 24);
    const std::size_t packed = static_cast<std::size_t>(original.width) * 3;
    double sum = 0;
    for (std::size_t y = 0; y < static_cast<std::size_t>(original.height); ++y)
        for (std::size_t x = 0; x < packed; ++x)
            sum += std::abs(decoded[y * packed + x] -
                            original.pixels[(original.height - 1 - y) * row + x]);
    return sum / static_cast<double>(decoded.size());
}

struct VideoWriter : ::testing::Test {
    testing_support::WorkingFolder folder;
};

TEST_F(VideoWriter, RecordingsReadBackUprightWithTheLiteralStreamHeader) {
    struct Row {
        int interval;
        bool compress;
        std::uint32_t scale;
        int width = 352; // 350 pads its rows
    };
    for (const Row row : {Row{100, false, 100}, Row{40, false, 40}, Row{1, false, 1},
                          Row{0, false, 100}, Row{-7, false, 100}, Row{33, true, 33},
                          Row{100, false, 100, 350}, Row{100, true, 100, 350}}) {
        SCOPED_TRACE(testing::Message() << row.interval << " ms, " << row.width << " wide"
                                        << (row.compress ? ", compressed" : ""));
        record("007video.avi", row.interval, 5, row.width, row.compress);
        const auto w = static_cast<std::uint32_t>(row.width);
        EXPECT_EQ(probe("007video.avi"),
                  (Probe{row.compress ? "mjpeg" : "rawvideo", row.width, 288, 5}));
        const auto h = readHeaders("007video.avi");
        const auto codec = row.compress ? video::fourCc("MJPG") : video::fourCc("DIB ");
        const auto imageSize = static_cast<std::uint32_t>(video::dibRowSize(row.width, 24) * 288);
        EXPECT_EQ(std::tuple(h.handler, h.compression, h.microSecPerFrame, h.scale, h.rate,
                             h.suggestedBufferSize, h.frame, h.width, h.height, h.bitCount),
                  std::tuple(codec, row.compress ? codec : 0u, row.scale * 1000, row.scale, 1000u,
                             imageSize, std::array{0u, w | 288u << 16}, w, 288u, 24u))
            << "the buffer size is the surface's image size";
        EXPECT_EQ(std::tuple(h.avihTotalFrames, h.length, h.dmlhTotalFrames, h.indxFrames),
                  std::tuple(5u, 5u, 5u, 5u));
        const auto check = [&row](long n, const auto& pixels) {
            const auto original = row.compress
                                      ? TestFrame::smooth(row.width)
                                      : TestFrame(static_cast<std::uint32_t>(n), row.width);
            EXPECT_LE(differenceFromOriginal(pixels, original), row.compress ? 2 : 0) << n;
        };
        EXPECT_EQ(decodeFrames("007video.avi", check, row.width), 5);
        EXPECT_EQ(commandOutput("ffprobe -v error -select_streams v:0 -show_entries packet=flags "
                                "-of csv=p=0 007video.avi"),
                  "K_\nK_\nK_\nK_\nK_\n");
    }
}

TEST_F(VideoWriter, ResultCodes) {
    const TestFrame frame(0), small(0, 176, 144);
    const auto dib = frame.dib(), smallDib = small.dib();
    const auto wmv3 = video::wmv3Options();
    auto unknown = wmv3;
    unknown.fccHandler = video::fourCc("XVID");

    EXPECT_EQ(
        std::tuple(SetVideoCompression(nullptr, &dib, &wmv3), AddVideoFrame(nullptr, &dib),
                   video::CloseVideoWriter(nullptr)),
        std::tuple(video::AVIERR_BADHANDLE, video::AVIERR_BADHANDLE, video::AVIERR_BADHANDLE));
    EXPECT_FALSE(video::OpenVideoWriter("no/such/folder.avi", 100));

    auto writer = video::OpenVideoWriter("codes.avi", 100);
    ASSERT_TRUE(writer);
    EXPECT_EQ(SetVideoCompression(writer.get(), nullptr, &wmv3), video::AVIERR_BADPARAM);
    EXPECT_EQ(AddVideoFrame(writer.get(), nullptr), video::AVIERR_BADPARAM);
    for (const auto& bad : brokenDibs(dib)) {
        EXPECT_EQ(SetVideoCompression(writer.get(), &bad, &wmv3), video::AVIERR_BADPARAM);
        EXPECT_EQ(AddVideoFrame(writer.get(), &bad), video::AVIERR_BADPARAM);
    }
    EXPECT_EQ(AddVideoFrame(writer.get(), &dib), video::AVIERR_OK);
    EXPECT_EQ(SetVideoCompression(writer.get(), &dib, &wmv3), video::AVIERR_COMPRESSOR);
    EXPECT_EQ(AddVideoFrame(writer.get(), &smallDib), video::AVIERR_BADFORMAT);
    EXPECT_EQ(AddVideoFrame(writer.get(), &dib), video::AVIERR_OK);
    EXPECT_FALSE(writer->failed());
    EXPECT_EQ(writer->framesWritten(), 2u);

    auto noCompressor = video::OpenVideoWriter("xvid.avi", 100);
    EXPECT_EQ(SetVideoCompression(noCompressor.get(), &dib, &unknown), video::AVIERR_NOCOMPRESSOR);
    EXPECT_TRUE(noCompressor->failed());
    EXPECT_EQ(AddVideoFrame(noCompressor.get(), &dib), video::AVIERR_ERROR);
    EXPECT_EQ(SetVideoCompression(noCompressor.get(), &dib, &wmv3), video::AVIERR_ERROR);
    EXPECT_EQ(video::CloseVideoWriter(std::move(noCompressor)), video::AVIERR_OK);
    EXPECT_EQ(video::CloseVideoWriter(std::move(writer)), video::AVIERR_OK);
    EXPECT_EQ(probe("codes.avi").frames, 2);
}

TEST_F(VideoWriter, FullDiskFailsTheWriterAndKeepsTheFramesWritten) {
    const int written = runWithFileLimit(2'000'000, [] {
        auto writer = video::OpenVideoWriter("lleno.avi", 100);
        const TestFrame frame(0);
        const auto dib = frame.dib();
        int added = 0;
        while (added < 100 && AddVideoFrame(writer.get(), &dib) == video::AVIERR_OK)
            ++added;
        const bool refusedAfter =
            writer->failed() && AddVideoFrame(writer.get(), &dib) == video::AVIERR_ERROR;
        const bool closed = video::CloseVideoWriter(std::move(writer)) == video::AVIERR_OK;
        return refusedAfter && closed ? added : 200;
    });
    ASSERT_GT(written, 0);
    ASSERT_LT(written, 100);
    EXPECT_EQ(probe("lleno.avi").frames, written);
    EXPECT_EQ(readHeaders("lleno.avi").dmlhTotalFrames, static_cast<std::uint32_t>(written));
}

TEST_F(VideoWriter, OpenFileReadsBackOnceTheIndexIsDue) {
    auto writer = video::OpenVideoWriter("abierto.avi", 100);
    const TestFrame frame(0);
    const auto dib = frame.dib();
    for (int n = 0; n < 3; ++n)
        ASSERT_EQ(AddVideoFrame(writer.get(), &dib), video::AVIERR_OK);
    std::this_thread::sleep_for(video::AviWriter::flushPeriod);
    ASSERT_EQ(AddVideoFrame(writer.get(), &dib), video::AVIERR_OK);
    std::filesystem::copy_file("abierto.avi", "copia.avi");
    EXPECT_EQ(probe("copia.avi").frames, 4);
    EXPECT_EQ(readHeaders("copia.avi").length, 4u);
}

// Writes frames numbered from 0 in a file of small limits, indexing after each one, until
// count or the first refusal; returns the frames written.
std::uint32_t writeIndexedFrames(video::AviFile& file, std::uint32_t count) {
    std::uint32_t n = 0;
    for (; n < count; ++n) {
        const TestFrame frame(n);
        if (file.writeFrame(frame.pixels) != video::AVIERR_OK ||
            file.writeIndex() != video::AVIERR_OK)
            break;
    }
    return n;
}

long countOf(const std::vector<std::uint8_t>& bytes, const std::string& code) {
    long count = 0;
    for (auto at = std::search(bytes.begin(), bytes.end(), code.begin(), code.end());
         at != bytes.end(); at = std::search(at + 1, bytes.end(), code.begin(), code.end()))
        ++count;
    return count;
}

using AviLayout = VideoWriter;

constexpr video::AviStreamFormat surfaceFormat{.width = 352, .height = 288, .imageSize = 304128};

TEST_F(AviLayout, SmallRiffsAndMergedBatchesReadBackInOrder) {
    auto file = video::AviFile::create(
        "riffs.avi", {.riffBytes = 1'000'000, .superIndexCapacity = 32, .batchesPerRiff = 2});
    ASSERT_TRUE(file);
    ASSERT_EQ(file->begin(surfaceFormat), video::AVIERR_OK);
    ASSERT_EQ(writeIndexedFrames(*file, 20), 20u);
    ASSERT_EQ(file->finish(), video::AVIERR_OK);

    // Four frames per RIFF: 20 frames make five RIFFs, each with one merged index.
    const auto bytes = fileBytes("riffs.avi");
    EXPECT_EQ(countOf(bytes, "AVIX"), 4);
    EXPECT_EQ(countOf(bytes, "idx1"), 1);
    const auto h = readHeaders("riffs.avi");
    EXPECT_EQ(std::tuple(h.indxEntries, h.indxFrames, h.dmlhTotalFrames, h.avihTotalFrames),
              std::tuple(5u, 20u, 20u, 4u));
    long inOrder = 0;
    EXPECT_EQ(decodeFrames("riffs.avi",
                           [&inOrder](long n, const auto& pixels) {
                               const TestFrame original(static_cast<std::uint32_t>(n));
                               inOrder += differenceFromOriginal(pixels, original) == 0;
                           }),
              20);
    EXPECT_EQ(inOrder, 20);
}

// Cut off before its frames, a file is what its headers declare: the OpenDML total before the
// main header's count of the first RIFF.
TEST_F(AviLayout, AFileWithoutFramesIsWhatItsHeadersDeclare) {
    auto file = video::AviFile::create("riffs.avi", {.riffBytes = 1'000'000});
    ASSERT_TRUE(file);
    ASSERT_EQ(file->begin(surfaceFormat), video::AVIERR_OK);
    ASSERT_EQ(writeIndexedFrames(*file, 20), 20u);
    ASSERT_EQ(file->finish(), video::AVIERR_OK);
    const auto whole = readContents("riffs.avi");
    ASSERT_TRUE(whole);
    EXPECT_EQ(std::tuple(whole->presentFrames, whole->declaredFrames(), whole->seconds()),
              std::tuple(20u, 20u, 2.0));
    EXPECT_EQ(whole->framesPerSecond(), 10.0);

    const auto bytes = fileBytes("riffs.avi");
    const std::string movi = "movi";
    const auto at = std::search(bytes.begin(), bytes.end(), movi.begin(), movi.end());
    std::filesystem::resize_file("riffs.avi", static_cast<std::uintmax_t>(at - bytes.begin() - 8));
    const auto cut = readContents("riffs.avi");
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut->presentFrames, std::nullopt);
    EXPECT_EQ(cut->headers.mainTotalFrames, 4u);
    EXPECT_EQ(std::tuple(cut->readableFrames(), cut->seconds()), std::tuple(20u, 2.0));
}

TEST_F(AviLayout, FullSuperIndexRefusesFurtherRiffsAndKeepsTheFrames) {
    struct Case {
        std::uint32_t capacity;
        std::uint32_t frames; // four per RIFF
    };
    for (const Case c : {Case{2, 4}, Case{4, 12}}) {
        SCOPED_TRACE(c.capacity);
        const std::string path = "full" + std::to_string(c.capacity) + ".avi";
        auto file = video::AviFile::create(
            path, {.riffBytes = 1'000'000, .superIndexCapacity = c.capacity, .batchesPerRiff = 8});
        ASSERT_TRUE(file);
        ASSERT_EQ(file->begin(surfaceFormat), video::AVIERR_OK);
        const auto written = writeIndexedFrames(*file, 40);
        EXPECT_EQ(file->writeFrame(TestFrame(written).pixels), video::AVIERR_BADSIZE);
        ASSERT_EQ(file->finish(), video::AVIERR_OK);
        EXPECT_EQ(written, c.frames);
        EXPECT_EQ(countOf(fileBytes(path), "idx1"), 1);
        EXPECT_EQ(probe(path).frames, c.frames);
        EXPECT_EQ(readHeaders(path).dmlhTotalFrames, c.frames);
    }
}

TEST(MotionJpeg, RefusesBitmapsItCannotReadWholeAndStaysUsable) {
    video::MotionJpeg encoder;
    const TestFrame frame(0);
    for (const auto& bad : brokenDibs(frame.dib()))
        EXPECT_FALSE(encoder.encode(bad));
    EXPECT_TRUE(encoder.encode(frame.dib())) << "a refusal leaves the encoder usable";
    EXPECT_FALSE(encoder.bytes().empty());
}

} // namespace
