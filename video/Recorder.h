#pragma once

#include "video/AviWriter.h"
#include "video/Dib.h"

#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <memory>
#include <mutex>
#include <thread>

namespace video {

// The recording of the main window: started and stopped on the GUI thread, fed on the capture
// thread. One lock guards the writer, so no frame ever meets a closed or half-made writer, and
// a worker writes the index once in a while even when frames stop coming. Destroying a
// recorder that records completes the file.
class Recorder final : public FrameSink {
public:
    enum class Failure {
        None,
        CannotCreate, // the file could not be created
        WriteFailed,  // the writer failed (full disk, compressor set-up, frame write)
    };

    Recorder() = default;
    ~Recorder() override;
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    // Opens the file and, when compress is set, asks for Motion-JPEG set up from the surface
    // (or from the first frame when no surface is given). Does nothing while recording;
    // returns whether a writer was opened.
    bool start(const std::filesystem::path& fileName, int intervalMs, bool compress,
               const DibSection* surface);
    void addFrame(const DibSection& frame) override;
    // Closes the file; does nothing while idle.
    void stop();

    bool recording() const;
    Failure failure() const;
    std::uint32_t framesWritten() const;

private:
    void flushWhileRecording(std::stop_token stop);
    void noteResult(AviResult result);

    std::mutex mutex_;
    std::condition_variable_any wake_;
    std::unique_ptr<AviWriter> writer_;
    bool compressPending_ = false;
    // Changed under the lock, read without it, so the status line never waits for a frame write.
    std::atomic<bool> recording_ = false;
    std::atomic<Failure> failure_ = Failure::None;
    std::atomic<std::uint32_t> framesWritten_ = 0;
    std::jthread flusher_;
};

} // namespace video
