#include "video/PicturePanel.h"

#include <QEvent>
#include <QPainter>
#include <QWidget>

namespace video {

PicturePanel::PicturePanel(QWidget& panel) : QObject(&panel), panel_(panel) {
    panel_.installEventFilter(this);
}

void PicturePanel::show(const QImage& picture) {
    {
        std::lock_guard lock(mutex_);
        picture_ = picture;
    }
    // One queued repaint at a time, however fast frames come; posted by name so that
    // nothing made on the sending thread is read on the GUI thread.
    if (!repaintPending_.exchange(true))
        QMetaObject::invokeMethod(this, "repaintNow", Qt::QueuedConnection);
}

void PicturePanel::repaintNow() {
    repaintPending_ = false;
    panel_.update();
}

void PicturePanel::clear() {
    show(QImage());
}

QImage PicturePanel::picture() const {
    std::lock_guard lock(mutex_);
    return picture_;
}

bool PicturePanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &panel_ && event->type() == QEvent::Paint) {
        const QImage shown = picture();
        if (!shown.isNull()) {
            QPainter painter(&panel_);
            painter.drawImage(0, 0, shown);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace video
