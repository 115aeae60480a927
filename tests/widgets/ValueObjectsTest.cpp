#include "widgets/Vrclasses.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

// Counts the notifications of a value object.
template <typename T> struct Watched {
    T object;
    int notifications = 0;
    Watched() {
        object.OnChange = [this](TVrPersistent& sender) {
            EXPECT_EQ(&sender, &object);
            ++notifications;
        };
    }
};

QRgb Rgb(TColor color) {
    return ColorToQColor(color).rgb();
}

} // namespace

TEST(Persistent, SettersNotifyOnlyOnRealChanges) {
    Watched<TVrPalette> palette;
    palette.object.SetLow(clGreen);
    palette.object.SetHigh(clLime);
    EXPECT_EQ(palette.notifications, 0);
    palette.object.SetLow(clRed);
    EXPECT_EQ(palette.notifications, 1);
    EXPECT_EQ(palette.object.Low(), clRed);

    Watched<TVrBevel> bevel;
    bevel.object.SetInnerWidth(1);
    bevel.object.SetVisible(true);
    EXPECT_EQ(bevel.notifications, 0);
    bevel.object.SetOuterStyle(TVrBevelStyle::bsLowered);
    EXPECT_EQ(bevel.notifications, 1);

    Watched<TVrFont3D> font;
    font.object.SetStyle(TVrFont3DStyle::f3dNone);
    EXPECT_EQ(font.notifications, 0);
    font.object.SetShadowDepth(3);
    EXPECT_EQ(font.notifications, 1);
}

TEST(Persistent, UpdatesHoldNotificationsBackUntilTheLastEndUpdate) {
    Watched<TVrPalette> palette;
    palette.object.BeginUpdate();
    palette.object.BeginUpdate();
    palette.object.SetLow(clRed);
    palette.object.SetHigh(clBlue);
    palette.object.EndUpdate();
    EXPECT_EQ(palette.notifications, 0);
    palette.object.EndUpdate();
    EXPECT_EQ(palette.notifications, 1);
    EXPECT_EQ(palette.object.UpdateCount(), 0);
}

TEST(Persistent, EndUpdateAtZeroStaysAtZeroAndNotifies) {
    Watched<TVrPalette> palette;
    palette.object.EndUpdate();
    EXPECT_EQ(palette.object.UpdateCount(), 0);
    EXPECT_EQ(palette.notifications, 1);
    palette.object.BeginUpdate();
    palette.object.SetLow(clRed);
    EXPECT_EQ(palette.notifications, 1);
}

TEST(Persistent, AssignNotifiesOnceAndACopyIsDetached) {
    TVrPalette source;
    source.SetLow(clMaroon);
    source.SetHigh(clRed);
    Watched<TVrPalette> palette;
    palette.object.Assign(source);
    EXPECT_EQ(palette.notifications, 1);
    EXPECT_EQ(palette.object.Low(), clMaroon);
    EXPECT_EQ(palette.object.High(), clRed);

    TVrPalette copy = palette.object;
    EXPECT_FALSE(copy.OnChange);
    EXPECT_EQ(copy.High(), clRed);

    Watched<TVrBevel> bevel;
    TVrBevel bevelSource;
    bevelSource.SetBorderWidth(3);
    bevelSource.SetInnerColor(clBlack);
    bevel.object.Assign(bevelSource);
    EXPECT_EQ(bevel.notifications, 1);
    EXPECT_EQ(bevel.object.BorderWidth(), 3);
    EXPECT_EQ(bevel.object.InnerColor(), clBlack);

    Watched<TVrFont3D> font;
    TVrFont3D fontSource;
    fontSource.SetStyle(TVrFont3DStyle::f3dSunken);
    fontSource.SetHighlightDepth(2);
    font.object.Assign(fontSource);
    EXPECT_EQ(font.notifications, 1);
    EXPECT_EQ(font.object.Style(), TVrFont3DStyle::f3dSunken);
    EXPECT_EQ(font.object.HighlightDepth(), 2);
}

