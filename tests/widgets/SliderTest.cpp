#include "widgets/Vrslider.h"

#include "tests/support/WidgetImage.h"
#include "tests/widgets/SliderInput.h"

#include <QCursor>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace thumb_input;

namespace {

// A vertical 0..50 slider of the stock size: bar area x 6..29, y 6..164, thumb 30 x 13.
class VerticalSlider : public ::testing::Test {
protected:
    void SetUp() override {
        slider.SetMaxValue(50);
        changes = std::make_unique<QSignalSpy>(&slider, &TVrSlider::OnChange);
    }

    // The colours of the bar column x = 18 between two rows, as row → colour.
    static void ExpectRows(const QImage& image, int fromRow, int toRow, TColor segment) {
        for (int y = fromRow; y < toRow; ++y) {
            const TColor expected = (164 - y) % 2 == 0 ? segment : clBlack;
            EXPECT_EQ(image.pixel(18, y), Rgb(expected)) << "row " << y;
        }
    }

    TVrSlider slider;
    std::unique_ptr<QSignalSpy> changes;
};

} // namespace

TEST_F(VerticalSlider, AtZeroTheThumbSitsAtTheBottomAndHidesTheActivePart) {
    EXPECT_EQ(slider.ThumbRect(), QRect(3, 155, 30, 13));
    const QImage image = testing_support::paintWidget(slider);
    ExpectRows(image, 6, 155, clGreen);
    for (int y = 0; y < 155; ++y)
        for (int x = 0; x < 36; ++x)
            ASSERT_NE(image.pixel(x, y), Rgb(clLime)) << x << "," << y;
}

TEST_F(VerticalSlider, ActiveSegmentsRunFromTheBottomUpToTheThumbCentre) {
    slider.SetPosition(50);
    EXPECT_EQ(slider.ThumbRect(), QRect(3, 3, 30, 13));
    ExpectRows(testing_support::paintWidget(slider), 16, 165, clLime);

    slider.SetPosition(25);
    EXPECT_EQ(slider.ThumbRect(), QRect(3, 79, 30, 13));
    const QImage half = testing_support::paintWidget(slider);
    ExpectRows(half, 6, 79, clGreen);
    ExpectRows(half, 92, 165, clLime);
}

TEST_F(VerticalSlider, FrameBevelAndDitheredFill) {
    slider.SetSolidFill(false);
    slider.SetPosition(50);
    const QImage image = testing_support::paintWidget(slider);
    EXPECT_EQ(image.pixel(0, 0), Rgb(clBtnFace));
    EXPECT_EQ(image.pixel(1, 1), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(2, 50), Rgb(clBtnHighlight));
    // Segment pixels whose coordinates share their parity carry the colour.
    EXPECT_EQ(image.pixel(18, 164), Rgb(clLime));
    EXPECT_EQ(image.pixel(19, 164), Rgb(clBlack));
    EXPECT_EQ(image.pixel(18, 163), Rgb(clBlack));
    EXPECT_EQ(image.pixel(20, 162), Rgb(clLime));
}

TEST_F(VerticalSlider, PositionIsClampedAndOnlyARealChangeNotifies) {
    slider.SetPosition(60);
    EXPECT_EQ(slider.Position(), 50);
    EXPECT_EQ(changes->count(), 1);
    slider.SetPosition(50);
    slider.SetPosition(70);
    EXPECT_EQ(changes->count(), 1);
    slider.SetPosition(-5);
    EXPECT_EQ(slider.Position(), 0);
    EXPECT_EQ(changes->count(), 2);
    EXPECT_EQ(changes->at(1).at(0).value<QObject*>(), &slider);
}

