#include "platform/TestPattern.h"
#include "tests/support/WorkingFolder.h"
#include "tests/video/PictureRows.h"
#include "video/BitmapFile.h"
#include "video/FramePipeline.h"
#include "video/PicturePanel.h"

#include <QApplication>
#include <QFile>
#include <QTest>
#include <QWidget>

#include <opencv2/core.hpp>

#include <gtest/gtest.h>

#include <vector>

namespace {

std::uint32_t field32(const QByteArray& bytes, int at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | static_cast<std::uint8_t>(bytes[at + i]);
    return value;
}

struct OwnSize : ::testing::Test, video::FrameSink {
    video::FrameSurface surface;
    video::FramePipeline pipeline{surface, *this, {}, QApplication::font()};
    std::vector<video::DibSection> recorded;
    QImage result;

    OwnSize() {
        pipeline.setResultHandler([this](const QImage& shown) { result = shown; });
    }
    void addFrame(const video::DibSection& frame) override { recorded.push_back(frame); }
    void feed(const cv::Mat& upright) {
        const std::vector<std::uint8_t> rows = deliveredRows(upright);
        pipeline.FrameCallback(rows.data(), upright.cols, upright.rows);
    }
    QSize surfaceSize() {
        auto lock = surface.lock();
        return {surface.width(), surface.height()};
    }
    QByteArray still(const QString& name) {
        video::DibSection picture;
        std::vector<std::uint8_t> bytes;
        {
            auto lock = surface.lock();
            picture = surface.dib();
            bytes.assign(picture.bits, picture.bits + picture.imageSize);
        }
        picture.bits = bytes.data();
        EXPECT_EQ(video::WriteBitmapFile(&picture, name.toStdString()), platform::DiskError::None);
        QFile file(name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

} // namespace

TEST_F(OwnSize, TheSurfaceStillsAndRecordingsTakeTheSourcesSizeOnlyWhenAskedTo) {
    testing_support::WorkingFolder folder;
    // Each case starts from a surface of another size, left by the frame before it.
    const struct {
        bool ownSize;
        cv::Size before;
        cv::Size source;
        bool taken;
        QSize surface;
        qint64 fileBytes;
    } cases[] = {
        {false, {352, 288}, {352, 288}, true, {352, 288}, 304182},
        {false, {352, 288}, {1280, 720}, false, {352, 288}, 304182},
        {true, {352, 288}, {1280, 720}, true, {1280, 720}, 54 + 1280 * 3 * 720},
        {true, {352, 288}, {1920, 1080}, true, {1920, 1080}, 54 + 1920 * 3 * 1080},
        {true, {18, 16}, {1922, 1080}, false, {18, 16}, 54 + 56 * 16},
        {true, {352, 288}, {18, 16}, true, {18, 16}, 54 + 56 * 16},
        {true, {18, 16}, {352, 288}, true, {352, 288}, 304182},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.source) + (c.ownSize ? " own" : " standard"));
        pipeline.controls.OwnSize = c.ownSize;
        pipeline.controls.Recording = true;
        feed(platform::TestPattern::picture(1, c.before));
        recorded.clear();
        feed(platform::TestPattern::picture(3, c.source));
        EXPECT_EQ(surfaceSize(), c.surface);
        if (c.taken) {
            ASSERT_EQ(recorded.size(), 1u);
            EXPECT_EQ(QSize(recorded.back().width, recorded.back().height), c.surface);
        } else {
            EXPECT_TRUE(recorded.empty());
        }
        const QByteArray file = still(folder.path("foto.bmp"));
        ASSERT_EQ(file.size(), c.fileBytes);
        EXPECT_EQ(field32(file, 2), c.fileBytes);
        EXPECT_EQ(field32(file, 18), std::uint32_t(c.surface.width()));
        EXPECT_EQ(field32(file, 22), std::uint32_t(c.surface.height()));
        EXPECT_EQ(field32(file, 34), c.fileBytes - 54);
        if (c.taken) {
            // Row by row as it came: the padding of each surface row is the surface's own.
            const QImage upright = surface.picture();
            EXPECT_EQ(upright, uprightImage(platform::TestPattern::picture(3, c.source))
                                   .convertToFormat(upright.format()));
        }
    }
}

TEST_F(OwnSize, TheResultIsStretchedAtTheStandardSizeAndFittedAtItsOwn) {
    const struct {
        bool ownSize;
        cv::Size source;
        QSize result;
    } cases[] = {
        {false, {352, 288}, {400, 300}}, {true, {352, 288}, {367, 300}},
        {true, {1280, 720}, {400, 225}}, {true, {16, 1080}, {4, 300}},
        {true, {1920, 16}, {400, 3}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.source));
        pipeline.controls.OwnSize = c.ownSize;
        feed(platform::TestPattern::picture(0, c.source));
        EXPECT_EQ(result.size(), c.result);
    }
}

