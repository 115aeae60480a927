#include "video/PicturePanel.h"

#include "video/FrameSurface.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPainter>
#include <QWidget>

#include <algorithm>

namespace video {

namespace {

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(PicturePanel)
};

} // namespace

PicturePanel::PicturePanel(QWidget& panel)
    : QObject(&panel), panel_(panel), panelSize_(panel.size()) {
    panel_.installEventFilter(this);
}

QSize PicturePanel::fittedSize(QSize picture) const {
    std::lock_guard lock(mutex_);
    return video::fittedSize(picture, panelSize_);
}

void PicturePanel::show(const QImage& picture) {
    const QSize fitted = fittedSize(picture.size());
    const QImage shown =
        forScreen(picture.isNull() || fitted == picture.size()
                      ? picture
                      : picture.scaled(fitted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    {
        std::lock_guard lock(mutex_);
        picture_ = picture;
        fitted_ = shown;
        old_ = false;
    }
    requestRepaint();
}

// Scaled straight from the rows; the full picture is kept for picture() in the memory of the
// last one when nothing else holds it.
void PicturePanel::showRows(const std::uint8_t* bits, int width, int height) {
    const QImage rows(bits, width, height, static_cast<qsizetype>(width) * 3,
                      QImage::Format_BGR888);
    const QSize fitted = fittedSize(rows.size());
    const QImage scaled = fitted == rows.size() ? QImage() : scaledUpright(rows, fitted);
    {
        std::lock_guard lock(mutex_);
        copyUpright(rows, picture_);
        fitted_ = forScreen(scaled.isNull() ? picture_ : scaled);
        old_ = false;
    }
    requestRepaint();
}

void PicturePanel::markOld() {
    {
        std::lock_guard lock(mutex_);
        old_ = true;
    }
    requestRepaint();
}

void PicturePanel::requestRepaint() {
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
    if (watched == &panel_ && event->type() == QEvent::Resize) {
        std::lock_guard lock(mutex_);
        panelSize_ = panel_.size();
    }
    if (watched == &panel_ && event->type() == QEvent::Paint) {
        QImage shown;
        bool old = false;
        {
            std::lock_guard lock(mutex_);
            shown = fitted_;
            old = old_;
        }
        if (old)
            shown = noPictureVersion(shown, panel_.size());
        if (!shown.isNull()) {
            QPainter painter(&panel_);
            if (shown.size() == panel_.size()) {
                painter.drawImage(0, 0, shown);
            } else {
                painter.fillRect(panel_.rect(), Qt::black);
                const QRect place(QPoint((panel_.width() - shown.width()) / 2,
                                         (panel_.height() - shown.height()) / 2),
                                  shown.size());
                painter.drawImage(place, shown);
            }
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

QImage noPictureVersion(const QImage& picture, QSize sizeWhenNone) {
    QImage marked = picture.isNull() ? QImage(sizeWhenNone, QImage::Format_RGB32)
                                     : picture.convertToFormat(QImage::Format_Grayscale8)
                                           .convertToFormat(QImage::Format_RGB32);
    if (marked.isNull())
        return marked;
    if (picture.isNull())
        marked.fill(Qt::black);
    QPainter painter(&marked);
    painter.fillRect(marked.rect(), QColor(128, 128, 128, 110));
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(std::max(12, marked.height() / 8));
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(marked.rect(), Qt::AlignCenter, Texts::tr("SIN IMAGEN"));
    return marked;
}

} // namespace video
