#include "widgets/Vrjogmeter.h"

#include "tests/support/WidgetImage.h"

#include <QEvent>
#include <QObject>
#include <QTest>

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace {

QRgb Rgb(TColor color) {
    return ColorToQColor(color).rgb();
}

// The console's steering meter: 160 pixels for 50 units, 3.2 pixels per unit.
class SteeringMeter : public ::testing::Test {
protected:
    void SetUp() override {
        meter.Scale().SetApperture(50);
        meter.Scale().SetSmallStep(1);
    }

    std::vector<QString> LabelTexts() const {
        std::vector<QString> texts;
        for (const TVrJogMark& mark : meter.MajorMarks())
            texts.push_back(meter.Scale().LabelText(mark.value));
        return texts;
    }
    std::vector<int> LabelPixels() const {
        std::vector<int> pixels;
        for (const TVrJogMark& mark : meter.MajorMarks())
            pixels.push_back(mark.pixel);
        return pixels;
    }

    TVrJogMeter meter;
};

// Counts the paints a widget receives.
class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

} // namespace

TEST_F(SteeringMeter, CentredScaleAtZero) {
    EXPECT_EQ(LabelTexts(), (std::vector<QString>{"-20", "-10", "0", "10", "20"}));
    EXPECT_EQ(LabelPixels(), (std::vector<int>{16, 48, 80, 112, 144}));

    meter.SetFromColor(clWhite);
    meter.SetFontColor(clBlue);
    const QImage image = testing_support::paintWidget(meter);
    // Major ticks 15 pixels down from the top, minor ones 8; the red line over the middle.
    EXPECT_EQ(image.pixel(48, 14), Rgb(clBlack));
    EXPECT_NE(image.pixel(48, 15), Rgb(clBlack));
    EXPECT_EQ(image.pixel(51, 7), Rgb(clBlack));
    EXPECT_EQ(image.pixel(51, 8), Rgb(clWhite));
    for (int y = 0; y < 40; ++y)
        EXPECT_EQ(image.pixel(80, y), Rgb(clRed)) << y;
    // Label ink sits under its tick, below the major ticks.
    int inkLeft = 160;
    int inkRight = -1;
    for (int y = 15; y < 40; ++y)
        for (int x = 30; x < 66; ++x)
            if (qGray(image.pixel(x, y)) < 128) {
                inkLeft = std::min(inkLeft, x);
                inkRight = std::max(inkRight, x);
            }
    EXPECT_NEAR((inkLeft + inkRight) / 2.0, 48, 2);
}

TEST_F(SteeringMeter, LabelsHangFromTheMajorTicksOnTheScaleSide) {
    meter.SetFromColor(clWhite);
    meter.SetFontColor(clBlue);
    meter.Scale().SetColor(clWhite);
    meter.Value().SetVisible(false);
    const QSize text = TextExtent(meter.font(), QStringLiteral("-10"));
    // The ink of the label of the tick at 48, at its two possible sides.
    const auto labelInk = [&] {
        const QImage image = testing_support::paintWidget(meter);
        QRect ink;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 30; x < 66; ++x)
                if (image.pixel(x, y) != Rgb(clWhite))
                    ink |= QRect(x, y, 1, 1);
        return ink;
    };
    const QRect below = labelInk();
    ASSERT_FALSE(below.isNull());
    EXPECT_TRUE(QRect(48 - text.width() / 2, 15, text.width(), text.height()).contains(below))
        << below.x() << "," << below.y() << " " << below.width() << "x" << below.height();

    meter.Scale().SetPosition(TVrPosition::voAfter);
    const QRect above = labelInk();
    ASSERT_FALSE(above.isNull());
    EXPECT_TRUE(QRect(48 - text.width() / 2, 40 - 15 - text.height(), text.width(), text.height())
                    .contains(above))
        << above.x() << "," << above.y() << " " << above.width() << "x" << above.height();
}

TEST_F(SteeringMeter, ValueThreeShiftsTheScaleLeft) {
    meter.Value().SetValue(3);
    EXPECT_EQ(LabelTexts(), (std::vector<QString>{"-20", "-10", "0", "10", "20"}));
    EXPECT_EQ(LabelPixels(), (std::vector<int>{6, 38, 70, 102, 134}));
    EXPECT_EQ(meter.MinorMarks().front().pixel, 0);

    // Further along, ticks left of the edge are skipped, not drawn at negative pixels.
    meter.Value().SetValue(33);
    EXPECT_EQ(LabelTexts().front(), "10");
    EXPECT_EQ(meter.MajorMarks().front().pixel, 6);
    for (const TVrJogMark& mark : meter.MinorMarks())
        EXPECT_GE(mark.pixel, 0);
}

