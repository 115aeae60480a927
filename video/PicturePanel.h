#pragma once

#include <QImage>
#include <QObject>

#include <atomic>
#include <cstdint>
#include <mutex>

class QWidget;

namespace video {

// Shows the latest picture handed over from any thread in a plain panel. Only the newest
// picture is kept; the panel repaints on the GUI thread. A picture of the panel's size fills
// it; any other is scaled on the handing thread to fit, its aspect kept, between black bands.
// A picture marked old is shown greyed with "SIN IMAGEN" over it until the next one comes.
class PicturePanel : public QObject {
    Q_OBJECT
public:
    explicit PicturePanel(QWidget& panel);

    void show(const QImage& picture);
    // Packed bottom-row-first blue-green-red rows, valid for the call only.
    void showRows(const std::uint8_t* bits, int width, int height);
    // Nothing shown until the next picture.
    void clear();
    // The source stopped delivering: what is on the panel is no longer live.
    void markOld();
    // The picture as delivered, never the marked version.
    QImage picture() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QSize fittedSize(QSize picture) const;
    void requestRepaint();
    Q_INVOKABLE void repaintNow();

    QWidget& panel_;
    mutable std::mutex mutex_;
    QImage picture_;
    // The picture at the size it is shown.
    QImage fitted_;
    QSize panelSize_;
    bool old_ = false;
    std::atomic<bool> repaintPending_{false};
};

// The picture greyed with "SIN IMAGEN" over it; black of the given size when there is none.
QImage noPictureVersion(const QImage& picture, QSize sizeWhenNone);

} // namespace video