TEST(Palette, DefaultsAndColourChoice) {
    const TVrPalette palette;
    EXPECT_EQ(palette.Low(), clGreen);
    EXPECT_EQ(palette.High(), clLime);
    EXPECT_EQ(palette.GetColors(0), clGreen);
    EXPECT_EQ(palette.GetColors(-5), clGreen);
    EXPECT_EQ(palette.GetColors(1), clLime);
    EXPECT_EQ(palette.GetColors(7), clLime);
    EXPECT_EQ(palette.GetColors(true), clLime);
}

TEST(Palette, ToBMPRecoloursFromTheUnchangedImage) {
    TVrPalette palette;
    palette.SetLow(clRed);
    palette.SetHigh(clBlue);
    QImage bitmap(4, 1, QImage::Format_RGB888);
    bitmap.setPixel(0, 0, Rgb(clGreen));
    bitmap.setPixel(1, 0, Rgb(clRed));
    bitmap.setPixel(2, 0, Rgb(clWhite));
    bitmap.setPixel(3, 0, Rgb(clBtnFace));
    // The high match is the low colour: a pixel turned Low must not turn High afterwards.
    palette.ToBMP(bitmap, clGreen, clRed);
    EXPECT_EQ(bitmap.format(), QImage::Format_RGB888);
    EXPECT_EQ(bitmap.pixel(0, 0), Rgb(clRed));
    EXPECT_EQ(bitmap.pixel(1, 0), Rgb(clBlue));
    EXPECT_EQ(bitmap.pixel(2, 0), Rgb(clWhite));

    palette.ToBMP(bitmap, clBtnFace, clNavy);
    EXPECT_EQ(bitmap.pixel(3, 0), Rgb(clRed));

    QImage empty;
    palette.ToBMP(empty, clGreen, clRed);
    EXPECT_TRUE(empty.isNull());
}

TEST(Bevel, Defaults) {
    const TVrBevel bevel;
    EXPECT_EQ(bevel.BorderWidth(), 0);
    EXPECT_EQ(bevel.BorderColor(), clBtnFace);
    EXPECT_EQ(bevel.InnerShadow(), clBtnShadow);
    EXPECT_EQ(bevel.InnerHighlight(), clBtnHighlight);
    EXPECT_EQ(bevel.InnerWidth(), 1);
    EXPECT_EQ(bevel.InnerStyle(), TVrBevelStyle::bsLowered);
    EXPECT_EQ(bevel.InnerOutline(), TVrBevelOutlineStyle::osNone);
    EXPECT_EQ(bevel.InnerSpace(), 1);
    EXPECT_EQ(bevel.InnerColor(), clBtnFace);
    EXPECT_EQ(bevel.OuterShadow(), clBtnShadow);
    EXPECT_EQ(bevel.OuterHighlight(), clBtnHighlight);
    EXPECT_EQ(bevel.OuterWidth(), 1);
    EXPECT_EQ(bevel.OuterStyle(), TVrBevelStyle::bsRaised);
    EXPECT_EQ(bevel.OuterOutline(), TVrBevelOutlineStyle::osOuter);
    EXPECT_EQ(bevel.OuterSpace(), 0);
    EXPECT_EQ(bevel.OuterColor(), clBtnFace);
    EXPECT_TRUE(bevel.Visible());
}

