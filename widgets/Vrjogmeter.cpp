#include "widgets/Vrjogmeter.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Bounds the work of one paint whatever the scale's steps (a tiny step would ask for millions).
constexpr int MaxTicksPerScale = 100000;
// Tick values beyond this size are written in scientific notation, as fixed notation with
// eight digits of precision cannot show them.
constexpr double LargestFixedValue = 1e8;

int RoundToInt(double value) {
    const double rounded = std::nearbyint(value);
    return int(std::clamp(rounded, double(std::numeric_limits<int>::min()),
                          double(std::numeric_limits<int>::max())));
}

// The colour `step` of `steps` on the way from `from` to `to`, per channel.
TColor Blend(TColor from, TColor to, int step, int steps) {
    const TColor a = ColorToRGB(from);
    const TColor b = ColorToRGB(to);
    const auto channel = [&](int x, int y) { return x + (y - x) * step / steps; };
    return RGBColor(channel(RedOf(a), RedOf(b)), channel(GreenOf(a), GreenOf(b)),
                    channel(BlueOf(a), BlueOf(b)));
}

} // namespace

QString TVrJogMeterScale::LabelText(double value) const {
    QString number = std::abs(value) >= LargestFixedValue
                         ? QString::number(value, 'g', 8)
                         : QString::number(value, 'f', std::clamp(decimals_, 0, 18));
    // A value that rounds to zero reads "0", not "-0".
    if (number.startsWith(QLatin1Char('-')) &&
        number.count(QLatin1Char('0')) + number.count(QLatin1Char('.')) == number.size() - 1)
        number.remove(0, 1);

    QString text;
    bool placed = false;
    for (qsizetype i = 0; i < formatText_.size(); ++i) {
        const QChar c = formatText_[i];
        const QChar next = i + 1 < formatText_.size() ? formatText_[i + 1] : QChar();
        if (c == QLatin1Char('%') && next == QLatin1Char('%')) {
            text += QLatin1Char('%');
            ++i;
        } else if (c == QLatin1Char('%') && next == QLatin1Char('s') && !placed) {
            text += number;
            placed = true;
            ++i;
        } else {
            text += c;
        }
    }
    return text;
}

TVrLiniarIndicator::TVrLiniarIndicator() : bitmap_(QStringLiteral(":/widgets/TIWPIN.png")) {}

void TVrLiniarIndicator::SetBitmap(const QImage& value) {
    bitmap_ = value.isNull() ? QImage(QStringLiteral(":/widgets/TIWPIN.png")) : value;
    Changed();
}

// ---------------------------------------------------------------------------------------------

TVrJogMeter::TVrJogMeter(QWidget* parent) : TVrGraphicImageControl(parent) {
    const auto repaint = [this](TVrPersistent&) { UpdateControlCanvas(); };
    scale_.OnChange = repaint;
    value_.OnChange = repaint;
    SetColor(clBlack);
    QFont meterFont(QStringLiteral("Arial"));
    meterFont.setPointSize(8);
    setFont(meterFont);
    SetFontColor(clBlack);
    resize(160, 40);
}

void TVrJogMeter::SetDirection(TVrDirection value) {
    if (direction_ == value)
        return;
    if (!Loading())
        resize(height(), width());
    direction_ = value;
    UpdateControlCanvas();
}

void TVrJogMeter::SetShowCaption(bool value) {
    if (showCaption_ == value)
        return;
    showCaption_ = value;
    UpdateControlCanvas();
}

void TVrJogMeter::SetFromColor(TColor value) {
    if (fromColor_ == value)
        return;
    fromColor_ = value;
    UpdateControlCanvas();
}

void TVrJogMeter::SetToColor(TColor value) {
    if (toColor_ == value)
        return;
    toColor_ = value;
    UpdateControlCanvas();
}

int TVrJogMeter::Length() const {
    return direction_ == TVrDirection::voHorizontal ? width() : height();
}

int TVrJogMeter::BaseLine() const {
    if (scale_.Position() == TVrPosition::voBefore)
        return 0;
    return direction_ == TVrDirection::voHorizontal ? height() : width();
}

int TVrJogMeter::PixelOf(double relative) const {
    const double apperture = scale_.Apperture();
    if (!(apperture > 0))
        return 0;
    return RoundToInt(Length() * relative / apperture);
}

std::vector<TVrJogMark> TVrJogMeter::Marks(double step) const {
    std::vector<TVrJogMark> marks;
    if (!(step > 0))
        return marks;
    const double apperture = scale_.Apperture();
    const double windowStart = value_.Value() - apperture / 2;
    const double first = std::trunc(windowStart / step) * step;
    const double count = std::min(std::trunc(apperture / step), double(MaxTicksPerScale));
    const int length = Length();
    for (int k = 0; k <= count; ++k) {
        const double value = first + k * step;
        const int pixel = PixelOf(value - windowStart);
        if (pixel < 0)
            continue;
        if (pixel > length)
            break;
        marks.push_back({pixel, value});
    }
    return marks;
}

