#include "video/Mp4Reader.h"
#include "tests/support/WorkingFolder.h"
#include "tests/video/VideoFiles.h"
#include "video/Mp4Writer.h"

#include <gtest/gtest.h>

#include <fstream>

using video_test::decodedFrameCount;
using video_test::fileBytes;
using video_test::TestFrame;

namespace {

std::optional<video::Mp4Contents> readMp4(const std::filesystem::path& file) {
    const auto opened = platform::ReadOnlyFile::openIn(".", file);
    if (!opened.isOpen())
        return std::nullopt;
    return video::readMp4Contents(opened);
}

void record(const std::string& name, int frames, int periodMs, int width = 352, int height = 288) {
    auto writer =
        video::Mp4Writer::open(platform::localDisk().open(name, platform::OpenMode::New), periodMs);
    ASSERT_TRUE(writer);
    for (int n = 0; n < frames; ++n)
        ASSERT_TRUE(writer->addFrame(TestFrame(std::uint32_t(n), width, height).dib()));
    ASSERT_TRUE(writer->close());
    EXPECT_EQ(writer->framesReadable(), std::uint32_t(frames)) << "the writer's own count";
}

void writeBytes(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

std::uint32_t be32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return std::uint32_t(bytes[at]) << 24 | std::uint32_t(bytes[at + 1]) << 16 |
           std::uint32_t(bytes[at + 2]) << 8 | bytes[at + 3];
}

// Where each top-level box starts, and its four-letter name.
std::vector<std::pair<std::size_t, std::string>> topBoxes(const std::vector<std::uint8_t>& file) {
    std::vector<std::pair<std::size_t, std::string>> boxes;
    for (std::size_t at = 0; at + 8 <= file.size(); at += be32(file, at))
        boxes.emplace_back(at,
                           std::string(file.begin() + long(at) + 4, file.begin() + long(at) + 8));
    return boxes;
}

struct Mp4Reading : ::testing::Test {
    testing_support::WorkingFolder folder;
};

} // namespace

TEST_F(Mp4Reading, FramesAndDurationOfWholeFilesAreWhatFfprobeDecodes) {
    struct Case {
        int frames, periodMs, width, height;
    };
    for (const Case c : {Case{1, 100, 352, 288}, Case{25, 100, 352, 288}, Case{31, 33, 352, 288},
                         Case{12, 40, 1280, 720}}) {
        SCOPED_TRACE(c.frames);
        record("v.mp4", c.frames, c.periodMs, c.width, c.height);
        const auto contents = readMp4("v.mp4");
        ASSERT_TRUE(contents);
        EXPECT_EQ(long(contents->frames), decodedFrameCount("v.mp4"));
        EXPECT_EQ(contents->frames, std::uint32_t(c.frames));
        EXPECT_NEAR(contents->seconds().value_or(-1), c.frames * c.periodMs / 1000.0, 0.001);
        std::filesystem::remove("v.mp4");
    }
}

