#include "widgets/Vrblinkled.h"
#include "widgets/Vrleds.h"
#include "widgets/Vrstockimages.h"

#include "tests/support/WidgetImage.h"
#include "tests/widgets/ButtonsInput.h"

#include <QTest>

#include <gtest/gtest.h>

using buttons_input::CountPixels;
using buttons_input::Rgb;
using testing_support::paintWidget;

namespace {

QRgb LampCentre(const QImage& image, const TRect& lamp) {
    return image.pixel((lamp.Left + lamp.Right) / 2, (lamp.Top + lamp.Bottom) / 2);
}

} // namespace

TEST(StockLamps, TwoTemplateFramesOnBlack) {
    const struct {
        const char* name;
        QSize size;
    } lamps[] = {{"LI_RND", {18, 9}}, {"LI_RECT", {20, 5}}, {"LI_BIG", {34, 7}}};
    for (const auto& lamp : lamps) {
        const QImage image = LoadStockImage(QString::fromLatin1(lamp.name));
        ASSERT_EQ(image.size(), lamp.size) << lamp.name;
        const int frame = image.width() / 2;
        const QRect off(0, 0, frame, image.height());
        EXPECT_EQ(image.pixel(0, 0), Rgb(clBlack)) << lamp.name;
        EXPECT_GT(CountPixels(image, off, Rgb(0x000080)), 10) << lamp.name;
        EXPECT_EQ(CountPixels(image, off, Rgb(0x0000FF)), 0) << lamp.name;
        EXPECT_GT(CountPixels(image, off.translated(frame, 0), Rgb(0x0000FF)), 10) << lamp.name;
    }
}

TEST(Led, ActiveSelectsTheRecolouredFrameAndBlackStaysTransparent) {
    TVrLed led;
    EXPECT_EQ(led.size(), QSize(25, 25));
    EXPECT_EQ(led.Color(), clBlack);
    EXPECT_EQ(led.Palette().Low(), clMaroon);
    EXPECT_EQ(led.Palette().High(), clRed);
    led.SetColor(clGreen);
    TVrPalette palette;
    palette.SetLow(clNavy);
    palette.SetHigh(clAqua);
    led.SetPalette(palette);

    QImage image = paintWidget(led);
    const TRect lamp = led.LampRect();
    EXPECT_EQ(lamp, (TRect{8, 8, 17, 17}));
    EXPECT_EQ(LampCentre(image, lamp), Rgb(clNavy));
    EXPECT_EQ(image.pixel(lamp.Left, lamp.Top), Rgb(clGreen));
    EXPECT_EQ(image.pixel(lamp.Left + 2, lamp.Top), Rgb(clGray));

    led.SetActive(true);
    image = paintWidget(led);
    EXPECT_EQ(LampCentre(image, lamp), Rgb(clAqua));
    EXPECT_EQ(image.pixel(lamp.Left, lamp.Top), Rgb(clGreen));
    EXPECT_EQ(CountPixels(image, lamp.ToQRect(), Rgb(clNavy)), 0);

    led.Palette().SetHigh(clYellow);
    EXPECT_EQ(LampCentre(paintWidget(led), lamp), Rgb(clYellow));
}

TEST(Led, LampTypesAndCustomImage) {
    TVrLed led;
    led.resize(60, 20);
    led.SetLedType(TVrLedType::ltLargeRect);
    paintWidget(led);
    EXPECT_EQ(led.LampRect().Width(), 17);
    EXPECT_EQ(led.LampRect().Height(), 7);

    // A custom image leaves out the pixels of Color.
    QImage custom(8, 4, QImage::Format_RGB32);
    custom.fill(qRgb(0, 0, 255));
    custom.setPixel(0, 0, Rgb(clBlack));
    led.SetGlyphs(custom);
    led.SetLedType(TVrLedType::ltCustom);
    led.SetColor(clBlack);
    const QImage image = paintWidget(led);
    const TRect lamp = led.LampRect();
    EXPECT_EQ(lamp.Width(), 4);
    EXPECT_EQ(LampCentre(image, lamp), qRgb(0, 0, 255));
}

TEST(Led, CustomWithoutGlyphsDrawsOnlyTheCaption) {
    TVrLed led;
    led.resize(60, 20);
    led.SetLedType(TVrLedType::ltCustom);
    led.SetCaption(QStringLiteral("Tx"));
    const QImage image = paintWidget(led);
    EXPECT_TRUE(led.LampRect().IsEmpty());
    EXPECT_GT(CountPixels(image, image.rect(), Rgb(clWhite)), 5);
    const int textWidth = TextWidth(led.font(), led.Caption());
    EXPECT_EQ(led.CaptionRect().Left, (60 - textWidth + 1) / 2);
}

