#include "video/AviFile.h"

#include "video/LittleEndian.h"

#include <algorithm>

namespace video {

namespace {

constexpr std::uint32_t avihFlagHasIndex = 0x10;
constexpr std::uint32_t idx1KeyFrame = 0x10;
constexpr std::uint32_t dmlhSize = 248;
constexpr std::uint32_t chunkHeaderSize = 8;
constexpr std::uint32_t stdIndexHeaderSize = 24;
constexpr std::uint32_t superEntrySize = 16;

std::uint32_t size32(std::uint64_t size) {
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(size, 0xFFFFFFFFu));
}

// Starts a LIST or RIFF: the code, a size patched by closeList, the list type.
std::size_t openList(LittleEndian& out, const char (&code)[5], const char (&type)[5]) {
    const std::size_t start = out.size();
    out.put32(fourCc(code));
    out.put32(0);
    out.put32(fourCc(type));
    return start;
}

void closeList(LittleEndian& out, std::size_t start) {
    out.patch32(start + 4, static_cast<std::uint32_t>(out.size() - start - chunkHeaderSize));
}

void putMainHeader(LittleEndian& out, const AviStreamFormat* format, std::uint32_t streams) {
    out.put32(fourCc("avih"));
    out.put32(56);
    out.put32(format ? size32(std::uint64_t{format->framePeriodMs} * 1000) : 0);
    out.put32(0);
    out.put32(0);
    out.put32(avihFlagHasIndex);
    out.put32(0);
    out.put32(0);
    out.put32(streams);
    out.put32(format ? format->imageSize : 0);
    out.put32(format ? static_cast<std::uint32_t>(format->width) : 0);
    out.put32(format ? static_cast<std::uint32_t>(format->height) : 0);
    out.putZeros(16);
}

void putStreamHeader(LittleEndian& out, const AviStreamFormat& format) {
    out.put32(fourCc("strh"));
    out.put32(56);
    out.put32(fourCc("vids"));
    out.put32(format.motionJpeg ? fourCc("MJPG") : fourCc("DIB "));
    out.put32(0);
    out.put32(0);
    out.put32(0);
    out.put32(format.framePeriodMs);
    out.put32(1000);
    out.put32(0);
    out.put32(0);
    out.put32(format.imageSize);
    out.put32(0);
    out.put32(0);
    out.put16(0);
    out.put16(0);
    out.put16(static_cast<std::uint16_t>(format.width));
    out.put16(static_cast<std::uint16_t>(format.height));
}

void putStreamFormat(LittleEndian& out, const AviStreamFormat& format) {
    out.put32(fourCc("strf"));
    out.put32(40);
    out.put32(40);
    out.put32(static_cast<std::uint32_t>(format.width));
    out.put32(static_cast<std::uint32_t>(format.height));
    out.put16(1);
    out.put16(24);
    out.put32(format.motionJpeg ? fourCc("MJPG") : 0);
    out.put32(format.imageSize);
    out.putZeros(16);
}

} // namespace

AviFile::AviFile(std::unique_ptr<platform::DiskFile> file, const AviLimits& limits)
    : file_(std::move(file)), limits_(limits) {}

std::unique_ptr<AviFile> AviFile::create(const std::filesystem::path& fileName,
                                         const AviLimits& limits) {
    auto file = platform::localDisk().open(fileName, platform::OpenMode::Replace);
    if (!file)
        return nullptr;
    return std::make_unique<AviFile>(std::move(file), limits);
}

std::uint32_t AviFile::chunkId() const {
    return format_.motionJpeg ? fourCc("00dc") : fourCc("00db");
}

bool AviFile::writeAt(std::uint64_t position, std::span<const std::uint8_t> bytes) {
    return file_->writeAt(position, bytes);
}

bool AviFile::append(std::span<const std::uint8_t> bytes) {
    if (!writeAt(end_, bytes))
        return false;
    end_ += bytes.size();
    return true;
}

bool AviFile::put32At(std::uint64_t position, std::uint32_t value) {
    LittleEndian bytes;
    bytes.put32(value);
    return writeAt(position, bytes.bytes());
}

// What the headers are about to point at reaches the device first, together with the frames
// written before it.
AviResult AviFile::appendDurably(std::span<const std::uint8_t> bytes) {
    return append(bytes) && file_->syncData() ? AVIERR_OK : AVIERR_FILEWRITE;
}

