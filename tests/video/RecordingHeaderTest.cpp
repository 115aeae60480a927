#include "tests/video/VideoFiles.h"
#include "video/AviWriter.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using video_test::Headers;

namespace {

struct HeaderCase {
    const char* name;
    int periodMs;
    bool compressed;
};

Headers record(const QTemporaryDir& dir, const HeaderCase& c) {
    const auto file = video_test::inDir(dir, std::string(c.name) + ".avi");
    const video_test::TestFrame frame = video_test::TestFrame::smooth(0);
    const video::DibSection dib = frame.dib();
    auto writer = video::OpenVideoWriter(file, c.periodMs);
    const video::AviCompressOptions options = video::wmv3Options();
    // Without compression the first frame sets up the plain stream.
    EXPECT_EQ(c.compressed ? video::SetVideoCompression(writer.get(), &dib, &options)
                           : video::AVIERR_OK,
              video::AVIERR_OK);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(video::AddVideoFrame(writer.get(), &dib), video::AVIERR_OK);
    EXPECT_EQ(video::CloseVideoWriter(std::move(writer)), video::AVIERR_OK);
    return video_test::readHeaders(file);
}

} // namespace

TEST(RecordingHeader, FramePeriodBufferSizeAndFrameRectangleReadBack) {
    const HeaderCase cases[] = {
        {"default period", 100, false},
        {"period 40", 40, false},
        {"period 1", 1, false},
        {"compressed period 33", 33, true},
    };
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const HeaderCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Headers h = record(dir, c);
        EXPECT_EQ(h.microSecPerFrame, std::uint32_t(c.periodMs) * 1000);
        EXPECT_EQ(h.scale, std::uint32_t(c.periodMs));
        EXPECT_EQ(h.rate, 1000u);
        EXPECT_EQ(h.length, 3u);
        EXPECT_EQ(h.suggestedBufferSize, 304128u) << "the surface's image size";
        EXPECT_EQ(h.frame[0], 0);
        EXPECT_EQ(h.frame[1], 0);
        EXPECT_EQ(h.frame[2], 352);
        EXPECT_EQ(h.frame[3], 288);
        EXPECT_EQ(h.handler, c.compressed ? video::fourCc("MJPG") : video::fourCc("DIB "));
        EXPECT_EQ(h.compression, c.compressed ? video::fourCc("MJPG") : 0u);
    }
}
