#include "widgets/Vrtrackbar.h"

#include "tests/support/WidgetImage.h"
#include "tests/widgets/SliderInput.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

using namespace thumb_input;

namespace {

// The console's inversion-period bar on a 79-pixel-wide track: travel 50 pixels.
class NarrowTrackBar : public ::testing::Test {
protected:
    void SetUp() override {
        bar.resize(79, 45);
        bar.SetMinValue(5);
        bar.SetMaxValue(50);
    }

    // Columns of the row that hold the tick colour.
    static std::vector<int> TickColumns(const QImage& image, int row) {
        std::vector<int> columns;
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, row) == Rgb(clBlack))
                columns.push_back(x);
        return columns;
    }

    TVrTrackBar bar;
};

} // namespace

TEST_F(NarrowTrackBar, FiveTicksPerScaleWithLongOnesAtTheEnds) {
    EXPECT_EQ(bar.TickValues(), (std::vector<int>{5, 15, 25, 35, 50}));
    const QImage image = testing_support::paintWidget(bar);
    const std::vector<int> all{14, 25, 36, 47, 64};
    const std::vector<int> ends{14, 64};
    // Top scale grows up from row 13, bottom scale down from row 31.
    EXPECT_EQ(TickColumns(image, 13), all);
    EXPECT_EQ(TickColumns(image, 11), all);
    EXPECT_EQ(TickColumns(image, 10), ends);
    EXPECT_EQ(TickColumns(image, 9), std::vector<int>{});
    EXPECT_EQ(TickColumns(image, 31), all);
    EXPECT_EQ(TickColumns(image, 34), ends);
}

TEST_F(NarrowTrackBar, ScalesFollowTickMarks) {
    bar.SetTickMarks(TVrTickMarks::tmTopLeft);
    QImage image = testing_support::paintWidget(bar);
    EXPECT_FALSE(TickColumns(image, 13).empty());
    EXPECT_TRUE(TickColumns(image, 31).empty());
    bar.SetTickMarks(TVrTickMarks::tmNone);
    image = testing_support::paintWidget(bar);
    EXPECT_TRUE(TickColumns(image, 13).empty());
}

TEST_F(NarrowTrackBar, CrowdedTicksAreThinnedAndBadFrequenciesStayFinite) {
    bar.SetFrequency(1);
    // 45 steps on 50 pixels: every fourth value keeps ticks 4 pixels or more apart.
    const std::vector<int> ticks = bar.TickValues();
    ASSERT_GE(ticks.size(), 2u);
    EXPECT_EQ(ticks[1] - ticks[0], 4);
    EXPECT_EQ(ticks.back(), 50);

    bar.SetFrequency(0);
    EXPECT_EQ(bar.TickValues(), (std::vector<int>{5, 50}));
    bar.SetFrequency(-10);
    EXPECT_EQ(bar.TickValues(), (std::vector<int>{5, 50}));
    bar.SetMinValue(std::numeric_limits<int>::min());
    bar.SetMaxValue(std::numeric_limits<int>::max());
    bar.SetFrequency(1);
    EXPECT_LE(bar.TickValues().size(), 14u);
    testing_support::paintWidget(bar);
}

TEST_F(NarrowTrackBar, GutterIsBevelledAndFilled) {
    bar.SetPosition(25);
    const QImage image = testing_support::paintWidget(bar);
    // Gutter 10..68 x 18..26: lowered outer ring, black inside; the thumb covers 32..40.
    EXPECT_EQ(image.pixel(10, 22), Rgb(clBtnShadow));
    EXPECT_EQ(image.pixel(68, 22), Rgb(clBtnHighlight));
    EXPECT_EQ(image.pixel(50, 22), Rgb(clBlack));
    bar.GutterBevel().SetVisible(false);
    EXPECT_EQ(testing_support::paintWidget(bar).pixel(50, 22), Rgb(clWindow));
}

TEST(TrackBar, KeysGoTheOtherWayRoundFromTheSlider) {
    TVrTrackBar bar;
    bar.SetMinValue(5);
    bar.SetMaxValue(50);
    bar.SetPosition(10);
    QSignalSpy changes(&bar, &TVrTrackBar::OnChange);
    Key(bar, Qt::Key_Home);
    EXPECT_EQ(bar.Position(), 50);
    Key(bar, Qt::Key_End);
    EXPECT_EQ(bar.Position(), 5);
    Key(bar, Qt::Key_Right);
    EXPECT_EQ(bar.Position(), 15);
    Key(bar, Qt::Key_Left);
    Key(bar, Qt::Key_Left);
    EXPECT_EQ(bar.Position(), 5);
    Key(bar, Qt::Key_End, Qt::ControlModifier);
    bar.SetStyle(TVrProgressStyle::psTopRight);
    Key(bar, Qt::Key_Right);
    EXPECT_EQ(bar.Position(), 5);
    Key(bar, Qt::Key_Left);
    EXPECT_EQ(bar.Position(), 15);
    EXPECT_EQ(changes.count(), 5);
}

TEST(TrackBar, ActiveClickPutsTheThumbCentreUnderThePointer) {
    TVrTrackBar bar;
    QSignalSpy changes(&bar, &TVrTrackBar::OnChange);
    Press(bar, QPoint(100, 22));
    Release(bar, QPoint(100, 22));
    EXPECT_EQ(bar.Position(), 59);
    EXPECT_EQ(bar.ThumbRect().center().x(), 100);
    EXPECT_EQ(changes.count(), 1);

    bar.SetOptions(bar.Options() | TVrTrackBarOption::toFixedPoints);
    Press(bar, QPoint(60, 22));
    EXPECT_EQ(bar.Position(), 30);

    bar.SetOptions(TVrTrackBarOption::toThumbOpaque);
    Press(bar, QPoint(150, 22));
    EXPECT_EQ(bar.Position(), 30);
}

TEST(TrackBar, DraggingAMirroredBarAndTheFocusFrame) {
    TVrTrackBar bar;
    bar.SetStyle(TVrProgressStyle::psTopRight);
    EXPECT_EQ(bar.ThumbRect(), QRect(156, 14, 9, 17));
    Press(bar, QPoint(160, 20));
    Drag(bar, QPoint(14, 20));
    EXPECT_EQ(bar.Position(), 100);
    Release(bar, QPoint(14, 20));

    bar.SetTabStop(true);
    bar.SetFocusOffset(2);
    bar.show();
    EXPECT_NE(testing_support::paintWidget(bar).pixel(2, 30), Rgb(clBlack)) << "no focus yet";
    bar.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&bar));
    bar.setFocus();
    ASSERT_TRUE(bar.hasFocus());
    EXPECT_EQ(testing_support::paintWidget(bar).pixel(2, 30), Rgb(clBlack));
}

TEST(TrackBar, ReleasingAnyButtonEndsTheDrag) {
    TVrTrackBar bar;
    Press(bar, bar.ThumbRect().center());
    ASSERT_TRUE(bar.Dragging());
    mouse_input::SendMouse(bar, QEvent::MouseButtonRelease, QPoint(14, 20), Qt::MiddleButton);
    EXPECT_FALSE(bar.Dragging());
}

TEST(TrackBar, VerticalBarTakesItsOwnThumb) {
    TVrTrackBar bar;
    bar.SetOrientation(TVrOrientation::voVertical);
    EXPECT_EQ(bar.size(), QSize(45, 175));
    EXPECT_EQ(bar.ThumbRect(), QRect(14, 156, 17, 9));
    Key(bar, Qt::Key_Up);
    EXPECT_EQ(bar.Position(), 10);
}
