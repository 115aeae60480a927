#include "widgets/Vrnavigator.h"
#include "widgets/Vrstockimages.h"

#include "tests/support/WidgetImage.h"
#include "tests/widgets/ButtonsInput.h"

#include <gtest/gtest.h>

using namespace buttons_input;
using testing_support::paintWidget;

namespace {

class MediaButton : public ::testing::Test {
protected:
    void SetUp() override {
        button.OnClick = [this](QObject* sender) {
            EXPECT_EQ(sender, &button);
            ++clicks;
        };
    }

    // Every inked pixel of glyph `index` of the strip appears at the glyph position; the strip's
    // olive background does not.
    void ExpectGlyph(const QImage& image, const QImage& strip, int index) {
        const QPoint at = button.GlyphPos();
        int inked = 0;
        for (int y = 0; y < 9; ++y) {
            for (int x = 0; x < 11; ++x) {
                const QRgb source = strip.pixel(index * 11 + x, y);
                const QRgb shown = image.pixel(at.x() + x, at.y() + y);
                if (source == Rgb(clOlive)) {
                    EXPECT_NE(shown, Rgb(clOlive)) << x << "," << y;
                } else {
                    EXPECT_EQ(shown, source) << x << "," << y;
                    ++inked;
                }
            }
        }
        EXPECT_GT(inked, 10);
    }

    TVrMediaButton button;
    int clicks = 0;
};

} // namespace

TEST(GlyphStrips, TenGlyphsOnOliveWithAGreyedCopy) {
    for (const char* name : {"EN_IMAGES", "DI_IMAGES"}) {
        const QImage strip = LoadStockImage(QString::fromLatin1(name));
        ASSERT_EQ(strip.size(), QSize(110, 9)) << name;
        EXPECT_EQ(strip.pixel(0, 0), Rgb(clOlive)) << name;
    }
}

TEST_F(MediaButton, ButtonTypeSelectsItsGlyphFromTheStrip) {
    EXPECT_EQ(button.size(), QSize(40, 15));
    EXPECT_EQ(button.ButtonType(), TVrButtonType::btPause);
    const QImage enabled = LoadStockImage(QStringLiteral("EN_IMAGES"));
    button.SetButtonType(TVrButtonType::btRecord);
    QImage image = paintWidget(button);
    EXPECT_EQ(button.GlyphPos(), QPoint(15, 3));
    ExpectGlyph(image, enabled, 8);

    button.SetButtonType(TVrButtonType::btStop);
    ExpectGlyph(paintWidget(button), enabled, 3);

    button.setEnabled(false);
    ExpectGlyph(paintWidget(button), LoadStockImage(QStringLiteral("DI_IMAGES")), 3);
}

TEST_F(MediaButton, GradientFaceBorderAndPressedLook) {
    QImage image = paintWidget(button);
    EXPECT_EQ(image.pixel(0, 0), Rgb(clBlack));
    EXPECT_EQ(image.pixel(1, 1), Rgb(clBtnHighlight));
    EXPECT_EQ(image.pixel(38, 13), Rgb(clBtnShadow));
    // Bands of two rows from highlight at the top to shadow at the bottom.
    EXPECT_EQ(image.pixel(3, 2), Rgb(clBtnHighlight));
    EXPECT_EQ(image.pixel(3, 3), Rgb(clBtnHighlight));
    EXPECT_EQ(image.pixel(3, 12), Rgb(clBtnShadow));
    EXPECT_LT(qRed(image.pixel(3, 7)), 255);
    EXPECT_GT(qRed(image.pixel(3, 7)), 128);

    Press(button, QPoint(20, 7));
    image = paintWidget(button);
    EXPECT_EQ(button.GlyphPos(), QPoint(15, 4));
    EXPECT_EQ(image.pixel(1, 1), Rgb(clBtnShadow));
    EXPECT_EQ(image.pixel(38, 13), Rgb(clBtnFace));
    EXPECT_EQ(image.pixel(3, 2), Rgb(clBtnFace));
    EXPECT_EQ(image.pixel(3, 12), Rgb(clBtnHighlight));

    FocusIn(button);
    EXPECT_EQ(paintWidget(button).pixel(0, 0), Rgb(clBlue));
}

TEST_F(MediaButton, OneClickPerPressReleasedInside) {
    Click(button);
    EXPECT_EQ(clicks, 1);

    Press(button, QPoint(20, 7));
    Move(button, QPoint(50, 7));
    EXPECT_FALSE(button.Down());
    Release(button, QPoint(50, 7));
    EXPECT_EQ(clicks, 1);

    Press(button, QPoint(20, 7));
    Move(button, QPoint(20, 30));
    Move(button, QPoint(20, 7));
    EXPECT_TRUE(button.Down());
    Release(button, QPoint(20, 7));
    EXPECT_EQ(clicks, 2);

    SpaceDown(button);
    SpaceUp(button);
    EXPECT_EQ(clicks, 3);

    button.setEnabled(false);
    Click(button);
    EXPECT_EQ(clicks, 3);
}