std::uint32_t AviFile::indexedFrames() const {
    return static_cast<std::uint32_t>(framesBeforeRiff_ + unindexedFrom_);
}

AviResult AviFile::begin(const AviStreamFormat& format) {
    format_ = format;
    LittleEndian out;
    const auto riff = openList(out, "RIFF", "AVI ");
    const auto hdrl = openList(out, "LIST", "hdrl");
    putMainHeader(out, &format_, 1);
    positions_.avihTotalFrames = out.size() - 40;
    const auto strl = openList(out, "LIST", "strl");
    putStreamHeader(out, format_);
    positions_.strhLength = out.size() - 24;
    putStreamFormat(out, format_);
    out.put32(fourCc("indx"));
    out.put32(stdIndexHeaderSize + superEntrySize * limits_.superIndexCapacity);
    out.put16(4);
    out.put16(0);
    positions_.indxEntriesInUse = out.size();
    out.put32(0);
    out.put32(chunkId());
    out.putZeros(12);
    positions_.indxEntries = out.size();
    out.putZeros(superEntrySize * limits_.superIndexCapacity);
    closeList(out, strl);
    const auto odml = openList(out, "LIST", "odml");
    out.put32(fourCc("dmlh"));
    out.put32(dmlhSize);
    positions_.dmlhTotalFrames = out.size();
    out.putZeros(dmlhSize);
    closeList(out, odml);
    closeList(out, hdrl);
    moviStart_ = out.size();
    closeList(out, openList(out, "LIST", "movi"));
    closeList(out, riff);
    if (appendDurably(out.bytes()) != AVIERR_OK)
        return AVIERR_FILEWRITE;
    begun_ = true;
    return AVIERR_OK;
}

AviResult AviFile::writeFrame(std::span<const std::uint8_t> data) {
    if (end_ - riffStart_ >= limits_.riffBytes) {
        if (const auto result = endRiff(); result != AVIERR_OK)
            return result;
        if (const auto result = startRiff(fourCc("AVIX")); result != AVIERR_OK)
            return result;
    }
    const std::uint64_t start = end_;
    LittleEndian header;
    header.put32(chunkId());
    header.put32(static_cast<std::uint32_t>(data.size()));
    const std::uint8_t pad[1] = {0};
    const bool written =
        append(header.bytes()) && append(data) && (data.size() % 2 == 0 || append(pad));
    if (!written) {
        // The part of the chunk that was written goes, which on a full disk also frees the
        // room the last index needs.
        file_->truncate(start);
        end_ = start;
        return AVIERR_FILEWRITE;
    }
    riffFrames_.push_back({start + chunkHeaderSize, static_cast<std::uint32_t>(data.size())});
    ++totalFrames_;
    return AVIERR_OK;
}

AviResult AviFile::writeIndex() {
    if (!hasUnindexedFrames())
        return AVIERR_OK;
    const bool merge = superIndex_.size() - riffFirstEntry_ >= limits_.batchesPerRiff ||
                       superIndex_.size() >= limits_.superIndexCapacity;
    return writeIndexFrom(merge ? 0 : unindexedFrom_, merge);
}

AviResult AviFile::writeIndexFrom(std::size_t first, bool mergeRiff) {
    const auto count = static_cast<std::uint32_t>(riffFrames_.size() - first);
    LittleEndian index;
    index.put32(fourCc("ix00"));
    index.put32(stdIndexHeaderSize + 8 * count);
    index.put16(2);
    index.put16(0x0100);
    index.put32(count);
    index.put32(chunkId());
    index.put64(riffStart_);
    index.put32(0);
    for (std::size_t i = first; i < riffFrames_.size(); ++i) {
        index.put32(static_cast<std::uint32_t>(riffFrames_[i].offset - riffStart_));
        index.put32(riffFrames_[i].size);
    }
    const std::uint64_t position = end_;
    if (appendDurably(index.bytes()) != AVIERR_OK)
        return AVIERR_FILEWRITE;
    if (mergeRiff)
        superIndex_.resize(riffFirstEntry_);
    const std::size_t changed = superIndex_.size();
    superIndex_.push_back({position, static_cast<std::uint32_t>(index.size()), count});
    unindexedFrom_ = riffFrames_.size();
    return patchHeaders(changed);
}

