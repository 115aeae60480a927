#include "video/VideoWriter.h"

#include "video/AviWriter.h"
#include "video/Mp4Writer.h"

namespace video {
namespace {

// Motion-JPEG is set up from the first picture the recording gets, as "Compresión" always has.
class AviVideo final : public VideoWriter {
public:
    AviVideo(std::unique_ptr<AviWriter> writer, bool compress)
        : writer_(std::move(writer)), compress_(compress) {}

    bool setUpFrom(const DibSection& frame) override {
        if (!compress_)
            return true;
        compress_ = false;
        const auto options = wmv3Options();
        return SetVideoCompression(writer_.get(), &frame, &options) == AVIERR_OK;
    }
    bool addFrame(const DibSection& frame) override {
        return setUpFrom(frame) && AddVideoFrame(writer_.get(), &frame) == AVIERR_OK;
    }
    void flush() override { writer_->flushIndex(); }
    bool close() override { return writer_->close() == AVIERR_OK; }

    bool failed() const override { return writer_->failed(); }
    std::uint32_t framesWritten() const override { return writer_->framesWritten(); }
    std::uint32_t framesReadable() const override { return writer_->framesIndexed(); }
    std::uint64_t bytesWritten() const override { return writer_->bytesWritten(); }
    platform::DiskError diskError() const override { return writer_->diskError(); }

private:
    std::unique_ptr<AviWriter> writer_;
    bool compress_;
};

class Mp4Video final : public VideoWriter {
public:
    explicit Mp4Video(std::unique_ptr<Mp4Writer> writer) : writer_(std::move(writer)) {}

    bool setUpFrom(const DibSection&) override { return true; }
    bool addFrame(const DibSection& frame) override { return writer_->addFrame(frame); }
    // As often as an AVI file's index: a forced write costs the disk a seek or more.
    void flush() override {
        const auto now = AviWriter::Clock::now();
        if (now - lastFlush_ < AviWriter::flushPeriod)
            return;
        lastFlush_ = now;
        writer_->flush();
    }
    bool close() override { return writer_->close(); }

    bool failed() const override { return writer_->failed(); }
    std::uint32_t framesWritten() const override { return writer_->framesAdded(); }
    std::uint32_t framesReadable() const override { return writer_->framesReadable(); }
    std::uint64_t bytesWritten() const override { return writer_->bytesWritten(); }
    platform::DiskError diskError() const override { return writer_->diskError(); }

private:
    std::unique_ptr<Mp4Writer> writer_;
    AviWriter::Clock::time_point lastFlush_;
};

} // namespace

std::unique_ptr<VideoWriter> openVideoWriter(VideoFormat format,
                                             std::unique_ptr<platform::DiskFile> file,
                                             int framePeriodMs, bool compress) {
    if (format == VideoFormat::Mp4) {
        auto writer = Mp4Writer::open(std::move(file), framePeriodMs);
        return writer ? std::make_unique<Mp4Video>(std::move(writer)) : nullptr;
    }
    auto writer = AviWriter::open(std::move(file), framePeriodMs);
    return writer ? std::make_unique<AviVideo>(std::move(writer), compress) : nullptr;
}

} // namespace video
