#include "widgets/Vrbuttons.h"

#include "tests/support/WidgetImage.h"
#include "tests/widgets/ButtonsInput.h"

#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>
#include <memory>
#include <vector>

using namespace buttons_input;
using testing_support::paintWidget;

namespace {

class CountingPowerButton : public TVrPowerButton {
public:
    using TVrPowerButton::TVrPowerButton;
    int paints = 0;

protected:
    void Paint() override {
        ++paints;
        TVrPowerButton::Paint();
    }
};

class PowerButton : public ::testing::Test {
protected:
    void SetUp() override {
        button.SetCaption(QStringLiteral("Motor Limpieza"));
        button.OnClick = [this](QObject* sender) {
            EXPECT_EQ(sender, &button);
            clicksSeeing.push_back(button.Active());
        };
    }

    QPoint Centre() const { return {button.width() / 2, button.height() / 2}; }
    QRgb LedCentre() {
        const QImage image = paintWidget(button);
        const TRect led = button.LedRect();
        return image.pixel((led.Left + led.Right) / 2, (led.Top + led.Bottom) / 2);
    }

    TVrPowerButton button;
    // Active as each OnClick saw it.
    std::vector<bool> clicksSeeing;
};

} // namespace

TEST_F(PowerButton, DefaultsCentreLedAndCaptionAsAGroup) {
    EXPECT_EQ(button.size(), QSize(125, 25));
    EXPECT_FALSE(button.Active());
    EXPECT_FALSE(button.TabStop());
    EXPECT_EQ(button.Color(), clBtnFace);
    EXPECT_EQ(button.Palette().Low(), clGreen);
    EXPECT_EQ(button.Palette().High(), clLime);

    paintWidget(button);
    const int textWidth = TextWidth(button.font(), button.Caption());
    // Inside bevel and outline: 3 .. 122.
    const int margin = (119 - (12 + 5 + textWidth) + 1) / 2;
    EXPECT_EQ(button.LedRect(), (TRect{3 + margin, 7, 3 + margin + 12, 19}));
    EXPECT_EQ(button.CaptionRect().Left, 3 + margin + 12 + 5);

    button.SetLedWidth(20);
    paintWidget(button);
    const int wider = (119 - (20 + 5 + textWidth) + 1) / 2;
    EXPECT_EQ(button.LedRect().Left, 3 + wider);
    EXPECT_EQ(button.CaptionRect().Left, 3 + wider + 20 + 5);

    button.SetLedWidth(-4);
    EXPECT_EQ(button.LedWidth(), 1);
}

TEST_F(PowerButton, AnyLedSizeMarginAndSpacingLayOutWithinReach) {
    constexpr int most = std::numeric_limits<int>::max();
    button.SetLedWidth(most);
    button.SetLedHeight(most);
    button.SetMargin(most);
    button.SetSpacing(std::numeric_limits<int>::min());
    paintWidget(button);
    for (const int edge :
         {button.LedRect().Left, button.LedRect().Top, button.LedRect().Right,
          button.LedRect().Bottom, button.CaptionRect().Left, button.CaptionRect().Right})
        EXPECT_LE(std::abs(edge), FarCoordinate);
}

TEST_F(PowerButton, LedShowsPaletteWhileEnabledAndColorWhileDisabled) {
    EXPECT_EQ(LedCentre(), Rgb(clGreen));
    button.SetActive(true);
    EXPECT_EQ(LedCentre(), Rgb(clLime));
    const QImage enabled = paintWidget(button);
    const TRect led = button.LedRect();
    EXPECT_EQ(enabled.pixel(led.Left, led.Top), Rgb(clBtnShadow));
    EXPECT_EQ(enabled.pixel(led.Right - 1, led.Bottom - 1), Rgb(clBtnHighlight));
    EXPECT_EQ(enabled.pixel(led.Left + 1, led.Top + 1), Rgb(clBlack));

    button.setEnabled(false);
    EXPECT_EQ(LedCentre(), Rgb(clBtnFace));
    button.SetActive(false);
    EXPECT_EQ(LedCentre(), Rgb(clBtnFace));

    // The caption is embossed: highlight and shadow, no black text.
    const QImage disabled = paintWidget(button);
    const QRect caption = button.CaptionRect().ToQRect().adjusted(0, 0, 1, 1);
    EXPECT_GT(CountPixels(disabled, caption, Rgb(clBtnHighlight)), 3);
    EXPECT_GT(CountPixels(disabled, caption, Rgb(clBtnShadow)), 10);
    EXPECT_EQ(CountPixels(disabled, caption, Rgb(clBlack)), 0);
    EXPECT_GT(CountPixels(enabled, caption, Rgb(clBlack)), 10);

    Click(button);
    EXPECT_TRUE(clicksSeeing.empty());
}