TEST_F(SteeringMeter, GradientRunsFromTheEndsToTheMiddle) {
    meter.Value().SetVisible(false);
    meter.Scale().SetVisible(false);
    const QImage image = testing_support::paintWidget(meter);
    EXPECT_EQ(image.pixel(0, 30), Rgb(clBlack));
    EXPECT_EQ(image.pixel(159, 30), Rgb(clBlack));
    EXPECT_EQ(image.pixel(79, 30), qRgb(251, 251, 251));
    EXPECT_EQ(image.pixel(80, 30), qRgb(251, 251, 251));
    EXPECT_EQ(image.pixel(40, 30), qRgb(127, 127, 127));
}

TEST_F(SteeringMeter, RepaintsOnlyOnARealChange) {
    meter.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&meter));
    PaintCounter counter;
    meter.installEventFilter(&counter);
    meter.Value().SetValue(0);
    EXPECT_EQ(counter.paints, 0);
    meter.Value().SetValue(12.5);
    EXPECT_EQ(counter.paints, 1);
    meter.Value().SetValue(std::numeric_limits<double>::quiet_NaN());
    meter.Value().SetValue(std::numeric_limits<double>::infinity());
    EXPECT_EQ(meter.Value().Value(), 12.5);
    EXPECT_EQ(counter.paints, 1);
    meter.Scale().SetStep(5);
    EXPECT_EQ(counter.paints, 2);
}

TEST_F(SteeringMeter, DegenerateScalesStayBounded) {
    meter.Scale().SetApperture(0);
    for (const TVrJogMark& mark : meter.MajorMarks())
        EXPECT_EQ(mark.pixel, 0);
    EXPECT_EQ(meter.MajorMarks().size(), 1u);

    meter.Scale().SetApperture(50);
    meter.Scale().SetStep(0);
    meter.Scale().SetSmallStep(-1);
    EXPECT_TRUE(meter.MajorMarks().empty());
    EXPECT_TRUE(meter.MinorMarks().empty());
    meter.Scale().SetSmallStep(1e-9);
    EXPECT_LE(meter.MinorMarks().size(), 100001u);
    testing_support::paintWidget(meter);
}

TEST(JogMeterScale, LabelsFollowDecimalsAndFormat) {
    TVrJogMeterScale scale;
    EXPECT_EQ(scale.LabelText(-20), "-20");
    EXPECT_EQ(scale.LabelText(-0.0), "0");
    scale.SetDecimals(1);
    scale.SetFormatText("%s km");
    EXPECT_EQ(scale.LabelText(10), "10.0 km");
    EXPECT_EQ(scale.LabelText(-0.04), "0.0 km");
    scale.SetFormatText("%s%%");
    EXPECT_EQ(scale.LabelText(2.5), "2.5%");
}

TEST(JogMeter, DirectionSwapsTheSizeAndVerticalScalesRunDown) {
    TVrJogMeter meter;
    meter.SetDirection(TVrDirection::voVertical);
    EXPECT_EQ(meter.size(), QSize(40, 160));
    meter.Scale().SetApperture(50);
    EXPECT_EQ(meter.MajorMarks().front().pixel, 16);
    meter.SetFromColor(clWhite);
    meter.SetFontColor(clBlue);
    const QImage image = testing_support::paintWidget(meter);
    EXPECT_EQ(image.pixel(14, 16), Rgb(clBlack));
    EXPECT_NE(image.pixel(15, 16), Rgb(clBlack));
    EXPECT_EQ(image.pixel(20, 80), Rgb(clRed));
}

TEST(JogMeter, IndicatorShapes) {
    TVrJogMeter meter;
    meter.SetFromColor(clWhite);
    meter.Scale().SetVisible(false);
    meter.Value().SetShape(TvrIndicatorShape::voTriangle);
    QImage image = testing_support::paintWidget(meter);
    EXPECT_EQ(image.pixel(80, 4), Rgb(clRed));
    EXPECT_EQ(image.pixel(80, 20), Rgb(clWhite));

    meter.Value().SetShape(TvrIndicatorShape::voBitmap);
    image = testing_support::paintWidget(meter);
    EXPECT_EQ(image.pixel(80, 2), qRgb(255, 32, 32));
    EXPECT_EQ(image.pixel(77, 8), Rgb(clWhite));

    meter.Scale().SetPosition(TVrPosition::voAfter);
    image = testing_support::paintWidget(meter);
    EXPECT_EQ(image.pixel(80, 37), qRgb(255, 32, 32));
    EXPECT_EQ(image.pixel(80, 2), Rgb(clWhite));
}
