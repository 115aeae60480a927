#include "widgets/Vrbuttons.h"

#include "tests/support/WidgetImage.h"
#include "tests/widgets/ButtonsInput.h"

#include <QTest>

#include <gtest/gtest.h>

using namespace buttons_input;
using testing_support::paintWidget;

namespace {

class DemoButton : public ::testing::Test {
protected:
    void SetUp() override {
        button.SetCaption(QStringLiteral("Salir"));
        button.OnClick = [this](QObject* sender) {
            EXPECT_EQ(sender, &button);
            ++clicks;
        };
    }

    QPoint Centre() const { return {button.width() / 2, button.height() / 2}; }
    // The caption's pixels: whatever is not face colour inside bevel and outline.
    QRect CaptionInk() {
        return InkBounds(paintWidget(button), QRect(3, 3, 144, 19), Rgb(clBtnFace));
    }

    TVrDemoButton button;
    int clicks = 0;
};

} // namespace

TEST_F(DemoButton, Defaults) {
    EXPECT_EQ(button.size(), QSize(150, 25));
    EXPECT_EQ(button.FontEnter().family(), QStringLiteral("Arial"));
    EXPECT_EQ(button.FontEnter().pointSize(), 12);
    EXPECT_TRUE(button.FontLeave().bold());
    EXPECT_EQ(button.FontEnterColor(), clRed);
    EXPECT_EQ(button.FontLeaveColor(), clBlack);
    EXPECT_EQ(button.DisabledTextColor(), clInactiveCaption);
    EXPECT_EQ(button.TextAlignment(), TVrTextAlignment::vtaCenter);
    EXPECT_FALSE(button.TabStop());
}

TEST_F(DemoButton, OneClickPerCompletedPress) {
    Click(button);
    EXPECT_EQ(clicks, 1);

    Press(button, Centre());
    Move(button, QPoint(160, 12));
    EXPECT_FALSE(button.Down());
    Release(button, QPoint(160, 12));
    EXPECT_EQ(clicks, 1);

    Press(button, Centre());
    Move(button, QPoint(5, -3));
    Move(button, QPoint(5, 3));
    EXPECT_TRUE(button.Down());
    Release(button, QPoint(5, 3));
    EXPECT_EQ(clicks, 2);
    EXPECT_FALSE(button.Down());

    // A right button neither presses nor clicks.
    SendMouse(button, QEvent::MouseButtonPress, Centre(), Qt::RightButton);
    SendMouse(button, QEvent::MouseButtonRelease, Centre(), Qt::RightButton);
    EXPECT_EQ(clicks, 2);
}

TEST_F(DemoButton, DoubleClickGivesTwoClicks) {
    DoubleClick(button, Centre());
    EXPECT_EQ(clicks, 2);
}

TEST_F(DemoButton, SpaceClicksOnReleaseAfterAPress) {
    SpaceUp(button);
    EXPECT_EQ(clicks, 0);
    SpaceDown(button);
    SpaceDown(button, true);
    EXPECT_TRUE(button.Down());
    SpaceUp(button);
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(button.Down());
}

TEST_F(DemoButton, DisabledIgnoresInputAndDrawsDisabledColourInLeaveFont) {
    button.SetFontEnter(QFont(QStringLiteral("Arial"), 20));
    button.setEnabled(false);
    Click(button);
    SpaceDown(button);
    SpaceUp(button);
    EXPECT_EQ(clicks, 0);

    const QImage idle = paintWidget(button);
    Enter(button);
    const QImage hovered = paintWidget(button);
    EXPECT_EQ(hovered, idle);
    const QRect inside(3, 3, 144, 19);
    EXPECT_GT(CountPixels(hovered, inside, Rgb(clInactiveCaption)), 10);
    EXPECT_EQ(CountPixels(hovered, inside, Rgb(clBlack)), 0);

    button.setEnabled(true);
    const QImage entered = paintWidget(button);
    EXPECT_GT(CountPixels(entered, inside, Rgb(clRed)), 10);
}

TEST_F(DemoButton, PressedDrawsSunkenAndMovesTheCaption) {
    QImage image = paintWidget(button);
    EXPECT_EQ(image.pixel(0, 0), Rgb(clBlack));
    EXPECT_EQ(image.pixel(1, 1), Rgb(clBtnHighlight));
    EXPECT_EQ(image.pixel(148, 23), Rgb(clBtnShadow));
    const QRect up = CaptionInk();

    Press(button, Centre());
    image = paintWidget(button);
    EXPECT_EQ(image.pixel(1, 1), Rgb(clBtnShadow));
    EXPECT_EQ(image.pixel(148, 23), Rgb(clBtnHighlight));
    EXPECT_EQ(CaptionInk(), up.translated(1, 1));
}

TEST_F(DemoButton, FlatShowsBevelOnlyWhileHoveredWithoutMovingTheCaption) {
    button.SetFlat(true);
    button.SetFontEnterColor(clBlack);
    QImage image = paintWidget(button);
    EXPECT_EQ(image.pixel(1, 1), Rgb(clBtnFace));
    const QRect idle = CaptionInk();

    Enter(button);
    image = paintWidget(button);
    EXPECT_EQ(image.pixel(1, 1), Rgb(clBtnHighlight));
    EXPECT_EQ(CaptionInk(), idle);

    Leave(button);
    EXPECT_EQ(paintWidget(button).pixel(1, 1), Rgb(clBtnFace));
}

TEST_F(DemoButton, FocusOutlineAndTiledBitmap) {
    QImage tile(4, 4, QImage::Format_RGB32);
    tile.fill(Qt::yellow);
    button.SetBitmap(tile);
    button.SetCaption(QString());
    FocusIn(button);
    const QImage image = paintWidget(button);
    EXPECT_EQ(image.pixel(0, 0), Rgb(clBlue));
    EXPECT_EQ(image.pixel(149, 24), Rgb(clBlue));
    EXPECT_EQ(image.pixel(75, 12), qRgb(255, 255, 0));
    EXPECT_EQ(image.pixel(146, 21), qRgb(255, 255, 0));
}

TEST(ButtonAccelerators, AltLetterClicksEnabledButtonsOnly) {
    QWidget window;
    window.resize(300, 60);
    auto* demo = new TVrDemoButton(&window);
    demo->SetCaption(QStringLiteral("Sal&ir"));
    auto* power = new TVrPowerButton(&window);
    power->SetCaption(QStringLiteral("&Motor"));
    power->move(0, 30);
    int demoClicks = 0;
    int powerClicks = 0;
    demo->OnClick = [&](QObject*) { ++demoClicks; };
    power->OnClick = [&](QObject*) { ++powerClicks; };
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    QTest::keyClick(&window, Qt::Key_I, Qt::AltModifier);
    QTest::keyClick(&window, Qt::Key_M, Qt::AltModifier);
    EXPECT_EQ(demoClicks, 1);
    EXPECT_EQ(powerClicks, 1);
    // The power button clicks without toggling.
    EXPECT_FALSE(power->Active());

    demo->setEnabled(false);
    QTest::keyClick(&window, Qt::Key_I, Qt::AltModifier);
    EXPECT_EQ(demoClicks, 1);

    demo->setEnabled(true);
    demo->SetCaption(QStringLiteral("Salir"));
    QTest::keyClick(&window, Qt::Key_I, Qt::AltModifier);
    EXPECT_EQ(demoClicks, 1);
}
