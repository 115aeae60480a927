#include "app/Shape.h"

#include <QPainter>

#include <algorithm>

TShape::TShape(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void TShape::SetKind(Kind kind) {
    if (kind_ == kind)
        return;
    kind_ = kind;
    update();
}

void TShape::SetBrushColor(const QColor& color) {
    if (brush_ == color)
        return;
    brush_ = color;
    update();
}

void TShape::SetPenColor(const QColor& color) {
    if (pen_ == color)
        return;
    pen_ = color;
    update();
}

void TShape::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing,
                          kind_ == Kind::Ellipse || kind_ == Kind::RoundRect);
    painter.setBrush(brush_.isValid() ? QBrush(brush_) : QBrush(Qt::NoBrush));
    painter.setPen(pen_.isValid() ? QPen(pen_, 1) : QPen(Qt::NoPen));
    QRectF area = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    if (kind_ == Kind::Square) {
        const qreal side = std::min(area.width(), area.height());
        area = QRectF(area.center() - QPointF(side / 2, side / 2), QSizeF(side, side));
    }
    switch (kind_) {
    case Kind::Ellipse:
        painter.drawEllipse(area);
        break;
    case Kind::RoundRect:
        painter.drawRoundedRect(area, 5, 5);
        break;
    case Kind::Rectangle:
    case Kind::Square:
        painter.drawRect(area);
        break;
    }
}
