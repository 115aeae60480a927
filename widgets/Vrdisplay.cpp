#include "widgets/Vrdisplay.h"

TVrDisplayBevel::TVrDisplayBevel() {
    SetInnerShadow(clBlack);
    SetInnerHighlight(clBlack);
    SetInnerWidth(4);
    SetInnerStyle(TVrBevelStyle::bsLowered);
    SetInnerSpace(1);
    SetInnerColor(clBlack);
    SetOuterShadow(0xC0C0C0);
    SetOuterHighlight(0x808080);
    SetOuterWidth(4);
    SetOuterStyle(TVrBevelStyle::bsLowered);
    SetOuterOutline(TVrBevelOutlineStyle::osOuter);
    SetOuterSpace(1);
    SetOuterColor(0xC0C0C0);
}

TVrDisplay::TVrDisplay(QWidget* parent) : TVrCustomControl(parent) {
    bevel_.OnChange = [this](TVrPersistent&) {
        AdjustClientRect();
        UpdateControlCanvas();
    };
    SetColor(0x7C9885);
    SetOpaque(true);
    resize(150, 100);
    AdjustClientRect();
}

void TVrDisplay::SetShadowWidth(int value) {
    if (shadowWidth_ == value)
        return;
    shadowWidth_ = value;
    UpdateControlCanvas();
}

void TVrDisplay::SetShadowColor1(TColor value) {
    if (shadowColor1_ == value)
        return;
    shadowColor1_ = value;
    UpdateControlCanvas();
}

void TVrDisplay::SetShadowColor2(TColor value) {
    if (shadowColor2_ == value)
        return;
    shadowColor2_ = value;
    UpdateControlCanvas();
}

void TVrDisplay::SetShadowLayout(TVrShadowLayout value) {
    if (shadowLayout_ == value)
        return;
    shadowLayout_ = value;
    UpdateControlCanvas();
}

void TVrDisplay::AdjustClientRect() {
    TRect inside = TRect::FromSize(0, 0);
    bevel_.GetVisibleArea(inside);
    // The bevel shrinks every side alike; the contents margins re-align any layout at once.
    const int margin = inside.Left;
    setContentsMargins(margin, margin, margin, margin);
}

void TVrDisplay::PaintShadow(TRect rect) {
    const TRect outer = rect;
    const TColor from = ColorToRGB(shadowColor1_);
    const TColor to = ColorToRGB(shadowColor2_);
    // Nothing is left to draw once the rectangle is empty, however wide the shadow.
    for (int i = 0; i < shadowWidth_ && !rect.IsEmpty(); ++i) {
        const auto channel = [&](int a, int b) {
            return a + static_cast<int>(static_cast<long long>(b - a) * i / shadowWidth_);
        };
        const TColor color =
            RGBColor(channel(RedOf(from), RedOf(to)), channel(GreenOf(from), GreenOf(to)),
                     channel(BlueOf(from), BlueOf(to)));
        const int right = rect.Right - 1;
        const int bottom = rect.Bottom - 1;
        switch (shadowLayout_) {
        case TVrShadowLayout::soTopLeft:
            Polyline(Canvas(),
                     {QPoint(rect.Left, outer.Bottom - 1), QPoint(rect.Left, rect.Top),
                      QPoint(outer.Right, rect.Top)},
                     color);
            break;
        case TVrShadowLayout::soTopRight:
            Polyline(Canvas(),
                     {QPoint(outer.Left, rect.Top), QPoint(right, rect.Top),
                      QPoint(right, outer.Bottom)},
                     color);
            break;
        case TVrShadowLayout::soBottomLeft:
            Polyline(Canvas(),
                     {QPoint(rect.Left, outer.Top), QPoint(rect.Left, bottom),
                      QPoint(outer.Right, bottom)},
                     color);
            break;
        case TVrShadowLayout::soBottomRight:
            Polyline(
                Canvas(),
                {QPoint(outer.Left, bottom), QPoint(right, bottom), QPoint(right, outer.Top - 1)},
                color);
            break;
        }
        rect.Inflate(-1, -1);
    }
}

void TVrDisplay::Paint() {
    TRect rect = TRect::FromSize(width(), height());
    FillRect(Canvas(), rect, Color());
    bevel_.Paint(Canvas(), rect);
    PaintShadow(rect);
}
