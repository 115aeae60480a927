#pragma once

namespace video {

enum class VideoFormat { Avi, Mp4 };

// With its dot, as recordings are named.
constexpr const char* videoExtension(VideoFormat format) {
    return format == VideoFormat::Mp4 ? ".mp4" : ".avi";
}

} // namespace video
