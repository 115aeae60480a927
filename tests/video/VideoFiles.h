#pragma once

#include "video/AviReader.h"
#include "video/Dib.h"

#include <QTest>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

namespace video_test {

// Generous, so a loaded machine slows a test down without failing it.
constexpr auto patience = std::chrono::seconds(20);

template <typename Done> bool waitFor(Done done) {
    return QTest::qWaitFor(done, 20000);
}

// A 24-bit bottom-up picture whose bytes tell frames and rows apart; its first four bytes
// carry the frame number.
struct TestFrame {
    int width;
    int height;
    std::vector<std::uint8_t> pixels;

    explicit TestFrame(std::uint32_t number, int w = 352, int h = 288)
        : width(w), height(h), pixels(video::dibRowSize(w, 24) * static_cast<std::size_t>(h)) {
        for (std::size_t i = 0; i < pixels.size(); ++i)
            pixels[i] = static_cast<std::uint8_t>(i / 3 + i % 3 * 85 + number * 7);
        std::memcpy(pixels.data(), &number, sizeof number);
    }

    // A grey picture, dark at the bottom and bright at the top, that JPEG keeps closely.
    static TestFrame smooth(int width = 352) {
        TestFrame frame(0, width);
        const std::size_t row = video::dibRowSize(width, 24);
        for (std::size_t i = 0; i < frame.pixels.size(); ++i)
            frame.pixels[i] = static_cast<std::uint8_t>(i / row * 200 / 288 + i % row / 3 / 7);
        return frame;
    }

    video::DibSection dib() const { return {width, height, 1, 24, pixels.data(), pixels.size()}; }
};

// Bitmaps no writer can read whole: each breaks one rule of the complete one given.
inline std::vector<video::DibSection> brokenDibs(const video::DibSection& good) {
    std::vector<video::DibSection> bad(6, good);
    bad[0].bits = nullptr;
    bad[1].width = 0;
    bad[2].height = -288;
    bad[3].bitsPerPixel = 32;
    bad[4].imageSize = good.imageSize - 1;
    bad[5].width = 8193;
    return bad;
}

// The frame number a decoded top-down picture carries in its bottom row.
inline std::uint32_t numberOf(const std::vector<std::uint8_t>& decoded, int width = 352) {
    std::uint32_t number = 0;
    std::memcpy(&number, decoded.data() + decoded.size() - video::dibRowSize(width, 24), 4);
    return number;
}

inline std::string quoted(const std::filesystem::path& path) {
    return "'" + path.string() + "'";
}

using Pipe = std::unique_ptr<FILE, int (*)(FILE*)>;

inline std::string commandOutput(const std::string& command) {
    const Pipe pipe(popen(command.c_str(), "r"), pclose);
    std::string output;
    for (int c = 0; pipe && (c = std::fgetc(pipe.get())) != EOF;)
        output.push_back(static_cast<char>(c));
    return output;
}

// What an independent reader (ffprobe) finds in the video stream.
struct Probe {
    std::string codec;
    int width = 0;
    int height = 0;
    long frames = -1;
    bool operator==(const Probe&) const = default;
};

inline void PrintTo(const Probe& p, std::ostream* out) {
    *out << p.codec << " " << p.width << "x" << p.height << ", " << p.frames << " frames";
}

inline Probe probe(const std::filesystem::path& file) {
    std::string text =
        commandOutput("ffprobe -v error -select_streams v:0 -count_packets -show_entries "
                      "stream=codec_name,width,height,nb_read_packets -of csv=p=0 " +
                      quoted(file));
    std::replace(text.begin(), text.end(), ',', ' ');
    Probe found;
    std::istringstream(text) >> found.codec >> found.width >> found.height >> found.frames;
    return found;
}

// Frames ffprobe decodes from the video stream; -1 when it reads none.
inline long decodedFrameCount(const std::filesystem::path& file) {
    long frames = -1;
    std::istringstream(commandOutput("ffprobe -v error -count_frames -select_streams v:0 "
                                     "-show_entries stream=nb_read_frames -of csv=p=0 " +
                                     quoted(file))) >>
        frames;
    return frames;
}

// Calls back with every frame ffmpeg decodes, as top-down blue-green-red rows.
template <typename PerFrame>
long decodeFrames(const std::filesystem::path& file, PerFrame perFrame, int width = 352,
                  int height = 288) {
    const std::string command =
        "ffmpeg -v error -i " + quoted(file) + " -f rawvideo -pix_fmt bgr24 -";
    const Pipe pipe(popen(command.c_str(), "r"), pclose);
    std::vector<std::uint8_t> frame(static_cast<std::size_t>(width) * height * 3);
    long count = 0;
    while (pipe && std::fread(frame.data(), 1, frame.size(), pipe.get()) == frame.size())
        perFrame(count++, frame);
    return count;
}

// The literal header values, as the recordings' reader reads them; all 0 for a file it
// does not take for an AVI.
struct Headers {
    std::uint32_t microSecPerFrame, avihTotalFrames, handler, scale, rate, length,
        suggestedBufferSize;
    // left | top << 16, right | bottom << 16
    std::array<std::uint32_t, 2> frame;
    std::uint32_t width, height, bitCount, compression, indxEntries;
    std::uint32_t indxFrames = 0;
    std::uint32_t dmlhTotalFrames;
};

inline std::optional<video::AviContents> readContents(const std::filesystem::path& file) {
    const auto folder = file.has_parent_path() ? file.parent_path() : ".";
    const auto opened = platform::ReadOnlyFile::openIn(folder, file.filename());
    if (!opened.isOpen())
        return std::nullopt;
    return video::readAviContents(opened);
}

inline Headers readHeaders(const std::filesystem::path& file) {
    const video::AviHeaders h = readContents(file).value_or(video::AviContents{}).headers;
    return {.microSecPerFrame = h.microsecondsPerFrame,
            .avihTotalFrames = h.mainTotalFrames.value_or(0),
            .handler = h.handler,
            .scale = h.scale,
            .rate = h.rate,
            .length = h.length,
            .suggestedBufferSize = h.suggestedBufferSize,
            .frame = h.frame,
            .width = h.width,
            .height = h.height,
            .bitCount = h.bitCount,
            .compression = h.compression,
            .indxEntries = h.indexEntries,
            .indxFrames = static_cast<std::uint32_t>(h.indexedFrames),
            .dmlhTotalFrames = h.odmlTotalFrames.value_or(0)};
}

inline std::vector<std::uint8_t> fileBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Runs body in a child process whose files cannot grow past limit bytes, as on a full disk;
// returns the child's exit code (body's result), or -1 when it did not exit.
template <typename Body> int runWithFileLimit(std::uint64_t limit, Body body) {
    const pid_t child = fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit fileLimit{limit, limit};
        setrlimit(RLIMIT_FSIZE, &fileLimit);
        _exit(body());
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

} // namespace video_test
