#pragma once

#include <QImage>
#include <QObject>

#include <atomic>
#include <mutex>

class QWidget;

namespace video {

// Shows the latest picture handed over from any thread in a plain panel. Only the newest
// picture is kept; the panel repaints on the GUI thread.
class PicturePanel : public QObject {
    Q_OBJECT
public:
    explicit PicturePanel(QWidget& panel);

    void show(const QImage& picture);
    // Nothing shown until the next picture.
    void clear();
    QImage picture() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Q_INVOKABLE void repaintNow();

    QWidget& panel_;
    mutable std::mutex mutex_;
    QImage picture_;
    std::atomic<bool> repaintPending_{false};
};

} // namespace video
