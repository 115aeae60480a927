#pragma once

#include "platform/SharedText.h"
#include "video/Dib.h"
#include "video/Effect.h"
#include "video/FrameSurface.h"

#include <QFont>
#include <QImage>

#include <atomic>
#include <functional>

namespace video {

// What the GUI thread sets and the capture thread reads, each value read once per frame.
struct PipelineControls {
    std::atomic<bool> FramesPaused{false};
    std::atomic<bool> EffectsOn{false};
    std::atomic<bool> ShowRed{false};
    std::atomic<bool> ShowGreen{false};
    std::atomic<bool> ShowBlue{false};
    std::atomic<int> BalanceValue{128};
    std::atomic<int> LevelValue{128};
    std::atomic<bool> ShowFps{false};
    std::atomic<bool> ShowTemperature{false};
    std::atomic<bool> ShowHumidity{false};
    std::atomic<bool> ShowTitle{false};
    std::atomic<bool> Recording{false};
    // Frames at the source's own size are taken (within the bounds); otherwise only
    // 352 x 288 frames are.
    std::atomic<bool> OwnSize{false};

    EffectSettings effect() const;
};

// Size of the result panel the processed picture is stretched to (at the source's own
// size: scaled to fit it, its aspect kept).
constexpr int resultWidth = 400;
constexpr int resultHeight = 300;

// The overlays' text at a picture height: the font and places of 288 rows scaled with the
// height, so that it reads the same on the picture at every size.
struct OverlayLayout {
    QFont font;
    int ascent = 0;
    double scale = 1;

    OverlayLayout() = default;
    OverlayLayout(const QFont& standard, int pictureHeight);
    QPoint at(QPoint standardPlace) const;
};

// Turns each camera frame into the processed picture: effect, overlays, the stretched
// result for the result panel, and the frame for the recording.
class FramePipeline {
public:
    // Called on the capture thread with each stretched result.
    using ResultHandler = std::function<void(const QImage&)>;
    // Read on the capture thread; must return a whole text.
    using TextSource = std::function<QString()>;

    struct Texts {
        TextSource temperature;
        TextSource humidity;
    };

    FramePipeline(FrameSurface& surface, FrameSink& sink, Texts texts, QFont font);

    void setResultHandler(ResultHandler handler) { resultHandler_ = std::move(handler); }

    // One camera frame: packed rows, three bytes per pixel blue-green-red, bottom row
    // first. Frames of another size are dropped: 352 x 288 is taken, and with OwnSize every
    // size within the bounds, the surface taking it.
    void FrameCallback(const std::uint8_t* bits, int width, int height);

    // Whether a frame of that size is taken (the rule FrameCallback follows).
    bool takes(int width, int height) const;

    // The frame-rate tick: the text takes the count of frames since the last tick.
    void TimerFPSTimer();

    // The camera has stopped delivering: the rate reads 0 until frames come again.
    void noPicture();

    PipelineControls controls;
    std::atomic<int> FrameCount{0};
    platform::SharedText FpsText{QStringLiteral("FPS:")};
    platform::SharedText TitleText{QString()};

private:
    static bool takes(int width, int height, bool ownSize);
    void paintFrame(const EffectPass& effect, const std::uint8_t* bits);
    QImage result(bool ownSize);
    void drawOverlays();
    void drawText(QPainter& painter, const QString& text, QPoint at, QColor dark, QColor light);

    FrameSurface& surface_;
    FrameSink& sink_;
    Texts texts_;
    QFont font_;
    // For the surface's height; remade on the capture thread when it changes.
    OverlayLayout layout_;
    ResultHandler resultHandler_;
};

} // namespace video
