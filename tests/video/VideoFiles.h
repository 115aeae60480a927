#pragma once

#include "video/Dib.h"

#include <QTemporaryDir>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace video_test {

constexpr int surfaceWidth = 352;
constexpr int surfaceHeight = 288;

// A 24-bit bottom-up picture whose bytes tell frames and rows apart; its first four bytes
// carry the frame number.
struct TestFrame {
    int width;
    int height;
    std::vector<std::uint8_t> pixels;

    explicit TestFrame(std::uint32_t number, int w = surfaceWidth, int h = surfaceHeight)
        : width(w), height(h), pixels(video::dibRowSize(w, 24) * static_cast<std::size_t>(h)) {
        for (std::size_t i = 0; i < pixels.size(); ++i)
            pixels[i] = static_cast<std::uint8_t>(i / 3 + i % 3 * 85 + number * 7);
        std::memcpy(pixels.data(), &number, sizeof number);
    }

    // A grey picture, dark at the bottom and bright at the top, that JPEG keeps closely.
    static TestFrame smooth(std::uint32_t number) {
        TestFrame frame(number);
        const std::size_t row = video::dibRowSize(frame.width, 24);
        for (int y = 0; y < frame.height; ++y)
            for (std::size_t x = 0; x < row; ++x)
                frame.pixels[y * row + x] =
                    static_cast<std::uint8_t>(y * 200 / frame.height + x / 3 * 50 / frame.width);
        return frame;
    }

    video::DibSection dib() const {
        video::DibSection dib;
        dib.width = width;
        dib.height = height;
        dib.bits = pixels.data();
        dib.imageSize = pixels.size();
        return dib;
    }
};

inline std::string quoted(const std::filesystem::path& path) {
    return "'" + path.string() + "'";
}

inline std::string commandOutput(const std::string& command) {
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    std::string output;
    std::array<char, 4096> buffer{};
    while (pipe) {
        const auto count = std::fread(buffer.data(), 1, buffer.size(), pipe.get());
        if (count == 0)
            break;
        output.append(buffer.data(), count);
    }
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
    const auto text =
        commandOutput("ffprobe -v error -select_streams v:0 -count_packets -show_entries "
                      "stream=codec_name,width,height,nb_read_packets -of default=nw=1 " +
                      quoted(file));
    Probe result;
    auto value = [&text](const std::string& key) -> std::optional<std::string> {
        const auto at = text.find(key + "=");
        if (at == std::string::npos)
            return std::nullopt;
        const auto start = at + key.size() + 1;
        return text.substr(start, text.find('\n', start) - start);
    };
    result.codec = value("codec_name").value_or("");
    result.width = std::stoi(value("width").value_or("0"));
    result.height = std::stoi(value("height").value_or("0"));
    result.frames = std::stol(value("nb_read_packets").value_or("-1"));
    return result;
}

// Calls back with every frame ffmpeg decodes, as top-down blue-green-red rows.
template <typename PerFrame>
long decodeFrames(const std::filesystem::path& file, int width, int height, PerFrame perFrame) {
    const std::string command =
        "ffmpeg -v error -i " + quoted(file) + " -f rawvideo -pix_fmt bgr24 -";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    std::vector<std::uint8_t> frame(static_cast<std::size_t>(width) * height * 3);
    long count = 0;
    while (pipe && std::fread(frame.data(), 1, frame.size(), pipe.get()) == frame.size())
        perFrame(count++, frame);
    return count;
}

// The literal header values, read from the file's bytes.
struct Headers {
    std::uint32_t microSecPerFrame = 0;
    std::uint32_t avihTotalFrames = 0;
    std::uint32_t handler = 0;
    std::uint32_t scale = 0;
    std::uint32_t rate = 0;
    std::uint32_t length = 0;
    std::uint32_t suggestedBufferSize = 0;
    // left, top, right, bottom
    std::array<std::int16_t, 4> frame{};
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint16_t bitCount = 0;
    std::uint32_t compression = 0;
    std::uint32_t indxEntries = 0;
    std::uint64_t indxFrames = 0;
    std::uint32_t dmlhTotalFrames = 0;
};

template <typename Byte> std::uint32_t le32(const std::vector<Byte>& bytes, std::size_t at) {
    std::uint32_t value = 0;
    std::memcpy(&value, bytes.data() + at, 4);
    return value;
}

inline Headers readHeaders(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::vector<char> bytes(64 * 1024);
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    auto chunk = [&bytes](const char* code) {
        const std::string text(bytes.begin(), bytes.end());
        const auto at = text.find(code);
        return at == std::string::npos ? bytes.size() : at + 8;
    };
    Headers h;
    const auto avih = chunk("avih");
    const auto strh = chunk("strh");
    const auto strf = chunk("strf");
    const auto indx = chunk("indx");
    const auto dmlh = chunk("dmlh");
    if (dmlh + 4 > bytes.size() || strf + 40 > bytes.size())
        return h;
    h.microSecPerFrame = le32(bytes, avih);
    h.avihTotalFrames = le32(bytes, avih + 16);
    h.handler = le32(bytes, strh + 4);
    h.scale = le32(bytes, strh + 20);
    h.rate = le32(bytes, strh + 24);
    h.length = le32(bytes, strh + 32);
    h.suggestedBufferSize = le32(bytes, strh + 36);
    std::memcpy(h.frame.data(), bytes.data() + strh + 48, sizeof h.frame);
    h.width = static_cast<std::int32_t>(le32(bytes, strf + 4));
    h.height = static_cast<std::int32_t>(le32(bytes, strf + 8));
    h.bitCount = static_cast<std::uint16_t>(le32(bytes, strf + 14));
    h.compression = le32(bytes, strf + 16);
    h.indxEntries = le32(bytes, indx + 4);
    for (std::uint32_t i = 0; i < h.indxEntries; ++i)
        h.indxFrames += le32(bytes, indx + 24 + 16 * i + 12);
    h.dmlhTotalFrames = le32(bytes, dmlh);
    return h;
}

inline std::vector<std::uint8_t> fileBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

inline std::filesystem::path inDir(const QTemporaryDir& dir, const std::string& name) {
    return std::filesystem::path(dir.path().toStdString()) / name;
}

} // namespace video_test
