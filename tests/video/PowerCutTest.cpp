#include "VideoFiles.h"

#include "platform/Disk.h"
#include "video/Recorder.h"

#include <gtest/gtest.h>

#include <mutex>
#include <optional>
#include <thread>

namespace {

using namespace video_test;
using Bytes = std::vector<std::uint8_t>;

std::uint64_t le(const Bytes& bytes, std::uint64_t at, std::size_t size = 4) {
    std::uint64_t value = 0;
    if (at + size <= bytes.size())
        std::memcpy(&value, bytes.data() + at, size);
    return value;
}

bool codeAt(const Bytes& bytes, std::uint64_t at, const char (&code)[5]) {
    return at + 4 <= bytes.size() && std::equal(code, code + 4, bytes.begin() + at);
}

// Checks that every index the headers point at, and every frame those indexes point at, is in
// the bytes; returns the frames found, or none when something points outside.
std::optional<std::uint64_t> framesReachable(const Bytes& bytes) {
    const std::string head(bytes.begin(), bytes.begin() + std::min<long>(bytes.size(), 65536));
    const auto indx = head.find("indx");
    const auto dmlh = head.find("dmlh");
    if (indx == std::string::npos || dmlh == std::string::npos)
        return 0; // the headers themselves never reached the device: no frame is claimed
    std::uint64_t frames = 0;
    for (std::uint64_t e = 0; e < le(bytes, indx + 12); ++e) {
        const std::uint64_t index = le(bytes, indx + 32 + 16 * e, 8);
        const std::uint64_t count = le(bytes, index + 12);
        if (!codeAt(bytes, index, "ix00") || index + 32 + 8 * count > bytes.size())
            return std::nullopt;
        for (std::uint64_t f = 0; f < count; ++f) {
            const std::uint64_t data = le(bytes, index + 20, 8) + le(bytes, index + 32 + 8 * f);
            if (data < 8 || !codeAt(bytes, data - 8, "00db") ||
                data + le(bytes, index + 36 + 8 * f) > bytes.size())
                return std::nullopt;
        }
        frames += count;
    }
    if (le(bytes, dmlh + 8) != frames)
        return std::nullopt;
    return frames;
}

// What a device that may lose power at any moment holds, checked at every forced write: what
// was forced stays; of what came after, the worst case keeps the in-place changes of headers
// and loses everything appended.
struct Device {
    std::mutex mutex;
    Bytes live;
    Bytes durable;
    std::vector<std::pair<std::uint64_t, Bytes>> pending;
    int cutsChecked = 0;
    std::vector<std::string> broken;
    std::uint64_t mostFramesKept = 0;

    void checkCut(const Bytes& image, const char* kept) {
        ++cutsChecked;
        if (const auto frames = framesReachable(image))
            mostFramesKept = std::max(mostFramesKept, *frames);
        else
            broken.push_back(std::string(kept) + " at " + std::to_string(image.size()));
    }
};

class PowerCutFile final : public platform::DiskFile {
public:
    explicit PowerCutFile(Device& device) : d_(device) {}

    bool writeAt(std::uint64_t offset, std::span<const std::uint8_t> bytes) override {
        const std::lock_guard lock(d_.mutex);
        d_.live.resize(std::max<std::size_t>(d_.live.size(), offset + bytes.size()));
        std::copy(bytes.begin(), bytes.end(), d_.live.begin() + static_cast<long>(offset));
        d_.pending.emplace_back(offset, Bytes(bytes.begin(), bytes.end()));
        return true;
    }
    bool append(std::span<const std::uint8_t> bytes) override {
        std::size_t end = 0;
        {
            const std::lock_guard lock(d_.mutex);
            end = d_.live.size();
        }
        return writeAt(end, bytes);
    }
    bool syncData() override {
        const std::lock_guard lock(d_.mutex);
        Bytes patched = d_.durable;
        for (const auto& [offset, bytes] : d_.pending)
            if (offset + bytes.size() <= patched.size())
                std::copy(bytes.begin(), bytes.end(), patched.begin() + static_cast<long>(offset));
        d_.checkCut(d_.durable, "only what was forced");
        d_.checkCut(patched, "forced, with later header changes");
        d_.durable = d_.live;
        d_.pending.clear();
        return true;
    }
    bool truncate(std::uint64_t size) override {
        const std::lock_guard lock(d_.mutex);
        d_.live.resize(size);
        return true;
    }
    bool close() override { return syncData(); }
    platform::DiskError error() const override { return platform::DiskError::None; }

private:
    Device& d_;
};

TEST(PowerCut, FileStaysReadableUpToItsLastForcedSecondWhereverThePowerGoes) {
    Device device;
    video::Recorder recorder(platform::Disk{
        [&device](const auto&, auto) { return std::make_unique<PowerCutFile>(device); },
        [](const auto&) { return std::optional<std::uint64_t>(); }, [](const auto&) {},
        [](const auto&, const auto&) { return platform::DiskError::Failed; }});
    ASSERT_TRUE(recorder.start("001video.avi", 100, false, nullptr));
    const TestFrame frame(1, 64, 48);
    for (const auto start = std::chrono::steady_clock::now();
         std::chrono::steady_clock::now() - start < std::chrono::milliseconds(2600);) {
        recorder.addFrame(frame.dib());
        std::this_thread::sleep_for(std::chrono::milliseconds(33));
    }
    recorder.stop();
    ASSERT_TRUE(recorder.waitUntilClosed(patience));

    const std::lock_guard lock(device.mutex);
    EXPECT_EQ(device.broken, std::vector<std::string>{});
    // Two forced writes (frames and index, then headers) once a second, never one per frame
    // (there were about 80): 24 cuts with those at the start and the end, 36 at twice a second.
    EXPECT_GE(device.cutsChecked, 8);
    EXPECT_LE(device.cutsChecked, 32);
    EXPECT_GE(device.mostFramesKept, 30u) << "two seconds of frames reached the device";
    EXPECT_EQ(framesReachable(device.durable), recorder.framesWritten());
}

} // namespace
