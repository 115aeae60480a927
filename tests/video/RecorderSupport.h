#pragma once

#include "tests/video/VideoFiles.h"
#include "video/Recorder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace video_test {

// The rate the recorder's tests reckon free space at before the first frames.
constexpr int assumedRate = 10;

inline video::RecorderLimits testLimits() {
    video::RecorderLimits limits;
    limits.assumedFramesPerSecond = assumedRate;
    limits.spaceCheckPeriod = std::chrono::milliseconds(200);
    return limits;
}

// Feeds frames until the recorder closes the recording by itself.
inline void feedUntilClosedByItself(video::Recorder& recorder, const TestFrame& frame) {
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (recorder.recording() && std::chrono::steady_clock::now() < deadline) {
        recorder.addFrame(frame.dib());
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    ASSERT_FALSE(recorder.recording());
    ASSERT_TRUE(recorder.waitUntilClosed(patience));
}

} // namespace video_test