namespace {

// The height of the rows the text's dark pixels take on a grey picture.
int textHeight(video::FramePipeline& pipeline, video::FrameSurface& surface, cv::Size size) {
    const cv::Mat grey(size, CV_8UC3, cv::Scalar(128, 128, 128));
    const std::vector<std::uint8_t> rows = deliveredRows(grey);
    pipeline.FrameCallback(rows.data(), size.width, size.height);
    auto lock = surface.lock();
    const QImage picture = surface.picture();
    int top = picture.height();
    int bottom = -1;
    for (int y = 0; y < picture.height() / 4; ++y)
        for (int x = 0; x < picture.width() / 3; ++x)
            if (picture.pixelColor(x, y) == QColor(25, 25, 25)) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    return bottom - top + 1;
}

} // namespace

TEST_F(OwnSize, OverlayTextGrowsWithThePictureHeight) {
    pipeline.controls.OwnSize = true;
    pipeline.controls.ShowFps = true;
    pipeline.FpsText.set(QStringLiteral("FPS: 25"));
    const int standard = textHeight(pipeline, surface, {352, 288});
    ASSERT_GT(standard, 4);
    for (const cv::Size size : {cv::Size(720, 576), cv::Size(1280, 720), cv::Size(1920, 1080)}) {
        SCOPED_TRACE(testing::PrintToString(size));
        const double expected = standard * size.height / 288.0;
        EXPECT_NEAR(textHeight(pipeline, surface, size), expected, expected * 0.2);
    }
    EXPECT_EQ(textHeight(pipeline, surface, {352, 288}), standard);
}

namespace {

struct Measured {
    QRect picture;
    QRect square;
};

// What a panel of the given size paints: where the picture is (anything not black) and
// where the test pattern's orange square is.
Measured paintedPanel(QSize panelSize, const QImage& picture) {
    QWidget panel;
    panel.setFixedSize(panelSize);
    video::PicturePanel shown(panel);
    panel.show();
    shown.show(picture);
    QCoreApplication::processEvents();
    const QImage painted = panel.grab().toImage();
    Measured measured;
    for (int y = 0; y < painted.height(); ++y)
        for (int x = 0; x < painted.width(); ++x) {
            const QColor colour = painted.pixelColor(x, y);
            if (colour != Qt::black)
                measured.picture |= QRect(x, y, 1, 1);
            if (colour.red() > 220 && colour.green() > 100 && colour.green() < 160 &&
                colour.blue() < 40)
                measured.square |= QRect(x, y, 1, 1);
        }
    return measured;
}

} // namespace

TEST_F(OwnSize, PanelsLetterboxThePictureAndTheSquareStaysSquare) {
    pipeline.controls.OwnSize = true;
    const cv::Mat pattern = platform::TestPattern::picture(40, {1280, 720});
    feed(pattern);
    const struct {
        const char* panel;
        QSize size;
        QImage picture;
        QRect expected;
    } cases[] = {
        {"live", {352, 288}, uprightImage(pattern), {0, 45, 352, 198}},
        {"result", {400, 300}, result, {0, 37, 400, 225}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.panel);
        const Measured measured = paintedPanel(c.size, c.picture);
        EXPECT_NEAR(measured.picture.top(), c.expected.top(), 1) << "band above";
        EXPECT_NEAR(measured.picture.bottom(), c.expected.bottom(), 1) << "band below";
        EXPECT_EQ(measured.picture.width(), c.expected.width());
        ASSERT_FALSE(measured.square.isEmpty());
        const double side = 120.0 * c.expected.height() / 720;
        EXPECT_NEAR(measured.square.width(), side, 2);
        EXPECT_NEAR(measured.square.height(), side, 2);
    }
    QImage filling(352, 288, QImage::Format_RGB32);
    filling.fill(Qt::darkCyan);
    const Measured standard = paintedPanel({352, 288}, filling);
    EXPECT_EQ(standard.picture.height(), 288) << "a picture of the panel's size fills it";
}
