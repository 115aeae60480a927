#include "widgets/Vrclasses.h"
#include "widgets/Vrsysutils.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <functional>
#include <limits>

namespace {

constexpr QRgb Background = 0xFFFF00FF;

QImage BlankImage(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Background);
    return image;
}

void PaintOn(QImage& image, const std::function<void(QPainter&)>& draw) {
    QPainter canvas(&image);
    PrepareCanvas(canvas);
    draw(canvas);
}

QRgb Rgb(TColor color) {
    return ColorToQColor(color).rgb();
}

bool Contains(const QImage& image, QRgb color) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == color)
                return true;
    return false;
}

QFont TestFont() {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(16);
    font.setBold(true);
    return font;
}

} // namespace

TEST(Colours, ResolveSystemAndPlainValues) {
    EXPECT_EQ(ColorToQColor(clRed), QColor(255, 0, 0));
    EXPECT_EQ(ColorToQColor(0xFF0000), QColor(0, 0, 255));
    EXPECT_EQ(ColorToRGB(clBtnFace), 0xC0C0C0u);
    EXPECT_EQ(ColorToRGB(clBtnShadow), 0x808080u);
    EXPECT_EQ(ColorToRGB(clBtnHighlight), 0xFFFFFFu);
    EXPECT_EQ(ColorToRGB(clWindow), 0xFFFFFFu);
    EXPECT_EQ(ColorToRGB(clInactiveCaption), 0x808080u);
    EXPECT_EQ(ColorToRGB(SystemColorFlag | 200), clBlack);
    EXPECT_EQ(ColorToQColor(clNone).alpha(), 0);
    EXPECT_EQ(QColorToColor(QColor(1, 2, 3)), RGBColor(1, 2, 3));
    EXPECT_EQ(RGBColor(1, 2, 3), 0x030201u);
}

TEST(DrawFrame3D, WidthTwoColoursExactlyTheTwoOuterRings) {
    QImage image = BlankImage(10, 10);
    TRect rect{0, 0, 10, 10};
    PaintOn(image, [&](QPainter& canvas) { DrawFrame3D(canvas, rect, clRed, clBlue, 2); });

    EXPECT_EQ(rect, (TRect{2, 2, 8, 8}));
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 10; ++x) {
            const int ring = std::min({x, y, 9 - x, 9 - y});
            QRgb expected = Background;
            if (ring < 2) {
                const bool rightOrBottom = x == 9 - ring || y == 9 - ring;
                expected = rightOrBottom ? Rgb(clBlue) : Rgb(clRed);
            }
            EXPECT_EQ(image.pixel(x, y), expected) << "pixel " << x << "," << y;
        }
    }
}

TEST(DrawFrame3D, WidthZeroDrawsNothingAndKeepsTheRectangle) {
    QImage image = BlankImage(6, 6);
    TRect rect{1, 1, 5, 5};
    PaintOn(image, [&](QPainter& canvas) { DrawFrame3D(canvas, rect, clRed, clBlue, 0); });
    EXPECT_EQ(rect, (TRect{1, 1, 5, 5}));
    EXPECT_FALSE(Contains(image, Rgb(clRed)));
    EXPECT_FALSE(Contains(image, Rgb(clBlue)));
}

TEST(DrawFrame3D, AFrameWiderThanItsRectangleStopsInsideAndShrinksByTheWholeWidth) {
    struct Case {
        int width;
        TRect inside;
    };
    for (const Case& c :
         {Case{8, {18, 18, 12, 12}}, Case{20000000, {20000010, 20000010, -19999980, -19999980}},
          Case{std::numeric_limits<int>::max(),
               {FarCoordinate, FarCoordinate, -FarCoordinate, -FarCoordinate}}}) {
        QImage image = BlankImage(30, 30);
        TRect rect{10, 10, 20, 20};
        PaintOn(image,
                [&](QPainter& canvas) { DrawFrame3D(canvas, rect, clRed, clBlue, c.width); });
        EXPECT_EQ(rect, c.inside) << c.width;
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 30; ++x) {
                const bool inside = x >= 10 && x < 20 && y >= 10 && y < 20;
                EXPECT_EQ(image.pixel(x, y) != Background, inside) << x << "," << y;
            }
    }
}

TEST(Bevel, HugeWidthsPaintWithinTheControlAndLeaveWhatTheVisibleAreaSays) {
    TVrBevel bevel;
    bevel.SetOuterWidth(std::numeric_limits<int>::max());
    bevel.SetInnerSpace(std::numeric_limits<int>::max());
    bevel.SetBorderWidth(std::numeric_limits<int>::max());
    QImage image = BlankImage(20, 20);
    TRect painted = TRect::FromSize(20, 20);
    PaintOn(image, [&](QPainter& canvas) { bevel.Paint(canvas, painted); });
    TRect visible = TRect::FromSize(20, 20);
    bevel.GetVisibleArea(visible);
    EXPECT_EQ(painted, visible);
    EXPECT_TRUE(visible.IsEmpty());
    EXPECT_FALSE(Contains(image, Background)) << "the border fills the whole control";
}

