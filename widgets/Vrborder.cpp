#include "widgets/Vrborder.h"

TVrBorder::TVrBorder(QWidget* parent) : TVrGraphicControl(parent) {
    resize(50, 50);
}

void TVrBorder::SetShape(TVrBorderShape value) {
    if (shape_ == value)
        return;
    shape_ = value;
    update();
}

void TVrBorder::SetStyle(TVrBorderStyle value) {
    if (style_ == value)
        return;
    style_ = value;
    update();
}

void TVrBorder::SetShadowColor(TColor value) {
    if (shadowColor_ == value)
        return;
    shadowColor_ = value;
    update();
}

void TVrBorder::SetHighlightColor(TColor value) {
    if (highlightColor_ == value)
        return;
    highlightColor_ = value;
    update();
}

void TVrBorder::PaintRectangle(QPoint first, QPoint last, TColor topLeft, TColor bottomRight) {
    const QPoint rightTop(last.x(), first.y());
    const QPoint leftBottom(first.x(), last.y());
    Polyline(Canvas(), {leftBottom, first, rightTop}, topLeft);
    Polyline(Canvas(), {rightTop, last, leftBottom}, bottomRight);
}

void TVrBorder::Paint() {
    const bool raised = style_ == TVrBorderStyle::bsRaised;
    const TColor a = raised ? highlightColor_ : shadowColor_;
    const TColor b = raised ? shadowColor_ : highlightColor_;
    const int w = width();
    const int h = height();
    QPainter& canvas = Canvas();
    switch (shape_) {
    case TVrBorderShape::bsBox:
        PaintRectangle({0, 0}, {w - 1, h - 1}, a, b);
        break;
    case TVrBorderShape::bsFrame:
        PaintRectangle({1, 1}, {w - 1, h - 1}, b, b);
        PaintRectangle({0, 0}, {w - 2, h - 2}, a, a);
        break;
    case TVrBorderShape::bsTopLine:
        Line(canvas, QPoint(0, 0), QPoint(w, 0), a);
        Line(canvas, QPoint(0, 1), QPoint(w, 1), b);
        break;
    case TVrBorderShape::bsBottomLine:
        Line(canvas, QPoint(0, h - 2), QPoint(w, h - 2), a);
        Line(canvas, QPoint(0, h - 1), QPoint(w, h - 1), b);
        break;
    case TVrBorderShape::bsLeftLine:
        Line(canvas, QPoint(0, 0), QPoint(0, h), a);
        Line(canvas, QPoint(1, 0), QPoint(1, h), b);
        break;
    case TVrBorderShape::bsRightLine:
        Line(canvas, QPoint(w - 2, 0), QPoint(w - 2, h), a);
        Line(canvas, QPoint(w - 1, 0), QPoint(w - 1, h), b);
        break;
    case TVrBorderShape::bsSpacer:
        break;
    }
}