TEST(Bevel, DefaultPaintDrawsOutlineRaisedRingLoweredRingAndSpace) {
    QImage image(12, 12, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    TVrBevel bevel;
    TRect rect{0, 0, 12, 12};
    {
        QPainter canvas(&image);
        PrepareCanvas(canvas);
        bevel.Paint(canvas, rect);
    }
    EXPECT_EQ(rect, (TRect{4, 4, 8, 8}));
    EXPECT_EQ(image.pixel(0, 0), Rgb(clBlack));
    EXPECT_EQ(image.pixel(11, 11), Rgb(clBlack));
    EXPECT_EQ(image.pixel(1, 5), Rgb(clBtnHighlight));
    EXPECT_EQ(image.pixel(10, 5), Rgb(clBtnShadow));
    EXPECT_EQ(image.pixel(2, 5), Rgb(clBtnShadow));
    EXPECT_EQ(image.pixel(9, 5), Rgb(clBtnHighlight));
    EXPECT_EQ(image.pixel(3, 5), Rgb(clBtnFace));
    EXPECT_EQ(image.pixel(5, 5), QColor(Qt::magenta).rgb());
}

TEST(Bevel, PaintLeavesExactlyTheVisibleArea) {
    const std::vector<TVrBevelStyle> styles = {TVrBevelStyle::bsNone, TVrBevelStyle::bsLowered,
                                               TVrBevelStyle::bsRaised};
    const std::vector<TVrBevelOutlineStyle> outlines = {
        TVrBevelOutlineStyle::osOuter, TVrBevelOutlineStyle::osInner, TVrBevelOutlineStyle::osNone};
    QImage image(64, 64, QImage::Format_RGB32);
    QPainter canvas(&image);
    for (const auto style : styles) {
        for (const auto outline : outlines) {
            for (const int width : {-2, 0, 1, 3}) {
                TVrBevel bevel;
                bevel.SetBorderWidth(width);
                bevel.SetOuterStyle(style);
                bevel.SetInnerStyle(style);
                bevel.SetOuterOutline(outline);
                bevel.SetInnerOutline(outline);
                bevel.SetOuterWidth(width + 1);
                bevel.SetInnerWidth(width);
                bevel.SetOuterSpace(width);
                bevel.SetInnerSpace(2);
                TRect painted{0, 0, 64, 64};
                TRect computed = painted;
                bevel.Paint(canvas, painted);
                bevel.GetVisibleArea(computed);
                EXPECT_EQ(painted, computed) << int(style) << " " << int(outline) << " " << width;
            }
        }
    }
    TVrBevel hidden;
    hidden.SetVisible(false);
    TRect rect{0, 0, 10, 10};
    hidden.GetVisibleArea(rect);
    EXPECT_EQ(rect, (TRect{0, 0, 10, 10}));
}

TEST(Font3D, DefaultsAndReliefCopies) {
    const TVrFont3D defaults;
    EXPECT_EQ(defaults.Style(), TVrFont3DStyle::f3dNone);
    EXPECT_EQ(defaults.HighlightColor(), clBtnHighlight);
    EXPECT_EQ(defaults.ShadowColor(), clBtnShadow);
    EXPECT_EQ(defaults.HighlightDepth(), 1);
    EXPECT_EQ(defaults.ShadowDepth(), 1);

    const auto render = [](TVrFont3DStyle style) {
        QImage image(60, 30, QImage::Format_RGB32);
        image.fill(Qt::black);
        TVrFont3D font;
        font.SetStyle(style);
        font.SetHighlightColor(clYellow);
        font.SetShadowColor(clBlue);
        font.SetShadowDepth(2);
        font.SetHighlightDepth(2);
        QPainter canvas(&image);
        PrepareCanvas(canvas);
        QFont bold(QStringLiteral("DejaVu Sans"));
        bold.setPixelSize(18);
        bold.setBold(true);
        canvas.setFont(bold);
        font.Paint(canvas, {10, 5, 60, 30}, TextFormat::Left, QStringLiteral("I"), clRed);
        return image;
    };
    const auto column = [](const QImage& image, QRgb color) {
        for (int x = 0; x < image.width(); ++x)
            for (int y = 0; y < image.height(); ++y)
                if (image.pixel(x, y) == color)
                    return x;
        return -1;
    };
    const QImage none = render(TVrFont3DStyle::f3dNone);
    EXPECT_EQ(column(none, Rgb(clYellow)), -1);
    EXPECT_EQ(column(none, Rgb(clBlue)), -1);
    const int text = column(none, Rgb(clRed));
    ASSERT_GE(text, 0);

    const QImage raised = render(TVrFont3DStyle::f3dRaised);
    EXPECT_EQ(column(raised, Rgb(clYellow)), text - 2);
    EXPECT_EQ(column(raised, Rgb(clRed)), text);
    EXPECT_GT(column(raised, Rgb(clBlue)), text);

    const QImage shadow = render(TVrFont3DStyle::f3dShadow);
    EXPECT_EQ(column(shadow, Rgb(clYellow)), -1);
    EXPECT_GT(column(shadow, Rgb(clBlue)), text);
}
