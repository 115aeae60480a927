#include "widgets/Vrcontrols.h"

#include "tests/support/WidgetImage.h"

#include <QApplication>
#include <QEnterEvent>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

QRgb Rgb(TColor color) {
    return ColorToQColor(color).rgb();
}

// Draws a red square whose left edge is a property, through the off-screen image.
class SquareControl : public TVrGraphicImageControl {
public:
    using TVrControl::OnFontChanged;
    using TVrControl::OnMouseEnter;
    using TVrControl::OnMouseLeave;
    using TVrControl::OnTextChanged;
    using TVrGraphicImageControl::TVrGraphicImageControl;

    int paints = 0;
    int squareLeft = 5;

    void SetSquareLeft(int value) {
        if (squareLeft == value)
            return;
        squareLeft = value;
        UpdateControlCanvas();
    }

protected:
    void Paint() override {
        ++paints;
        ClearBitmapCanvas();
        FillRect(BitmapCanvas(), {squareLeft, 5, squareLeft + 5, 10}, clRed);
        TVrGraphicImageControl::Paint();
    }
};

class FilledCustomControl : public TVrCustomImageControl {
public:
    using TVrCustomImageControl::TVrCustomImageControl;

protected:
    void Paint() override {
        ClearBitmapCanvas();
        TRect rect = TRect::FromSize(width(), height());
        DrawFrame3D(BitmapCanvas(), rect, clWhite, clBlack, 1);
        TVrCustomImageControl::Paint();
    }
};

class SizingControl : public TVrGraphicControl {
public:
    using TVrGraphicControl::TVrGraphicControl;
    int paints = 0;

protected:
    bool CanAutoSize(int& newWidth, int& newHeight) override {
        newWidth = 50;
        newHeight = 20;
        return true;
    }
    void Paint() override {
        ++paints;
        ClearClientCanvas();
    }
};

// A green panel with a control on it, shown on the offscreen screen.
class OnPanel : public ::testing::Test {
protected:
    void SetUp() override {
        panel = std::make_unique<QWidget>();
        panel->resize(40, 40);
        QPalette palette = panel->palette();
        palette.setColor(QPalette::Window, QColor(0, 128, 0));
        panel->setPalette(palette);
        panel->setAutoFillBackground(true);
        control = new SquareControl(panel.get());
        control->setGeometry(10, 10, 20, 20);
        control->SetColor(clBlue);
        panel->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(panel.get()));
        control->paints = 0;
    }

    // What the screen shows, as left by the last repaint (not a fresh rendering).
    QImage Screen() const {
        return panel->screen()
            ->grabWindow(panel->winId())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    }

    std::unique_ptr<QWidget> panel;
    SquareControl* control = nullptr;
};

} // namespace

TEST_F(OnPanel, UpdateControlCanvasRepaintsAtOnce) {
    control->UpdateControlCanvas();
    EXPECT_EQ(control->paints, 1);
    control->SetSquareLeft(5);
    EXPECT_EQ(control->paints, 1);
    control->SetSquareLeft(8);
    EXPECT_EQ(control->paints, 2);
    control->SetColor(clBlue);
    control->SetCaption(QString());
    EXPECT_EQ(control->paints, 2);
}

TEST_F(OnPanel, NoRepaintWhileLoading) {
    control->BeginLoading();
    control->SetSquareLeft(8);
    control->SetColor(clYellow);
    control->SetCaption(QStringLiteral("Luz"));
    EXPECT_EQ(control->paints, 0);
    control->Loaded();
    EXPECT_FALSE(control->Loading());
    control->UpdateControlCanvas();
    EXPECT_EQ(control->paints, 1);
}

TEST_F(OnPanel, BeginUpdateHoldsRepaintsUntilBalanced) {
    control->BeginUpdate();
    control->BeginUpdate();
    control->SetSquareLeft(8);
    control->SetColor(clYellow);
    control->EndUpdate();
    EXPECT_EQ(control->paints, 0);
    control->EndUpdate();
    EXPECT_EQ(control->paints, 1);
    EXPECT_EQ(control->UpdateCount(), 0);

    // Not clamped: an unmatched EndUpdate silences the control until the counter is back at 0.
    control->EndUpdate();
    EXPECT_EQ(control->UpdateCount(), -1);
    EXPECT_EQ(control->paints, 1);
    control->BeginUpdate();
    control->UpdateControlCanvas();
    EXPECT_EQ(control->paints, 2);
}

TEST_F(OnPanel, OpaqueControlFillsWithItsColour) {
    control->UpdateControlCanvas();
    const QImage screen = Screen();
    EXPECT_EQ(screen.pixel(11, 11), Rgb(clBlue));
    EXPECT_EQ(screen.pixel(16, 16), Rgb(clRed));
    EXPECT_EQ(screen.pixel(5, 5), qRgb(0, 128, 0));
}

