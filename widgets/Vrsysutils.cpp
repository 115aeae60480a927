#include "widgets/Vrsysutils.h"

#include <QFontMetrics>
#include <QPainter>
#include <QStringList>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <vector>

namespace {

// The classic Windows scheme, indexed by system colour number.
constexpr std::array<TColor, 31> SystemColorTable = {
    0xC0C0C0, // scroll bar
    0x808000, // desktop
    0x800000, // active caption
    0x808080, // inactive caption
    0xC0C0C0, // menu
    0xFFFFFF, // window
    0x000000, // window frame
    0x000000, // menu text
    0x000000, // window text
    0xFFFFFF, // caption text
    0xC0C0C0, // active border
    0xC0C0C0, // inactive border
    0x808080, // application workspace
    0x800000, // highlight
    0xFFFFFF, // highlight text
    0xC0C0C0, // button face
    0x808080, // button shadow
    0x808080, // grey text
    0x000000, // button text
    0xC0C0C0, // inactive caption text
    0xFFFFFF, // button highlight
    0x000000, // 3-D dark shadow
    0xDFDFDF, // 3-D light
    0x000000, // tooltip text
    0xE1FFFF, // tooltip background
    0x000000, // unused
    0xFF0000, // hot-tracked item
    0xD08410, // active caption gradient
    0xB5B5B5, // inactive caption gradient
    0x800000, // menu highlight
    0xC0C0C0, // menu bar
};

// Restores the painter's pen and brush when a helper is done.
class PenBrushGuard {
public:
    explicit PenBrushGuard(QPainter& canvas)
        : canvas_(canvas), pen_(canvas.pen()), brush_(canvas.brush()) {}
    ~PenBrushGuard() {
        canvas_.setPen(pen_);
        canvas_.setBrush(brush_);
    }
    PenBrushGuard(const PenBrushGuard&) = delete;
    PenBrushGuard& operator=(const PenBrushGuard&) = delete;

private:
    QPainter& canvas_;
    QPen pen_;
    QBrush brush_;
};

QPen SolidPen(TColor color, int width) {
    if (color == clNone)
        return QPen(Qt::NoPen);
    QPen pen(ColorToQColor(color));
    pen.setWidth(width);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    return pen;
}

QBrush SolidBrush(TColor color) {
    return color == clNone ? QBrush(Qt::NoBrush) : QBrush(ColorToQColor(color));
}

// Appends the pixels of a segment, its end point left out.
void RasterizeSegment(QPoint from, QPoint to, std::vector<QPoint>& pixels) {
    int x = from.x();
    int y = from.y();
    const int dx = std::abs(to.x() - x);
    const int dy = -std::abs(to.y() - y);
    const int stepX = x < to.x() ? 1 : -1;
    const int stepY = y < to.y() ? 1 : -1;
    int error = dx + dy;
    while (x != to.x() || y != to.y()) {
        pixels.emplace_back(x, y);
        const int doubled = 2 * error;
        if (doubled >= dy) {
            error += dy;
            x += stepX;
        }
        if (doubled <= dx) {
            error += dx;
            y += stepY;
        }
    }
}

void DrawThinPolyline(QPainter& canvas, std::span<const QPoint> points, TColor color) {
    const QColor qcolor = ColorToQColor(color);
    for (std::size_t i = 1; i < points.size(); ++i) {
        const QPoint from = points[i - 1];
        const QPoint to = points[i];
        if (from.y() == to.y() && from.x() != to.x()) {
            const int left = from.x() < to.x() ? from.x() : to.x() + 1;
            canvas.fillRect(QRect(left, from.y(), std::abs(to.x() - from.x()), 1), qcolor);
        } else if (from.x() == to.x() && from.y() != to.y()) {
            const int top = from.y() < to.y() ? from.y() : to.y() + 1;
            canvas.fillRect(QRect(from.x(), top, 1, std::abs(to.y() - from.y())), qcolor);
        } else {
            std::vector<QPoint> pixels;
            RasterizeSegment(from, to, pixels);
            canvas.setPen(SolidPen(color, 1));
            canvas.drawPoints(pixels.data(), int(pixels.size()));
        }
    }
}

Qt::Alignment HorizontalAlignment(unsigned format) {
    if (format & TextFormat::Center)
        return Qt::AlignHCenter;
    if (format & TextFormat::Right)
        return Qt::AlignRight;
    return Qt::AlignLeft;
}

// Splits text into the lines DrawText shows: one line when SingleLine, wrapped at spaces to
// `width` when WordBreak.
QStringList TextLines(const QFontMetrics& metrics, const QString& text, unsigned format,
                      int width) {
    if (format & TextFormat::SingleLine) {
        QString line = text;
        line.replace(QLatin1Char('\n'), QLatin1Char(' ')).remove(QLatin1Char('\r'));
        return {line};
    }
    QStringList lines;
    for (QString paragraph : text.split(QLatin1Char('\n'))) {
        paragraph.remove(QLatin1Char('\r'));
        if (!(format & TextFormat::WordBreak)) {
            lines << paragraph;
            continue;
        }
        QString current;
        for (const QString& word : paragraph.split(QLatin1Char(' '))) {
            const QString candidate = current.isEmpty() ? word : current + QLatin1Char(' ') + word;
            if (!current.isEmpty() && metrics.horizontalAdvance(candidate) > width) {
                lines << current;
                current = word;
            } else {
                current = candidate;
            }
        }
        lines << current;
    }
    return lines;
}

int WidestLine(const QFontMetrics& metrics, const QStringList& lines) {
    int widest = 0;
    for (const QString& line : lines)
        widest = std::max(widest, metrics.horizontalAdvance(MnemonicText(line).text));
    return widest;
}

void UnderlineCharacter(QPainter& canvas, const QFontMetrics& metrics, const TMnemonicText& line,
                        QPoint baseline, TColor color) {
    const int left = baseline.x() + metrics.horizontalAdvance(line.text.left(line.underlined));
    const int width = metrics.horizontalAdvance(line.text.at(line.underlined));
    canvas.fillRect(
        QRect(left, baseline.y() + metrics.underlinePos(), width, std::max(1, metrics.lineWidth())),
        ColorToQColor(color));
}

} // namespace

