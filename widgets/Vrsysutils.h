#pragma once

// Colours, rectangles and drawing routines shared by the widgets. The routines follow the GDI
// pixel conventions the widgets' drawing rules are written for: 1-pixel pens, no antialiasing,
// rectangles exclude their right and bottom edges, a polyline leaves out its last point.

#include <QColor>
#include <QFont>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <cstdint>
#include <initializer_list>
#include <span>

class QPainter;

// ---------------------------------------------------------------------------------------------
// Colours

// 0x00BBGGRR (red in the low byte), or 0x80000000 + system colour index.
using TColor = std::uint32_t;

inline constexpr TColor SystemColorFlag = 0x80000000u;

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clOlive = 0x008080;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clPurple = 0x800080;
inline constexpr TColor clTeal = 0x808000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clFuchsia = 0xFF00FF;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clLtGray = clSilver;
inline constexpr TColor clDkGray = clGray;
// "No colour": a clear brush or pen in the canvas helpers, transparent in ColorToQColor.
inline constexpr TColor clNone = 0x1FFFFFFF;

inline constexpr TColor clScrollBar = SystemColorFlag | 0;
inline constexpr TColor clBackground = SystemColorFlag | 1;
inline constexpr TColor clActiveCaption = SystemColorFlag | 2;
inline constexpr TColor clInactiveCaption = SystemColorFlag | 3;
inline constexpr TColor clMenu = SystemColorFlag | 4;
inline constexpr TColor clWindow = SystemColorFlag | 5;
inline constexpr TColor clWindowFrame = SystemColorFlag | 6;
inline constexpr TColor clMenuText = SystemColorFlag | 7;
inline constexpr TColor clWindowText = SystemColorFlag | 8;
inline constexpr TColor clCaptionText = SystemColorFlag | 9;
inline constexpr TColor clActiveBorder = SystemColorFlag | 10;
inline constexpr TColor clInactiveBorder = SystemColorFlag | 11;
inline constexpr TColor clAppWorkSpace = SystemColorFlag | 12;
inline constexpr TColor clHighlight = SystemColorFlag | 13;
inline constexpr TColor clHighlightText = SystemColorFlag | 14;
inline constexpr TColor clBtnFace = SystemColorFlag | 15;
inline constexpr TColor clBtnShadow = SystemColorFlag | 16;
inline constexpr TColor clGrayText = SystemColorFlag | 17;
inline constexpr TColor clBtnText = SystemColorFlag | 18;
inline constexpr TColor clInactiveCaptionText = SystemColorFlag | 19;
inline constexpr TColor clBtnHighlight = SystemColorFlag | 20;
inline constexpr TColor cl3DDkShadow = SystemColorFlag | 21;
inline constexpr TColor cl3DLight = SystemColorFlag | 22;
inline constexpr TColor clInfoText = SystemColorFlag | 23;
inline constexpr TColor clInfoBk = SystemColorFlag | 24;

// Builds a colour from its channels.
constexpr TColor RGBColor(int red, int green, int blue) {
    return TColor(red & 0xFF) | TColor(green & 0xFF) << 8 | TColor(blue & 0xFF) << 16;
}
// Resolves a system colour through the classic colour table; plain colours keep their 24 bits.
// An unknown system index resolves to black.
TColor ColorToRGB(TColor color);
constexpr int RedOf(TColor rgb) {
    return int(rgb & 0xFF);
}
constexpr int GreenOf(TColor rgb) {
    return int(rgb >> 8 & 0xFF);
}
constexpr int BlueOf(TColor rgb) {
    return int(rgb >> 16 & 0xFF);
}
// The opaque QColor of a colour (system colours resolved); clNone gives a transparent QColor.
QColor ColorToQColor(TColor color);
// The colour of an opaque QColor.
TColor QColorToColor(const QColor& color);

// ---------------------------------------------------------------------------------------------
// Rectangles

// A rectangle by its edges; Right and Bottom are exclusive, as in the drawing rules.
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    constexpr int Width() const { return Right - Left; }
    constexpr int Height() const { return Bottom - Top; }
    constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    constexpr QPoint TopLeft() const { return {Left, Top}; }
    // Grows by dx on the left and right, by dy on the top and bottom (negative shrinks).
    constexpr void Inflate(int dx, int dy) {
        Left -= dx;
        Top -= dy;
        Right += dx;
        Bottom += dy;
    }
    constexpr void Offset(int dx, int dy) {
        Left += dx;
        Top += dy;
        Right += dx;
        Bottom += dy;
    }
    // Left <= Right and Top <= Bottom, swapping where needed.
    void Normalize();
    QRect ToQRect() const { return QRect(Left, Top, Width(), Height()); }
    static TRect FromQRect(const QRect& r) {
        return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
    }
    static constexpr TRect FromSize(int width, int height) { return {0, 0, width, height}; }

    friend constexpr bool operator==(const TRect&, const TRect&) = default;
};

// Edges computed from unbounded property values are pinned this far out, beyond any screen,
// so that any width, height or sum of two such edges stays a defined int.
inline constexpr int FarCoordinate = 1 << 28;
int ClampCoordinate(long long value);
// Moves every edge of `rect` inwards by `by` pixels (outwards when negative), pinning the
// edges to +-FarCoordinate.
void ShrinkRect(TRect& rect, long long by);

