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

    EffectSettings effect() const;
};

// Size of the result panel the processed picture is stretched to.
constexpr int resultWidth = 400;
constexpr int resultHeight = 300;

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
    // first. Frames of another size are dropped.
    void FrameCallback(const std::uint8_t* bits, int width, int height);

    // The frame-rate tick: the text takes the count of frames since the last tick.
    void TimerFPSTimer();

    // The camera has stopped delivering: the rate reads 0 until frames come again.
    void noPicture();

    PipelineControls controls;
    std::atomic<int> FrameCount{0};
    platform::SharedText FpsText{QStringLiteral("FPS:")};
    platform::SharedText TitleText{QString()};

private:
    void drawOverlays();
    void drawText(QPainter& painter, const QString& text, QPoint at, QColor dark, QColor light);

    FrameSurface& surface_;
    FrameSink& sink_;
    Texts texts_;
    QFont font_;
    int ascent_ = 0;
    ResultHandler resultHandler_;
};

} // namespace video