TMnemonicText MnemonicText(const QString& caption) {
    TMnemonicText result;
    result.text.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        const QChar c = caption.at(i);
        if (c != QLatin1Char('&')) {
            result.text += c;
            continue;
        }
        if (++i == caption.size())
            break;
        if (caption.at(i) != QLatin1Char('&') && result.underlined < 0)
            result.underlined = int(result.text.size());
        result.text += caption.at(i);
    }
    return result;
}

TColor ColorToRGB(TColor color) {
    if (color & SystemColorFlag) {
        const TColor index = color & ~SystemColorFlag;
        return index < SystemColorTable.size() ? SystemColorTable[index] : clBlack;
    }
    return color & 0xFFFFFF;
}

QColor ColorToQColor(TColor color) {
    if (color == clNone)
        return QColor(Qt::transparent);
    const TColor rgb = ColorToRGB(color);
    return QColor(RedOf(rgb), GreenOf(rgb), BlueOf(rgb));
}

TColor QColorToColor(const QColor& color) {
    return RGBColor(color.red(), color.green(), color.blue());
}

void TRect::Normalize() {
    if (Left > Right)
        std::swap(Left, Right);
    if (Top > Bottom)
        std::swap(Top, Bottom);
}

int ClampCoordinate(long long value) {
    return static_cast<int>(std::clamp<long long>(value, -FarCoordinate, FarCoordinate));
}

void ShrinkRect(TRect& rect, long long by) {
    rect.Left = ClampCoordinate(rect.Left + by);
    rect.Top = ClampCoordinate(rect.Top + by);
    rect.Right = ClampCoordinate(rect.Right - by);
    rect.Bottom = ClampCoordinate(rect.Bottom - by);
}

void PrepareCanvas(QPainter& canvas) {
    canvas.setRenderHint(QPainter::Antialiasing, false);
    canvas.setRenderHint(QPainter::SmoothPixmapTransform, false);
}

void FillRect(QPainter& canvas, const TRect& rect, TColor color) {
    if (color == clNone || rect.IsEmpty())
        return;
    canvas.fillRect(rect.ToQRect(), ColorToQColor(color));
}

void Polyline(QPainter& canvas, std::span<const QPoint> points, TColor color, int penWidth) {
    if (color == clNone || points.size() < 2)
        return;
    const PenBrushGuard guard(canvas);
    if (penWidth <= 1) {
        DrawThinPolyline(canvas, points, color);
        return;
    }
    canvas.setPen(SolidPen(color, penWidth));
    canvas.drawPolyline(points.data(), int(points.size()));
}

void Polyline(QPainter& canvas, std::initializer_list<QPoint> points, TColor color, int penWidth) {
    Polyline(canvas, std::span<const QPoint>(points.begin(), points.size()), color, penWidth);
}

