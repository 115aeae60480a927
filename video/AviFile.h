#pragma once

#include "platform/Disk.h"
#include "video/AviWriter.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <vector>

namespace video {

// What the headers of the one video stream declare.
struct AviStreamFormat {
    int width = 0;
    int height = 0;
    bool motionJpeg = false;
    std::uint32_t framePeriodMs = 100;
    std::uint32_t imageSize = 0;
};

// Sizes of the layout; tests choose small ones to reach every case with little data.
struct AviLimits {
    std::uint64_t riffBytes = std::uint64_t{1} << 30;
    std::uint32_t superIndexCapacity = 2048;
    // Index batches of one RIFF before they are merged into one, which bounds the super index
    // however long a RIFF takes to fill.
    std::uint32_t batchesPerRiff = 256;
};

// The RIFF layout of an AVI file with one video stream and the OpenDML extension: frames in
// 'movi' lists, an 'ix00' standard index after each batch of frames, the 'indx' super index
// pointing at them, a new 'RIFF AVIX' once the current RIFF passes the limit, 'idx1' in the
// first RIFF. Headers are patched in place, so the file as written so far is always a
// complete AVI up to the last index written. Each index reaches the device before the
// headers that point at it are patched, so a power cut keeps the file readable up to its
// last index.
class AviFile {
public:
    static std::unique_ptr<AviFile> create(const std::filesystem::path& fileName,
                                           const AviLimits& limits = {});
    explicit AviFile(std::unique_ptr<platform::DiskFile> file, const AviLimits& limits = {});

    AviResult begin(const AviStreamFormat& format);
    bool begun() const { return begun_; }
    const AviStreamFormat& format() const { return format_; }
    AviResult writeFrame(std::span<const std::uint8_t> data);
    bool hasUnindexedFrames() const { return unindexedFrom_ < riffFrames_.size(); }
    AviResult writeIndex();
    // Writes the last index and headers (an empty AVI when no stream was begun).
    AviResult finish();
    std::uint32_t frames() const { return totalFrames_; }
    // Frames an index points at: what a reader finds.
    std::uint32_t indexedFrames() const;
    std::uint64_t size() const { return end_; }
    // Why the first failed write failed.
    platform::DiskError diskError() const { return file_->error(); }

private:
    struct FrameEntry {
        std::uint64_t offset; // of the chunk data
        std::uint32_t size;
    };
    struct SuperEntry {
        std::uint64_t offset;
        std::uint32_t size;
        std::uint32_t frames;
    };
    struct Positions {
        std::uint64_t avihTotalFrames = 0;
        std::uint64_t strhLength = 0;
        std::uint64_t indxEntriesInUse = 0;
        std::uint64_t indxEntries = 0;
        std::uint64_t dmlhTotalFrames = 0;
    };

    bool writeAt(std::uint64_t position, std::span<const std::uint8_t> bytes);
    bool append(std::span<const std::uint8_t> bytes);
    bool put32At(std::uint64_t position, std::uint32_t value);
    AviResult appendDurably(std::span<const std::uint8_t> bytes);
    AviResult startRiff(std::uint32_t riffType);
    AviResult writeIndexFrom(std::size_t first, bool mergeRiff);
    AviResult endRiff();
    AviResult writeIdx1();
    AviResult patchHeaders(std::size_t firstChangedEntry);
    std::uint32_t chunkId() const;

    std::unique_ptr<platform::DiskFile> file_;
    AviLimits limits_;
    AviStreamFormat format_;
    Positions positions_;
    bool begun_ = false;
    std::uint64_t end_ = 0;
    std::uint64_t riffStart_ = 0;
    std::uint64_t moviStart_ = 0;
    bool firstRiff_ = true;
    bool riffEnded_ = false;
    std::vector<FrameEntry> riffFrames_;
    std::size_t unindexedFrom_ = 0;
    std::vector<SuperEntry> superIndex_;
    std::size_t riffFirstEntry_ = 0;
    std::uint64_t framesBeforeRiff_ = 0;
    std::uint32_t totalFrames_ = 0;
    std::uint32_t firstRiffFrames_ = 0;
};

} // namespace video
