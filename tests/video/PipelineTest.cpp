#include "tests/support/HexBytes.h"
#include "video/FramePipeline.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <array>
#include <tuple>
#include <vector>

using video::frameBytes;
using video::frameHeight;
using video::frameWidth;

namespace {

struct CountingSink : video::FrameSink {
    std::vector<std::vector<std::uint8_t>> frames;
    void addFrame(const video::DibSection& frame) override {
        frames.emplace_back(frame.bits, frame.bits + frame.imageSize);
    }
};

std::vector<std::uint8_t> uniformFrame(std::uint8_t blue, std::uint8_t green, std::uint8_t red) {
    std::vector<std::uint8_t> frame(frameBytes);
    for (std::size_t i = 0; i < frame.size(); i += 3) {
        frame[i] = blue;
        frame[i + 1] = green;
        frame[i + 2] = red;
    }
    return frame;
}

struct Pipeline : ::testing::Test {
    video::FrameSurface surface;
    CountingSink sink;
    QString temperature = QStringLiteral("25ºC");
    QString humidity = QStringLiteral("50%");
    video::FramePipeline pipeline{
        surface, sink,
        video::FramePipeline::Texts{[this] { return temperature; }, [this] { return humidity; }},
        QApplication::font()};
    int results = 0;
    QImage lastResult;

    Pipeline() {
        pipeline.setResultHandler([this](const QImage& result) {
            ++results;
            lastResult = result;
        });
        setSwitches(true, true, true);
    }
    void setSwitches(bool red, bool green, bool blue) {
        pipeline.controls.ShowRed = red;
        pipeline.controls.ShowGreen = green;
        pipeline.controls.ShowBlue = blue;
    }
    void feed(const std::vector<std::uint8_t>& frame) {
        pipeline.FrameCallback(frame.data(), frameWidth, frameHeight);
    }
    std::vector<std::uint8_t> surfaceBytes() {
        auto lock = surface.lock();
        return {surface.bits(), surface.bits() + frameBytes};
    }
};

} // namespace

TEST_F(Pipeline, EffectOnEachColourByteFollowsItsOwnSwitch) {
    struct Case {
        const char* name;
        const char* on; // E effects, R, G and B the colour switches
        int threshold, level;
        // The pixel blue 10, green 90, red 7F (16, -112 and 127 as signed bytes) becomes:
        const char* pixel;
    };
    const Case cases[] = {
        {"start values flip the top bit", "ERGB", 128, 128, "90 10 FF"},
        {"threshold 0: up above, down below, wrapping", "ERGB", 0, 77, "5D 43 CC"},
        {"a byte at the threshold stays", "ERGB", 16, 50, "10 5E B1"},
        {"a byte one over the threshold goes up", "ERGB", 15, 50, "42 5E B1"},
        {"a byte one under the threshold goes down", "ERGB", 17, 50, "DE 5E B1"},
        {"level 0 changes nothing", "ERGB", 40, 0, "10 90 7F"},
        {"all switches off", "E", 128, 128, "10 90 7F"},
        {"effects off", "RGB", 128, 128, "10 90 7F"},
        {"Canal Rojo off keeps the blue byte", "EGB", 128, 128, "10 10 FF"},
        {"Canal Verde off keeps the green byte", "ERB", 128, 128, "90 90 FF"},
        {"Canal Azul off keeps the red byte", "ERG", 10, 200, "D8 C8 7F"},
        {"widest values", "ERGB", 255, 255, "11 91 80"},
    };
    const std::vector<std::uint8_t> frame = uniformFrame(0x10, 0x90, 0x7F);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string on = c.on;
        pipeline.controls.EffectsOn = on.find('E') != std::string::npos;
        setSwitches(on.find('R') != std::string::npos, on.find('G') != std::string::npos,
                    on.find('B') != std::string::npos);
        pipeline.controls.BalanceValue = c.threshold;
        pipeline.controls.LevelValue = c.level;
        feed(frame);
        const auto pixel = testing_support::hexBytes(c.pixel);
        EXPECT_EQ(surfaceBytes(), uniformFrame(pixel[0], pixel[1], pixel[2]));
    }
}