TEST(Led, OnChangeOnlyWhenActiveChanges) {
    TVrLed led;
    int changes = 0;
    led.OnChange = [&](QObject* sender) {
        EXPECT_EQ(sender, &led);
        ++changes;
    };
    led.SetActive(false);
    EXPECT_EQ(changes, 0);
    led.SetActive(true);
    led.SetActive(true);
    EXPECT_EQ(changes, 1);
}

TEST(BlinkLed, DefaultsAndLampColours) {
    TVrBlinkLed led;
    EXPECT_EQ(led.size(), QSize(50, 20));
    EXPECT_TRUE(led.Transparent());
    EXPECT_EQ(led.Color(), clMaroon);
    EXPECT_EQ(led.BlinkSpeed(), 500);
    EXPECT_EQ(led.ColorIndex(), 1);
    EXPECT_EQ(led.Palette(3).High(), clYellow);
    // Not lit: High; lit: Low.
    EXPECT_EQ(led.LampColor(), clRed);
    led.SetActive(true);
    EXPECT_EQ(led.LampColor(), clBlack);

    // The recording indicator: black when idle, red in the lit phase.
    led.Palette1().SetLow(clRed);
    led.Palette1().SetHigh(clBlack);
    EXPECT_EQ(led.LampColor(), clRed);
}

TEST(BlinkLed, ColorIndexOutsideOneToFourIsRefused) {
    TVrBlinkLed led;
    for (int refused : {0, 5, -1, 256}) {
        try {
            led.SetColorIndex(refused);
            ADD_FAILURE() << refused << " accepted";
        } catch (const EVrException& error) {
            EXPECT_STREQ(error.what(), "Out of range! ColorIndex=[1..4]");
        }
        EXPECT_EQ(led.ColorIndex(), 1);
    }
    led.SetColorIndex(4);
    EXPECT_EQ(led.LampColor(), clLime);
}

TEST(BlinkLed, RectangularLampsWithEmptyCaptionStartAtMargin) {
    TVrBlinkLed led;
    led.SetBlinkLedType(TVrBlinkLedType::ltLargeRect);
    QImage image = paintWidget(led);
    // Available 45 x 15, placed at Margin, centred vertically.
    EXPECT_EQ(led.LampRect(), (TRect{2, 3, 47, 18}));
    EXPECT_EQ(image.pixel(2, 3), Rgb(clWhite));
    EXPECT_EQ(image.pixel(3, 4), Rgb(clWhite));
    EXPECT_EQ(image.pixel(46, 17), Rgb(clGray));
    EXPECT_EQ(image.pixel(20, 10), Rgb(clRed));
    // Transparent: the surroundings show what lies beneath, not Color.
    EXPECT_NE(image.pixel(0, 0), Rgb(clMaroon));
    led.SetTransparent(false);
    EXPECT_EQ(paintWidget(led).pixel(0, 0), Rgb(clMaroon));

    led.SetBlinkLedType(TVrBlinkLedType::ltRectangle);
    image = paintWidget(led);
    EXPECT_EQ(led.LampRect(), (TRect{2, 5, 32, 15}));
    EXPECT_EQ(image.pixel(3, 6), Rgb(clRed));
}

TEST(BlinkLed, RoundLampHasALitUpperLeftRim) {
    TVrBlinkLed led;
    led.resize(30, 30);
    led.SetCaption(QString());
    const QImage image = paintWidget(led);
    const TRect lamp = led.LampRect();
    EXPECT_EQ(lamp.Width(), lamp.Height());
    EXPECT_EQ(LampCentre(image, lamp), Rgb(clRed));
    const QRect box = lamp.ToQRect();
    const QRect upperLeft(box.left(), box.top(), box.width() / 3, box.height() / 3);
    const QRect lowerRight(box.right() - box.width() / 3, box.bottom() - box.height() / 3,
                           box.width() / 3, box.height() / 3);
    EXPECT_GT(CountPixels(image, upperLeft, Rgb(clWhite)), 0);
    EXPECT_EQ(CountPixels(image, lowerRight, Rgb(clWhite)), 0);
    EXPECT_GT(CountPixels(image, lowerRight, Rgb(clGray)), 0);
}

TEST(BlinkLed, StoppingAfterAnOddNumberOfTicksLeavesTheLampLit) {
    TVrBlinkLed led;
    int ticks = 0;
    led.OnChange = [&](QObject*) {
        if (++ticks == 3)
            led.SetEnableBlinking(false);
    };
    led.SetBlinkSpeed(5);
    led.SetEnableBlinking(true);
    EXPECT_TRUE(QTest::qWaitFor([&] { return ticks >= 3; }, 5000));
    QTest::qWait(30);
    EXPECT_EQ(ticks, 3);
    EXPECT_TRUE(led.Active());
    EXPECT_FALSE(led.EnableBlinking());

    // No period, no ticks.
    led.SetBlinkSpeed(0);
    led.SetEnableBlinking(true);
    QTest::qWait(30);
    EXPECT_EQ(ticks, 3);
}
