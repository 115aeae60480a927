#include "video/FramePipeline.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>

#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <vector>

using video::frameHeight;
using video::frameWidth;

namespace {

using Pixels = std::set<std::pair<int, int>>;

const QColor grey(128, 128, 128);
const QColor dark(25, 25, 25);
const QColor darkHumidity(20, 25, 25);
const QColor light(250, 250, 255);
const QColor white(255, 255, 255);

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

Pixels without(Pixels pixels, const Pixels& covered) {
    for (const auto& pixel : covered)
        pixels.erase(pixel);
    return pixels;
}

struct NoSink : video::FrameSink {
    void addFrame(const video::DibSection&) override {}
};

struct OverlayLayout : ::testing::Test {
    video::FrameSurface surface;
    NoSink sink;
    QString text = QStringLiteral("Tramo 7 ºC");
    video::FramePipeline pipeline{
        surface, sink,
        video::FramePipeline::Texts{[this] { return text; }, [this] { return text; }},
        QApplication::font()};

    // The upright picture of a grey frame, split into the pixels of each colour.
    std::map<QRgb, Pixels> paint() {
        const std::vector<std::uint8_t> frame(video::frameBytes, 128);
        pipeline.FrameCallback(frame.data(), frameWidth, frameHeight);
        QImage picture;
        {
            auto lock = surface.lock();
            picture = surface.picture();
        }
        std::map<QRgb, Pixels> colours;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                colours[picture.pixel(x, y)].emplace(x, y);
        return colours;
    }
};

} // namespace

TEST_F(OverlayLayout, EachTextIsDarkAtItsPlaceAndLightOnePixelDownRightDrawnOverIt) {
    struct Row {
        const char* rule;
        std::atomic<bool> video::PipelineControls::*on;
        QPoint at;
        QColor darkPass, lightPass;
    };
    using C = video::PipelineControls;
    const Row rows[] = {
        {"frame rate at (0, 0)", &C::ShowFps, {0, 0}, dark, light},
        {"temperature at (60, 0)", &C::ShowTemperature, {60, 0}, dark, light},
        {"humidity at (105, 0)", &C::ShowHumidity, {105, 0}, darkHumidity, light},
        {"title at (0, H - 16)", &C::ShowTitle, {0, frameHeight - 16}, dark, white},
    };
    pipeline.FpsText.set(text);
    pipeline.TitleText.set(text);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.rule);
        for (const Row& other : rows)
            (pipeline.controls.*other.on) = &other == &row;
        const Pixels lightPixels = glyphs(text, row.at + QPoint(1, 1));
        const Pixels darkPixels = without(glyphs(text, row.at), lightPixels);
        ASSERT_GT(darkPixels.size(), 20u);
        std::map<QRgb, Pixels> colours = paint();
        EXPECT_EQ(colours[row.darkPass.rgb()], darkPixels);
        EXPECT_EQ(colours[row.lightPass.rgb()], lightPixels);
        EXPECT_EQ(colours[grey.rgb()].size() + darkPixels.size() + lightPixels.size(),
                  std::size_t{frameWidth * frameHeight})
            << "nothing else is drawn";
    }
}
