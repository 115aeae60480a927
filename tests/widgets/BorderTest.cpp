#include "widgets/Vrborder.h"

#include <QApplication>
#include <QEvent>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QRgb Rgb(TColor color) {
    return ColorToQColor(color).rgb();
}

constexpr QRgb Beneath = 0xFFFF00FF;

// The border's own drawing over a magenta ground, without any background fill.
QImage Drawn(QWidget& border) {
    QImage image(border.size(), QImage::Format_RGB32);
    image.fill(Beneath);
    border.render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
    return image;
}

// Whether (x, y) lies on the outline of the rectangle with inclusive corners.
bool OnOutline(int x, int y, int left, int top, int right, int bottom) {
    const bool inside = x >= left && x <= right && y >= top && y <= bottom;
    return inside && (x == left || x == right || y == top || y == bottom);
}

} // namespace

TEST(Border, RaisedFrameIsALimeRectangleOverAGreenOne) {
    TVrBorder border;
    border.resize(41, 53);
    const QImage image = Drawn(border);
    for (int y = 0; y < 53; ++y) {
        for (int x = 0; x < 41; ++x) {
            QRgb expected = Beneath;
            if (OnOutline(x, y, 0, 0, 39, 51))
                expected = Rgb(clLime);
            else if (OnOutline(x, y, 1, 1, 40, 52))
                expected = Rgb(clGreen);
            ASSERT_EQ(image.pixel(x, y), expected) << x << "," << y;
        }
    }
}

TEST(Border, LoweredBoxAndLines) {
    TVrBorder border;
    border.resize(20, 10);
    border.SetStyle(TVrBorderStyle::bsLowered);
    border.SetShape(TVrBorderShape::bsBox);
    QImage image = Drawn(border);
    EXPECT_EQ(image.pixel(0, 9), Rgb(clGreen));
    EXPECT_EQ(image.pixel(0, 0), Rgb(clGreen));
    EXPECT_EQ(image.pixel(19, 0), Rgb(clLime));
    EXPECT_EQ(image.pixel(19, 9), Rgb(clLime));
    EXPECT_EQ(image.pixel(5, 5), Beneath);

    border.SetShape(TVrBorderShape::bsBottomLine);
    image = Drawn(border);
    EXPECT_EQ(image.pixel(0, 8), Rgb(clGreen));
    EXPECT_EQ(image.pixel(19, 9), Rgb(clLime));
    EXPECT_EQ(image.pixel(5, 7), Beneath);

    border.SetShape(TVrBorderShape::bsRightLine);
    border.SetStyle(TVrBorderStyle::bsRaised);
    image = Drawn(border);
    EXPECT_EQ(image.pixel(18, 0), Rgb(clLime));
    EXPECT_EQ(image.pixel(19, 9), Rgb(clGreen));
    EXPECT_EQ(image.pixel(17, 5), Beneath);

    border.SetShape(TVrBorderShape::bsSpacer);
    image = Drawn(border);
    EXPECT_EQ(image.pixel(0, 0), Beneath);
    EXPECT_EQ(image.pixel(19, 9), Beneath);
}

TEST(Border, SettersScheduleARepaintInsteadOfPaintingAtOnce) {
    QWidget panel;
    auto* border = new TVrBorder(&panel);
    panel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
    QApplication::processEvents();
    int paints = 0;
    struct Counter : QObject {
        int& count;
        explicit Counter(int& c) : count(c) {}
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Paint)
                ++count;
            return false;
        }
    } counter(paints);
    border->installEventFilter(&counter);
    border->SetShape(TVrBorderShape::bsTopLine);
    border->SetHighlightColor(clRed);
    EXPECT_EQ(paints, 0);
    QApplication::processEvents();
    EXPECT_EQ(paints, 1);
    border->SetShape(TVrBorderShape::bsTopLine);
    QApplication::processEvents();
    EXPECT_EQ(paints, 1);
}
