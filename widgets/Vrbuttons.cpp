#include "widgets/Vrbuttons.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>

namespace {

int ClampByte(int value) {
    return std::clamp(value, 0, 255);
}

unsigned AlignmentFormat(TVrTextAlignment alignment) {
    using namespace TextFormat;
    switch (alignment) {
    case TVrTextAlignment::vtaLeft:
        return Left | VCenter;
    case TVrTextAlignment::vtaCenter:
        return Center | VCenter;
    case TVrTextAlignment::vtaRight:
        return Right | VCenter;
    case TVrTextAlignment::vtaTopLeft:
        return Left;
    case TVrTextAlignment::vtaTop:
        return Center;
    case TVrTextAlignment::vtaTopRight:
        return Right;
    case TVrTextAlignment::vtaBottomLeft:
        return Left | Bottom;
    case TVrTextAlignment::vtaBottom:
        return Center | Bottom;
    case TVrTextAlignment::vtaBottomRight:
        return Right | Bottom;
    }
    return Center | VCenter;
}

QFont ArialBold12() {
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(12);
    font.setBold(true);
    return font;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TVrPowerButton

TVrPowerButton::TVrPowerButton(QWidget* parent)
    : TVrCustomImageControl(parent), TVrImageCaptionLayout(*this, -1, 5) {
    resize(125, 25);
    palette_.OnChange = [this](TVrPersistent&) { UpdateControlCanvas(); };
}

void TVrPowerButton::SetActive(bool value) {
    AssignAndRepaint(active_, value);
}

void TVrPowerButton::SetLedWidth(int value) {
    AssignAndRepaint(ledWidth_, std::max(1, value));
}

void TVrPowerButton::SetLedHeight(int value) {
    AssignAndRepaint(ledHeight_, std::max(1, value));
}

void TVrPowerButton::SetFocusColor(TColor value) {
    AssignAndRepaint(focusColor_, value);
}

void TVrPowerButton::SetOutlineColor(TColor value) {
    AssignAndRepaint(outlineColor_, value);
}

void TVrPowerButton::SetOutlineWidth(int value) {
    AssignAndRepaint(outlineWidth_, ClampByte(value));
}

void TVrPowerButton::SetHighlightColor(TColor value) {
    AssignAndRepaint(highlightColor_, value);
}

void TVrPowerButton::SetShadowColor(TColor value) {
    AssignAndRepaint(shadowColor_, value);
}

void TVrPowerButton::SetBevelWidth(int value) {
    AssignAndRepaint(bevelWidth_, ClampByte(value));
}

void TVrPowerButton::SetHasFocus(bool value) {
    AssignAndRepaint(hasFocus_, value);
}

void TVrPowerButton::ToggleAndClick() {
    SetActive(!active_);
    Click();
}

void TVrPowerButton::Click() {
    if (OnClick)
        OnClick(this);
}

void TVrPowerButton::TextChanged() {
    accelerator_.Regrab(Caption());
    TVrCustomImageControl::TextChanged();
}

// Enter and leave repaint whether or not the press follows the pointer.
void TVrPowerButton::MouseEnter() {
    if (!press_.Follow(true))
        UpdateControlCanvas();
    TVrCustomImageControl::MouseEnter();
}

void TVrPowerButton::MouseLeave() {
    if (!press_.Follow(false))
        UpdateControlCanvas();
    TVrCustomImageControl::MouseLeave();
}

// Any left-button press counts, and the release of any button ends it.
void TVrPowerButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        press_.Press();
    TVrCustomImageControl::mousePressEvent(event);
}

void TVrPowerButton::mouseMoveEvent(QMouseEvent* event) {
    press_.MouseMove(*event);
    TVrCustomImageControl::mouseMoveEvent(event);
}

void TVrPowerButton::mouseReleaseEvent(QMouseEvent* event) {
    if (!press_.Release()) {
        TVrCustomImageControl::mouseReleaseEvent(event);
        return;
    }
    SetActive(!active_);
    TVrCustomImageControl::mouseReleaseEvent(event);
    Click();
}

void TVrPowerButton::keyPressEvent(QKeyEvent* event) {
    if (AcceptSpace(*event))
        press_.SetDown(true);
    else
        TVrCustomImageControl::keyPressEvent(event);
}

// Space released toggles even without a press before it.
void TVrPowerButton::keyReleaseEvent(QKeyEvent* event) {
    if (!AcceptSpace(*event)) {
        TVrCustomImageControl::keyReleaseEvent(event);
        return;
    }
    press_.Release();
    ToggleAndClick();
}

void TVrPowerButton::focusInEvent(QFocusEvent* event) {
    TVrCustomImageControl::focusInEvent(event);
    SetHasFocus(true);
}

void TVrPowerButton::focusOutEvent(QFocusEvent* event) {
    TVrCustomImageControl::focusOutEvent(event);
    SetHasFocus(false);
}

void TVrPowerButton::changeEvent(QEvent* event) {
    TVrCustomImageControl::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        press_.EnabledChanged();
}

bool TVrPowerButton::event(QEvent* event) {
    return accelerator_.Dispatch(*event) || TVrCustomImageControl::event(event);
}

void TVrPowerButton::CalcLayout() {
    TRect inner = TRect::FromSize(width(), height());
    const int border = bevelWidth_ + outlineWidth_;
    inner.Inflate(-border, -border);
    PlaceImageAndCaption(inner, QSize(ledWidth_, ledHeight_));
}

void TVrPowerButton::PaintFrame(QPainter& canvas) {
    TRect rect = TRect::FromSize(width(), height());
    if (press_.Down()) {
        // The pressed look replaces the focus outline.
        DrawFrame3D(canvas, rect, outlineColor_, highlightColor_, outlineWidth_);
        DrawFrame3D(canvas, rect, shadowColor_, outlineColor_, bevelWidth_);
        return;
    }
    const TColor outline = hasFocus_ ? focusColor_ : outlineColor_;
    DrawFrame3D(canvas, rect, outline, outline, outlineWidth_);
    DrawFrame3D(canvas, rect, highlightColor_, shadowColor_, bevelWidth_);
}

void TVrPowerButton::PaintLed(QPainter& canvas) {
    TRect led = ImageRect();
    DrawFrame3D(canvas, led, shadowColor_, highlightColor_, 1);
    DrawFrame3D(canvas, led, clBlack, clBlack, 1);
    FillRect(canvas, led, isEnabled() ? palette_.GetColors(active_ ? 1 : 0) : Color());
}

void TVrPowerButton::Paint() {
    ClearBitmapCanvas();
    QPainter& canvas = BitmapCanvas();
    canvas.setFont(font());
    CalcLayout();
    PaintFrame(canvas);
    PaintLed(canvas);
    DrawButtonText(canvas, Caption(), CaptionRect(), isEnabled(), FontColor());
    TVrCustomImageControl::Paint();
}

// ---------------------------------------------------------------------------------------------
// TVrDemoButton

TVrDemoButton::TVrDemoButton(QWidget* parent)
    : TVrCustomImageControl(parent), fontEnter_(ArialBold12()), fontLeave_(ArialBold12()) {
    resize(150, 25);
    font3D_.OnChange = [this](TVrPersistent&) { UpdateControlCanvas(); };
}

void TVrDemoButton::SetFontEnter(const QFont& value) {
    AssignAndRepaint(fontEnter_, value);
}

void TVrDemoButton::SetFontEnterColor(TColor value) {
    AssignAndRepaint(fontEnterColor_, value);
}

void TVrDemoButton::SetFontLeave(const QFont& value) {
    AssignAndRepaint(fontLeave_, value);
}

void TVrDemoButton::SetFontLeaveColor(TColor value) {
    AssignAndRepaint(fontLeaveColor_, value);
}

void TVrDemoButton::SetBitmap(const QImage& value) {
    AssignAndRepaint(bitmap_, value);
}

void TVrDemoButton::SetOutlineColor(TColor value) {
    AssignAndRepaint(outlineColor_, value);
}

void TVrDemoButton::SetShadowColor(TColor value) {
    AssignAndRepaint(shadowColor_, value);
}

void TVrDemoButton::SetHighlightColor(TColor value) {
    AssignAndRepaint(highlightColor_, value);
}

void TVrDemoButton::SetBevelWidth(int value) {
    AssignAndRepaint(bevelWidth_, ClampByte(value));
}

void TVrDemoButton::SetOutlineWidth(int value) {
    AssignAndRepaint(outlineWidth_, std::max(0, value));
}

void TVrDemoButton::SetTextAlignment(TVrTextAlignment value) {
    AssignAndRepaint(textAlignment_, value);
}

void TVrDemoButton::SetDisabledTextColor(TColor value) {
    AssignAndRepaint(disabledTextColor_, value);
}

void TVrDemoButton::SetFocusColor(TColor value) {
    AssignAndRepaint(focusColor_, value);
}

void TVrDemoButton::SetFlat(bool value) {
    AssignAndRepaint(flat_, value);
}

void TVrDemoButton::Click() {
    if (OnClick)
        OnClick(this);
}

void TVrDemoButton::TextChanged() {
    accelerator_.Regrab(Caption());
    TVrCustomImageControl::TextChanged();
}

void TVrDemoButton::MouseEnter() {
    TVrCustomImageControl::MouseEnter();
    AssignAndRepaint(hover_, true);
}

void TVrDemoButton::MouseLeave() {
    TVrCustomImageControl::MouseLeave();
    AssignAndRepaint(hover_, false);
}

void TVrDemoButton::mousePressEvent(QMouseEvent* event) {
    TVrCustomImageControl::mousePressEvent(event);
    press_.MousePress(*event);
}

void TVrDemoButton::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a double click is a press like any other.
    mousePressEvent(event);
}

