#include "video/AviWriter.h"

#include "video/AviFile.h"
#include "video/DibCheck.h"
#include "video/MotionJpeg.h"

namespace video {

namespace {

constexpr std::uint32_t defaultFramePeriodMs = 100;

enum class Codec { Uncompressed, MotionJpeg, Unknown };

Codec codecFor(const AviCompressOptions& options) {
    switch (options.fccHandler) {
    case 0:
    case fourCc("DIB "):
        return Codec::Uncompressed;
    case fourCc("wmv3"):
    case fourCc("WMV3"):
    case fourCc("MJPG"):
        return Codec::MotionJpeg;
    default:
        return Codec::Unknown;
    }
}

} // namespace

AviWriter::AviWriter(std::unique_ptr<AviFile> file, int framePeriodMs)
    : file_(std::move(file)),
      // A period of 0 would declare a file no player can time.
      framePeriodMs_(framePeriodMs > 0 ? static_cast<std::uint32_t>(framePeriodMs)
                                       : defaultFramePeriodMs),
      lastIndex_(Clock::now()) {}

AviWriter::~AviWriter() {
    close();
}

std::unique_ptr<AviWriter> AviWriter::open(const std::filesystem::path& fileName,
                                           int framePeriodMs) {
    return open(platform::localDisk().open(fileName, platform::OpenMode::Replace), framePeriodMs);
}

std::unique_ptr<AviWriter> AviWriter::open(std::unique_ptr<platform::DiskFile> file,
                                           int framePeriodMs) {
    if (!file)
        return nullptr;
    return std::unique_ptr<AviWriter>(
        new AviWriter(std::make_unique<AviFile>(std::move(file)), framePeriodMs));
}

AviResult AviWriter::fail(AviResult result) {
    failed_ = true;
    return result;
}

AviResult AviWriter::check(AviResult result) {
    return result == AVIERR_OK ? result : fail(result);
}

AviResult AviWriter::begin(const DibSection& bitmap, bool motionJpeg) {
    if (motionJpeg)
        jpeg_ = std::make_unique<MotionJpeg>();
    AviStreamFormat format;
    format.width = bitmap.width;
    format.height = bitmap.height;
    format.motionJpeg = motionJpeg;
    format.framePeriodMs = framePeriodMs_;
    format.imageSize = static_cast<std::uint32_t>(dibPixelBytes(bitmap));
    return check(file_->begin(format));
}

AviResult AviWriter::setCompression(const DibSection* bitmap, const AviCompressOptions* options) {
    if (bitmap == nullptr || !isCompleteDib(*bitmap))
        return AVIERR_BADPARAM;
    if (failed_ || closed_)
        return AVIERR_ERROR;
    if (file_->begun())
        return AVIERR_COMPRESSOR;
    const Codec codec = codecFor(options ? *options : AviCompressOptions{});
    if (codec == Codec::Unknown)
        return fail(AVIERR_NOCOMPRESSOR);
    return begin(*bitmap, codec == Codec::MotionJpeg);
}

AviResult AviWriter::writeFrame(const DibSection& bitmap) {
    if (!jpeg_)
        return file_->writeFrame({bitmap.bits, dibPixelBytes(bitmap)});
    if (!jpeg_->encode(bitmap))
        return AVIERR_CANTCOMPRESS;
    return file_->writeFrame(jpeg_->bytes());
}

AviResult AviWriter::addFrame(const DibSection* bitmap) {
    if (bitmap == nullptr || !isCompleteDib(*bitmap))
        return AVIERR_BADPARAM;
    if (failed_ || closed_)
        return AVIERR_ERROR;
    if (!file_->begun()) {
        if (const auto result = begin(*bitmap, false); result != AVIERR_OK)
            return result;
    }
    // Frames of another size than the stream declares are refused, not mixed in.
    if (bitmap->width != file_->format().width || bitmap->height != file_->format().height)
        return AVIERR_BADFORMAT;
    if (const auto result = check(writeFrame(*bitmap)); result != AVIERR_OK)
        return result;
    return flushIndex();
}

AviResult AviWriter::flushIndex() {
    if (failed_ || closed_)
        return AVIERR_ERROR;
    if (!file_->hasUnindexedFrames())
        return AVIERR_OK;
    const auto now = Clock::now();
    if (now - lastIndex_ < flushPeriod && file_->indexedFrames() > 0)
        return AVIERR_OK;
    lastIndex_ = now;
    return check(file_->writeIndex());
}

AviResult AviWriter::close() {
    if (closed_)
        return AVIERR_OK;
    closed_ = true;
    return file_->finish();
}

std::uint32_t AviWriter::framesWritten() const {
    return file_->frames();
}

std::uint32_t AviWriter::framesIndexed() const {
    return file_->indexedFrames();
}

std::uint64_t AviWriter::bytesWritten() const {
    return file_->size();
}

platform::DiskError AviWriter::diskError() const {
    return file_->diskError();
}

std::unique_ptr<AviWriter> OpenVideoWriter(const std::filesystem::path& fileName,
                                           int framePeriodMs) {
    return AviWriter::open(fileName, framePeriodMs);
}

AviResult SetVideoCompression(AviWriter* writer, const DibSection* bitmap,
                              const AviCompressOptions* options) {
    if (writer == nullptr)
        return AVIERR_BADHANDLE;
    return writer->setCompression(bitmap, options);
}

AviResult AddVideoFrame(AviWriter* writer, const DibSection* bitmap) {
    if (writer == nullptr)
        return AVIERR_BADHANDLE;
    return writer->addFrame(bitmap);
}

AviResult CloseVideoWriter(std::unique_ptr<AviWriter> writer) {
    if (!writer)
        return AVIERR_BADHANDLE;
    return writer->close();
}

} // namespace video
