#include "video/FramePipeline.h"

#include "platform/FrameSource.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace video {

namespace {

const QColor darkText(25, 25, 25);
const QColor darkHumidityText(20, 25, 25);
const QColor lightText(250, 250, 255);
const QColor lightTitleText(255, 255, 255);

} // namespace

EffectSettings PipelineControls::effect() const {
    return EffectSettings{EffectsOn.load(), ShowRed.load(),      ShowGreen.load(),
                          ShowBlue.load(),  BalanceValue.load(), LevelValue.load()};
}

OverlayLayout::OverlayLayout(const QFont& standard, int pictureHeight)
    : font(standard), scale(double(pictureHeight) / frameHeight) {
    if (pictureHeight != frameHeight)
        font.setPixelSize(
            std::max(1, static_cast<int>(std::lround(QFontInfo(standard).pixelSize() * scale))));
    ascent = QFontMetrics(font).ascent();
}

QPoint OverlayLayout::at(QPoint standardPlace) const {
    return {static_cast<int>(std::lround(standardPlace.x() * scale)),
            static_cast<int>(std::lround(standardPlace.y() * scale))};
}

FramePipeline::FramePipeline(FrameSurface& surface, FrameSink& sink, Texts texts, QFont font)
    : surface_(surface), sink_(sink), texts_(std::move(texts)), font_(std::move(font)) {
    // Plain pixels in the two stated colours, as the picture's text has always been drawn.
    font_.setStyleStrategy(QFont::NoAntialias);
    layout_ = OverlayLayout(font_, frameHeight);
}

bool FramePipeline::takes(int width, int height) const {
    return takes(width, height, controls.OwnSize);
}

bool FramePipeline::takes(int width, int height, bool ownSize) {
    return (width == frameWidth && height == frameHeight) ||
           (ownSize && platform::withinPictureBounds(width, height));
}

void FramePipeline::FrameCallback(const std::uint8_t* bits, int width, int height) {
    // Read once: the frame is taken and shown under one choice.
    const bool ownSize = controls.OwnSize;
    if (controls.FramesPaused || !bits || !takes(width, height, ownSize))
        return;
    const EffectPass effect(controls.effect());
    QImage shown;
    {
        auto lock = surface_.lock();
        if (surface_.width() != width || surface_.height() != height) {
            surface_.resize(width, height);
            layout_ = OverlayLayout(font_, height);
        }
        paintFrame(effect, bits);
        ++FrameCount;
        drawOverlays();
        shown = result(ownSize);
        if (controls.Recording)
            sink_.addFrame(surface_.dib());
    }
    if (resultHandler_)
        resultHandler_(shown);
}

// The frame's rows are packed; the surface's are padded to four bytes.
void FramePipeline::paintFrame(const EffectPass& effect, const std::uint8_t* bits) {
    const std::size_t packedRow = std::size_t(surface_.width()) * 3;
    const std::size_t surfaceRow = dibRowSize(surface_.width(), 24);
    if (packedRow == surfaceRow) {
        effect.apply(bits, surface_.bits(), surface_.bytes());
        return;
    }
    for (int row = 0; row < surface_.height(); ++row)
        effect.apply(bits + packedRow * std::size_t(row),
                     surface_.bits() + surfaceRow * std::size_t(row), packedRow);
}

// 352 x 288 is stretched to the panel as it always was; at the source's own size the picture
// is fitted into it with its aspect kept, the panel adding the bands.
QImage FramePipeline::result(bool ownSize) {
    if (!ownSize)
        return scaledUpright(surface_.rows(), {resultWidth, resultHeight}, Scaling::Nearest);
    const QSize fitted =
        fittedSize({surface_.width(), surface_.height()}, {resultWidth, resultHeight});
    return scaledUpright(surface_.rows(), fitted);
}

void FramePipeline::noPicture() {
    FrameCount = 0;
    FpsText.set(QStringLiteral("FPS: 0"));
}

void FramePipeline::drawOverlays() {
    const bool fps = controls.ShowFps;
    const bool temperature = controls.ShowTemperature;
    const bool humidity = controls.ShowHumidity;
    const bool title = controls.ShowTitle;
    if (!fps && !temperature && !humidity && !title)
        return;
    QPainter painter(&surface_.rows());
    painter.setTransform(surface_.upright());
    painter.setFont(layout_.font);
    if (fps)
        drawText(painter, FpsText.get(), layout_.at({0, 0}), darkText, lightText);
    if (temperature && texts_.temperature)
        drawText(painter, texts_.temperature(), layout_.at({60, 0}), darkText, lightText);
    if (humidity && texts_.humidity)
        drawText(painter, texts_.humidity(), layout_.at({105, 0}), darkHumidityText, lightText);
    if (title)
        drawText(painter, TitleText.get(), {0, surface_.height() - layout_.at({0, 16}).y()},
                 darkText, lightTitleText);
}

// Twice, dark then light one pixel down and right (at 288 rows), with no background box.
void FramePipeline::drawText(QPainter& painter, const QString& text, QPoint at, QColor dark,
                             QColor light) {
    if (text.isEmpty())
        return;
    const QPoint baseline = at + QPoint(0, layout_.ascent);
    const int offset = std::max(1, static_cast<int>(std::lround(layout_.scale)));
    painter.setPen(dark);
    painter.drawText(baseline, text);
    painter.setPen(light);
    painter.drawText(baseline + QPoint(offset, offset), text);
}

void FramePipeline::TimerFPSTimer() {
    FpsText.set(QStringLiteral("FPS: ") + QString::number(FrameCount.exchange(0)));
}

} // namespace video