AviResult AviFile::patchHeaders(std::size_t firstChangedEntry) {
    LittleEndian entries;
    for (std::size_t i = firstChangedEntry; i < superIndex_.size(); ++i) {
        entries.put64(superIndex_[i].offset);
        entries.put32(superIndex_[i].size);
        entries.put32(superIndex_[i].frames);
    }
    const auto declared = indexedFrames();
    if (firstRiff_)
        firstRiffFrames_ = declared;
    const bool patched =
        writeAt(positions_.indxEntries + superEntrySize * firstChangedEntry, entries.bytes()) &&
        put32At(positions_.indxEntriesInUse, static_cast<std::uint32_t>(superIndex_.size())) &&
        put32At(positions_.avihTotalFrames, firstRiffFrames_) &&
        put32At(positions_.strhLength, declared) && put32At(positions_.dmlhTotalFrames, declared) &&
        put32At(moviStart_ + 4, size32(end_ - moviStart_ - chunkHeaderSize)) &&
        put32At(riffStart_ + 4, size32(end_ - riffStart_ - chunkHeaderSize));
    return patched && file_->syncData() ? AVIERR_OK : AVIERR_FILEWRITE;
}

AviResult AviFile::endRiff() {
    // A RIFF whose successor could not start is not ended twice.
    if (riffEnded_)
        return AVIERR_OK;
    const bool merge = hasUnindexedFrames() || superIndex_.size() - riffFirstEntry_ > 1;
    if (merge && !riffFrames_.empty()) {
        if (const auto result = writeIndexFrom(0, true); result != AVIERR_OK)
            return result;
    }
    if (firstRiff_) {
        if (const auto result = writeIdx1(); result != AVIERR_OK)
            return result;
    }
    riffEnded_ = true;
    return AVIERR_OK;
}

AviResult AviFile::writeIdx1() {
    LittleEndian index;
    index.put32(fourCc("idx1"));
    index.put32(static_cast<std::uint32_t>(16 * riffFrames_.size()));
    const std::uint64_t moviType = moviStart_ + chunkHeaderSize;
    for (const auto& frame : riffFrames_) {
        index.put32(chunkId());
        index.put32(idx1KeyFrame);
        index.put32(static_cast<std::uint32_t>(frame.offset - chunkHeaderSize - moviType));
        index.put32(frame.size);
    }
    const bool written = appendDurably(index.bytes()) == AVIERR_OK &&
                         put32At(riffStart_ + 4, size32(end_ - riffStart_ - chunkHeaderSize)) &&
                         file_->syncData();
    return written ? AVIERR_OK : AVIERR_FILEWRITE;
}

AviResult AviFile::startRiff(std::uint32_t riffType) {
    if (superIndex_.size() + 1 >= limits_.superIndexCapacity)
        return AVIERR_BADSIZE;
    LittleEndian header;
    header.put32(fourCc("RIFF"));
    header.put32(16);
    header.put32(riffType);
    header.put32(fourCc("LIST"));
    header.put32(4);
    header.put32(fourCc("movi"));
    const std::uint64_t start = end_;
    if (!append(header.bytes()))
        return AVIERR_FILEWRITE;
    riffStart_ = start;
    moviStart_ = start + 12;
    framesBeforeRiff_ += riffFrames_.size();
    riffFrames_.clear();
    unindexedFrom_ = 0;
    riffFirstEntry_ = superIndex_.size();
    firstRiff_ = false;
    riffEnded_ = false;
    return AVIERR_OK;
}

AviResult AviFile::finish() {
    AviResult result = AVIERR_OK;
    if (begun_) {
        result = endRiff();
    } else {
        LittleEndian out;
        const auto riff = openList(out, "RIFF", "AVI ");
        const auto hdrl = openList(out, "LIST", "hdrl");
        putMainHeader(out, nullptr, 0);
        closeList(out, hdrl);
        closeList(out, openList(out, "LIST", "movi"));
        out.put32(fourCc("idx1"));
        out.put32(0);
        closeList(out, riff);
        if (!append(out.bytes()))
            result = AVIERR_FILEWRITE;
    }
    // Drops what a failed write left past the last complete chunk.
    file_->truncate(end_);
    if (!file_->close())
        result = AVIERR_FILEWRITE;
    return result;
}

} // namespace video
