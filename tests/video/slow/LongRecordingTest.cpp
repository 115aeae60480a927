// Recordings past 1 GiB and 4 GiB, and recordings cut off by SIGKILL. Several gigabytes each;
// labelled slow, so the ordinary test run leaves them out.
#include "tests/video/VideoFiles.h"

#include "video/AviWriter.h"
#include "video/Recorder.h"

#include <gtest/gtest.h>

#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstring>
#include <random>
#include <stdexcept>
#include <thread>

namespace {

using namespace video_test;
using Clock = std::chrono::steady_clock;

// One frame buffer whose first four bytes are rewritten with each frame's number.
class StampedFrames {
public:
    const video::DibSection& frame(std::uint32_t number) {
        std::memcpy(base_.pixels.data(), &number, sizeof number);
        return dib_;
    }

private:
    TestFrame base_{0};
    video::DibSection dib_ = base_.dib();
};

// The number a decoded top-down frame carries in its bottom row.
std::uint32_t stampOf(const std::vector<std::uint8_t>& decoded) {
    std::uint32_t number = 0;
    std::memcpy(&number, decoded.data() + decoded.size() - 352 * 3, sizeof number);
    return number;
}

struct Decoded {
    long frames = 0;
    long inOrder = 0; // frames that carry their own number
};

Decoded decodeAll(const std::filesystem::path& file) {
    Decoded decoded;
    decoded.frames = decodeFrames(file, 352, 288, [&decoded](long n, const auto& pixels) {
        if (stampOf(pixels) == static_cast<std::uint32_t>(n))
            ++decoded.inOrder;
    });
    return decoded;
}

TEST(LongRecording, PastFourGibibytesEveryFrameReadsBack) {
    QTemporaryDir dir;
    const auto file = inDir(dir, "grande.avi");
    constexpr std::uint32_t frames = 17500; // about 5.3 GB
    {
        auto writer = video::OpenVideoWriter(file, 40);
        ASSERT_TRUE(writer);
        StampedFrames source;
        for (std::uint32_t n = 0; n < frames; ++n)
            ASSERT_EQ(video::AddVideoFrame(writer.get(), &source.frame(n)), video::AVIERR_OK);
        ASSERT_EQ(video::CloseVideoWriter(std::move(writer)), video::AVIERR_OK);
    }
    const auto size = std::filesystem::file_size(file);
    std::cout << "file of " << size << " bytes, " << frames << " frames\n";
    EXPECT_GT(size, 5'000'000'000u);
    const auto headers = readHeaders(file);
    EXPECT_EQ(headers.dmlhTotalFrames, frames);
    EXPECT_EQ(headers.length, frames);
    EXPECT_EQ(headers.indxFrames, frames);
    EXPECT_GT(headers.indxEntries, 4u);
    EXPECT_LT(headers.avihTotalFrames, frames);
    EXPECT_EQ(headers.scale, 40u);
    EXPECT_EQ(probe(file).frames, frames);
    const auto decoded = decodeAll(file);
    EXPECT_EQ(decoded.frames, frames);
    EXPECT_EQ(decoded.inOrder, frames);
}

// Frames recorded by a child process until it is killed, counted in shared memory.
struct KillTrial {
    std::uint32_t beforeMargin = 0;
    std::uint32_t atKill = 0;
    std::uintmax_t bytes = 0;
};

// Frames are forced onto the device once a second; at full disk speed forcing a second's
// worth takes a while itself.
constexpr auto forcedMargin = std::chrono::seconds(3);

KillTrial recordAndKill(const std::filesystem::path& file, std::uint32_t minimumFrames,
                        std::chrono::milliseconds extra) {
    void* shared = mmap(nullptr, sizeof(std::atomic<std::uint32_t>), PROT_READ | PROT_WRITE,
                        MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (shared == MAP_FAILED)
        throw std::runtime_error("no shared memory for the frame count");
    auto* written = new (shared) std::atomic<std::uint32_t>(0);
    const pid_t child = fork();
    if (child == 0) {
        video::Recorder recorder;
        recorder.start(file, 100, false, nullptr);
        StampedFrames source;
        for (std::uint32_t n = 0;; ++n) {
            recorder.addFrame(source.frame(n));
            // One frame at a time, so none is dropped and each keeps its number in the file.
            while (recorder.framesWritten() < n + 1)
                std::this_thread::yield();
            written->store(n + 1);
        }
    }
    std::vector<std::pair<Clock::time_point, std::uint32_t>> samples;
    auto sampleUntil = [&](auto done) {
        while (!done()) {
            samples.emplace_back(Clock::now(), written->load());
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    };
    const auto giveUp = Clock::now() + std::chrono::minutes(2);
    sampleUntil([&] { return written->load() >= minimumFrames || Clock::now() >= giveUp; });
    const auto killAt = Clock::now() + extra;
    sampleUntil([&] { return Clock::now() >= killAt; });
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    KillTrial trial;
    trial.atKill = written->load();
    for (const auto& [when, count] : samples)
        if (when <= killAt - forcedMargin)
            trial.beforeMargin = count;
    munmap(shared, sizeof(std::atomic<std::uint32_t>));
    trial.bytes = std::filesystem::file_size(file);
    return trial;
}

TEST(LongRecording, KilledRecordingKeepsEveryFrameOlderThanThreeSeconds) {
    const auto seed = std::random_device{}();
    std::cout << "seed " << seed << "\n";
    std::mt19937 random(seed);
    constexpr std::uint32_t framesPerGiB = (1u << 30) / (304128 + 8) + 1;
    for (int trial = 0; trial < 10; ++trial) {
        QTemporaryDir dir;
        const auto file = inDir(dir, "cortado.avi");
        const std::uint32_t minimum = trial < 5 ? 1 : framesPerGiB;
        const std::chrono::milliseconds extra(std::uniform_int_distribution(300, 3000)(random));
        const auto result = recordAndKill(file, minimum, extra);
        const auto headers = readHeaders(file);
        const auto decoded = decodeAll(file);
        std::cout << "trial " << trial << ": " << result.bytes << " bytes, " << result.atKill
                  << " frames added, " << result.beforeMargin
                  << " of them more than 3 s before the kill; declared " << headers.dmlhTotalFrames
                  << ", read back " << decoded.frames << " (" << decoded.inOrder << " in order)\n";
        SCOPED_TRACE(trial);
        EXPECT_GE(decoded.inOrder, result.beforeMargin);
        EXPECT_EQ(decoded.frames, decoded.inOrder);
        EXPECT_EQ(headers.length, headers.dmlhTotalFrames);
        EXPECT_EQ(headers.indxFrames, headers.dmlhTotalFrames);
        EXPECT_GE(headers.dmlhTotalFrames, result.beforeMargin);
        EXPECT_LE(headers.dmlhTotalFrames, result.atKill);
    }
}

} // namespace
