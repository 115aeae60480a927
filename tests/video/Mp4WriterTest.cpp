#include "video/Mp4Writer.h"
#include "tests/support/ScriptedDisk.h"
#include "tests/support/WorkingFolder.h"
#include "tests/video/VideoFiles.h"

#include <gtest/gtest.h>

#include <filesystem>

using testing_support::ScriptedDisk;
using video::Mp4Writer;
using video_test::probe;
using video_test::TestFrame;

namespace {

std::unique_ptr<Mp4Writer> openOn(const platform::Disk& disk, const char* name, int periodMs) {
    return Mp4Writer::open(disk.open(name, platform::OpenMode::New), periodMs);
}

double durationOf(const std::filesystem::path& file) {
    return std::stod("0" + video_test::commandOutput(
                               "ffprobe -v error -show_entries format=duration -of csv=p=0 " +
                               video_test::quoted(file)));
}

struct Mp4Writing : ::testing::Test {
    testing_support::WorkingFolder folder;
    platform::Disk disk = platform::localDisk();
};

} // namespace

TEST_F(Mp4Writing, EveryFrameReadsBackAsH264AtItsSizeAndPeriod) {
    struct Case {
        int width, height, periodMs, frames;
    };
    for (const Case c : {Case{352, 288, 100, 25}, Case{1280, 720, 33, 12}, Case{16, 16, 40, 3},
                         Case{1920, 1080, 1000, 2}}) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        const std::string name = "v" + std::to_string(c.width) + ".mp4";
        auto writer = openOn(disk, name.c_str(), c.periodMs);
        ASSERT_TRUE(writer);
        for (int n = 0; n < c.frames; ++n) {
            const TestFrame frame(static_cast<std::uint32_t>(n), c.width, c.height);
            ASSERT_TRUE(writer->addFrame(frame.dib())) << n;
        }
        ASSERT_TRUE(writer->close());
        EXPECT_EQ(writer->framesAdded(), static_cast<std::uint32_t>(c.frames));
        EXPECT_EQ(writer->bytesWritten(), std::filesystem::file_size(name));
        EXPECT_EQ(probe(name), (video_test::Probe{"h264", c.width, c.height, c.frames}));
        EXPECT_NEAR(durationOf(name), c.frames * c.periodMs / 1000.0, 0.002);
    }
}

// The bitmap comes bottom-up: its last memory row is the top of the picture.
TEST_F(Mp4Writing, ThePictureStandsUpright) {
    auto writer = openOn(disk, "arriba.mp4", 100);
    ASSERT_TRUE(writer);
    const TestFrame frame = TestFrame::smooth();
    ASSERT_TRUE(writer->addFrame(frame.dib()));
    ASSERT_TRUE(writer->close());
    std::vector<std::uint8_t> topDown;
    EXPECT_EQ(video_test::decodeFrames("arriba.mp4", [&](long, const auto& f) { topDown = f; }), 1);
    ASSERT_EQ(topDown.size(), frame.pixels.size());
    EXPECT_GT(topDown.front(), 180) << "bright at the top";
    EXPECT_LT(topDown.back(), 60) << "dark at the bottom";
}

TEST_F(Mp4Writing, FramesItCannotTakeAreRefusedAndTheRestRecorded) {
    auto writer = openOn(disk, "mezcla.mp4", 100);
    ASSERT_TRUE(writer);
    const TestFrame odd(0, 351, 288);
    const TestFrame wide(0, 1922, 16);
    const TestFrame tall(0, 16, 1082);
    const TestFrame small(0, 14, 16);
    for (const auto* refused : {&odd, &wide, &tall, &small})
        EXPECT_FALSE(writer->addFrame(refused->dib())) << refused->width;
    EXPECT_TRUE(writer->failed()) << "no size to record at";

    auto second = openOn(disk, "segundo.mp4", 100);
    ASSERT_TRUE(second);
    const TestFrame first(0);
    ASSERT_TRUE(second->addFrame(first.dib()));
    for (const auto& broken : video_test::brokenDibs(first.dib()))
        EXPECT_FALSE(second->addFrame(broken));
    EXPECT_FALSE(second->addFrame(TestFrame(1, 1280, 720).dib())) << "another size";
    ASSERT_TRUE(second->addFrame(TestFrame(2).dib()));
    EXPECT_FALSE(second->failed());
    ASSERT_TRUE(second->close());
    EXPECT_EQ(probe("segundo.mp4").frames, 2);
    EXPECT_FALSE(second->addFrame(first.dib())) << "closed";
}

TEST_F(Mp4Writing, ADiskThatFillsFailsTheRecordingWithItsReason) {
    ScriptedDisk scripted;
    scripted.writableBytes = 20000;
    auto writer = openOn(scripted.disk(), "lleno.mp4", 40);
    ASSERT_TRUE(writer);
    for (std::uint32_t n = 0; n < 100 && !writer->failed(); ++n) {
        writer->addFrame(TestFrame(n).dib());
        writer->flush();
    }
    EXPECT_FALSE(writer->close());
    EXPECT_TRUE(writer->failed());
    EXPECT_EQ(writer->diskError(), platform::DiskError::Full);
    EXPECT_LE(writer->bytesWritten(), 20000u);
}
