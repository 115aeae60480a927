#include "video/Recorder.h"

#include <chrono>

namespace video {

namespace {

constexpr auto indexCheckPeriod = std::chrono::milliseconds(250);

} // namespace

Recorder::~Recorder() {
    stop();
}

bool Recorder::start(const std::filesystem::path& fileName, int intervalMs, bool compress,
                     const DibSection* surface) {
    {
        const std::lock_guard lock(mutex_);
        if (recording_)
            return false;
        recording_ = true;
        failure_ = Failure::None;
        framesWritten_ = 0;
    }
    // Made outside the lock, so the capture thread drops frames meanwhile instead of waiting.
    auto writer = OpenVideoWriter(fileName, intervalMs);
    bool compressPending = false;
    AviResult setUp = AVIERR_OK;
    if (writer && compress) {
        const auto options = wmv3Options();
        setUp = SetVideoCompression(writer.get(), surface, &options);
        // Without a surface to describe, the first frame sets the compression up.
        compressPending = setUp == AVIERR_BADPARAM;
    }
    const std::lock_guard lock(mutex_);
    if (!writer) {
        failure_ = Failure::CannotCreate;
        return false;
    }
    writer_ = std::move(writer);
    compressPending_ = compressPending;
    noteResult(setUp);
    flusher_ = std::jthread([this](std::stop_token stop) { flushWhileRecording(stop); });
    return true;
}

void Recorder::addFrame(const DibSection& frame) {
    const std::lock_guard lock(mutex_);
    if (!writer_)
        return;
    if (compressPending_) {
        const auto options = wmv3Options();
        const auto result = SetVideoCompression(writer_.get(), &frame, &options);
        compressPending_ = result == AVIERR_BADPARAM;
        noteResult(result);
    }
    const auto result = AddVideoFrame(writer_.get(), &frame);
    if (result == AVIERR_OK)
        ++framesWritten_;
    noteResult(result);
}

void Recorder::stop() {
    std::unique_ptr<AviWriter> writer;
    std::jthread flusher;
    {
        const std::lock_guard lock(mutex_);
        if (!recording_)
            return;
        recording_ = false;
        writer = std::move(writer_);
        flusher = std::move(flusher_);
    }
    if (flusher.joinable()) {
        flusher.request_stop();
        flusher.join();
    }
    if (writer && CloseVideoWriter(std::move(writer)) != AVIERR_OK) {
        const std::lock_guard lock(mutex_);
        failure_ = Failure::WriteFailed;
    }
}

bool Recorder::recording() const {
    return recording_;
}

Recorder::Failure Recorder::failure() const {
    return failure_;
}

std::uint32_t Recorder::framesWritten() const {
    return framesWritten_;
}

void Recorder::flushWhileRecording(std::stop_token stop) {
    std::unique_lock lock(mutex_);
    while (!wake_.wait_for(lock, stop, indexCheckPeriod, [] { return false; })) {
        if (stop.stop_requested())
            return;
        if (writer_)
            noteResult(writer_->flushIndex());
    }
}

void Recorder::noteResult(AviResult result) {
    if (result != AVIERR_OK && writer_ && writer_->failed())
        failure_ = Failure::WriteFailed;
}

} // namespace video
