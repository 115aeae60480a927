#include "VideoFiles.h"

#include "platform/Disk.h"
#include "video/Recorder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>
#include <thread>

namespace {

using namespace video_test;
using Clock = std::chrono::steady_clock;

using Bytes = std::vector<std::uint8_t>;

std::uint64_t le64(const Bytes& bytes, std::size_t at) {
    return le32(bytes, at) | std::uint64_t{le32(bytes, at + 4)} << 32;
}

bool codeAt(const Bytes& bytes, std::uint64_t at, const char (&code)[5]) {
    return at + 4 <= bytes.size() && std::equal(code, code + 4, bytes.begin() + at);
}

// Checks that every index the headers point at, and every frame those indexes point at, is in
// the bytes; returns the frames found, or none when something points outside.
std::optional<std::uint64_t> framesReachable(const Bytes& bytes) {
    const std::string head(bytes.begin(),
                           bytes.begin() + std::min<std::size_t>(bytes.size(), 65536));
    const auto indx = head.find("indx");
    const auto dmlh = head.find("dmlh");
    if (indx == std::string::npos || dmlh == std::string::npos)
        return 0; // the headers themselves never reached the device: no frame is claimed
    std::uint64_t frames = 0;
    const std::uint32_t entries = le32(bytes, indx + 12);
    for (std::uint32_t e = 0; e < entries; ++e) {
        const std::uint64_t index = le64(bytes, indx + 32 + 16 * e);
        if (!codeAt(bytes, index, "ix00") || index + 32 > bytes.size())
            return std::nullopt;
        const std::uint32_t count = le32(bytes, index + 12);
        const std::uint64_t base = le64(bytes, index + 20);
        if (index + 32 + 8 * std::uint64_t{count} > bytes.size())
            return std::nullopt;
        for (std::uint32_t f = 0; f < count; ++f) {
            const std::uint64_t data = base + le32(bytes, index + 32 + 8 * f);
            const std::uint32_t size = le32(bytes, index + 36 + 8 * f);
            if (data < 8 || !codeAt(bytes, data - 8, "00db") || data + size > bytes.size())
                return std::nullopt;
        }
        frames += count;
    }
    if (le32(bytes, dmlh + 8) != frames)
        return std::nullopt;
    return frames;
}

// A device that loses power at any moment: what was forced onto it stays; of what came after,
// the worst case keeps the in-place changes of headers and loses everything appended.
class PowerCutFile final : public platform::DiskFile {
public:
    struct Record {
        std::mutex mutex;
        Bytes live;
        Bytes durable;
        int cutsChecked = 0;
        std::vector<std::string> broken;
        std::uint64_t mostFramesKept = 0;
    };

    explicit PowerCutFile(Record& record) : record_(record) {}

    bool writeAt(std::uint64_t offset, std::span<const std::uint8_t> bytes) override {
        const std::lock_guard lock(record_.mutex);
        if (record_.live.size() < offset + bytes.size())
            record_.live.resize(offset + bytes.size());
        std::copy(bytes.begin(), bytes.end(), record_.live.begin() + offset);
        pending_.push_back({offset, Bytes(bytes.begin(), bytes.end())});
        return true;
    }
    bool syncData() override {
        const std::lock_guard lock(record_.mutex);
        checkCut(record_.durable, "only what was forced");
        checkCut(withPatches(), "forced, with later header changes");
        record_.durable = record_.live;
        pending_.clear();
        return true;
    }
    bool truncate(std::uint64_t size) override {
        const std::lock_guard lock(record_.mutex);
        record_.live.resize(size);
        return true;
    }
    bool close() override { return syncData(); }
    platform::DiskError error() const override { return platform::DiskError::None; }

private:
    struct Write {
        std::uint64_t offset;
        Bytes bytes;
    };

    Bytes withPatches() const {
        Bytes image = record_.durable;
        for (const Write& write : pending_)
            if (write.offset + write.bytes.size() <= image.size())
                std::copy(write.bytes.begin(), write.bytes.end(), image.begin() + write.offset);
        return image;
    }

    void checkCut(const Bytes& image, const char* kept) {
        ++record_.cutsChecked;
        const auto frames = framesReachable(image);
        if (!frames)
            record_.broken.push_back(std::string(kept) + " at " + std::to_string(image.size()));
        else
            record_.mostFramesKept = std::max(record_.mostFramesKept, *frames);
    }

    Record& record_;
    std::vector<Write> pending_;
};

TEST(PowerCut, FileStaysReadableUpToItsLastForcedSecondWhereverThePowerGoes) {
    PowerCutFile::Record record;
    platform::Disk disk{
        [&record](const std::filesystem::path&) -> std::unique_ptr<platform::DiskFile> {
            return std::make_unique<PowerCutFile>(record);
        },
        [](const std::filesystem::path&) -> std::optional<std::uint64_t> { return std::nullopt; },
        [](const std::filesystem::path&) {}};
    video::Recorder recorder(disk);
    ASSERT_TRUE(recorder.start("001video.avi", 100, false, nullptr));
    const TestFrame frame(1, 64, 48);
    const auto start = Clock::now();
    while (Clock::now() - start < std::chrono::milliseconds(2600)) {
        recorder.addFrame(frame.dib());
        std::this_thread::sleep_for(std::chrono::milliseconds(33));
    }
    recorder.stop();
    ASSERT_TRUE(recorder.waitUntilClosed(std::chrono::seconds(20)));

    const std::lock_guard lock(record.mutex);
    EXPECT_GE(record.cutsChecked, 8);
    EXPECT_EQ(record.broken, std::vector<std::string>{});
    EXPECT_GE(record.mostFramesKept, 30u) << "two seconds of frames reached the device";
    EXPECT_EQ(framesReachable(record.durable), recorder.framesWritten());
}

} // namespace
