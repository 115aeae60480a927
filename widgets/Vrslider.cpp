#include "widgets/Vrslider.h"

#include <QPainter>

#include <algorithm>

TVrSlider::TVrSlider(QWidget* parent) : TVrThumbControl(TVrOrientation::voVertical, parent) {
    bevel_.SetInnerStyle(TVrBevelStyle::bsLowered);
    bevel_.SetInnerWidth(2);
    bevel_.SetInnerColor(clBlack);
    const auto rebuild = [this](TVrPersistent&) { BarChanged(); };
    bevel_.OnChange = rebuild;
    palette_.OnChange = rebuild;
    SetColor(clBlack);
    resize(36, 171);
    LoadStockThumb();
}

void TVrSlider::SetSpacing(int value) {
    if (value >= 0 && StoreChanged(spacing_, value))
        BarChanged();
}

void TVrSlider::SetTickWidth(int value) {
    if (value >= 1 && StoreChanged(tickWidth_, value))
        BarChanged();
}

void TVrSlider::SetSolidFill(bool value) {
    if (StoreChanged(solidFill_, value))
        BarChanged();
}

void TVrSlider::SetStyle(TVrSliderStyle value) {
    if (StoreChanged(style_, value))
        BarChanged();
}

void TVrSlider::SetOptions(TVrSliderOptions value) {
    AssignAndRepaint(options_, value);
}

void TVrSlider::SetKeyIncrement(int value) {
    AssignAndRepaint(keyIncrement_, value);
}

void TVrSlider::SetBorderColor(TColor value) {
    AssignAndRepaint(borderColor_, value);
}

void TVrSlider::SetBorderWidth(int value) {
    if (value >= 0 && StoreChanged(borderWidth_, value))
        BarChanged();
}

void TVrSlider::SetFocusColor(TColor value) {
    AssignAndRepaint(focusColor_, value);
}

void TVrSlider::SetThumbIndent(int value) {
    if (value >= 0 && StoreChanged(thumbIndent_, value))
        UpdateControlCanvas();
}

QString TVrSlider::StockThumbName() const {
    // A vertical track takes the knob lying across it, and the reverse.
    return Orientation() == TVrOrientation::voVertical ? QStringLiteral("VRSLIDERTHUMB_HORI")
                                                       : QStringLiteral("VRSLIDERTHUMB_VERT");
}

void TVrSlider::BarChanged() {
    barStale_ = true;
    UpdateControlCanvas();
}

void TVrSlider::OrientationChanged() {
    barStale_ = true;
}

void TVrSlider::resizeEvent(QResizeEvent* event) {
    barStale_ = true;
    TVrThumbControl::resizeEvent(event);
}

TRect TVrSlider::BarArea() const {
    TRect area = TRect::FromSize(width(), height());
    area.Inflate(-borderWidth_, -borderWidth_);
    bevel_.GetVisibleArea(area);
    return area;
}

QImage TVrSlider::BarImage(QSize size, TColor color) const {
    QImage image(size.expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
    image.fill(ColorToQColor(Color()));
    QPainter canvas(&image);
    PrepareCanvas(canvas);
    QBrush fill(ColorToQColor(color));
    if (!solidFill_) {
        // Pixels whose coordinates share their parity take the colour, the others stay Color.
        QImage dither(8, 8, QImage::Format_RGB32);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                dither.setPixel(x, y, ColorToQColor(x % 2 == y % 2 ? color : Color()).rgb());
        fill = QBrush(dither);
    }
    const bool vertical = Orientation() == TVrOrientation::voVertical;
    const bool fromStart =
        vertical ? style_ == TVrSliderStyle::ssTopRight : style_ == TVrSliderStyle::ssBottomLeft;
    const int length = vertical ? image.height() : image.width();
    // Segments are at most the bar long; wider ones change nothing that shows.
    const int thickness = std::min(tickWidth_, length);
    const long long pitch = (long long)thickness + spacing_;
    for (long long start = 0; start < length; start += pitch) {
        const int from = fromStart ? int(start) : length - int(start) - thickness;
        const QRect segment = vertical ? QRect(0, from, image.width(), thickness)
                                       : QRect(from, 0, thickness, image.height());
        canvas.fillRect(segment, fill);
    }
    return image;
}

void TVrSlider::RebuildBar() {
    const TRect area = BarArea();
    const QSize size(std::max(0, area.Width()), std::max(0, area.Height()));
    lowBar_ = BarImage(size, palette_.Low());
    highBar_ = BarImage(size, palette_.High());
    barColor_ = Color();
    barStale_ = false;
}

void TVrSlider::CopyActivePart(const TRect& bar) {
    const QRect thumb = ThumbRect();
    TRect active = bar;
    const bool vertical = Orientation() == TVrOrientation::voVertical;
    if (vertical && style_ == TVrSliderStyle::ssBottomLeft)
        active.Top = thumb.top() + thumb.height() / 2;
    else if (vertical)
        active.Bottom = thumb.top() + thumb.height() - thumb.height() / 2;
    else if (style_ == TVrSliderStyle::ssBottomLeft)
        active.Right = thumb.left() + thumb.width() / 2;
    else
        active.Left = thumb.left() + thumb.width() - thumb.width() / 2;
    active.Left = std::max(active.Left, bar.Left);
    active.Top = std::max(active.Top, bar.Top);
    active.Right = std::min(active.Right, bar.Right);
    active.Bottom = std::min(active.Bottom, bar.Bottom);
    if (active.IsEmpty())
        return;
    TRect source = active;
    source.Offset(-bar.Left, -bar.Top);
    BitmapCanvas().drawImage(active.ToQRect(), highBar_, source.ToQRect());
}

void TVrSlider::Paint() {
    if (barStale_ || barColor_ != Color())
        RebuildBar();
    ClearBitmapCanvas();
    QPainter& canvas = BitmapCanvas();
    TRect rect = TRect::FromSize(width(), height());
    const TColor frame = hasFocus() ? focusColor_ : borderColor_;
    DrawFrame3D(canvas, rect, frame, frame, borderWidth_);
    bevel_.Paint(canvas, rect);
    if (!rect.IsEmpty()) {
        canvas.drawImage(rect.TopLeft(), lowBar_);
        CopyActivePart(rect);
    }
    PaintThumb();
    TVrThumbControl::Paint();
}
