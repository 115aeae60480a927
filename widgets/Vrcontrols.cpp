#include "widgets/Vrcontrols.h"

#include <QEnterEvent>
#include <QEvent>
#include <QScopeGuard>

TVrComponent::TVrComponent(QObject* owner) : QObject(owner) {}

void TVrComponent::Loaded() {
    loading_ = false;
}

// ---------------------------------------------------------------------------------------------

TVrControl::TVrControl(QWidget* parent) : QWidget(parent) {}

void TVrControl::SetCaption(const QString& caption) {
    if (caption_ == caption)
        return;
    caption_ = caption;
    TextChanged();
    UpdateControlCanvas();
}

TColor TVrControl::Color() const {
    const QWidget* parent = parentWidget();
    if (!parentColor_ || !parent)
        return color_;
    if (const auto* control = qobject_cast<const TVrControl*>(parent))
        return control->Color();
    return QColorToColor(parent->palette().color(parent->backgroundRole()));
}

void TVrControl::SetColor(TColor color) {
    if (color_ == color && !parentColor_)
        return;
    color_ = color;
    parentColor_ = false;
    UpdateControlCanvas();
}

void TVrControl::SetParentColor(bool value) {
    if (parentColor_ == value)
        return;
    parentColor_ = value;
    UpdateControlCanvas();
}

void TVrControl::SetFontColor(TColor color) {
    if (fontColor_ == color)
        return;
    fontColor_ = color;
    FontChanged();
    UpdateControlCanvas();
}

void TVrControl::Loaded() {
    loading_ = false;
    update();
}

void TVrControl::EndUpdate() {
    --updateCount_;
    UpdateControlCanvas();
}

void TVrControl::UpdateControlCanvas() {
    if (Loading() || updateCount_ != 0)
        return;
    repaint();
}

void TVrControl::ClearClientCanvas() {
    FillRect(Canvas(), TRect::FromSize(width(), height()), Color());
}

QPainter& TVrControl::Canvas() {
    if (canvas_)
        return *canvas_;
    if (!scratchCanvas_) {
        scratchImage_ = QImage(1, 1, QImage::Format_ARGB32_Premultiplied);
        scratchCanvas_.emplace(&scratchImage_);
    }
    scratchCanvas_->setFont(font());
    return *scratchCanvas_;
}

void TVrControl::MouseEnter() {
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void TVrControl::MouseLeave() {
    if (OnMouseLeave)
        OnMouseLeave(this);
}

void TVrControl::FontChanged() {
    if (OnFontChanged)
        OnFontChanged(this);
}

void TVrControl::TextChanged() {
    if (OnTextChanged)
        OnTextChanged(this);
}

void TVrControl::SetOpaque(bool opaque) {
    setAttribute(Qt::WA_OpaquePaintEvent, opaque);
}

void TVrControl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    PrepareCanvas(painter);
    painter.setFont(font());
    canvas_ = &painter;
    const auto detach = qScopeGuard([this] { canvas_ = nullptr; });
    Paint();
}

void TVrControl::enterEvent(QEnterEvent* event) {
    QWidget::enterEvent(event);
    MouseEnter();
}

void TVrControl::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    MouseLeave();
}

void TVrControl::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        FontChanged();
}

// ---------------------------------------------------------------------------------------------

void TVrOffscreenImage::Open(QSize size) {
    canvas_.reset();
    const QSize usable = size.expandedTo(QSize(1, 1));
    if (image_.size() != usable)
        image_ = QImage(usable, QImage::Format_ARGB32_Premultiplied);
    canvas_.emplace(&image_);
    PrepareCanvas(*canvas_);
}

QPainter& TVrOffscreenImage::BitmapCanvas() {
    if (!canvas_)
        Open(image_.size());
    return *canvas_;
}

void TVrOffscreenImage::PaintOffscreen(const QWidget& control, const std::function<void()>& paint) {
    Open(control.size());
    canvas_->setFont(control.font());
    const auto close = qScopeGuard([this] { canvas_.reset(); });
    paint();
}

void TVrOffscreenImage::FillBitmap(const QColor& color) {
    QPainter& canvas = BitmapCanvas();
    canvas.save();
    canvas.setCompositionMode(QPainter::CompositionMode_Source);
    canvas.fillRect(image_.rect(), color);
    canvas.restore();
}

// ---------------------------------------------------------------------------------------------

TVrGraphicControl::TVrGraphicControl(QWidget* parent) : TVrControl(parent) {
    setFocusPolicy(Qt::NoFocus);
}

void TVrGraphicControl::SetAutoSize(bool value) {
    if (autoSize_ == value)
        return;
    autoSize_ = value;
    AdjustControlSize();
}

void TVrGraphicControl::UpdateControlBounds() {
    AdjustControlSize();
}

void TVrGraphicControl::AdjustControlSize() {
    if (autoSize_ && !Loading()) {
        int newWidth = width();
        int newHeight = height();
        if (CanAutoSize(newWidth, newHeight) && QSize(newWidth, newHeight) != size()) {
            resize(newWidth, newHeight);
            return;
        }
    }
    UpdateControlCanvas();
}

bool TVrGraphicControl::CanAutoSize(int&, int&) {
    return false;
}

// ---------------------------------------------------------------------------------------------

TVrGraphicImageControl::TVrGraphicImageControl(QWidget* parent) : TVrGraphicControl(parent) {
    SetOpaque(true);
}

void TVrGraphicImageControl::SetTransparent(bool value) {
    if (transparent_ == value)
        return;
    transparent_ = value;
    SetOpaque(!value);
    UpdateControlCanvas();
}

void TVrGraphicImageControl::ClearBitmapCanvas() {
    FillBitmap(transparent_ ? QColor(Qt::transparent) : ColorToQColor(Color()));
}

void TVrGraphicImageControl::Paint() {
    CopyBitmapTo(Canvas());
}

void TVrGraphicImageControl::paintEvent(QPaintEvent* event) {
    PaintOffscreen(*this, [&] { TVrGraphicControl::paintEvent(event); });
}

// ---------------------------------------------------------------------------------------------

TVrCustomControl::TVrCustomControl(QWidget* parent) : TVrControl(parent) {
    setFocusPolicy(Qt::NoFocus);
}

void TVrCustomControl::SetTabStop(bool value) {
    setFocusPolicy(value ? Qt::StrongFocus : Qt::NoFocus);
}

// ---------------------------------------------------------------------------------------------

TVrCustomImageControl::TVrCustomImageControl(QWidget* parent) : TVrCustomControl(parent) {
    SetOpaque(true);
}

void TVrCustomImageControl::ClearBitmapCanvas() {
    FillBitmap(ColorToQColor(Color()));
}

void TVrCustomImageControl::Paint() {
    CopyBitmapTo(Canvas());
}

void TVrCustomImageControl::paintEvent(QPaintEvent* event) {
    PaintOffscreen(*this, [&] { TVrCustomControl::paintEvent(event); });
}
