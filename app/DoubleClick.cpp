#include "app/DoubleClick.h"

#include <QEvent>
#include <QWidget>

void DoubleClick::bind(QWidget* widget, std::function<void()> handler) {
    new DoubleClick(widget, std::move(handler));
}

DoubleClick::DoubleClick(QWidget* widget, std::function<void()> handler)
    : QObject(widget), handler_(std::move(handler)) {
    widget->installEventFilter(this);
}

bool DoubleClick::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick && watched == parent()) {
        handler_();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
