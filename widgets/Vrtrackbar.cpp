#include "widgets/Vrtrackbar.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr int LongTick = 4;
constexpr int ShortTick = 3;
// Ticks closer than this many pixels are thinned out.
constexpr double MinimumTickDistance = 4;

} // namespace

TVrTrackBar::TVrTrackBar(QWidget* parent) : TVrThumbControl(TVrOrientation::voHorizontal, parent) {
    gutterBevel_.SetInnerStyle(TVrBevelStyle::bsNone);
    gutterBevel_.SetInnerSpace(0);
    gutterBevel_.SetInnerOutline(TVrBevelOutlineStyle::osNone);
    gutterBevel_.SetOuterStyle(TVrBevelStyle::bsLowered);
    gutterBevel_.SetOuterSpace(0);
    gutterBevel_.SetOuterOutline(TVrBevelOutlineStyle::osNone);
    gutterBevel_.OnChange = [this](TVrPersistent&) { UpdateControlCanvas(); };
    SetColor(clWindow);
    SetParentColor(true);
    resize(175, 45);
    LoadStockThumb();
}

void TVrTrackBar::SetStyle(TVrProgressStyle value) {
    AssignAndRepaint(style_, value);
}

void TVrTrackBar::SetOptions(TVrTrackBarOptions value) {
    AssignAndRepaint(options_, value);
}

void TVrTrackBar::SetFrequency(int value) {
    AssignAndRepaint(frequency_, value);
}

void TVrTrackBar::SetBorderWidth(int value) {
    if (value >= 0 && StoreChanged(borderWidth_, value))
        UpdateControlCanvas();
}

void TVrTrackBar::SetGutterWidth(int value) {
    AssignAndRepaint(gutterWidth_, value);
}

void TVrTrackBar::SetGutterColor(TColor value) {
    AssignAndRepaint(gutterColor_, value);
}

void TVrTrackBar::SetTickMarks(TVrTickMarks value) {
    AssignAndRepaint(tickMarks_, value);
}

void TVrTrackBar::SetTickColor(TColor value) {
    AssignAndRepaint(tickColor_, value);
}

void TVrTrackBar::SetScaleOffset(int value) {
    AssignAndRepaint(scaleOffset_, value);
}

void TVrTrackBar::SetFocusColor(TColor value) {
    AssignAndRepaint(focusColor_, value);
}

void TVrTrackBar::SetFocusOffset(int value) {
    AssignAndRepaint(focusOffset_, value);
}

QString TVrTrackBar::StockThumbName() const {
    return Orientation() == TVrOrientation::voVertical ? QStringLiteral("VRTB_VERT")
                                                       : QStringLiteral("VRTB_HORI");
}

int TVrTrackBar::SnapFrequency() const {
    return options_ & TVrTrackBarOption::toFixedPoints ? frequency_ : 0;
}

std::vector<int> TVrTrackBar::TickValues() const {
    const double range = double(MaxValue()) - double(MinValue());
    if (frequency_ <= 0)
        return range > 0 ? std::vector<int>{MinValue(), MaxValue()} : std::vector<int>{MaxValue()};
    const double travel = Track().Travel();
    const auto countFor = [&](double step) {
        return std::max(1.0, std::nearbyint(range / step) + 1);
    };
    const auto farEnough = [&](double count) {
        const double distance = count > 1 ? travel / (count - 1) : travel;
        return distance >= MinimumTickDistance || distance >= travel;
    };
    // At most this many gaps fit; no step below `lowest` gets there, so the search starts there
    // and ends within a few steps even for the widest ranges.
    const double gaps = std::max(std::floor(travel / MinimumTickDistance), 1.0);
    const double lowest = travel > 0 ? std::floor(range / (frequency_ * (gaps + 0.5))) : 1;
    double step = frequency_ * std::max(1.0, lowest);
    while (!farEnough(countFor(step)))
        step += frequency_;
    const int count = int(countFor(step));
    std::vector<int> values;
    values.reserve(std::size_t(count));
    for (int i = 0; i + 1 < count; ++i)
        values.push_back(int(MinValue() + i * step));
    values.push_back(MaxValue());
    return values;
}

TRect TVrTrackBar::Gutter() const {
    if (Orientation() == TVrOrientation::voHorizontal) {
        const int top = (height() - gutterWidth_) / 2;
        return {borderWidth_, top, width() - borderWidth_, top + gutterWidth_};
    }
    const int left = (width() - gutterWidth_) / 2;
    return {left, borderWidth_, left + gutterWidth_, height() - borderWidth_};
}

void TVrTrackBar::PaintScale(const TRect& gutter, bool beforeGutter) {
    const TVrThumbTrack track = Track();
    const bool vertical = track.vertical;
    const int base = beforeGutter ? (vertical ? gutter.Left : gutter.Top) - scaleOffset_
                                  : (vertical ? gutter.Right : gutter.Bottom) - 1 + scaleOffset_;
    const int direction = beforeGutter ? -1 : 1;
    const std::vector<int> values = TickValues();
    for (std::size_t i = 0; i < values.size(); ++i) {
        const bool endTick = i == 0 || i + 1 == values.size();
        const int length = endTick ? LongTick : ShortTick;
        const int along = track.OffsetOf(values[i]) + track.ThumbExtent() / 2;
        const QPoint from = vertical ? QPoint(base, along) : QPoint(along, base);
        const QPoint to = vertical ? QPoint(base + direction * length, along)
                                   : QPoint(along, base + direction * length);
        Line(BitmapCanvas(), from, to, tickColor_);
    }
}

void TVrTrackBar::Paint() {
    ClearBitmapCanvas();
    QPainter& canvas = BitmapCanvas();
    const TRect gutter = Gutter();
    if (tickMarks_ == TVrTickMarks::tmBoth || tickMarks_ == TVrTickMarks::tmTopLeft)
        PaintScale(gutter, true);
    if (tickMarks_ == TVrTickMarks::tmBoth || tickMarks_ == TVrTickMarks::tmBottomRight)
        PaintScale(gutter, false);
    if (gutterBevel_.Visible()) {
        TRect inside = gutter;
        gutterBevel_.Paint(canvas, inside);
        FillRect(canvas, inside, gutterColor_);
    }
    if (hasFocus() && focusOffset_ >= 0) {
        TRect frame = TRect::FromSize(width(), height());
        frame.Inflate(-focusOffset_, -focusOffset_);
        FrameRect(canvas, frame, focusColor_);
    }
    PaintThumb();
    TVrThumbControl::Paint();
}
