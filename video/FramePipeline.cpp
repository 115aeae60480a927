#include "video/FramePipeline.h"

#include <QFontMetrics>
#include <QPainter>

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

FramePipeline::FramePipeline(FrameSurface& surface, FrameSink& sink, Texts texts, QFont font)
    : surface_(surface), sink_(sink), texts_(std::move(texts)), font_(std::move(font)),
      ascent_(QFontMetrics(font_).ascent()) {
    // Plain pixels in the two stated colours, as the picture's text has always been drawn.
    font_.setStyleStrategy(QFont::NoAntialias);
}

void FramePipeline::FrameCallback(const std::uint8_t* bits, int width, int height) {
    if (controls.FramesPaused || !bits || width != frameWidth || height != frameHeight)
        return;
    const EffectPass effect(controls.effect());
    QImage result;
    {
        auto lock = surface_.lock();
        effect.apply(bits, surface_.bits(), frameBytes);
        ++FrameCount;
        drawOverlays();
        result =
            surface_.rows().transformed(QTransform::fromScale(double(resultWidth) / frameWidth,
                                                              -double(resultHeight) / frameHeight),
                                        Qt::FastTransformation);
        if (controls.Recording)
            sink_.addFrame(surface_.dib());
    }
    if (resultHandler_)
        resultHandler_(result);
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
    painter.setTransform(FrameSurface::uprightTransform());
    painter.setFont(font_);
    if (fps)
        drawText(painter, FpsText.get(), {0, 0}, darkText, lightText);
    if (temperature && texts_.temperature)
        drawText(painter, texts_.temperature(), {60, 0}, darkText, lightText);
    if (humidity && texts_.humidity)
        drawText(painter, texts_.humidity(), {105, 0}, darkHumidityText, lightText);
    if (title)
        drawText(painter, TitleText.get(), {0, frameHeight - 16}, darkText, lightTitleText);
}

// Twice, dark then light one pixel down and right, with no background box.
void FramePipeline::drawText(QPainter& painter, const QString& text, QPoint at, QColor dark,
                             QColor light) {
    if (text.isEmpty())
        return;
    const QPoint baseline = at + QPoint(0, ascent_);
    painter.setPen(dark);
    painter.drawText(baseline, text);
    painter.setPen(light);
    painter.drawText(baseline + QPoint(1, 1), text);
}

void FramePipeline::TimerFPSTimer() {
    FpsText.set(QStringLiteral("FPS: ") + QString::number(FrameCount.exchange(0)));
}

} // namespace video