TEST(CanvasHelpers, PolylineLeavesOutItsLastPoint) {
    QImage image = BlankImage(8, 8);
    PaintOn(image, [](QPainter& canvas) {
        Polyline(canvas, {QPoint(1, 1), QPoint(5, 1), QPoint(5, 4)}, clRed);
        Line(canvas, QPoint(0, 7), QPoint(3, 4), clBlue);
    });
    for (int x = 1; x <= 5; ++x)
        EXPECT_EQ(image.pixel(x, 1), Rgb(clRed)) << x;
    EXPECT_EQ(image.pixel(5, 3), Rgb(clRed));
    EXPECT_EQ(image.pixel(5, 4), Background);
    EXPECT_EQ(image.pixel(6, 1), Background);
    EXPECT_EQ(image.pixel(0, 7), Rgb(clBlue));
    EXPECT_EQ(image.pixel(2, 5), Rgb(clBlue));
    EXPECT_EQ(image.pixel(3, 4), Background);
}

TEST(CanvasHelpers, RectanglesExcludeTheirRightAndBottomEdges) {
    QImage image = BlankImage(8, 8);
    PaintOn(image, [](QPainter& canvas) {
        Rectangle(canvas, {1, 1, 5, 5}, clRed, clBlue);
        FillRect(canvas, {6, 6, 8, 8}, clLime);
    });
    EXPECT_EQ(image.pixel(1, 1), Rgb(clRed));
    EXPECT_EQ(image.pixel(4, 4), Rgb(clRed));
    EXPECT_EQ(image.pixel(2, 2), Rgb(clBlue));
    EXPECT_EQ(image.pixel(3, 3), Rgb(clBlue));
    EXPECT_EQ(image.pixel(5, 5), Background);
    EXPECT_EQ(image.pixel(5, 1), Background);
    EXPECT_EQ(image.pixel(6, 6), Rgb(clLime));
    EXPECT_EQ(image.pixel(7, 7), Rgb(clLime));
    EXPECT_EQ(image.pixel(5, 6), Background);
}

TEST(CanvasHelpers, ClearBrushAndPenDrawNothing) {
    QImage image = BlankImage(8, 8);
    PaintOn(image, [](QPainter& canvas) {
        Rectangle(canvas, {1, 1, 7, 7}, clRed, clNone);
        Ellipse(canvas, {0, 0, 8, 8}, clNone, clNone);
    });
    EXPECT_EQ(image.pixel(3, 3), Background);
    EXPECT_EQ(image.pixel(1, 1), Rgb(clRed));
}

TEST(CanvasHelpers, EllipseStaysInsideItsRectangle) {
    QImage image = BlankImage(12, 12);
    PaintOn(image, [](QPainter& canvas) { Ellipse(canvas, {1, 1, 11, 11}, clBlack, clRed); });
    EXPECT_EQ(image.pixel(6, 6), Rgb(clRed));
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(image.pixel(i, 11), Background) << i;
        EXPECT_EQ(image.pixel(11, i), Background) << i;
        EXPECT_EQ(image.pixel(i, 0), Background) << i;
    }
    EXPECT_TRUE(Contains(image, Rgb(clBlack)));
}

TEST(CanvasHelpers, DrawTextMeasuresAndPlaces) {
    const QFont font = TestFont();
    const QSize extent = TextExtent(font, QStringLiteral("Marlo"));
    ASSERT_GT(extent.width(), 0);

    QImage image = BlankImage(100, 40);
    TRect measured{5, 5, 5, 5};
    TRect centred{0, 0, 100, 40};
    PaintOn(image, [&](QPainter& canvas) {
        canvas.setFont(font);
        DrawText(canvas, QStringLiteral("Marlo"), measured, TextFormat::CalcRect, clRed);
        EXPECT_FALSE(Contains(image, Rgb(clRed)));
        DrawText(canvas, QStringLiteral("Marlo"), centred,
                 TextFormat::Center | TextFormat::VCenter | TextFormat::SingleLine, clRed);
    });
    EXPECT_EQ(measured, (TRect{5, 5, 5 + extent.width(), 5 + extent.height()}));
    EXPECT_TRUE(Contains(image, Rgb(clRed)));
    const int left = (100 - extent.width()) / 2;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < left; ++x)
            EXPECT_EQ(image.pixel(x, y), Background) << x << "," << y;
    }
}

