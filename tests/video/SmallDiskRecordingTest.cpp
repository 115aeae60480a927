#include "VideoFiles.h"

#include "video/Recorder.h"

#include <gtest/gtest.h>

#include <random>
#include <thread>

#include <sys/mount.h>
#include <unistd.h>

namespace {

using namespace video_test;
using Failure = video::Recorder::Failure;
using Clock = std::chrono::steady_clock;

constexpr auto patience = std::chrono::seconds(30);

// A memory file system of the given size mounted on a fresh folder; mounting needs root.
class SmallDisk {
public:
    explicit SmallDisk(const std::string& size) {
        if (geteuid() != 0) {
            reason_ = "mounting a small file system needs root";
            return;
        }
        const std::string options = "size=" + size;
        if (::mount("tmpfs", dir_.path().toLocal8Bit().constData(), "tmpfs", 0, options.c_str()) !=
            0) {
            reason_ = std::string("tmpfs could not be mounted: ") + std::strerror(errno);
            return;
        }
        mounted_ = true;
    }
    ~SmallDisk() {
        if (mounted_)
            ::umount2(dir_.path().toLocal8Bit().constData(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool mounted() const { return mounted_; }
    const std::string& reason() const { return reason_; }
    std::filesystem::path path(const std::string& name) const { return inDir(dir_, name); }

private:
    QTemporaryDir dir_;
    bool mounted_ = false;
    std::string reason_;
};

// Noise, which Motion-JPEG cannot shrink much, so a small disk fills in a few hundred frames.
TestFrame noiseFrame() {
    TestFrame frame(0);
    std::mt19937 random(7);
    for (auto& byte : frame.pixels)
        byte = static_cast<std::uint8_t>(random());
    return frame;
}

struct SmallDiskCase {
    const char* name;
    bool compress;
    const char* size;
    const char* codec;
};

class SmallDiskRecording : public ::testing::TestWithParam<SmallDiskCase> {};

TEST_P(SmallDiskRecording, WarnsThenFailsWithEveryFrameReadableAndRefusesTheNextStart) {
    const SmallDiskCase& c = GetParam();
    SmallDisk disk(c.size);
    if (!disk.mounted()) {
        std::printf("skipped: %s\n", disk.reason().c_str());
        GTEST_SKIP() << disk.reason();
    }
    const TestFrame frame = noiseFrame();
    const auto surface = frame.dib();
    video::Recorder recorder;
    const auto file = disk.path("001video.avi");
    ASSERT_TRUE(recorder.start(file, 100, c.compress, &surface));
    ASSERT_TRUE(recorder.secondsLeftWhenLow().has_value()) << "warned before it fills";
    EXPECT_LT(*recorder.secondsLeftWhenLow(), 60);

    const auto deadline = Clock::now() + patience;
    while (recorder.recording() && Clock::now() < deadline) {
        recorder.addFrame(surface);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_FALSE(recorder.recording());
    ASSERT_TRUE(recorder.waitUntilClosed(patience));
    EXPECT_EQ(recorder.failure(), Failure::DiskFull);
    const auto found = probe(file);
    EXPECT_EQ(found.codec, c.codec);
    EXPECT_GT(found.frames, 0);
    EXPECT_EQ(found.frames, recorder.framesWritten());

    const auto next = disk.path("002video.avi");
    EXPECT_FALSE(recorder.start(next, 100, c.compress, &surface));
    EXPECT_EQ(recorder.failure(), Failure::NoSpace);
    EXPECT_FALSE(std::filesystem::exists(next)) << "a start on a full disk leaves no file";
}

INSTANTIATE_TEST_SUITE_P(Recorder, SmallDiskRecording,
                         ::testing::Values(SmallDiskCase{"Raw", false, "64m", "rawvideo"},
                                           SmallDiskCase{"MotionJpeg", true, "48m", "mjpeg"}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
