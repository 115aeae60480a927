#pragma once

// Loading the stock images and copying them with one colour left out, as the lamps and the
// media buttons draw their pictures.

#include "widgets/Vrsysutils.h"

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>

class QPainter;

// The stock image ":/widgets/<name>.png" as 32-bit RGB; a null image when it is missing.
QImage LoadStockImage(const QString& name);

// Copies the `source` part of `image` with its top-left corner at `target`, leaving out the
// pixels of `transparentColor` so that what lies beneath shows through.
void DrawTransparent(QPainter& canvas, QPoint target, const QImage& image, const QRect& source,
                     TColor transparentColor);
