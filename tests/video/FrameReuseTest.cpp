#include "platform/Capture.h"
#include "platform/TestPattern.h"
#include "tests/video/PictureRows.h"
#include "video/FrameSurface.h"
#include "video/PicturePanel.h"

#include <QWidget>

#include <opencv2/core.hpp>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

const cv::Size large(1280, 720);

bool same(const cv::Mat& a, const cv::Mat& b) {
    return a.size() == b.size() && a.type() == b.type() && cv::norm(a, b, cv::NORM_INF) == 0;
}

QImage rowsImage(const std::vector<std::uint8_t>& rows, cv::Size size) {
    return QImage(rows.data(), size.width, size.height, size.width * 3, QImage::Format_BGR888);
}

} // namespace

// Each frame is drawn into the last one's memory, unless a holder still has that frame: then
// the holder's copy stays as it was.
TEST(FrameReuse, TheLastFrameIsDrawnOverOnlyWhenNothingElseHoldsIt) {
    const cv::Mat first = platform::TestPattern::picture(0, large);
    const cv::Mat second = platform::TestPattern::picture(1, large);
    for (const bool held : {false, true}) {
        SCOPED_TRACE(held ? "held" : "not held");
        platform::TestPattern pattern(large, platform::TestPattern::fastestRate);
        ASSERT_TRUE(pattern.open());
        cv::Mat frame;
        ASSERT_TRUE(pattern.read(frame));
        const uchar* memory = frame.data;
        const cv::Mat holder = held ? frame : cv::Mat();
        ASSERT_TRUE(pattern.read(frame));
        EXPECT_TRUE(same(frame, second));
        EXPECT_EQ(frame.data == memory, !held);
        if (held) {
            EXPECT_TRUE(same(holder, first));
        }

        cv::Mat flipped;
        cv::flip(first, flipped, 0);
        cv::Mat spare = platform::toDeliveredLayout(second, platform::PictureSize::Own);
        const uchar* spareMemory = spare.data;
        const cv::Mat spareHolder = held ? spare : cv::Mat();
        const cv::Mat delivered =
            platform::toDeliveredLayout(first, platform::PictureSize::Own, std::move(spare));
        EXPECT_TRUE(same(delivered, flipped));
        EXPECT_EQ(delivered.data == spareMemory, !held);
        if (held) {
            cv::Mat secondFlipped;
            cv::flip(second, secondFlipped, 0);
            EXPECT_TRUE(same(spareHolder, secondFlipped));
        }
    }
}

TEST(FrameReuse, ThePanelKeepsEachFullPictureAndAHeldOneStaysAsItWas) {
    QWidget widget;
    widget.resize(352, 288);
    video::PicturePanel panel(widget);
    const cv::Mat first = platform::TestPattern::picture(0, large);
    const cv::Mat second = platform::TestPattern::picture(1, large);
    const std::vector<std::uint8_t> firstRows = deliveredRows(first);
    const std::vector<std::uint8_t> secondRows = deliveredRows(second);

    panel.showRows(firstRows.data(), large.width, large.height);
    const QImage held = panel.picture();
    panel.showRows(secondRows.data(), large.width, large.height);
    EXPECT_EQ(held, uprightImage(first));
    EXPECT_EQ(panel.picture(), uprightImage(second));

    QImage into;
    video::copyUpright(rowsImage(firstRows, large), into);
    const uchar* memory = into.constBits();
    video::copyUpright(rowsImage(secondRows, large), into);
    EXPECT_EQ(into.constBits(), memory);
    EXPECT_EQ(into, uprightImage(second));
}

TEST(FrameReuse, ScaledPicturesAreUprightAveragedWhenShrunkAndPickedWhenNearest) {
    // Upright: white top half, black bottom half, in columns alternately white and black on
    // the left.
    cv::Mat upright(40, 80, CV_8UC3, cv::Scalar(0, 0, 0));
    upright(cv::Rect(0, 0, 80, 20)).setTo(cv::Scalar(255, 255, 255));
    for (int x = 0; x < 20; x += 2)
        upright(cv::Rect(x, 20, 1, 20)).setTo(cv::Scalar(255, 255, 255));
    const std::vector<std::uint8_t> rows = deliveredRows(upright);
    const QImage view = rowsImage(rows, upright.size());

    const QImage half = video::scaledUpright(view, {40, 20});
    ASSERT_EQ(half.size(), QSize(40, 20));
    EXPECT_EQ(half.pixelColor(20, 2), QColor(255, 255, 255)) << "top stays on top";
    EXPECT_EQ(half.pixelColor(30, 17), QColor(0, 0, 0));
    EXPECT_NEAR(half.pixelColor(4, 17).red(), 128, 2) << "columns averaged, not picked";

    const QImage grown = video::scaledUpright(view, {160, 80});
    ASSERT_EQ(grown.size(), QSize(160, 80));
    EXPECT_EQ(grown.pixelColor(80, 5), QColor(255, 255, 255));
    EXPECT_EQ(grown.pixelColor(120, 75), QColor(0, 0, 0));

    // Picked, not averaged: stretched by 5/4 every pixel is one of the source's.
    const QImage stretched = video::scaledUpright(view, {100, 50}, video::Scaling::Nearest);
    ASSERT_EQ(stretched.size(), QSize(100, 50));
    EXPECT_EQ(stretched.pixelColor(50, 3), QColor(255, 255, 255)) << "top stays on top";
    for (int x = 0; x < 25; ++x) {
        const QColor picked = stretched.pixelColor(x, 40);
        EXPECT_TRUE(picked == QColor(255, 255, 255) || picked == QColor(0, 0, 0)) << x;
    }
    EXPECT_EQ(video::scaledUpright(view, {1, 1}, video::Scaling::Nearest).size(), QSize(1, 1));

    EXPECT_TRUE(video::scaledUpright(view, {}).isNull());
    EXPECT_TRUE(video::scaledUpright(QImage(), {10, 10}).isNull());
    EXPECT_EQ(video::scaledUpright(view, {1, 1}).size(), QSize(1, 1));
}
