#include "widgets/Vrstockimages.h"

#include <QPainter>

QImage LoadStockImage(const QString& name) {
    const QImage image(QStringLiteral(":/widgets/%1.png").arg(name));
    return image.isNull() ? QImage() : image.convertToFormat(QImage::Format_RGB32);
}

void DrawTransparent(QPainter& canvas, QPoint target, const QImage& image, const QRect& source,
                     TColor transparentColor) {
    const QRect part = source.intersected(image.rect());
    if (part.isEmpty())
        return;
    QImage frame = image.copy(part).convertToFormat(QImage::Format_ARGB32);
    const QRgb key = ColorToQColor(transparentColor).rgb();
    for (int y = 0; y < frame.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(frame.scanLine(y));
        for (int x = 0; x < frame.width(); ++x) {
            if ((line[x] | 0xFF000000u) == key)
                line[x] = qRgba(0, 0, 0, 0);
        }
    }
    canvas.drawImage(target + (part.topLeft() - source.topLeft()), frame);
}
