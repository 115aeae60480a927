#include "tests/support/HexBytes.h"
#include "video/FramePipeline.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <tuple>
#include <vector>

using video::frameBytes;
using video::frameHeight;
using video::frameWidth;

namespace {

using Pixels = std::set<std::pair<int, int>>;

std::vector<std::uint8_t> uniformFrame(std::uint8_t blue, std::uint8_t green, std::uint8_t red) {
    std::vector<std::uint8_t> frame(frameBytes);
    for (std::size_t i = 0; i < frame.size(); i += 3)
        std::tie(frame[i], frame[i + 1], frame[i + 2]) = std::tuple(blue, green, red);
    return frame;
}

// The pixels the platform's text drawing sets on the frame surface for a text whose cell
// starts at the given point, drawn without antialiasing so each pixel is the pen's colour or
// untouched.
Pixels glyphs(const QString& text, QPoint at) {
    QFont font = QApplication::font();
    font.setStyleStrategy(QFont::NoAntialias);
    QImage rows(frameWidth, frameHeight, QImage::Format_BGR888);
    rows.fill(Qt::white);
    {
        QPainter painter(&rows);
        painter.setTransform(video::FrameSurface::uprightTransform());
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(at + QPoint(0, QFontMetrics(font).ascent()), text);
    }
    const QImage picture = rows.mirrored(false, true);
    Pixels set;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (picture.pixelColor(x, y) == Qt::black)
                set.emplace(x, y);
    return set;
}

struct Pipeline : ::testing::Test, video::FrameSink {
    video::FrameSurface surface;
    std::vector<std::vector<std::uint8_t>> recorded;
    QString temperature = QStringLiteral("25ºC");
    QString humidity = QStringLiteral("50%");
    video::FramePipeline pipeline{
        surface, *this,
        video::FramePipeline::Texts{[this] { return temperature; }, [this] { return humidity; }},
        QApplication::font()};
    int results = 0;
    QImage lastResult;

    Pipeline() {
        pipeline.setResultHandler([this](const QImage& result) {
            ++results;
            lastResult = result;
        });
    }
    void addFrame(const video::DibSection& frame) override {
        recorded.emplace_back(frame.bits, frame.bits + frame.imageSize);
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
        {"values past the widest are taken at the ends", "ERGB", -40, 300, "0F 91 7E"},
    };
    const std::vector<std::uint8_t> frame = uniformFrame(0x10, 0x90, 0x7F);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string on = c.on;
        pipeline.controls.EffectsOn = on.find('E') != std::string::npos;
        pipeline.controls.ShowRed = on.find('R') != std::string::npos;
        pipeline.controls.ShowGreen = on.find('G') != std::string::npos;
        pipeline.controls.ShowBlue = on.find('B') != std::string::npos;
        pipeline.controls.BalanceValue = c.threshold;
        pipeline.controls.LevelValue = c.level;
        feed(frame);
        const auto pixel = testing_support::hexBytes(c.pixel);
        EXPECT_EQ(surfaceBytes(), uniformFrame(pixel[0], pixel[1], pixel[2]));
    }
}

TEST(Effect, EveryByteAtTheStartValuesAndTheWrapAtBothEnds) {
    for (int byte = 0; byte < 256; ++byte) {
        const auto u = static_cast<std::uint8_t>(byte);
        EXPECT_EQ(video::effectOnByte(u, 128, 128), static_cast<std::uint8_t>(u ^ 0x80));
        EXPECT_EQ(video::effectOnByte(u, 99, 0), u);
    }
    EXPECT_EQ(video::effectOnByte(0, 0, 50), 0);
    EXPECT_EQ(video::effectOnByte(128, 0, 1), 127);
    EXPECT_EQ(video::effectOnByte(255, 0, 10), 245);
}

// The vector pass against the byte rule, for every byte value in every colour, in whole
// blocks and in the tail, with thresholds on both sides of the highest signed byte.
TEST(Effect, APassDoesToEachByteWhatTheByteRuleDoes) {
    constexpr std::size_t pixels = 256 + 5; // 15 bytes past the last whole block
    std::vector<std::uint8_t> source(pixels * 3);
    for (std::size_t i = 0; i < source.size(); ++i)
        source[i] = static_cast<std::uint8_t>(i / 3 + i % 3 * 85);
    std::vector<std::uint8_t> target(source.size());
    for (const int threshold : {-5, 0, 1, 100, 126, 127, 128, 200, 255, 300})
        for (const int level : {0, 1, 77, 255, 256})
            for (int switches = 0; switches < 16; ++switches) {
                const bool channelOn[3] = {(switches & 1) != 0, (switches & 2) != 0,
                                           (switches & 4) != 0};
                const video::EffectSettings settings{switches < 8, channelOn[0], channelOn[1],
                                                     channelOn[2], threshold,    level};
                video::EffectPass(settings).apply(source.data(), target.data(), source.size());
                for (std::size_t i = 0; i < source.size(); ++i) {
                    const bool changes = settings.on && channelOn[i % 3];
                    const auto expected =
                        changes ? video::effectOnByte(source[i], threshold, level) : source[i];
                    ASSERT_EQ(target[i], expected)
                        << "byte " << i << " threshold " << threshold << " level " << level
                        << " switches " << switches;
                }
            }
}