TEST(Effect, EdgeValuesOfTheDescribedCases) {
    for (int byte = 0; byte < 256; ++byte) {
        const auto u = static_cast<std::uint8_t>(byte);
        EXPECT_EQ(video::effectOnByte(u, 128, 128), static_cast<std::uint8_t>(u ^ 0x80));
        EXPECT_EQ(video::effectOnByte(u, 99, 0), u);
    }
    EXPECT_EQ(video::effectOnByte(0, 0, 50), 0);
    EXPECT_EQ(video::effectOnByte(127, 0, 200), static_cast<std::uint8_t>(327 % 256));
    EXPECT_EQ(video::effectOnByte(128, 0, 1), 127);
    EXPECT_EQ(video::effectOnByte(255, 0, 10), 245);
    EXPECT_EQ(video::effectOnByte(5, -40, 300), video::effectOnByte(5, 0, 255));
}

TEST_F(Pipeline, PausedFramesAreDroppedUntouched) {
    feed(uniformFrame(1, 2, 3));
    const std::vector<std::uint8_t> before = surfaceBytes();
    pipeline.controls.FramesPaused = true;
    pipeline.controls.Recording = true;
    pipeline.controls.EffectsOn = true;
    feed(uniformFrame(200, 100, 50));
    EXPECT_EQ(surfaceBytes(), before);
    EXPECT_EQ(std::tuple(int(pipeline.FrameCount), results, sink.frames.size()),
              std::tuple(1, 1, 0u));
}

TEST_F(Pipeline, FramesOfAnotherSizeOrMissingAreDropped) {
    const std::vector<std::uint8_t> frame = uniformFrame(9, 9, 9);
    pipeline.FrameCallback(frame.data(), 320, 240);
    pipeline.FrameCallback(nullptr, frameWidth, frameHeight);
    EXPECT_EQ(pipeline.FrameCount, 0);
    EXPECT_EQ(results, 0);
}

TEST_F(Pipeline, RateTextCountsTheFramesSinceTheLastTick) {
    EXPECT_EQ(pipeline.FpsText.get(), "FPS:");
    const std::vector<std::uint8_t> frame = uniformFrame(0, 0, 0);
    for (int i = 0; i < 25; ++i)
        feed(frame);
    pipeline.TimerFPSTimer();
    EXPECT_EQ(pipeline.FpsText.get(), "FPS: 25");
    EXPECT_EQ(pipeline.FrameCount, 0);
    pipeline.TimerFPSTimer();
    EXPECT_EQ(pipeline.FpsText.get(), "FPS: 0");
}

TEST_F(Pipeline, OverlaysAppearOnlyUnderTheirConditions) {
    struct Case {
        const char* name;
        bool fps, temperature, humidity, title;
        QString temperatureText, humidityText, titleText;
        bool drawn;
    };
    const Case cases[] = {
        {"frame rate before the first tick", true, false, false, false, "", "", "", true},
        {"temperature", false, true, false, false, "25ºC", "", "", true},
        {"empty temperature", false, true, false, false, "", "", "", false},
        {"humidity", false, false, true, false, "", "50%", "", true},
        {"empty humidity", false, false, true, false, "", "", "", false},
        {"title", false, false, false, true, "", "", "Tramo 7", true},
        {"empty title", false, false, false, true, "", "", "", false},
        {"title with its switch off", false, false, false, false, "25ºC", "50%", "Tramo 7", false},
    };
    const std::vector<std::uint8_t> frame = uniformFrame(128, 128, 128);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        pipeline.controls.ShowFps = c.fps;
        pipeline.controls.ShowTemperature = c.temperature;
        pipeline.controls.ShowHumidity = c.humidity;
        pipeline.controls.ShowTitle = c.title;
        temperature = c.temperatureText;
        humidity = c.humidityText;
        pipeline.TitleText.set(c.titleText);
        feed(frame);
        EXPECT_EQ(surfaceBytes() != frame, c.drawn);
    }
}

TEST_F(Pipeline, RecordingGetsTheFinishedSurfaceAndTheResultIsStretchedUpright) {
    std::vector<std::uint8_t> frame = uniformFrame(0, 0, 0);
    // The first memory row is the bottom row: make it white.
    std::fill(frame.begin(), frame.begin() + static_cast<long>(video::frameRowSize), 255);
    pipeline.controls.ShowFps = true;
    feed(frame);
    EXPECT_TRUE(sink.frames.empty());
    pipeline.controls.Recording = true;
    feed(frame);
    ASSERT_EQ(sink.frames.size(), 1u);
    EXPECT_EQ(sink.frames[0], surfaceBytes());
    ASSERT_EQ(lastResult.size(), QSize(video::resultWidth, video::resultHeight));
    EXPECT_EQ(lastResult.pixelColor(200, video::resultHeight - 1), QColor(255, 255, 255));
    EXPECT_EQ(lastResult.pixelColor(200, video::resultHeight / 2), QColor(0, 0, 0));
}