// ---------------------------------------------------------------------------------------------
// Canvas helpers. Each takes its colours explicitly and leaves the painter's pen and brush as it
// found them; a pen or brush colour of clNone draws no outline or no fill.

// Switches a painter to the pixel conventions above (no antialiasing); call after begin().
void PrepareCanvas(QPainter& canvas);
// Fills the pixels Left..Right-1 x Top..Bottom-1.
void FillRect(QPainter& canvas, const TRect& rect, TColor color);
// Draws the segments between consecutive points, leaving out the very last point.
void Polyline(QPainter& canvas, std::span<const QPoint> points, TColor color, int penWidth = 1);
void Polyline(QPainter& canvas, std::initializer_list<QPoint> points, TColor color,
              int penWidth = 1);
// One segment from `from` to just before `to` (a move-to followed by a line-to).
void Line(QPainter& canvas, QPoint from, QPoint to, TColor color, int penWidth = 1);
// Sets one pixel.
void SetPixel(QPainter& canvas, int x, int y, TColor color);
// Outline on the outermost pixels of `rect` in `pen`, inside filled with `brush`.
void Rectangle(QPainter& canvas, const TRect& rect, TColor pen, TColor brush);
// A 1-pixel outline in `color` just inside `rect`, no fill.
void FrameRect(QPainter& canvas, const TRect& rect, TColor color);
// The ellipse inscribed in `rect` (right and bottom excluded), outline `pen`, fill `brush`.
void Ellipse(QPainter& canvas, const TRect& rect, TColor pen, TColor brush);

// Text format flags of DrawText, with their classic values so they combine the same way.
namespace TextFormat {
inline constexpr unsigned Left = 0x0;
inline constexpr unsigned Center = 0x1;
inline constexpr unsigned Right = 0x2;
inline constexpr unsigned VCenter = 0x4;
inline constexpr unsigned Bottom = 0x8;
inline constexpr unsigned WordBreak = 0x10;
inline constexpr unsigned SingleLine = 0x20;
inline constexpr unsigned NoClip = 0x100;
// Measure only: DrawText sets rect.Right / rect.Bottom to the text's extent and draws nothing.
inline constexpr unsigned CalcRect = 0x400;
} // namespace TextFormat

// A caption without its accelerator marks: "&x" marks x, "&&" stands for one "&".
struct TMnemonicText {
    QString text;
    // Index in `text` of the first marked character, -1 when none is.
    int underlined = -1;
};
TMnemonicText MnemonicText(const QString& caption);

// Draws `text` in the painter's font and `color`, placed in `rect` by the TextFormat flags
// (vertical flags need SingleLine); clipped to `rect` unless NoClip. Returns the text height.
// Accelerator marks are not drawn: the first marked character is underlined instead.
int DrawText(QPainter& canvas, const QString& text, TRect& rect, unsigned format, TColor color);
// Draws `text` with its top-left corner at (x, y), no background.
void TextOut(QPainter& canvas, int x, int y, const QString& text, TColor color);
// Width and height of a single line of `text` in `font`.
QSize TextExtent(const QFont& font, const QString& text);
int TextWidth(const QFont& font, const QString& text);
int TextHeight(const QFont& font, const QString& text);

// ---------------------------------------------------------------------------------------------
// Shared drawing routines

// A 3-D frame of `width` pixels just inside `rect`: left and top edges in topColor, right and
// bottom in bottomColor. On return `rect` is the area inside the frame; width 0 changes nothing.
// Drawing stops once nothing is left inside; the rest of the width only shrinks `rect`.
void DrawFrame3D(QPainter& canvas, TRect& rect, TColor topColor, TColor bottomColor, int width);

// A button caption: enabled, centred on one line in fontColor; disabled, embossed at the
// top-left in clBtnHighlight (offset by 1, 1) and clBtnShadow.
void DrawButtonText(QPainter& canvas, const QString& caption, const TRect& rect, bool enabled,
                    TColor fontColor);

enum class TVrImageTextLayout { ImageLeft, ImageRight, ImageTop, ImageBottom };
enum class TVrOrientation { voVertical, voHorizontal };
enum class TVrTickMarks { tmNone, tmBoth, tmBottomRight, tmTopLeft };
enum class TVrTextAlignment {
    vtaLeft,
    vtaCenter,
    vtaRight,
    vtaTopLeft,
    vtaTop,
    vtaTopRight,
    vtaBottomLeft,
    vtaBottom,
    vtaBottomRight
};

// Places an image of imageSize and the caption (measured in `font`) inside `client`.
// margin / spacing -1 mean "share the free room"; see the layout rules of the image widgets.
// imagePos receives the image's top-left corner, textBounds the caption's rectangle.
void CalcImageTextLayout(const QFont& font, const TRect& client, QPoint offset,
                         const QString& caption, int margin, int spacing, TVrImageTextLayout layout,
                         QSize imageSize, QPoint& imagePos, TRect& textBounds);
