#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>

namespace testing_support {

// Paints a widget (and its children) into an image the size of the widget.
inline QImage paintWidget(QWidget& widget) {
    QImage image(widget.size(), QImage::Format_RGB32);
    image.fill(Qt::magenta);
    widget.render(&image, QPoint(), QRegion(),
                  QWidget::DrawWindowBackground | QWidget::DrawChildren);
    return image;
}

inline QColor pixel(const QImage& image, int x, int y) {
    return QColor(image.pixel(x, y));
}

} // namespace testing_support