void Line(QPainter& canvas, QPoint from, QPoint to, TColor color, int penWidth) {
    Polyline(canvas, {from, to}, color, penWidth);
}

void SetPixel(QPainter& canvas, int x, int y, TColor color) {
    FillRect(canvas, {x, y, x + 1, y + 1}, color);
}

void Rectangle(QPainter& canvas, const TRect& rect, TColor pen, TColor brush) {
    if (rect.IsEmpty())
        return;
    FillRect(canvas, rect, brush);
    FrameRect(canvas, rect, pen);
}

void FrameRect(QPainter& canvas, const TRect& rect, TColor color) {
    if (rect.IsEmpty())
        return;
    const int right = rect.Right - 1;
    const int bottom = rect.Bottom - 1;
    FillRect(canvas, {rect.Left, rect.Top, rect.Right, rect.Top + 1}, color);
    FillRect(canvas, {rect.Left, bottom, rect.Right, rect.Bottom}, color);
    FillRect(canvas, {rect.Left, rect.Top, rect.Left + 1, rect.Bottom}, color);
    FillRect(canvas, {right, rect.Top, rect.Right, rect.Bottom}, color);
}

void Ellipse(QPainter& canvas, const TRect& rect, TColor pen, TColor brush) {
    if (rect.IsEmpty())
        return;
    const PenBrushGuard guard(canvas);
    canvas.setPen(SolidPen(pen, 1));
    canvas.setBrush(SolidBrush(brush));
    canvas.drawEllipse(QRect(rect.Left, rect.Top, rect.Width() - 1, rect.Height() - 1));
}

int DrawText(QPainter& canvas, const QString& text, TRect& rect, unsigned format, TColor color) {
    const QFontMetrics metrics(canvas.font());
    const QStringList lines = TextLines(metrics, text, format, rect.Width());
    const int lineHeight = metrics.height();
    const int textHeight = lineHeight * int(lines.size());
    if (format & TextFormat::CalcRect) {
        const int widest = WidestLine(metrics, lines);
        if (!(format & TextFormat::WordBreak) || widest < rect.Width())
            rect.Right = rect.Left + widest;
        rect.Bottom = rect.Top + textHeight;
        return textHeight;
    }
    int top = rect.Top;
    if (format & TextFormat::SingleLine) {
        if (format & TextFormat::VCenter)
            top = rect.Top + (rect.Height() - textHeight) / 2;
        else if (format & TextFormat::Bottom)
            top = rect.Bottom - textHeight;
    }
    const PenBrushGuard guard(canvas);
    canvas.save();
    if (!(format & TextFormat::NoClip))
        canvas.setClipRect(rect.ToQRect(), Qt::IntersectClip);
    canvas.setPen(SolidPen(color, 1));
    const Qt::Alignment alignment = HorizontalAlignment(format);
    bool underlineDrawn = false;
    for (const QString& marked : lines) {
        const TMnemonicText line = MnemonicText(marked);
        const int width = metrics.horizontalAdvance(line.text);
        int left = rect.Left;
        if (alignment == Qt::AlignHCenter)
            left = rect.Left + (rect.Width() - width) / 2;
        else if (alignment == Qt::AlignRight)
            left = rect.Right - width;
        const QPoint baseline(left, top + metrics.ascent());
        canvas.drawText(baseline, line.text);
        if (line.underlined >= 0 && !underlineDrawn) {
            UnderlineCharacter(canvas, metrics, line, baseline, color);
            underlineDrawn = true;
        }
        top += lineHeight;
    }
    canvas.restore();
    return textHeight;
}

void TextOut(QPainter& canvas, int x, int y, const QString& text, TColor color) {
    const PenBrushGuard guard(canvas);
    canvas.setPen(SolidPen(color, 1));
    canvas.drawText(QPoint(x, y + QFontMetrics(canvas.font()).ascent()), text);
}

QSize TextExtent(const QFont& font, const QString& text) {
    const QFontMetrics metrics(font);
    return {metrics.horizontalAdvance(text), metrics.height()};
}

int TextWidth(const QFont& font, const QString& text) {
    return TextExtent(font, text).width();
}

int TextHeight(const QFont& font, const QString& text) {
    return TextExtent(font, text).height();
}