TEST_F(VerticalSlider, MovingABoundPastThePositionDragsItAlong) {
    slider.SetPosition(40);
    changes->clear();
    slider.SetMaxValue(30);
    EXPECT_EQ(slider.Position(), 30);
    EXPECT_EQ(changes->count(), 1);
    slider.SetMaxValue(45);
    slider.SetMinValue(10);
    EXPECT_EQ(changes->count(), 1);
    slider.SetMinValue(35);
    EXPECT_EQ(slider.Position(), 35);
    EXPECT_EQ(changes->count(), 2);
}

TEST_F(VerticalSlider, EmptyRangeKeepsTheThumbAtTheMinimumEnd) {
    slider.SetMaxValue(0);
    EXPECT_EQ(slider.ThumbRect(), QRect(3, 155, 30, 13));
    Press(slider, QPoint(18, 100));
    Drag(slider, QPoint(18, 20));
    EXPECT_EQ(slider.Position(), 0);
}

TEST_F(VerticalSlider, KeysStepTheValueWithinTheRange) {
    slider.SetPosition(20);
    Key(slider, Qt::Key_Up);
    EXPECT_EQ(slider.Position(), 25);
    Key(slider, Qt::Key_Down);
    Key(slider, Qt::Key_Down);
    EXPECT_EQ(slider.Position(), 15);
    Key(slider, Qt::Key_Right);
    Key(slider, Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(slider.Position(), 15);
    Key(slider, Qt::Key_End);
    EXPECT_EQ(slider.Position(), 50);
    Key(slider, Qt::Key_Home);
    EXPECT_EQ(slider.Position(), 0);

    slider.SetStyle(TVrSliderStyle::ssTopRight);
    slider.SetKeyIncrement(1);
    slider.SetPosition(20);
    Key(slider, Qt::Key_Up);
    EXPECT_EQ(slider.Position(), 19);
}

TEST_F(VerticalSlider, HorizontalSliderUsesLeftAndRight) {
    slider.SetOrientation(TVrOrientation::voHorizontal);
    EXPECT_EQ(slider.size(), QSize(171, 36));
    EXPECT_EQ(slider.ThumbRect().size(), QSize(13, 30));
    slider.SetPosition(10);
    Key(slider, Qt::Key_Right);
    EXPECT_EQ(slider.Position(), 15);
    Key(slider, Qt::Key_Left);
    Key(slider, Qt::Key_Left);
    EXPECT_EQ(slider.Position(), 5);
    Key(slider, Qt::Key_Up);
    EXPECT_EQ(slider.Position(), 5);
}

TEST_F(VerticalSlider, DraggingTheThumbFollowsThePointerAndStopsAtTheEnds) {
    slider.SetPosition(25);
    Press(slider, QPoint(18, 85));
    EXPECT_TRUE(slider.Dragging());
    Drag(slider, QPoint(18, 9));
    EXPECT_EQ(slider.Position(), 50);
    Drag(slider, QPoint(18, -300));
    EXPECT_EQ(slider.Position(), 50);
    Drag(slider, QPoint(18, 161));
    EXPECT_EQ(slider.Position(), 0);
    Drag(slider, QPoint(18, 85));
    EXPECT_EQ(slider.Position(), 25);
    Release(slider, QPoint(18, 85));
    EXPECT_FALSE(slider.Dragging());
    Hover(slider, QPoint(18, 20));
    EXPECT_EQ(slider.Position(), 25);
}

TEST_F(VerticalSlider, ClickBesideTheThumbMovesItOnlyWithActiveClick) {
    slider.SetPosition(25);
    Press(slider, QPoint(18, 20));
    Release(slider, QPoint(18, 20));
    EXPECT_EQ(slider.Position(), 25);
    EXPECT_EQ(changes->count(), 1);

    slider.SetOptions(slider.Options() | TVrSliderOption::soActiveClick);
    Press(slider, QPoint(18, 20));
    EXPECT_FALSE(slider.Dragging());
    // As close as the value steps allow.
    EXPECT_NEAR(slider.ThumbRect().center().y(), 20, 1);
    Release(slider, QPoint(18, 20));
}

TEST_F(VerticalSlider, HandCursorOnlyOverTheThumb) {
    slider.setCursor(Qt::CrossCursor);
    slider.SetPosition(25);
    Hover(slider, QPoint(18, 85));
    EXPECT_TRUE(slider.Hot());
    EXPECT_EQ(slider.cursor().shape(), Qt::BitmapCursor);
    Hover(slider, QPoint(18, 20));
    EXPECT_FALSE(slider.Hot());
    EXPECT_EQ(slider.cursor().shape(), Qt::CrossCursor);

    slider.SetOptions(TVrSliderOption::soThumbOpaque);
    Hover(slider, QPoint(18, 85));
    EXPECT_EQ(slider.cursor().shape(), Qt::CrossCursor);
}

TEST_F(VerticalSlider, MouseClipConfinesThePointerWhileDragging) {
    slider.SetOptions(slider.Options() | TVrSliderOption::soMouseClip);
    slider.show();
    slider.SetPosition(25);
    Press(slider, QPoint(18, 85));
    EXPECT_TRUE(slider.PointerConfined());
    Drag(slider, QPoint(80, 400));
    EXPECT_EQ(slider.Position(), 0);
    const QRect area(slider.mapToGlobal(QPoint(0, 0)), slider.size());
    EXPECT_TRUE(area.contains(QCursor::pos())) << QCursor::pos().x() << "," << QCursor::pos().y();
    Release(slider, QPoint(80, 400));
    EXPECT_FALSE(slider.PointerConfined());
    EXPECT_FALSE(slider.Dragging());
}

TEST_F(VerticalSlider, ReleasingAnyButtonEndsADragAndItsConfinement) {
    slider.SetOptions(slider.Options() | TVrSliderOption::soMouseClip);
    slider.show();
    for (Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton, Qt::LeftButton}) {
        Press(slider, slider.ThumbRect().center());
        ASSERT_TRUE(slider.PointerConfined());
        mouse_input::SendMouse(slider, QEvent::MouseButtonRelease, QPoint(18, 85), button);
        EXPECT_FALSE(slider.Dragging()) << button;
        EXPECT_FALSE(slider.PointerConfined()) << button;
    }
}