// A file cut off counts the fragments whose 'moof' and 'mdat' are both whole, as a player
// finds them; a file that is no MP4 is unreadable, never a crash or a guess.
TEST_F(Mp4Reading, CutFilesCountWholeFragmentsAndGarbageIsUnreadable) {
    record("v.mp4", 15, 100); // three fragments of 5 frames
    const std::vector<std::uint8_t> whole = fileBytes("v.mp4");
    std::vector<std::size_t> moofs, mdatEnds;
    std::size_t moovStart = 0, moovEnd = 0;
    for (const auto& [at, name] : topBoxes(whole)) {
        if (name == "moov")
            moovStart = at, moovEnd = at + be32(whole, at);
        if (name == "moof")
            moofs.push_back(at);
        if (name == "mdat")
            mdatEnds.push_back(at + be32(whole, at));
    }
    ASSERT_EQ(moofs.size(), 3u);
    ASSERT_EQ(mdatEnds.size(), 3u);
    struct Cut {
        const char* what;
        std::size_t keep;
        std::optional<std::uint32_t> frames;
    };
    for (const Cut cut :
         {Cut{"in the ftyp", 10, std::nullopt}, Cut{"in the moov", moovEnd - 1, std::nullopt},
          Cut{"after the moov", moovEnd, 0}, Cut{"in the first moof", moofs[0] + 20, 0},
          Cut{"one byte short of the first mdat", mdatEnds[0] - 1, 0},
          Cut{"at the end of the first fragment", mdatEnds[0], 5},
          Cut{"one byte into the second", mdatEnds[0] + 1, 5},
          Cut{"one byte short of the second mdat", mdatEnds[1] - 1, 5},
          Cut{"at the end of the second fragment", mdatEnds[1], 10},
          Cut{"one byte short of the last", mdatEnds[2] - 1, 10}}) {
        SCOPED_TRACE(cut.what);
        writeBytes("cut.mp4", {whole.begin(), whole.begin() + long(cut.keep)});
        const auto contents = readMp4("cut.mp4");
        ASSERT_EQ(contents.has_value(), cut.frames.has_value());
        if (!contents)
            continue;
        EXPECT_EQ(contents->frames, *cut.frames);
        EXPECT_NEAR(contents->seconds().value_or(-1), *cut.frames / 10.0, 0.001);
        if (cut.keep == mdatEnds[0] || cut.keep == mdatEnds[1]) {
            EXPECT_EQ(long(contents->frames), decodedFrameCount("cut.mp4"));
        }
    }

    auto garbled = [&](std::size_t at, std::vector<std::uint8_t> bytes) {
        std::vector<std::uint8_t> copy = whole;
        std::copy(bytes.begin(), bytes.end(), copy.begin() + long(at));
        return copy;
    };
    const std::size_t trun = std::size_t(std::search(whole.begin() + long(moofs[1]), whole.end(),
                                                     std::begin("trun"), std::begin("trun") + 4) -
                                         whole.begin());
    struct Garbled {
        const char* what;
        std::vector<std::uint8_t> bytes;
        std::optional<std::uint32_t> frames;
    };
    for (const Garbled& g :
         {Garbled{"empty", {}, std::nullopt},
          Garbled{"noise", std::vector<std::uint8_t>(5000, 0xa7), std::nullopt},
          Garbled{"a box shorter than its header", garbled(0, {0, 0, 0, 4}), std::nullopt},
          Garbled{"no ftyp first", garbled(4, {'f', 'r', 'e', 'e'}), std::nullopt},
          Garbled{"a moov longer than the file", garbled(moovStart, {0x7f, 0xff, 0xff, 0xff}),
                  std::nullopt},
          Garbled{"a second moof longer than the file", garbled(moofs[1], {0x7f, 0, 0, 0}), 5},
          Garbled{"a second run claiming four billion frames",
                  garbled(trun + 8, {0xff, 0xff, 0xff, 0xff}), 5},
          Garbled{"a second run of four billion frames without fields",
                  garbled(trun + 4, {0, 0, 0, 1, 0xff, 0xff, 0xff, 0xff}), 5},
          Garbled{"a second run of its five frames without fields",
                  garbled(trun + 4, {0, 0, 0, 1, 0, 0, 0, 5}), 15},
          Garbled{"a first box of 64-bit size past the end", garbled(0, {0, 0, 0, 1}),
                  std::nullopt}}) {
        SCOPED_TRACE(g.what);
        writeBytes("bad.mp4", g.bytes);
        const auto contents = readMp4("bad.mp4");
        ASSERT_EQ(contents.has_value(), g.frames.has_value());
        if (contents) {
            EXPECT_EQ(contents->frames, *g.frames);
        }
    }
}

// The writer's count, fed in pieces of any size, is the reader's for the same bytes.
TEST_F(Mp4Reading, TheStreamCounterAgreesWithTheReaderWhateverThePieces) {
    record("v.mp4", 15, 100);
    const std::vector<std::uint8_t> whole = fileBytes("v.mp4");
    const std::size_t secondEnd = [&] {
        std::size_t end = 0;
        int mdats = 0;
        for (const auto& [at, name] : topBoxes(whole))
            if (name == "mdat" && ++mdats == 2)
                end = at + be32(whole, at);
        return end;
    }();
    for (const std::size_t piece :
         {std::size_t(1), std::size_t(7), std::size_t(4096), whole.size()})
        for (const auto& [length, frames] :
             {std::pair{whole.size(), 15u}, std::pair{secondEnd, 10u},
              std::pair{secondEnd - 1, 5u}}) {
            SCOPED_TRACE(std::to_string(piece) + " " + std::to_string(length));
            video::Mp4FragmentCounter counter;
            for (std::size_t at = 0; at < length; at += piece)
                counter.feed(std::span(whole).subspan(at, std::min(piece, length - at)));
            EXPECT_EQ(counter.frames(), frames);
        }
    video::Mp4FragmentCounter lost;
    lost.feed(std::vector<std::uint8_t>{0, 0, 0, 3, 'f', 'r', 'e', 'e'});
    lost.feed(std::span(whole));
    EXPECT_EQ(lost.frames(), 0u) << "a stream it cannot follow counts nothing more";
}
