#include "widgets/Vrleds.h"

#include "widgets/Vrstockimages.h"

namespace {

// Template colours of the stock lamps: the off frame and the on frame.
constexpr TColor TemplateOff = 0x000080;
constexpr TColor TemplateOn = 0x0000FF;

QString StockLampName(TVrLedType type) {
    switch (type) {
    case TVrLedType::ltRectangle:
        return QStringLiteral("LI_RECT");
    case TVrLedType::ltLargeRect:
        return QStringLiteral("LI_BIG");
    case TVrLedType::ltRounded:
    case TVrLedType::ltCustom:
        break;
    }
    return QStringLiteral("LI_RND");
}

} // namespace

TVrCustomLed::TVrCustomLed(QWidget* parent)
    : TVrGraphicImageControl(parent), TVrImageCaptionLayout(*this, -1, 5) {
    resize(25, 25);
    SetColor(clBlack);
    SetFontColor(clWhite);
    palette_.SetLow(clMaroon);
    palette_.SetHigh(clRed);
    palette_.OnChange = [this](TVrPersistent&) { ImageChanged(); };
    LoadBitmaps();
}

void TVrCustomLed::SetActive(bool value) {
    if (!StoreChanged(active_, value))
        return;
    UpdateControlCanvas();
    Changed();
}

void TVrCustomLed::SetLedType(TVrLedType value) {
    if (StoreChanged(ledType_, value))
        ImageChanged();
}

void TVrCustomLed::SetGlyphs(const QImage& value) {
    if (StoreChanged(glyphs_, value))
        ImageChanged();
}

void TVrCustomLed::ImageChanged() {
    LoadBitmaps();
    UpdateControlCanvas();
}

void TVrCustomLed::LoadBitmaps() {
    if (ledType_ == TVrLedType::ltCustom) {
        lamp_ = glyphs_.isNull() ? QImage() : glyphs_.convertToFormat(QImage::Format_RGB32);
        return;
    }
    lamp_ = LoadStockImage(StockLampName(ledType_));
    palette_.ToBMP(lamp_, TemplateOff, TemplateOn);
}

void TVrCustomLed::Changed() {
    if (OnChange)
        OnChange(this);
}

void TVrCustomLed::Paint() {
    ClearBitmapCanvas();
    QPainter& canvas = BitmapCanvas();
    canvas.setFont(font());

    const int frameWidth = lamp_.width() / 2;
    const QSize frameSize(frameWidth, frameWidth > 0 ? lamp_.height() : 0);
    PlaceImageAndCaption(TRect::FromSize(width(), height()), frameSize);

    if (frameWidth > 0) {
        const TColor transparent = ledType_ == TVrLedType::ltCustom ? Color() : clBlack;
        const QRect frame(active_ ? frameWidth : 0, 0, frameWidth, lamp_.height());
        DrawTransparent(canvas, QPoint(LampRect().Left, LampRect().Top), lamp_, frame, transparent);
    }
    PaintCaption(canvas);
    TVrGraphicImageControl::Paint();
}
