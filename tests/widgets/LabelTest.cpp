#include "widgets/Vrlabel.h"

#include "tests/support/WidgetImage.h"

#include <gtest/gtest.h>

namespace {

QRgb Rgb(TColor color) {
    return ColorToQColor(color).rgb();
}

bool IsInk(QRgb pixel) {
    return qGray(pixel) < 160;
}

// The box around every pixel that is not the background.
QRect InkBounds(const QImage& image, QRgb background) {
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != background)
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

// A plain black caption on white, placed at the top left.
class PlainLabel : public ::testing::Test {
protected:
    void SetUp() override {
        label.SetColor(clWhite);
        label.SetFontColor(clBlack);
        label.SetStyle(TVrLabelStyle::lsNone);
        label.SetAlignment(TAlignment::taLeftJustify);
        label.SetLayout(TTextLayout::tlTop);
        label.resize(200, 200);
    }

    TVrLabel label;
};

} // namespace

TEST_F(PlainLabel, AutoSizeFitsTheTextWithTwoPixelsAround) {
    label.SetCaption(QStringLiteral("Grabación"));
    const QSize text = TextExtent(label.font(), label.Caption());
    label.SetAutoSize(true);
    EXPECT_EQ(label.size(), text + QSize(4, 4));
    EXPECT_EQ(label.TextOrigin(), QPoint(2, 2));

    label.SetAngle(90);
    EXPECT_EQ(label.size(), QSize(text.height() + 4, text.width() + 4));
    label.SetCaption(QStringLiteral("Grabación en curso"));
    EXPECT_EQ(label.height(), TextWidth(label.font(), label.Caption()) + 4);
}

TEST_F(PlainLabel, QuarterTurnReadsUpwardsFromTheBottomLeft) {
    label.SetCaption(QStringLiteral(".WWWW"));
    label.SetAngle(90);
    const QSize text = TextExtent(label.font(), label.Caption());
    EXPECT_EQ(label.TextOrigin(), QPoint(2, text.width() + 2));

    const QImage image = testing_support::paintWidget(label);
    const QRect ink = InkBounds(image, Rgb(clWhite));
    EXPECT_GE(ink.left(), 2);
    EXPECT_LE(ink.right(), 2 + text.height());
    EXPECT_GE(ink.top(), 2);
    EXPECT_LE(ink.bottom(), text.width() + 2);
    // The full stop comes first, at the bottom; the wide letters stand above it.
    const int dot = TextWidth(label.font(), QStringLiteral("."));
    int bottomInk = 0;
    int topInk = 0;
    for (int x = 0; x < image.width(); ++x) {
        for (int y = text.width() + 2 - dot; y <= text.width() + 2; ++y)
            bottomInk += IsInk(image.pixel(x, y));
        for (int y = 2; y <= 2 + dot; ++y)
            topInk += IsInk(image.pixel(x, y));
    }
    EXPECT_GT(topInk, 2 * bottomInk);
}

TEST_F(PlainLabel, AnglesWrapIntoOneTurn) {
    label.SetAngle(450);
    EXPECT_EQ(label.Angle(), 90);
    label.SetAngle(-90);
    EXPECT_EQ(label.Angle(), 270);
}

TEST_F(PlainLabel, EmptyCaptionDrawsOnlyTheBackground) {
    label.SetStyle(TVrLabelStyle::lsRaised);
    EXPECT_TRUE(InkBounds(testing_support::paintWidget(label), Rgb(clWhite)).isNull());
}

TEST_F(PlainLabel, PlacementFollowsAlignmentAndLayout) {
    label.SetCaption(QStringLiteral("Luces"));
    const QSize text = TextExtent(label.font(), label.Caption());
    label.SetAlignment(TAlignment::taRightJustify);
    label.SetLayout(TTextLayout::tlBottom);
    EXPECT_EQ(label.TextOrigin(), QPoint(200 - text.width() - 2, 200 - text.height() - 2));
    label.SetAlignment(TAlignment::taCenter);
    label.SetLayout(TTextLayout::tlCenter);
    EXPECT_EQ(label.TextOrigin(), QPoint((200 - text.width()) / 2, (200 - text.height()) / 2));
}

TEST_F(PlainLabel, ReliefCopiesSurroundTheText) {
    label.SetCaption(QStringLiteral("Motores"));
    label.SetStyle(TVrLabelStyle::lsRaised);
    label.SetColorHighlight(clRed);
    label.SetColorShadow(clBlue);
    QImage image = testing_support::paintWidget(label);
    const QRect red = InkBounds(image, Rgb(clWhite)).intersected(QRect(0, 0, 200, 200));
    bool sawRed = false;
    bool sawBlue = false;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x) {
            sawRed = sawRed || image.pixel(x, y) == Rgb(clRed);
            sawBlue = sawBlue || image.pixel(x, y) == Rgb(clBlue);
        }
    EXPECT_TRUE(sawRed);
    EXPECT_TRUE(sawBlue);
    EXPECT_FALSE(red.isNull());
}

TEST_F(PlainLabel, RaisedReliefHasItsShadowBelowRightAndItsHighlightAboveLeft) {
    QFont exact = label.font();
    exact.setStyleStrategy(QFont::NoAntialias);
    label.setFont(exact);
    label.SetCaption(QStringLiteral("Grabación"));
    label.SetStyle(TVrLabelStyle::lsRaised);
    label.SetColorHighlight(clRed);
    label.SetColorShadow(clBlue);
    const QImage image = testing_support::paintWidget(label);
    const auto boundsOf = [&](TColor color) {
        QRect bounds;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixel(x, y) == Rgb(color))
                    bounds |= QRect(x, y, 1, 1);
        return bounds;
    };
    const QRect ink = InkBounds(image, Rgb(clWhite));
    ASSERT_FALSE(ink.isNull());
    // Each copy sticks out one pixel beyond the other two on its own side only.
    EXPECT_EQ(boundsOf(clBlue).bottomRight(), ink.bottomRight());
    EXPECT_EQ(boundsOf(clRed).topLeft(), ink.topLeft());
    EXPECT_GT(boundsOf(clBlue).top(), ink.top());
    EXPECT_LT(boundsOf(clRed).bottom(), ink.bottom());
}

TEST_F(PlainLabel, TextureShowsOnlyInsideTheLetters) {
    label.SetCaption(QStringLiteral("MMM"));
    const QRect letters = InkBounds(testing_support::paintWidget(label), Rgb(clWhite));
    QImage texture(4, 4, QImage::Format_RGB32);
    texture.fill(qRgb(0, 200, 0));
    label.SetBitmap(texture);
    const QImage image = testing_support::paintWidget(label);
    int textured = 0;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x) {
            const QColor pixel(image.pixel(x, y));
            if (pixel.green() > 150 && pixel.red() < 50) {
                ++textured;
                ASSERT_TRUE(letters.contains(x, y)) << x << "," << y;
            }
        }
    EXPECT_GT(textured, 20);
}