TEST_F(VerticalSlider, FocusedFrameTakesTheFocusColour) {
    slider.SetTabStop(true);
    slider.show();
    EXPECT_EQ(testing_support::paintWidget(slider).pixel(0, 0), Rgb(clBtnFace));
    slider.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&slider));
    slider.setFocus();
    ASSERT_TRUE(slider.hasFocus());
    EXPECT_EQ(slider.FocusColor(), clBlue);
    EXPECT_EQ(testing_support::paintWidget(slider).pixel(0, 0), Rgb(clBlue));
}

TEST_F(VerticalSlider, HidingEndsADrag) {
    slider.show();
    Press(slider, slider.ThumbRect().center());
    slider.hide();
    EXPECT_FALSE(slider.Dragging());
    EXPECT_FALSE(slider.PointerConfined());
}

TEST_F(VerticalSlider, DisabledSingleFrameThumbStillDrawsFrameZero) {
    slider.SetPosition(25);
    const QImage enabled = testing_support::paintWidget(slider).copy(slider.ThumbRect());
    slider.setEnabled(false);
    const QImage disabled = testing_support::paintWidget(slider).copy(slider.ThumbRect());
    EXPECT_EQ(enabled, disabled);
}

TEST_F(VerticalSlider, SeeThroughThumbLetsTheBarShowAtItsCorners) {
    slider.SetPosition(50);
    EXPECT_EQ(testing_support::paintWidget(slider).pixel(3, 15), qRgb(0, 0, 0));
    slider.SetOptions(TVrSliderOption::soHandPoint);
    slider.Palette().SetHigh(clRed);
    EXPECT_EQ(testing_support::paintWidget(slider).pixel(3, 15), Rgb(clBtnShadow));
}