TEST(CanvasHelpers, DrawTextClipsToItsRectangleUnlessNoClip) {
    const QFont font = TestFont();
    QImage clipped = BlankImage(60, 30);
    QImage unclipped = BlankImage(60, 30);
    const auto draw = [&](QImage& image, unsigned format) {
        PaintOn(image, [&](QPainter& canvas) {
            canvas.setFont(font);
            TRect rect{0, 0, 6, 30};
            DrawText(canvas, QStringLiteral("WWW"), rect, format, clRed);
        });
    };
    draw(clipped, TextFormat::Left);
    draw(unclipped, TextFormat::Left | TextFormat::NoClip);
    EXPECT_FALSE(Contains(clipped.copy(6, 0, 54, 30), Rgb(clRed)));
    EXPECT_TRUE(Contains(unclipped.copy(6, 0, 54, 30), Rgb(clRed)));
}

TEST(Mnemonics, MarksAreDroppedAndTheFirstMarkedCharacterIsKept) {
    struct Case {
        const char* caption;
        const char* text;
        int underlined;
    };
    for (const Case& c : {Case{"&Motor", "Motor", 0}, Case{"Sal&ir", "Salir", 3},
                          Case{"A&&B", "A&B", -1}, Case{"&&&x", "&x", 1}, Case{"a&b&c", "abc", 1},
                          Case{"fin&", "fin", -1}, Case{"", "", -1}}) {
        const TMnemonicText parsed = MnemonicText(QString::fromUtf8(c.caption));
        EXPECT_EQ(parsed.text, QString::fromUtf8(c.text)) << c.caption;
        EXPECT_EQ(parsed.underlined, c.underlined) << c.caption;
    }
}

TEST(CanvasHelpers, DrawTextUnderlinesTheAcceleratorInsteadOfDrawingTheMark) {
    const QFont font = TestFont();
    const QFontMetrics metrics(font);
    const auto draw = [&](const QString& text) {
        QImage image = BlankImage(120, 40);
        PaintOn(image, [&](QPainter& canvas) {
            canvas.setFont(font);
            TRect rect{0, 0, 120, 40};
            DrawText(canvas, text, rect, TextFormat::Left, clBlack);
        });
        return image;
    };
    const QImage marked = draw(QStringLiteral("&Motor"));
    const QImage plain = draw(QStringLiteral("Motor"));
    const int letterM = metrics.horizontalAdvance(QLatin1Char('M'));
    int underlinePixels = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 120; ++x) {
            if (marked.pixel(x, y) == plain.pixel(x, y))
                continue;
            ++underlinePixels;
            EXPECT_GE(y, metrics.ascent()) << "only from the baseline down";
            EXPECT_LT(x, letterM) << "only under the M";
        }
    EXPECT_GE(underlinePixels, letterM - 1);

    QImage literal = BlankImage(120, 40);
    PaintOn(literal, [&](QPainter& canvas) {
        canvas.setFont(font);
        TextOut(canvas, 0, 0, QStringLiteral("A&B"), clBlack);
    });
    EXPECT_EQ(draw(QStringLiteral("A&&B")), literal);

    TRect measured{0, 0, 0, 0};
    QImage unused = BlankImage(1, 1);
    PaintOn(unused, [&](QPainter& canvas) {
        canvas.setFont(font);
        DrawText(canvas, QStringLiteral("&Motor"), measured, TextFormat::CalcRect, clBlack);
    });
    EXPECT_EQ(measured.Width(), TextWidth(font, QStringLiteral("Motor")));
}

TEST(DrawButtonText, EnabledUsesTheFontColourDisabledIsEmbossed) {
    QImage enabled = BlankImage(80, 30);
    QImage disabled = BlankImage(80, 30);
    const auto draw = [](QImage& image, bool isEnabled) {
        PaintOn(image, [&](QPainter& canvas) {
            canvas.setFont(TestFont());
            DrawButtonText(canvas, QStringLiteral("Go"), {0, 0, 80, 30}, isEnabled, clRed);
        });
    };
    draw(enabled, true);
    draw(disabled, false);
    EXPECT_TRUE(Contains(enabled, Rgb(clRed)));
    EXPECT_FALSE(Contains(enabled, Rgb(clBtnShadow)));
    EXPECT_FALSE(Contains(disabled, Rgb(clRed)));
    EXPECT_TRUE(Contains(disabled, Rgb(clBtnShadow)));
    EXPECT_TRUE(Contains(disabled, Rgb(clBtnHighlight)));
    // Disabled text sits at the top-left, not centred.
    EXPECT_FALSE(Contains(disabled.copy(0, 20, 80, 10), Rgb(clBtnShadow)));
}

class ImageTextLayout : public ::testing::Test {
protected:
    const QFont font = TestFont();
    const QString caption = QStringLiteral("Tx");
    const QSize text = TextExtent(font, caption);
    QPoint imagePos;
    TRect textBounds;

