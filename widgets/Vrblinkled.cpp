#include "widgets/Vrblinkled.h"

#include <QPainterPath>
#include <QPolygon>

#include <algorithm>

TVrCustomBlinkLed::TVrCustomBlinkLed(QWidget* parent)
    : TVrGraphicImageControl(parent), TVrImageCaptionLayout(*this, 2, 3) {
    resize(50, 20);
    SetColor(clMaroon);
    SetFontColor(clWhite);
    SetTransparent(true);
    constexpr std::array<TColor, 4> highs = {clRed, clAqua, clYellow, clLime};
    for (std::size_t i = 0; i < palettes_.size(); ++i) {
        palettes_[i].SetLow(clBlack);
        palettes_[i].SetHigh(highs[i]);
        palettes_[i].OnChange = [this](TVrPersistent&) { UpdateControlCanvas(); };
    }
    blinkTimer_.setTimerType(Qt::PreciseTimer);
    blinkTimer_.setInterval(blinkSpeed_);
    connect(&blinkTimer_, &QTimer::timeout, this, [this] { SetActive(!active_); });
}

void TVrCustomBlinkLed::SetActive(bool value) {
    if (!StoreChanged(active_, value))
        return;
    UpdateControlCanvas();
    Changed();
}

namespace {

// Palette numbers outside 1 to 4 act as 1.
std::size_t PaletteSlot(int number) {
    return number >= 1 && number <= 4 ? std::size_t(number - 1) : 0;
}

} // namespace

TVrPalette& TVrCustomBlinkLed::Palette(int number) {
    return palettes_[PaletteSlot(number)];
}

const TVrPalette& TVrCustomBlinkLed::Palette(int number) const {
    return palettes_[PaletteSlot(number)];
}

void TVrCustomBlinkLed::SetBlinkLedType(TVrBlinkLedType value) {
    AssignAndRepaint(blinkLedType_, value);
}

void TVrCustomBlinkLed::SetEnableBlinking(bool value) {
    enableBlinking_ = value;
    SyncBlinkTimer();
}

void TVrCustomBlinkLed::SetBlinkSpeed(int value) {
    blinkSpeed_ = value;
    SyncBlinkTimer();
}

void TVrCustomBlinkLed::SyncBlinkTimer() {
    if (!enableBlinking_ || blinkSpeed_ <= 0) {
        blinkTimer_.stop();
        return;
    }
    if (!blinkTimer_.isActive() || blinkTimer_.interval() != blinkSpeed_)
        blinkTimer_.start(blinkSpeed_);
}

void TVrCustomBlinkLed::SetColorIndex(int value) {
    if (value < 1 || value > 4)
        throw EVrException("Out of range! ColorIndex=[1..4]");
    AssignAndRepaint(colorIndex_, value);
}

TColor TVrCustomBlinkLed::LampColor() const {
    return Palette(colorIndex_).GetColors(active_ ? 0 : 1);
}

void TVrCustomBlinkLed::Changed() {
    if (OnChange)
        OnChange(this);
}

void TVrCustomBlinkLed::CalcLayout() {
    // An empty caption takes no room, so the lamp gets the whole control.
    const QSize text = Caption().isEmpty() ? QSize(0, 0) : TextExtent(font(), Caption());
    const int availableWidth = width() - text.width() - Margin() - Spacing();
    const int availableHeight = height() - text.height() - Margin() - Spacing();
    QSize lamp(availableWidth, availableHeight);
    switch (blinkLedType_) {
    case TVrBlinkLedType::ltRounded: {
        const int side = std::min(availableWidth, availableHeight);
        lamp = QSize(side, side);
        break;
    }
    case TVrBlinkLedType::ltRectangle:
        lamp = QSize(availableWidth - availableWidth / 3, availableHeight - availableHeight / 3);
        break;
    case TVrBlinkLedType::ltLargeRect:
        break;
    }
    PlaceImageAndCaption(TRect::FromSize(width(), height()), lamp);
}

void TVrCustomBlinkLed::PaintRectangle(QPainter& canvas, TColor color, int frameWidth) const {
    TRect lamp = LampRect();
    Rectangle(canvas, lamp, color, color);
    DrawFrame3D(canvas, lamp, clWhite, clGray, frameWidth);
}

void TVrCustomBlinkLed::PaintRounded(QPainter& canvas, TColor color) const {
    const TRect lampRect = LampRect();
    Ellipse(canvas, lampRect, clBlack, clGray);
    // The upper-left half of the rim catches the light.
    canvas.save();
    QPainterPath upperLeft;
    upperLeft.addPolygon(
        QPolygon({QPoint(lampRect.Left, lampRect.Top), QPoint(lampRect.Left, lampRect.Bottom),
                  QPoint(lampRect.Right, lampRect.Top)}));
    upperLeft.closeSubpath();
    canvas.setClipPath(upperLeft, Qt::IntersectClip);
    Ellipse(canvas, lampRect, clBlack, clWhite);
    canvas.restore();
    TRect inner = lampRect;
    inner.Inflate(-2, -2);
    Ellipse(canvas, inner, color, color);
}

void TVrCustomBlinkLed::Paint() {
    ClearBitmapCanvas();
    QPainter& canvas = BitmapCanvas();
    canvas.setFont(font());
    CalcLayout();
    const TColor color = LampColor();
    switch (blinkLedType_) {
    case TVrBlinkLedType::ltRounded:
        PaintRounded(canvas, color);
        break;
    case TVrBlinkLedType::ltRectangle:
        PaintRectangle(canvas, color, 1);
        break;
    case TVrBlinkLedType::ltLargeRect:
        PaintRectangle(canvas, color, 2);
        break;
    }
    PaintCaption(canvas);
    TVrGraphicImageControl::Paint();
}
