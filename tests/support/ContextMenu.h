#pragma once

#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace testing_support {

// Opens the window's context menu as the operator would, hands it to `look` while it is open,
// then closes it; false when no menu opened.
inline bool withContextMenu(QWidget& window, const std::function<void(QMenu&)>& look) {
    bool opened = false;
    QTimer::singleShot(0, [&] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            opened = true;
            look(*menu);
            menu->close();
        }
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5),
                            window.mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(&window, &event);
    return opened;
}

} // namespace testing_support
