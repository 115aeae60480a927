#pragma once

// Mouse and key input for the thumb widgets, delivered straight to the widget, and helpers to
// read their pixels.

#include "tests/widgets/MouseInput.h"

#include <QKeyEvent>

namespace thumb_input {

using mouse_input::Press;
using mouse_input::Release;
using mouse_input::Rgb;

inline void Drag(QWidget& widget, QPoint pos) {
    mouse_input::Move(widget, pos);
}
// A move with no button held.
inline void Hover(QWidget& widget, QPoint pos) {
    QMouseEvent event(QEvent::MouseMove, QPointF(pos), QPointF(widget.mapToGlobal(pos)),
                      Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}

inline void Key(QWidget& widget, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent event(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(&widget, &event);
}

} // namespace thumb_input