void TVrDemoButton::mouseMoveEvent(QMouseEvent* event) {
    TVrCustomImageControl::mouseMoveEvent(event);
    press_.MouseMove(*event);
}

void TVrDemoButton::mouseReleaseEvent(QMouseEvent* event) {
    TVrCustomImageControl::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && press_.Complete())
        Click();
}

void TVrDemoButton::keyPressEvent(QKeyEvent* event) {
    if (!AcceptSpace(*event))
        TVrCustomImageControl::keyPressEvent(event);
    else if (!press_.Down())
        press_.Press();
}

void TVrDemoButton::keyReleaseEvent(QKeyEvent* event) {
    if (!AcceptSpace(*event))
        TVrCustomImageControl::keyReleaseEvent(event);
    else if (press_.Complete())
        Click();
}

void TVrDemoButton::focusInEvent(QFocusEvent* event) {
    TVrCustomImageControl::focusInEvent(event);
    AssignAndRepaint(focused_, true);
}

void TVrDemoButton::focusOutEvent(QFocusEvent* event) {
    TVrCustomImageControl::focusOutEvent(event);
    AssignAndRepaint(focused_, false);
}

void TVrDemoButton::changeEvent(QEvent* event) {
    TVrCustomImageControl::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        press_.EnabledChanged();
}