TEST_F(OnPanel, TransparentControlShowsThePanelAlsoAfterItsOwnChanges) {
    control->SetTransparent(true);
    QImage screen = Screen();
    EXPECT_EQ(screen.pixel(11, 11), qRgb(0, 128, 0));
    EXPECT_EQ(screen.pixel(16, 16), Rgb(clRed));

    control->SetSquareLeft(10);
    screen = Screen();
    EXPECT_EQ(screen.pixel(16, 16), qRgb(0, 128, 0));
    EXPECT_EQ(screen.pixel(21, 16), Rgb(clRed));
    EXPECT_EQ(screen.pixel(28, 28), qRgb(0, 128, 0));

    const QImage rendered = testing_support::paintWidget(*panel);
    EXPECT_EQ(rendered.pixel(16, 16), qRgb(0, 128, 0));
    EXPECT_EQ(rendered.pixel(21, 16), Rgb(clRed));

    control->SetTransparent(false);
    EXPECT_EQ(Screen().pixel(16, 16), Rgb(clBlue));
}

TEST_F(OnPanel, NotificationsReachTheVirtualsAndHandlers) {
    int entered = 0;
    int left = 0;
    int fonts = 0;
    int texts = 0;
    control->OnMouseEnter = [&](QObject* sender) {
        EXPECT_EQ(sender, control);
        ++entered;
    };
    control->OnMouseLeave = [&](QObject*) { ++left; };
    control->OnFontChanged = [&](QObject*) { ++fonts; };
    control->OnTextChanged = [&](QObject*) { ++texts; };

    QEnterEvent enter(QPointF(1, 1), QPointF(11, 11), QPointF(11, 11));
    QApplication::sendEvent(control, &enter);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(control, &leave);
    QFont font = control->font();
    font.setPixelSize(31);
    control->setFont(font);
    control->SetFontColor(clRed);
    control->SetFontColor(clRed);
    control->SetCaption(QStringLiteral("Luz"));
    control->SetCaption(QStringLiteral("Luz"));

    EXPECT_EQ(entered, 1);
    EXPECT_EQ(left, 1);
    EXPECT_EQ(fonts, 2);
    EXPECT_EQ(texts, 1);
    EXPECT_EQ(control->Caption(), QStringLiteral("Luz"));
}

TEST_F(OnPanel, ParentColorFollowsThePanel) {
    EXPECT_EQ(control->Color(), clBlue);
    control->SetParentColor(true);
    EXPECT_EQ(control->Color(), RGBColor(0, 128, 0));
    control->SetColor(clBlue);
    EXPECT_FALSE(control->ParentColor());
}

TEST(ControlBases, VersionIsFixedAndNotStored) {
    SquareControl graphic;
    FilledCustomControl custom;
    TVrComponent component;
    for (const QObject* object :
         {static_cast<const QObject*>(&graphic), static_cast<const QObject*>(&custom),
          static_cast<const QObject*>(&component)}) {
        EXPECT_EQ(object->property("Version").toString(), QStringLiteral("1.3"));
        const QMetaObject* meta = object->metaObject();
        EXPECT_FALSE(meta->property(meta->indexOfProperty("Version")).isStored());
    }
}

TEST(ControlBases, GraphicControlsTakeNoFocusCustomControlsCan) {
    SquareControl graphic;
    FilledCustomControl custom;
    EXPECT_EQ(graphic.focusPolicy(), Qt::NoFocus);
    EXPECT_FALSE(custom.TabStop());
    custom.SetTabStop(true);
    EXPECT_TRUE(custom.TabStop());
    EXPECT_NE(custom.focusPolicy() & Qt::TabFocus, 0);
}

TEST(ControlBases, CustomImageControlCopiesItsImageInOneBlock) {
    FilledCustomControl control;
    control.resize(8, 6);
    control.SetColor(clYellow);
    const QImage image = testing_support::paintWidget(control);
    EXPECT_EQ(image.pixel(0, 0), Rgb(clWhite));
    EXPECT_EQ(image.pixel(7, 5), Rgb(clBlack));
    EXPECT_EQ(image.pixel(3, 3), Rgb(clYellow));
    EXPECT_EQ(control.BitmapImage().size(), QSize(8, 6));
}

TEST(ControlBases, AutoSizeTakesTheProposedSizeExceptWhileLoading) {
    SizingControl control;
    control.resize(10, 10);
    control.BeginLoading();
    control.SetAutoSize(true);
    EXPECT_EQ(control.size(), QSize(10, 10));
    control.Loaded();
    control.UpdateControlBounds();
    EXPECT_EQ(control.size(), QSize(50, 20));
    control.SetAutoSize(false);
    control.resize(10, 10);
    control.AdjustControlSize();
    EXPECT_EQ(control.size(), QSize(10, 10));
}

TEST(ControlBases, CanvasOutsideAPaintDrawsNowhere) {
    SizingControl control;
    control.ClearClientCanvas();
    EXPECT_EQ(control.paints, 0);
}