    void Layout(const TRect& client, const QString& title, int margin, int spacing,
                TVrImageTextLayout layout, QSize image) {
        CalcImageTextLayout(font, client, QPoint(0, 0), title, margin, spacing, layout, image,
                            imagePos, textBounds);
    }
};

TEST_F(ImageTextLayout, EmptyCaptionPlacesTheImageAloneWithoutSpacing) {
    Layout({0, 0, 100, 40}, QString(), -1, 5, TVrImageTextLayout::ImageLeft, QSize(20, 10));
    EXPECT_EQ(imagePos, QPoint((100 - 20 + 1) / 2, (40 - 10 + 1) / 2));
    EXPECT_EQ(textBounds.Width(), 0);
    EXPECT_EQ(textBounds.Height(), 0);
}

TEST_F(ImageTextLayout, MarginMinusOneCentresImageGapAndTextAsOneGroup) {
    Layout({0, 0, 120, 40}, caption, -1, 5, TVrImageTextLayout::ImageLeft, QSize(20, 10));
    const int margin = (120 - (20 + 5 + text.width()) + 1) / 2;
    EXPECT_EQ(imagePos, QPoint(margin, 15));
    EXPECT_EQ(textBounds,
              (TRect{margin + 25, (40 - text.height() + 1) / 2, margin + 25 + text.width(),
                     (40 - text.height() + 1) / 2 + text.height()}));
    const int rightGap = 120 - textBounds.Right;
    EXPECT_LE(std::abs(rightGap - imagePos.x()), 1);
}

TEST_F(ImageTextLayout, ImageRightWithFixedMarginAndSpacing) {
    Layout({0, 0, 120, 40}, caption, 4, 3, TVrImageTextLayout::ImageRight, QSize(20, 10));
    EXPECT_EQ(imagePos, QPoint(120 - 4 - 20, 15));
    EXPECT_EQ(textBounds.Left, imagePos.x() - 3 - text.width());
    EXPECT_EQ(textBounds.Right, imagePos.x() - 3);
}

TEST_F(ImageTextLayout, ImageTopSharesTheFreeRoomInThree) {
    Layout({0, 0, 60, 90}, caption, -1, -1, TVrImageTextLayout::ImageTop, QSize(16, 20));
    const int margin = (90 - (20 + text.height())) / 3;
    EXPECT_EQ(imagePos, QPoint((60 - 16 + 1) / 2, margin));
    EXPECT_EQ(textBounds.Top, margin + 20 + margin);
    EXPECT_EQ(textBounds.Left, (60 - text.width() + 1) / 2);
}

TEST_F(ImageTextLayout, ImageBottomWithAutomaticSpacingAndClientOffset) {
    Layout({10, 20, 70, 110}, caption, 2, -1, TVrImageTextLayout::ImageBottom, QSize(16, 20));
    const int spacing = (90 - 2 - 20 - text.height()) / 2;
    EXPECT_EQ(imagePos, QPoint(10 + (60 - 16 + 1) / 2, 20 + 90 - 2 - 20));
    EXPECT_EQ(textBounds.Bottom, imagePos.y() - spacing);
}

TEST_F(ImageTextLayout, DivisionTruncatesTowardZeroWhenTheImageDoesNotFit) {
    Layout({0, 0, 10, 10}, QString(), -1, -1, TVrImageTextLayout::ImageLeft, QSize(16, 16));
    // (10 - 16 + 1) / 2 is -2 when truncated, -3 when floored.
    EXPECT_EQ(imagePos, QPoint(-2, -2));
}

TEST_F(ImageTextLayout, EveryMarginSpacingAndImageSizeGivesEdgesWithinReach) {
    constexpr int most = std::numeric_limits<int>::max();
    constexpr int least = std::numeric_limits<int>::min();
    for (const TVrImageTextLayout layout :
         {TVrImageTextLayout::ImageLeft, TVrImageTextLayout::ImageRight,
          TVrImageTextLayout::ImageTop, TVrImageTextLayout::ImageBottom})
        for (const int extent : {0, 12, most})
            for (const int margin : {-1, least, most})
                for (const int spacing : {-1, least, most}) {
                    Layout({0, 0, 125, 25}, caption, margin, spacing, layout,
                           QSize(extent, extent));
                    for (const int edge : {imagePos.x(), imagePos.y(), textBounds.Left,
                                           textBounds.Top, textBounds.Right, textBounds.Bottom})
                        EXPECT_LE(std::abs(edge), FarCoordinate)
                            << int(layout) << " " << extent << " " << margin << " " << spacing;
                }
    Layout({0, 0, 125, 25}, caption, -1, 5, TVrImageTextLayout::ImageLeft, QSize(12, 12));
    EXPECT_EQ(imagePos.x(), (125 - (12 + 5 + text.width()) + 1) / 2) << "ordinary sizes unchanged";
}
