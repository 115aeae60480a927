#include "widgets/Vrlabel.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <numbers>

TVrLabel::TVrLabel(QWidget* parent) : TVrGraphicImageControl(parent) {
    SetColor(clBtnFace);
    QFont labelFont(QStringLiteral("Arial"));
    labelFont.setPointSize(14);
    setFont(labelFont);
    resize(100, 25);
}

void TVrLabel::SetAlignment(TAlignment value) {
    if (alignment_ == value)
        return;
    alignment_ = value;
    UpdateControlCanvas();
}

void TVrLabel::SetColorHighlight(TColor value) {
    if (colorHighlight_ == value)
        return;
    colorHighlight_ = value;
    UpdateControlCanvas();
}

void TVrLabel::SetColorShadow(TColor value) {
    if (colorShadow_ == value)
        return;
    colorShadow_ = value;
    UpdateControlCanvas();
}

void TVrLabel::SetStyle(TVrLabelStyle value) {
    if (style_ == value)
        return;
    style_ = value;
    UpdateControlCanvas();
}

void TVrLabel::SetLayout(TTextLayout value) {
    if (layout_ == value)
        return;
    layout_ = value;
    UpdateControlCanvas();
}

void TVrLabel::SetShadowDepth(int value) {
    if (shadowDepth_ == value)
        return;
    shadowDepth_ = value;
    UpdateControlCanvas();
}

void TVrLabel::SetBitmap(const QImage& value) {
    if (bitmap_ == value)
        return;
    bitmap_ = value;
    UpdateControlCanvas();
}

void TVrLabel::SetAngle(int value) {
    value %= 360;
    if (value < 0)
        value += 360;
    if (angle_ == value)
        return;
    angle_ = value;
    UpdateControlBounds();
}

void TVrLabel::FontChanged() {
    TVrGraphicImageControl::FontChanged();
    UpdateControlBounds();
}

void TVrLabel::TextChanged() {
    TVrGraphicImageControl::TextChanged();
    UpdateControlBounds();
}

QSize TVrLabel::MeasuredText() const {
    return TextExtent(font(), Caption());
}

bool TVrLabel::CanAutoSize(int& newWidth, int& newHeight) {
    const QSize text = MeasuredText();
    const double a = angle_ * std::numbers::pi / 180;
    const double c = std::abs(std::cos(a));
    const double s = std::abs(std::sin(a));
    newWidth = int(std::trunc(c * text.width() + s * text.height())) + 4;
    newHeight = int(std::trunc(s * text.width() + c * text.height())) + 4;
    return true;
}

QPoint TVrLabel::TextOrigin() const {
    const QSize text = MeasuredText();
    const double tw = text.width();
    const double th = text.height();
    const double a = angle_ * std::numbers::pi / 180;
    const double c = std::cos(a);
    const double s = std::sin(a);
    const double ac = std::abs(c);
    const double as = std::abs(s);
    const bool backwards = angle_ > 90 && angle_ < 270;

    int xCorrection = 0;
    if (backwards)
        xCorrection += int(std::trunc(ac * tw));
    if (angle_ > 180)
        xCorrection += int(std::trunc(as * th));
    const int xLeft = 2 + xCorrection;
    int x = xLeft;
    if (alignment_ == TAlignment::taRightJustify)
        x = width() - (int(std::trunc(ac * tw + as * th)) + 2) + xCorrection;
    else if (alignment_ == TAlignment::taCenter)
        x = int(std::trunc(width() / 2.0 - c * tw / 2 - s * th / 2));
    x = std::max(xLeft, x);

    int yCorrection = 0;
    if (angle_ < 180)
        yCorrection += int(std::trunc(as * tw));
    if (backwards)
        yCorrection += int(std::trunc(ac * th));
    int y = 2 + yCorrection;
    if (layout_ == TTextLayout::tlCenter)
        y = int(std::trunc(height() / 2.0 - c * th / 2 + s * tw / 2));
    else if (layout_ == TTextLayout::tlBottom)
        y = height() - (int(std::trunc(ac * th + as * tw)) + 2) + yCorrection;
    return {x, y};
}

void TVrLabel::PaintText(QPainter& canvas, QPoint origin, TColor color) const {
    canvas.save();
    canvas.translate(origin);
    canvas.rotate(-angle_);
    TextOut(canvas, 0, 0, Caption(), color);
    canvas.restore();
}

void TVrLabel::PaintTexture(QPoint origin) {
    // The letters as a mask, then the stretched texture kept only where the mask is set.
    QImage letters(size(), QImage::Format_ARGB32_Premultiplied);
    letters.fill(Qt::transparent);
    {
        QPainter mask(&letters);
        PrepareCanvas(mask);
        mask.setFont(font());
        PaintText(mask, origin, clBlack);
        mask.setCompositionMode(QPainter::CompositionMode_SourceIn);
        mask.drawImage(rect(), bitmap_);
    }
    BitmapCanvas().drawImage(0, 0, letters);
}

void TVrLabel::Paint() {
    ClearBitmapCanvas();
    if (!Caption().isEmpty()) {
        QPainter& canvas = BitmapCanvas();
        const QPoint origin = TextOrigin();
        const QPoint one(1, 1);
        const QPoint depth(shadowDepth_, shadowDepth_);
        switch (style_) {
        case TVrLabelStyle::lsNone:
            break;
        case TVrLabelStyle::lsRaised:
            PaintText(canvas, origin + one, colorShadow_);
            PaintText(canvas, origin - one, colorHighlight_);
            break;
        case TVrLabelStyle::lsLowered:
            PaintText(canvas, origin + one, colorHighlight_);
            PaintText(canvas, origin - one, colorShadow_);
            break;
        case TVrLabelStyle::lsShadow:
            PaintText(canvas, origin + depth, colorShadow_);
            break;
        }
        PaintText(canvas, origin, FontColor());
        if (!bitmap_.isNull())
            PaintTexture(origin);
    }
    TVrGraphicImageControl::Paint();
}
