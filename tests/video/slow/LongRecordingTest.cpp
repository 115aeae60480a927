// Recordings past 1 GiB and 4 GiB, and recordings cut off by SIGKILL. Several gigabytes each;
// labelled slow, so the ordinary test run leaves them out.
#include "tests/video/VideoFiles.h"

#include "video/AviWriter.h"
#include "video/Mp4Reader.h"
#include "video/Recorder.h"

#include <gtest/gtest.h>

#include <sys/mman.h>

#include <atomic>
#include <random>
#include <stdexcept>
#include <thread>

namespace {

using namespace video_test;
using Clock = std::chrono::steady_clock;

// One frame buffer whose first four bytes are rewritten with each frame's number.
struct StampedFrames {
    TestFrame base{0};
    video::DibSection dib = base.dib();
    const video::DibSection& frame(std::uint32_t number) {
        std::memcpy(base.pixels.data(), &number, sizeof number);
        return dib;
    }
};

// Frames decoded, and how many of them carry their own number.
std::pair<long, long> decodeInOrder(const std::filesystem::path& file) {
    long inOrder = 0;
    const long frames = decodeFrames(file, [&inOrder](long n, const auto& pixels) {
        inOrder += numberOf(pixels) == static_cast<std::uint32_t>(n);
    });
    return {frames, inOrder};
}

TEST(LongRecording, PastFourGibibytesEveryFrameReadsBack) {
    QTemporaryDir dir;
    const std::filesystem::path file = dir.filePath("grande.avi").toStdString();
    constexpr std::uint32_t frames = 17500; // about 5.3 GB
    {
        auto writer = video::OpenVideoWriter(file, 40);
        ASSERT_TRUE(writer);
        StampedFrames source;
        for (std::uint32_t n = 0; n < frames; ++n)
            ASSERT_EQ(video::AddVideoFrame(writer.get(), &source.frame(n)), video::AVIERR_OK);
        ASSERT_EQ(video::CloseVideoWriter(std::move(writer)), video::AVIERR_OK);
    }
    std::cout << "file of " << std::filesystem::file_size(file) << " bytes\n";
    EXPECT_GT(std::filesystem::file_size(file), 5'000'000'000u);
    const auto h = readHeaders(file);
    EXPECT_EQ(std::tuple(h.dmlhTotalFrames, h.length, h.indxFrames, h.scale),
              std::tuple(frames, frames, frames, 40u));
    EXPECT_GT(h.indxEntries, 4u);
    EXPECT_LT(h.avihTotalFrames, frames);
    EXPECT_EQ(probe(file).frames, frames);
    EXPECT_EQ(decodeInOrder(file), (std::pair<long, long>(frames, frames)));
}

// Frames handed to a recorder in a child process until it is killed, counted in shared memory.
struct KillTrial {
    std::uint32_t beforeMargin = 0;
    std::uint32_t atKill = 0;
};

// Frames are forced onto the device once a second; at full disk speed forcing a second's
// worth takes a while itself.
constexpr auto forcedMargin = std::chrono::seconds(3);

// pace: the time between frames, as from a camera; none for as fast as the disk takes them.
KillTrial recordAndKill(const std::filesystem::path& file, std::uint32_t minimumFrames,
                        std::chrono::milliseconds extra,
                        video::VideoFormat format = video::VideoFormat::Avi,
                        std::chrono::milliseconds pace = {}) {
    void* shared = mmap(nullptr, sizeof(std::atomic<std::uint32_t>), PROT_READ | PROT_WRITE,
                        MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (shared == MAP_FAILED)
        throw std::runtime_error("no shared memory for the frame count");
    auto* written = new (shared) std::atomic<std::uint32_t>(0);
    const pid_t child = fork();
    if (child == 0) {
        video::Recorder recorder;
        recorder.start(file, 100, false, nullptr, format);
        StampedFrames source;
        for (std::uint32_t n = 0;; ++n) {
            // Counted before it is handed over: a kill may land once it is in the file but
            // before the count could follow.
            written->store(n + 1);
            recorder.addFrame(source.frame(n));
            // One frame at a time, so none is dropped and each keeps its number in the file.
            while (recorder.framesWritten() < n + 1)
                std::this_thread::yield();
            std::this_thread::sleep_for(pace);
        }
    }
    std::vector<std::pair<Clock::time_point, std::uint32_t>> samples;
    const auto sampleWhile = [&](auto more) {
        for (; more(); std::this_thread::sleep_for(std::chrono::milliseconds(5)))
            samples.emplace_back(Clock::now(), written->load());
    };
    const auto giveUp = Clock::now() + std::chrono::minutes(2);
    sampleWhile([&] { return written->load() < minimumFrames && Clock::now() < giveUp; });
    const auto killAt = Clock::now() + extra;
    sampleWhile([&] { return Clock::now() < killAt; });
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    KillTrial trial{0, written->load()};
    for (const auto& [when, count] : samples)
        if (when <= killAt - forcedMargin)
            trial.beforeMargin = count;
    munmap(shared, sizeof(std::atomic<std::uint32_t>));
    return trial;
}

TEST(LongRecording, KilledRecordingKeepsEveryFrameOlderThanThreeSeconds) {
    const auto seed = std::random_device{}();
    std::cout << "seed " << seed << "\n";
    std::mt19937 random(seed);
    constexpr std::uint32_t framesPerGiB = (1u << 30) / (304128 + 8) + 1;
    for (int trial = 0; trial < 10; ++trial) {
        QTemporaryDir dir;
        const std::filesystem::path file = dir.filePath("cortado.avi").toStdString();
        const std::chrono::milliseconds extra(std::uniform_int_distribution(300, 3000)(random));
        const auto result = recordAndKill(file, trial < 5 ? 1 : framesPerGiB, extra);
        const auto h = readHeaders(file);
        const auto [decoded, inOrder] = decodeInOrder(file);
        std::cout << "trial " << trial << ": " << std::filesystem::file_size(file) << " bytes, "
                  << result.atKill << " frames added, " << result.beforeMargin
                  << " of them more than 3 s before the kill; declared " << h.dmlhTotalFrames
                  << ", read back " << decoded << " (" << inOrder << " in order)\n";
        SCOPED_TRACE(trial);
        EXPECT_GE(inOrder, result.beforeMargin);
        EXPECT_EQ(decoded, inOrder);
        EXPECT_EQ(h.length, h.dmlhTotalFrames);
        EXPECT_EQ(h.indxFrames, h.dmlhTotalFrames);
        EXPECT_GE(h.dmlhTotalFrames, result.beforeMargin);
        EXPECT_LE(h.dmlhTotalFrames, result.atKill);
    }
}

// Frames come at their own pace; the fragments closed before the kill play, and at most the
// last second's fragment (and the frames the encoder held) is lost.
TEST(LongRecording, KilledMp4RecordingPlaysToWithinASecondOfTheKill) {
    const auto seed = std::random_device{}();
    std::cout << "seed " << seed << "\n";
    std::mt19937 random(seed);
    constexpr std::uint32_t secondOfFrames = 10;
    for (int trial = 0; trial < 5; ++trial) {
        QTemporaryDir dir;
        const std::filesystem::path file = dir.filePath("cortado.mp4").toStdString();
        const std::chrono::milliseconds extra(std::uniform_int_distribution(0, 2000)(random));
        const auto result =
            recordAndKill(file, 20, extra, video::VideoFormat::Mp4, std::chrono::milliseconds(100));
        const auto opened = platform::ReadOnlyFile::openIn(dir.path().toStdString(), "cortado.mp4");
        const auto contents = video::readMp4Contents(opened);
        const long decoded = decodedFrameCount(file);
        std::cout << "trial " << trial << ": " << result.atKill << " frames added, "
                  << (contents ? contents->frames : 0) << " in whole fragments, " << decoded
                  << " decoded\n";
        SCOPED_TRACE(trial);
        ASSERT_TRUE(contents);
        EXPECT_GE(contents->frames + secondOfFrames + secondOfFrames / 2, result.atKill);
        EXPECT_LE(contents->frames, result.atKill);
        EXPECT_GE(decoded, long(contents->frames));
    }
}

} // namespace