void TVrJogMeter::PaintGradient() {
    QPainter& canvas = BitmapCanvas();
    const bool horizontal = direction_ == TVrDirection::voHorizontal;
    const int length = Length();
    const int half = length / 2;
    for (int band = 0; band < length; ++band) {
        const int step = band < half ? band : std::max(0, 2 * half - 1 - band);
        const TColor color = half > 0 ? Blend(fromColor_, toColor_, step, half) : fromColor_;
        const TRect rect =
            horizontal ? TRect{band, 0, band + 1, height()} : TRect{0, band, width(), band + 1};
        FillRect(canvas, rect, color);
    }
}

void TVrJogMeter::PaintCaption() {
    const QSize text = TextExtent(font(), Caption());
    const int left = width() / 2 - text.width() / 2;
    const bool atBottom =
        direction_ == TVrDirection::voHorizontal && scale_.Position() == TVrPosition::voBefore;
    TextOut(BitmapCanvas(), left, atBottom ? height() - text.height() : 0, Caption(), FontColor());
}

void TVrJogMeter::PaintLabels() {
    const int base = BaseLine();
    const bool before = scale_.Position() == TVrPosition::voBefore;
    const bool horizontal = direction_ == TVrDirection::voHorizontal;
    const int reach = scale_.HeightMax();
    for (const TVrJogMark& mark : MajorMarks()) {
        const int pixel = mark.pixel;
        const QString label = scale_.LabelText(mark.value);
        const QSize text = TextExtent(font(), label);
        int left = 0;
        int top = 0;
        if (horizontal) {
            left = pixel - text.width() / 2;
            top = before ? base + reach : base - reach - text.height();
        } else {
            top = pixel - text.height() / 2;
            left = before ? base + reach : base - reach - text.width();
        }
        TextOut(BitmapCanvas(), left, top, label, FontColor());
    }
}

void TVrJogMeter::TickLine(int pixel, int length) {
    const int base = BaseLine();
    const int tip = scale_.Position() == TVrPosition::voBefore ? base + length : base - length;
    if (direction_ == TVrDirection::voHorizontal)
        Line(BitmapCanvas(), QPoint(pixel, base), QPoint(pixel, tip), scale_.Color());
    else
        Line(BitmapCanvas(), QPoint(base, pixel), QPoint(tip, pixel), scale_.Color());
}

void TVrJogMeter::PaintTicks() {
    for (const TVrJogMark& mark : MinorMarks())
        TickLine(mark.pixel, scale_.HeightMin());
    for (const TVrJogMark& mark : MajorMarks())
        TickLine(mark.pixel, scale_.HeightMax());
}

void TVrJogMeter::PaintIndicator() {
    QPainter& canvas = BitmapCanvas();
    const bool horizontal = direction_ == TVrDirection::voHorizontal;
    const bool before = scale_.Position() == TVrPosition::voBefore;
    const int middle = horizontal ? width() / 2 : height() / 2;
    switch (value_.Shape()) {
    case TvrIndicatorShape::voLine:
        if (horizontal)
            Line(canvas, QPoint(middle, 0), QPoint(middle, height()), value_.Color());
        else
            Line(canvas, QPoint(0, middle), QPoint(width(), middle), value_.Color());
        break;
    case TvrIndicatorShape::voTriangle: {
        const int base = BaseLine();
        const int depth = before ? base + scale_.HeightMin() : base - scale_.HeightMin();
        const QPoint corners[] = {
            horizontal ? QPoint(middle, base) : QPoint(base, middle),
            horizontal ? QPoint(middle - 5, depth) : QPoint(depth, middle - 5),
            horizontal ? QPoint(middle + 5, depth) : QPoint(depth, middle + 5)};
        canvas.save();
        canvas.setPen(ColorToQColor(scale_.Color()));
        canvas.setBrush(ColorToQColor(value_.Color()));
        canvas.drawPolygon(corners, 3);
        canvas.restore();
        break;
    }
    case TvrIndicatorShape::voBitmap: {
        const QImage& pin = value_.Bitmap();
        if (pin.isNull())
            break;
        // The bottom-left pixel names the colour left out.
        const QRgb key = pin.pixel(0, pin.height() - 1) | 0xFF000000u;
        QImage shown = pin.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                if ((shown.pixel(x, y) | 0xFF000000u) == key)
                    shown.setPixel(x, y, 0);
        // The stock pin points down; it is turned so that it points away from the ticks' side.
        if (horizontal && !before)
            shown = shown.mirrored(false, true);
        else if (!horizontal)
            shown = shown.transformed(QTransform().rotate(before ? -90 : 90));
        QPoint at;
        if (horizontal)
            at = QPoint(middle - shown.width() / 2, before ? 0 : height() - shown.height());
        else
            at = QPoint(before ? scale_.HeightMin() - shown.width() : width() - scale_.HeightMin(),
                        middle - shown.height() / 2);
        canvas.drawImage(at, shown);
        break;
    }
    }
}

void TVrJogMeter::Paint() {
    ClearBitmapCanvas();
    PaintGradient();
    if (showCaption_)
        PaintCaption();
    if (scale_.Visible()) {
        PaintLabels();
        PaintTicks();
    }
    if (value_.Visible())
        PaintIndicator();
    TVrGraphicImageControl::Paint();
}
