#pragma once

// Left-button presses, moves and releases delivered straight to a widget, as the operator makes
// them, and the pixel value of a colour.

#include "widgets/Vrsysutils.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

namespace mouse_input {

// The button is held from the press until the release; moves name no button of their own.
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

inline QRgb Rgb(TColor color) {
    return ColorToQColor(color).rgb();
}

} // namespace mouse_input