bool TVrDemoButton::event(QEvent* event) {
    return accelerator_.Dispatch(*event) || TVrCustomImageControl::event(event);
}

void TVrDemoButton::PaintBackground(QPainter& canvas) {
    if (bitmap_.isNull())
        return;
    TRect area = TRect::FromSize(width(), height());
    if (press_.Down())
        area.Offset(1, 1);
    for (int y = area.Top; y < area.Bottom; y += bitmap_.height())
        for (int x = area.Left; x < area.Right; x += bitmap_.width())
            canvas.drawImage(x, y, bitmap_);
}

void TVrDemoButton::PaintFrame(QPainter& canvas, TRect& rect) {
    const TColor outline = focused_ ? focusColor_ : outlineColor_;
    DrawFrame3D(canvas, rect, outline, outline, outlineWidth_);
    if (press_.Down())
        DrawFrame3D(canvas, rect, shadowColor_, highlightColor_, bevelWidth_);
    else if (!flat_ || hover_)
        DrawFrame3D(canvas, rect, highlightColor_, shadowColor_, bevelWidth_);
    else
        rect.Inflate(-bevelWidth_, -bevelWidth_);
}

void TVrDemoButton::PaintCaption(QPainter& canvas, TRect rect) {
    const bool entered = hover_ && isEnabled();
    canvas.setFont(entered ? fontEnter_ : fontLeave_);
    TColor color = entered ? fontEnterColor_ : fontLeaveColor_;
    if (!isEnabled())
        color = disabledTextColor_;
    if (press_.Down())
        rect.Offset(1, 1);
    font3D_.Paint(canvas, rect, TextFormat::SingleLine | AlignmentFormat(textAlignment_), Caption(),
                  color);
}

void TVrDemoButton::Paint() {
    ClearBitmapCanvas();
    QPainter& canvas = BitmapCanvas();
    PaintBackground(canvas);
    TRect rect = TRect::FromSize(width(), height());
    PaintFrame(canvas, rect);
    PaintCaption(canvas, rect);
    TVrCustomImageControl::Paint();
}
