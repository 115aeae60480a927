#include "widgets/Vrnavigator.h"

#include "widgets/Vrstockimages.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>

namespace {

constexpr int GlyphCount = 10;
// The glyph strips' background, left out when drawing.
constexpr TColor GlyphTransparent = clOlive;

TColor Blend(TColor from, TColor to, int step, int steps) {
    const TColor a = ColorToRGB(from);
    const TColor b = ColorToRGB(to);
    const auto channel = [&](int x, int y) { return x + (y - x) * step / std::max(1, steps); };
    return RGBColor(channel(RedOf(a), RedOf(b)), channel(GreenOf(a), GreenOf(b)),
                    channel(BlueOf(a), BlueOf(b)));
}

} // namespace

TVrMediaButton::TVrMediaButton(QWidget* parent)
    : TVrCustomImageControl(parent), enabledGlyphs_(LoadStockImage(QStringLiteral("EN_IMAGES"))),
      disabledGlyphs_(LoadStockImage(QStringLiteral("DI_IMAGES"))) {
    resize(40, 15);
}

void TVrMediaButton::SetButtonType(TVrButtonType value) {
    AssignAndRepaint(buttonType_, value);
}

void TVrMediaButton::SetFocusColor(TColor value) {
    AssignAndRepaint(focusColor_, value);
}

void TVrMediaButton::SetBorderColor(TColor value) {
    AssignAndRepaint(borderColor_, value);
}

void TVrMediaButton::Click() {
    if (OnClick)
        OnClick(this);
}

void TVrMediaButton::mousePressEvent(QMouseEvent* event) {
    TVrCustomImageControl::mousePressEvent(event);
    press_.MousePress(*event);
}

void TVrMediaButton::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a double click is a press like any other.
    mousePressEvent(event);
}

void TVrMediaButton::mouseMoveEvent(QMouseEvent* event) {
    TVrCustomImageControl::mouseMoveEvent(event);
    press_.MouseMove(*event);
}

void TVrMediaButton::mouseReleaseEvent(QMouseEvent* event) {
    TVrCustomImageControl::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    // A release inside after a press on the button clicks, whether or not the last move
    // brought the pointer back in.
    const bool completed = press_.Pressed() && rect().contains(event->position().toPoint());
    press_.Complete();
    if (completed)
        Click();
}

void TVrMediaButton::keyPressEvent(QKeyEvent* event) {
    if (!AcceptSpace(*event))
        TVrCustomImageControl::keyPressEvent(event);
    else if (!press_.Down())
        press_.Press();
}

void TVrMediaButton::keyReleaseEvent(QKeyEvent* event) {
    if (!AcceptSpace(*event))
        TVrCustomImageControl::keyReleaseEvent(event);
    else if (press_.Complete())
        Click();
}

void TVrMediaButton::focusInEvent(QFocusEvent* event) {
    TVrCustomImageControl::focusInEvent(event);
    focused_ = true;
    UpdateControlCanvas();
}

void TVrMediaButton::focusOutEvent(QFocusEvent* event) {
    TVrCustomImageControl::focusOutEvent(event);
    focused_ = false;
    UpdateControlCanvas();
}

void TVrMediaButton::changeEvent(QEvent* event) {
    TVrCustomImageControl::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        press_.EnabledChanged();
}

void TVrMediaButton::PaintFace(QPainter& canvas) {
    const TColor from = press_.Down() ? clBtnFace : clBtnHighlight;
    const TColor to = press_.Down() ? clBtnHighlight : clBtnShadow;
    TRect face = TRect::FromSize(width(), height());
    face.Inflate(-2, -2);
    if (face.IsEmpty())
        return;
    const int band = std::max(2, height() / 10);
    const int bands = (face.Height() + band - 1) / band;
    for (int i = 0; i < bands; ++i) {
        const int top = face.Top + i * band;
        FillRect(canvas, {face.Left, top, face.Right, std::min(top + band, face.Bottom)},
                 Blend(from, to, i, bands - 1));
    }
}

void TVrMediaButton::PaintGlyph(QPainter& canvas) {
    const QImage& strip = isEnabled() ? enabledGlyphs_ : disabledGlyphs_;
    const int glyphWidth = strip.width() / GlyphCount;
    const int glyphHeight = strip.height();
    glyphPos_ = QPoint(width() / 2 - glyphWidth / 2,
                       height() / 2 - glyphHeight / 2 + (press_.Down() ? 1 : 0));
    const QRect source(int(buttonType_) * glyphWidth, 0, glyphWidth, glyphHeight);
    DrawTransparent(canvas, glyphPos_, strip, source, GlyphTransparent);
}

void TVrMediaButton::PaintBorder(QPainter& canvas) {
    TRect rect = TRect::FromSize(width(), height());
    const TColor border = focused_ ? focusColor_ : borderColor_;
    DrawFrame3D(canvas, rect, border, border, 1);
    if (press_.Down())
        DrawFrame3D(canvas, rect, clBtnShadow, clBtnFace, 1);
    else
        DrawFrame3D(canvas, rect, clBtnHighlight, clBtnShadow, 1);
}

void TVrMediaButton::Paint() {
    ClearBitmapCanvas();
    QPainter& canvas = BitmapCanvas();
    PaintFace(canvas);
    PaintGlyph(canvas);
    PaintBorder(canvas);
    TVrCustomImageControl::Paint();
}