TEST_F(PowerButton, ReleaseInsideTogglesOnceAndClicksAfterTheToggle) {
    Click(button);
    EXPECT_TRUE(button.Active());
    Click(button);
    EXPECT_FALSE(button.Active());
    EXPECT_EQ(clicksSeeing, (std::vector<bool>{true, false}));
    EXPECT_FALSE(button.Down());
}

TEST_F(PowerButton, DraggingOutCancelsAndDraggingBackRestores) {
    Press(button, Centre());
    EXPECT_TRUE(button.Down());
    Move(button, QPoint(-10, 5));
    EXPECT_FALSE(button.Down());
    Release(button, QPoint(-10, 5));
    EXPECT_FALSE(button.Active());
    EXPECT_TRUE(clicksSeeing.empty());

    Press(button, Centre());
    Move(button, QPoint(200, 5));
    Move(button, Centre());
    EXPECT_TRUE(button.Down());
    Release(button, Centre());
    EXPECT_TRUE(button.Active());
    EXPECT_EQ(clicksSeeing, std::vector<bool>{true});
}

TEST_F(PowerButton, DoubleClickTogglesTwice) {
    DoubleClick(button, Centre());
    EXPECT_FALSE(button.Active());
    EXPECT_EQ(clicksSeeing, (std::vector<bool>{true, false}));
}

TEST_F(PowerButton, SpaceTogglesOnReleaseEvenWithoutAPress) {
    SpaceDown(button);
    EXPECT_TRUE(button.Down());
    SpaceDown(button, true);
    SpaceUp(button, true);
    EXPECT_TRUE(clicksSeeing.empty());
    SpaceUp(button);
    EXPECT_FALSE(button.Down());
    EXPECT_TRUE(button.Active());

    SpaceUp(button);
    EXPECT_FALSE(button.Active());
    EXPECT_EQ(clicksSeeing, (std::vector<bool>{true, false}));
}

TEST(PowerButtonPaint, SettingActiveRepaintsOnlyOnChangeAndNeverClicks) {
    CountingPowerButton button;
    int clicks = 0;
    button.OnClick = [&](QObject*) { ++clicks; };
    button.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&button));
    button.paints = 0;

    button.SetActive(false);
    EXPECT_EQ(button.paints, 0);
    button.SetActive(true);
    EXPECT_EQ(button.paints, 1);
    button.Palette().SetHigh(clRed);
    EXPECT_EQ(button.paints, 2);
    EXPECT_EQ(clicks, 0);
}

TEST(PowerButtonPaint, PressedLookReplacesFocusOutline) {
    TVrPowerButton button;
    FocusIn(button);
    QImage image = paintWidget(button);
    EXPECT_EQ(image.pixel(0, 0), Rgb(clBlue));
    EXPECT_EQ(image.pixel(124, 24), Rgb(clBlue));
    EXPECT_EQ(image.pixel(1, 1), Rgb(clBtnHighlight));
    EXPECT_EQ(image.pixel(123, 23), Rgb(clBtnShadow));

    Press(button, QPoint(60, 12));
    image = paintWidget(button);
    EXPECT_EQ(image.pixel(0, 0), Rgb(clBlack));
    EXPECT_EQ(image.pixel(124, 24), Rgb(clBtnHighlight));
    EXPECT_EQ(image.pixel(1, 1), Rgb(clBtnShadow));
    EXPECT_EQ(image.pixel(123, 23), Rgb(clBlack));
}