TEST_F(Pipeline, PausedMissingAndOtherSizeFramesAreDroppedUntouched) {
    feed(uniformFrame(1, 2, 3));
    const std::vector<std::uint8_t> before = surfaceBytes();
    pipeline.controls.FramesPaused = true;
    pipeline.controls.Recording = true;
    pipeline.controls.EffectsOn = true;
    feed(uniformFrame(200, 100, 50));
    pipeline.controls.FramesPaused = false;
    pipeline.FrameCallback(uniformFrame(9, 9, 9).data(), 320, 240);
    pipeline.FrameCallback(nullptr, frameWidth, frameHeight);
    EXPECT_EQ(surfaceBytes(), before);
    EXPECT_EQ(std::tuple(int(pipeline.FrameCount), results, recorded.size()), std::tuple(1, 1, 0u));
}

TEST_F(Pipeline, RateTextCountsTheFramesSinceTheLastTickWhetherShownOrNot) {
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

TEST_F(Pipeline, RecordingGetsTheFinishedSurfaceAndTheResultIsStretchedUpright) {
    std::vector<std::uint8_t> frame = uniformFrame(0, 0, 0);
    // The first memory row is the bottom row: make it white.
    std::fill(frame.begin(), frame.begin() + static_cast<long>(video::frameRowSize), 255);
    pipeline.controls.ShowFps = true;
    feed(frame);
    EXPECT_TRUE(recorded.empty());
    pipeline.controls.Recording = true;
    feed(frame);
    ASSERT_EQ(recorded.size(), 1u);
    EXPECT_EQ(recorded[0], surfaceBytes());
    EXPECT_NE(recorded[0], frame) << "with the overlays drawn";
    ASSERT_EQ(lastResult.size(), QSize(video::resultWidth, video::resultHeight));
    EXPECT_EQ(lastResult.pixelColor(200, video::resultHeight - 1), QColor(255, 255, 255));
    EXPECT_EQ(lastResult.pixelColor(200, video::resultHeight / 2), QColor(0, 0, 0));
}

TEST_F(Pipeline, EachTextIsDarkAtItsPlaceAndLightOnePixelDownRightDrawnOverIt) {
    struct Row {
        const char* rule;
        std::atomic<bool> video::PipelineControls::*on;
        QPoint at;
        QColor darkPass, lightPass;
    };
    using C = video::PipelineControls;
    const QColor dark(25, 25, 25), light(250, 250, 255);
    const Row rows[] = {
        {"frame rate at (0, 0)", &C::ShowFps, {0, 0}, dark, light},
        {"temperature at (60, 0)", &C::ShowTemperature, {60, 0}, dark, light},
        {"humidity at (105, 0)", &C::ShowHumidity, {105, 0}, QColor(20, 25, 25), light},
        {"title at (0, H - 16)", &C::ShowTitle, {0, frameHeight - 16}, dark, Qt::white},
    };
    const QString text = QStringLiteral("Tramo 7 ºC");
    const std::vector<std::uint8_t> grey(frameBytes, 128);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.rule);
        for (const QString& shown : {QString(), text}) {
            pipeline.FpsText.set(shown);
            pipeline.TitleText.set(shown);
            temperature = humidity = shown;
            for (const Row& other : rows)
                (pipeline.controls.*other.on) = &other == &row;
            const Pixels lightPixels = glyphs(shown, row.at + QPoint(1, 1));
            Pixels darkPixels = glyphs(shown, row.at);
            std::erase_if(darkPixels, [&](const auto& p) { return lightPixels.count(p) > 0; });
            EXPECT_EQ(darkPixels.size() > 20, !shown.isEmpty());
            feed(grey);
            std::map<QRgb, Pixels> colours;
            {
                auto lock = surface.lock();
                const QImage picture = surface.picture();
                for (int y = 0; y < frameHeight; ++y)
                    for (int x = 0; x < frameWidth; ++x)
                        colours[picture.pixel(x, y)].emplace(x, y);
            }
            EXPECT_EQ(colours[row.darkPass.rgb()], darkPixels);
            EXPECT_EQ(colours[row.lightPass.rgb()], lightPixels);
            EXPECT_EQ(colours[QColor(128, 128, 128).rgb()].size() + darkPixels.size() +
                          lightPixels.size(),
                      std::size_t{frameWidth * frameHeight})
                << "nothing else is drawn, and nothing for an empty text";
        }
    }
    pipeline.controls.ShowTitle = false;
    feed(grey);
    EXPECT_EQ(surfaceBytes(), grey) << "a text with its switch off";
}
