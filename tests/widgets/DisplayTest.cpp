#include "widgets/Vrdisplay.h"

#include "tests/support/WidgetImage.h"

#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <limits>

namespace {

QRgb Rgb(TColor color) {
    return ColorToQColor(color).rgb();
}

// A display with one child filling its client area, as the console frames its pictures.
class FilledDisplay : public ::testing::Test {
protected:
    void SetUp() override {
        auto* layout = new QVBoxLayout(&display);
        layout->setContentsMargins(0, 0, 0, 0);
        child = new QWidget;
        layout->addWidget(child);
        display.show();
        layout->activate();
    }

    TVrDisplay display;
    QWidget* child = nullptr;
};

} // namespace

TEST_F(FilledDisplay, ChildStaysInsideTheBevel) {
    EXPECT_EQ(display.size(), QSize(150, 100));
    EXPECT_EQ(child->geometry(), QRect(11, 11, 128, 78));
}

TEST_F(FilledDisplay, ChangingTheBevelRealignsTheChild) {
    display.Bevel().SetOuterWidth(2);
    display.layout()->activate();
    EXPECT_EQ(child->geometry(), QRect(9, 9, 132, 82));
    display.Bevel().SetVisible(false);
    display.layout()->activate();
    EXPECT_EQ(child->geometry(), QRect(0, 0, 150, 100));
}

TEST(Display, BevelAndFadingShadowInTheTopLeftCorner) {
    TVrDisplay display;
    const QImage image = testing_support::paintWidget(display);
    EXPECT_EQ(image.pixel(0, 50), Rgb(clBlack));
    // Outer ring lowered: its "shadow" 0xC0C0C0 at the top left, 0x808080 at the bottom right.
    EXPECT_EQ(image.pixel(1, 50), Rgb(0xC0C0C0));
    EXPECT_EQ(image.pixel(148, 50), Rgb(0x808080));
    EXPECT_EQ(image.pixel(5, 50), Rgb(0xC0C0C0));
    EXPECT_EQ(image.pixel(6, 50), Rgb(clBlack));
    // Shadow lines from 0x5E7766 towards 0x7C9885, then the display's colour.
    EXPECT_EQ(image.pixel(11, 50), Rgb(0x5E7766));
    EXPECT_EQ(image.pixel(50, 11), Rgb(0x5E7766));
    EXPECT_EQ(image.pixel(12, 50), qRgb(0x66 + 31 / 5, 0x77 + 33 / 5, 0x5E + 30 / 5));
    EXPECT_EQ(image.pixel(16, 50), Rgb(0x7C9885));
    EXPECT_EQ(image.pixel(138, 50), Rgb(0x7C9885));
    EXPECT_EQ(image.pixel(50, 88), Rgb(0x7C9885));
    // The first line reaches the far ends of the area inside the bevel.
    EXPECT_EQ(image.pixel(11, 88), Rgb(0x5E7766));
    EXPECT_EQ(image.pixel(138, 11), Rgb(0x5E7766));
}

TEST(Display, ShadowFollowsItsLayout) {
    TVrDisplay display;
    display.SetShadowLayout(TVrShadowLayout::soBottomRight);
    const QImage image = testing_support::paintWidget(display);
    EXPECT_EQ(image.pixel(138, 50), Rgb(0x5E7766));
    EXPECT_EQ(image.pixel(50, 88), Rgb(0x5E7766));
    EXPECT_EQ(image.pixel(11, 50), Rgb(0x7C9885));
    // The vertical leg climbs to one pixel above the inner area.
    EXPECT_EQ(image.pixel(138, 11), Rgb(0x5E7766));
}

TEST(Display, ShadowAndBevelOfAnyWidthPaintInsideTheControl) {
    TVrDisplay display;
    display.SetShadowWidth(std::numeric_limits<int>::max());
    QImage image = testing_support::paintWidget(display);
    // The fade cannot advance over so wide a shadow: its first colour fills the top left.
    EXPECT_EQ(image.pixel(75, 40), Rgb(0x5E7766));
    EXPECT_EQ(image.pixel(40, 75), Rgb(0x5E7766));
    EXPECT_EQ(image.pixel(75, 60), Rgb(0x7C9885));
    EXPECT_EQ(image.pixel(0, 50), Rgb(clBlack)) << "the bevel is untouched";

    display.SetShadowWidth(0);
    display.Bevel().SetOuterWidth(20000000);
    image = testing_support::paintWidget(display);
    EXPECT_EQ(image.pixel(0, 50), Rgb(clBlack));
    EXPECT_EQ(image.pixel(75, 20), Rgb(0xC0C0C0)) << "the outer ring fills the control";
    EXPECT_NE(image.pixel(75, 50), Rgb(0x7C9885));
}
