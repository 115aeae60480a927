#include "widgets/Vrclasses.h"

#include <QPainter>

#include <algorithm>

void TVrPersistent::Changed() {
    if (updateCount_ == 0 && OnChange)
        OnChange(*this);
}

void TVrPersistent::EndUpdate() {
    if (updateCount_ > 0)
        --updateCount_;
    Changed();
}

TColor TVrPalette::GetColors(int index) const {
    return index <= 0 ? low_ : high_;
}

void TVrPalette::Assign(const TVrPalette& source) {
    BeginUpdate();
    SetLow(source.Low());
    SetHigh(source.High());
    EndUpdate();
}

void TVrPalette::ToBMP(QImage& bitmap, TColor lowMatch, TColor highMatch) const {
    if (bitmap.isNull())
        return;
    const QImage::Format format = bitmap.format();
    const QImage original = bitmap.convertToFormat(QImage::Format_RGB32);
    QImage result = original;
    const QRgb lowKey = ColorToQColor(lowMatch).rgb();
    const QRgb highKey = ColorToQColor(highMatch).rgb();
    const QRgb lowValue = ColorToQColor(low_).rgb();
    const QRgb highValue = ColorToQColor(high_).rgb();
    for (int y = 0; y < original.height(); ++y) {
        const auto* source = reinterpret_cast<const QRgb*>(original.constScanLine(y));
        auto* target = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < original.width(); ++x) {
            const QRgb pixel = source[x] | 0xFF000000u;
            if (pixel == highKey)
                target[x] = highValue;
            else if (pixel == lowKey)
                target[x] = lowValue;
        }
    }
    bitmap = result.convertToFormat(format);
}

void TVrBevel::Assign(const TVrBevel& source) {
    BeginUpdate();
    SetBorderWidth(source.BorderWidth());
    SetBorderColor(source.BorderColor());
    SetInnerShadow(source.InnerShadow());
    SetInnerHighlight(source.InnerHighlight());
    SetInnerWidth(source.InnerWidth());
    SetInnerStyle(source.InnerStyle());
    SetInnerOutline(source.InnerOutline());
    SetInnerSpace(source.InnerSpace());
    SetInnerColor(source.InnerColor());
    SetOuterShadow(source.OuterShadow());
    SetOuterHighlight(source.OuterHighlight());
    SetOuterWidth(source.OuterWidth());
    SetOuterStyle(source.OuterStyle());
    SetOuterOutline(source.OuterOutline());
    SetOuterSpace(source.OuterSpace());
    SetOuterColor(source.OuterColor());
    SetVisible(source.Visible());
    EndUpdate();
}

TVrBevel::Ring TVrBevel::OuterRing() const {
    return {outerOutline_,   outerStyle_, outerWidth_, outerShadow_,
            outerHighlight_, outerSpace_, outerColor_};
}

TVrBevel::Ring TVrBevel::InnerRing() const {
    return {innerOutline_,   innerStyle_, innerWidth_, innerShadow_,
            innerHighlight_, innerSpace_, innerColor_};
}

void TVrBevel::PaintRing(QPainter& canvas, TRect& rect, const Ring& ring) {
    if (ring.outline == TVrBevelOutlineStyle::osOuter)
        DrawFrame3D(canvas, rect, clBlack, clBlack, 1);
    if (ring.style == TVrBevelStyle::bsLowered)
        DrawFrame3D(canvas, rect, ring.shadow, ring.highlight, ring.width);
    else if (ring.style == TVrBevelStyle::bsRaised)
        DrawFrame3D(canvas, rect, ring.highlight, ring.shadow, ring.width);
    if (ring.outline == TVrBevelOutlineStyle::osInner)
        DrawFrame3D(canvas, rect, clBlack, clBlack, 1);
    DrawFrame3D(canvas, rect, ring.color, ring.color, ring.space);
}

void TVrBevel::Paint(QPainter& canvas, TRect& rect) const {
    if (!visible_)
        return;
    DrawFrame3D(canvas, rect, borderColor_, borderColor_, borderWidth_);
    PaintRing(canvas, rect, OuterRing());
    PaintRing(canvas, rect, InnerRing());
}

void TVrBevel::GetVisibleArea(TRect& rect) const {
    if (!visible_)
        return;
    // Negative widths draw nothing, so they take no room either. Widened: each width may be
    // any int.
    const auto ringExtent = [](const Ring& ring) {
        long long extent = std::max(0, ring.space);
        if (ring.outline != TVrBevelOutlineStyle::osNone)
            ++extent;
        if (ring.style != TVrBevelStyle::bsNone)
            extent += std::max(0, ring.width);
        return extent;
    };
    ShrinkRect(rect, std::max(0, borderWidth_) + ringExtent(OuterRing()) + ringExtent(InnerRing()));
}

void TVrFont3D::Assign(const TVrFont3D& source) {
    BeginUpdate();
    SetStyle(source.Style());
    SetHighlightColor(source.HighlightColor());
    SetShadowColor(source.ShadowColor());
    SetHighlightDepth(source.HighlightDepth());
    SetShadowDepth(source.ShadowDepth());
    EndUpdate();
}

void TVrFont3D::Paint(QPainter& canvas, const TRect& rect, unsigned format, const QString& text,
                      TColor fontColor) const {
    const auto drawAt = [&](int offset, TColor color) {
        TRect shifted = rect;
        shifted.Offset(offset, offset);
        DrawText(canvas, text, shifted, format, color);
    };
    switch (style_) {
    case TVrFont3DStyle::f3dRaised:
        drawAt(shadowDepth_, shadowColor_);
        drawAt(-highlightDepth_, highlightColor_);
        break;
    case TVrFont3DStyle::f3dSunken:
        drawAt(highlightDepth_, highlightColor_);
        drawAt(-shadowDepth_, shadowColor_);
        break;
    case TVrFont3DStyle::f3dShadow:
        drawAt(shadowDepth_, shadowColor_);
        break;
    case TVrFont3DStyle::f3dNone:
        break;
    }
    TRect area = rect;
    DrawText(canvas, text, area, format, fontColor);
}