void DrawFrame3D(QPainter& canvas, TRect& rect, TColor topColor, TColor bottomColor, int width) {
    if (width <= 0)
        return;
    --rect.Right;
    --rect.Bottom;
    int drawn = 0;
    for (; drawn < width && rect.Left <= rect.Right && rect.Top <= rect.Bottom; ++drawn) {
        Polyline(canvas,
                 {QPoint(rect.Left, rect.Bottom), QPoint(rect.Left, rect.Top),
                  QPoint(rect.Right, rect.Top)},
                 topColor);
        Polyline(canvas,
                 {QPoint(rect.Right, rect.Top), QPoint(rect.Right, rect.Bottom),
                  QPoint(rect.Left - 1, rect.Bottom)},
                 bottomColor);
        rect.Inflate(-1, -1);
    }
    ++rect.Right;
    ++rect.Bottom;
    ShrinkRect(rect, width - drawn);
}

void DrawButtonText(QPainter& canvas, const QString& caption, const TRect& rect, bool enabled,
                    TColor fontColor) {
    TRect area = rect;
    if (enabled) {
        DrawText(canvas, caption, area,
                 TextFormat::Center | TextFormat::VCenter | TextFormat::SingleLine, fontColor);
        return;
    }
    area.Offset(1, 1);
    DrawText(canvas, caption, area, TextFormat::Left, clBtnHighlight);
    area.Offset(-1, -1);
    DrawText(canvas, caption, area, TextFormat::Left, clBtnShadow);
}

void CalcImageTextLayout(const QFont& font, const TRect& client, QPoint offset,
                         const QString& caption, int margin, int spacing, TVrImageTextLayout layout,
                         QSize imageSize, QPoint& imagePos, TRect& textBounds) {
    // Widened: the sizes, margin and spacing may each be any int.
    using Wide = long long;
    const Wide clientWidth = client.Width();
    const Wide clientHeight = client.Height();
    QSize textSize(0, 0);
    if (!caption.isEmpty()) {
        const QFontMetrics metrics(font);
        const QStringList lines = TextLines(metrics, caption, TextFormat::Left, client.Width());
        textSize = QSize(WidestLine(metrics, lines), metrics.height() * int(lines.size()));
    }

    const bool horizontal =
        layout == TVrImageTextLayout::ImageLeft || layout == TVrImageTextLayout::ImageRight;
    Wide imageX = 0;
    Wide imageY = 0;
    Wide textX = 0;
    Wide textY = 0;
    if (horizontal) {
        imageY = (clientHeight - imageSize.height() + 1) / 2;
        textY = (clientHeight - textSize.height() + 1) / 2;
    } else {
        imageX = (clientWidth - imageSize.width() + 1) / 2;
        textX = (clientWidth - textSize.width() + 1) / 2;
    }

    Wide gap = spacing;
    if (textSize.width() == 0 || imageSize.width() == 0)
        gap = 0;

    const Wide clientExtent = horizontal ? clientWidth : clientHeight;
    const Wide imageExtent = horizontal ? imageSize.width() : imageSize.height();
    const Wide textExtent = horizontal ? textSize.width() : textSize.height();
    Wide edge = margin;
    if (edge == -1) {
        if (gap == -1) {
            edge = (clientExtent - (imageExtent + textExtent)) / 3;
            gap = edge;
        } else {
            edge = (clientExtent - (imageExtent + gap + textExtent) + 1) / 2;
        }
    } else if (gap == -1) {
        gap = (clientExtent - edge - imageExtent - textExtent) / 2;
    }

    switch (layout) {
    case TVrImageTextLayout::ImageLeft:
        imageX = edge;
        textX = edge + imageExtent + gap;
        break;
    case TVrImageTextLayout::ImageRight:
        imageX = clientWidth - edge - imageExtent;
        textX = imageX - gap - textExtent;
        break;
    case TVrImageTextLayout::ImageTop:
        imageY = edge;
        textY = edge + imageExtent + gap;
        break;
    case TVrImageTextLayout::ImageBottom:
        imageY = clientHeight - edge - imageExtent;
        textY = imageY - gap - textExtent;
        break;
    }

    const Wide shiftX = Wide(client.Left) + offset.x();
    const Wide shiftY = Wide(client.Top) + offset.y();
    imagePos = QPoint(ClampCoordinate(imageX + shiftX), ClampCoordinate(imageY + shiftY));
    textBounds = {ClampCoordinate(textX + shiftX), ClampCoordinate(textY + shiftY),
                  ClampCoordinate(textX + shiftX + textSize.width()),
                  ClampCoordinate(textY + shiftY + textSize.height())};
}
