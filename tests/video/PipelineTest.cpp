#include "video/FramePipeline.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <array>
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
        bool effects, red, green, blue;
        int threshold, level;
        // The pixel blue 10, green 90, red 7F (16, -112 and 127 as signed bytes) becomes:
        std::array<std::uint8_t, 3> pixel;
    };
    const Case cases[] = {
        {"start values flip the top bit", true, true, true, true, 128, 128, {0x90, 0x10, 0xFF}},
        {"threshold 0: up above, down below, wrapping",
         true,
         true,
         true,
         true,
         0,
         77,
         {0x5D, 0x43, 0xCC}},
        {"a byte at the threshold stays", true, true, true, true, 16, 50, {0x10, 0x5E, 0xB1}},
        {"level 0 changes nothing", true, true, true, true, 40, 0, {0x10, 0x90, 0x7F}},
        {"all switches off", true, false, false, false, 128, 128, {0x10, 0x90, 0x7F}},
        {"effects off", false, true, true, true, 128, 128, {0x10, 0x90, 0x7F}},
        {"Canal Rojo off keeps the blue byte",
         true,
         false,
         true,
         true,
         128,
         128,
         {0x10, 0x10, 0xFF}},
        {"Canal Verde off keeps the green byte",
         true,
         true,
         false,
         true,
         128,
         128,
         {0x90, 0x90, 0xFF}},
        {"Canal Azul off keeps the red byte", true, true, true, false, 10, 200, {0xD8, 0xC8, 0x7F}},
        {"widest values", true, true, true, true, 255, 255, {0x11, 0x91, 0x80}},
    };
    const std::vector<std::uint8_t> frame = uniformFrame(0x10, 0x90, 0x7F);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        pipeline.controls.EffectsOn = c.effects;
        setSwitches(c.red, c.green, c.blue);
        pipeline.controls.BalanceValue = c.threshold;
        pipeline.controls.LevelValue = c.level;
        feed(frame);
        EXPECT_EQ(surfaceBytes(), uniformFrame(c.pixel[0], c.pixel[1], c.pixel[2]));
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
    EXPECT_EQ(pipeline.FrameCount, 1);
    EXPECT_EQ(results, 1);
    EXPECT_TRUE(sink.frames.empty());
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
