#pragma once

// Drives the button widgets the way the operator does: mouse presses, moves, releases and
// double clicks, and the Space key, delivered straight to the widget.

#include "widgets/Vrsysutils.h"

#include <QApplication>
#include <QEnterEvent>
#include <QFocusEvent>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

namespace buttons_input {

inline void SendMouse(QWidget& widget, QEvent::Type type, QPoint pos,
                      Qt::MouseButton button = Qt::LeftButton) {
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(Qt::LeftButton);
    QMouseEvent event(type, QPointF(pos), QPointF(widget.mapToGlobal(pos)),
                      type == QEvent::MouseMove ? Qt::NoButton : button, held, Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}

inline void Press(QWidget& widget, QPoint pos) {
    SendMouse(widget, QEvent::MouseButtonPress, pos);
}
inline void Move(QWidget& widget, QPoint pos) {
    SendMouse(widget, QEvent::MouseMove, pos);
}
inline void Release(QWidget& widget, QPoint pos) {
    SendMouse(widget, QEvent::MouseButtonRelease, pos);
}
// What the window system sends for a double click: press, release, double click, release.
inline void DoubleClick(QWidget& widget, QPoint pos) {
    Press(widget, pos);
    Release(widget, pos);
    SendMouse(widget, QEvent::MouseButtonDblClick, pos);
    Release(widget, pos);
}
inline void Click(QWidget& widget) {
    const QPoint centre(widget.width() / 2, widget.height() / 2);
    Press(widget, centre);
    Release(widget, centre);
}

inline void Key(QWidget& widget, QEvent::Type type, bool autoRepeat = false) {
    QKeyEvent event(type, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), autoRepeat);
    QApplication::sendEvent(&widget, &event);
}
inline void SpaceDown(QWidget& widget, bool autoRepeat = false) {
    Key(widget, QEvent::KeyPress, autoRepeat);
}
inline void SpaceUp(QWidget& widget, bool autoRepeat = false) {
    Key(widget, QEvent::KeyRelease, autoRepeat);
}

inline void Enter(QWidget& widget) {
    QEnterEvent event(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QApplication::sendEvent(&widget, &event);
}
inline void Leave(QWidget& widget) {
    QEvent event(QEvent::Leave);
    QApplication::sendEvent(&widget, &event);
}
inline void FocusIn(QWidget& widget) {
    QFocusEvent event(QEvent::FocusIn);
    QApplication::sendEvent(&widget, &event);
}

inline QRgb Rgb(TColor color) {
    return ColorToQColor(color).rgb();
}

// The smallest rectangle holding every pixel of `area` that differs from `background`.
inline QRect InkBounds(const QImage& image, const QRect& area, QRgb background) {
    QRect bounds;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixel(x, y) != background)
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

inline int CountPixels(const QImage& image, const QRect& area, QRgb color) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += image.pixel(x, y) == color ? 1 : 0;
    return count;
}

} // namespace buttons_input
