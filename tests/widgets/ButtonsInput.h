#pragma once

// Drives the button widgets the way the operator does: mouse presses, moves, releases and
// double clicks, and the Space key, delivered straight to the widget.

#include "tests/widgets/MouseInput.h"

#include <QEnterEvent>
#include <QFocusEvent>
#include <QImage>
#include <QKeyEvent>

namespace buttons_input {

using mouse_input::Move;
using mouse_input::Press;
using mouse_input::Release;
using mouse_input::Rgb;
using mouse_input::SendMouse;

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
