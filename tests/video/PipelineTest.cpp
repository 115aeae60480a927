#include "video/FramePipeline.h"

#include <QApplication>
#include <QRect>

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

// Every byte value in every channel: byte i of the frame holds i mod 256.
std::vector<std::uint8_t> everyValueFrame() {
    std::vector<std::uint8_t> frame(frameBytes);
    for (std::size_t i = 0; i < frame.size(); ++i)
        frame[i] = static_cast<std::uint8_t>(i % 256);
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
    // Where the upright picture differs from a uniform frame of the given colour.
    QRect changedArea(QColor background) {
        QImage picture;
        {
            auto lock = surface.lock();
            picture = surface.picture();
        }
        QRect area;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                if (picture.pixelColor(x, y) != background)
                    area |= QRect(x, y, 1, 1);
        return area;
    }
    bool pictureHas(QColor colour) {
        QImage picture;
        {
            auto lock = surface.lock();
            picture = surface.picture();
        }
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                if (picture.pixelColor(x, y) == colour)
                    return true;
        return false;
    }
};

std::uint8_t expectedEffect(std::uint8_t byte, int threshold, int level) {
    int value = static_cast<std::int8_t>(byte);
    if (value < threshold)
        value -= level;
    else if (value > threshold)
        value += level;
    return static_cast<std::uint8_t>(value);
}

} // namespace

TEST_F(Pipeline, EffectOnEachColourByteFollowsItsOwnSwitch) {
    struct Case {
        const char* name;
        bool effects;
        bool red, green, blue;
        int threshold, level;
    };
    const Case cases[] = {
        {"start values flip the top bit", true, true, true, true, 128, 128},
        {"threshold 0", true, true, true, true, 0, 77},
        {"level 0 changes nothing", true, true, true, true, 40, 0},
        {"all switches off", true, false, false, false, 128, 128},
        {"effects off", false, true, true, true, 128, 128},
        {"Canal Rojo off keeps the red byte", true, false, true, true, 128, 128},
        {"Canal Azul off keeps the blue byte", true, true, true, false, 10, 200},
        {"widest values", true, true, true, true, 255, 255},
    };
    const std::vector<std::uint8_t> frame = everyValueFrame();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        pipeline.controls.EffectsOn = c.effects;
        setSwitches(c.red, c.green, c.blue);
        pipeline.controls.BalanceValue = c.threshold;
        pipeline.controls.LevelValue = c.level;
        feed(frame);
        const std::vector<std::uint8_t> painted = surfaceBytes();
        const std::array<bool, 3> governed{c.effects && c.blue, c.effects && c.green,
                                           c.effects && c.red};
        int mismatches = 0;
        for (std::size_t i = 0; i < frame.size(); ++i) {
            const std::uint8_t expected =
                governed[i % 3] ? expectedEffect(frame[i], c.threshold, c.level) : frame[i];
            mismatches += painted[i] != expected;
        }
        EXPECT_EQ(mismatches, 0);
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

TEST_F(Pipeline, OverlaysAppearOnlyUnderTheirConditionsAndAtTheirPlaces) {
    struct Case {
        const char* name;
        bool fps, temperature, humidity, title;
        QString temperatureText, humidityText, titleText;
        QPoint at; // top-left of the dark pass; (-1, -1) for no overlay
        QColor dark;
        QColor light;
    };
    const QColor dark(25, 25, 25);
    const QColor light(250, 250, 255);
    const Case cases[] = {
        {"frame rate", true, false, false, false, "", "", "", {0, 0}, dark, light},
        {"temperature", false, true, false, false, "25ºC", "", "", {60, 0}, dark, light},
        {"empty temperature", false, true, false, false, "", "", "", {-1, -1}, {}, {}},
        {"humidity", false, false, true, false, "", "50%", "", {105, 0}, QColor(20, 25, 25), light},
        {"empty humidity", false, false, true, false, "", "", "", {-1, -1}, {}, {}},
        {"title",
         false,
         false,
         false,
         true,
         "",
         "",
         "Tramo 7",
         {0, frameHeight - 16},
         dark,
         QColor(255, 255, 255)},
        {"empty title", false, false, false, true, "", "", "", {-1, -1}, {}, {}},
        {"title with its switch off",
         false,
         false,
         false,
         false,
         "",
         "",
         "Tramo 7",
         {-1, -1},
         {},
         {}},
    };
    const QColor grey(128, 128, 128);
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
        const QRect area = changedArea(grey);
        if (c.at.x() < 0) {
            EXPECT_TRUE(area.isNull());
            continue;
        }
        ASSERT_FALSE(area.isNull());
        EXPECT_GE(area.left(), c.at.x());
        EXPECT_LE(area.left(), c.at.x() + 3);
        EXPECT_GE(area.top(), c.at.y());
        EXPECT_LE(area.top(), c.at.y() + 8);
        EXPECT_LE(area.bottom(), c.at.y() + 17);
        EXPECT_TRUE(pictureHas(c.dark));
        EXPECT_TRUE(pictureHas(c.light));
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
