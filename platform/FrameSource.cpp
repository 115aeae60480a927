#include "platform/FrameSource.h"

#include "platform/TestPattern.h"

#include <opencv2/videoio.hpp>

#include <QFileInfo>
#include <QRegularExpression>

#include <chrono>
#include <mutex>
#include <thread>

namespace platform {

namespace {

using Clock = std::chrono::steady_clock;

constexpr int readTimeoutMs = 1000;
constexpr double fallbackFileRate = 25.0;

int openCvProperty(CameraProperty property) {
    switch (property) {
    case CameraProperty::Brightness:
        return cv::CAP_PROP_BRIGHTNESS;
    case CameraProperty::Contrast:
        return cv::CAP_PROP_CONTRAST;
    case CameraProperty::Saturation:
        return cv::CAP_PROP_SATURATION;
    case CameraProperty::Hue:
        return cv::CAP_PROP_HUE;
    case CameraProperty::Gain:
        return cv::CAP_PROP_GAIN;
    case CameraProperty::Exposure:
        return cv::CAP_PROP_EXPOSURE;
    case CameraProperty::Width:
        return cv::CAP_PROP_FRAME_WIDTH;
    case CameraProperty::Height:
        return cv::CAP_PROP_FRAME_HEIGHT;
    case CameraProperty::Rate:
        return cv::CAP_PROP_FPS;
    }
    return cv::CAP_PROP_BRIGHTNESS;
}

// A camera, video file or stream through OpenCV. A file plays at its own rate and starts
// again at its end.
class OpenCvSource final : public FrameSource {
public:
    OpenCvSource(CaptureSource source, VideoFormat requested)
        : source_(std::move(source)), requested_(requested) {}

    bool open() override {
        std::lock_guard lock(mutex_);
        const std::string address = source_.address.toStdString();
        if (source_.kind == CaptureSource::Kind::Camera) {
            if (!capture_.open(address, cv::CAP_V4L2))
                return false;
            // Only the newest picture matters: no queue of stale frames.
            capture_.set(cv::CAP_PROP_BUFFERSIZE, 1);
            capture_.set(cv::CAP_PROP_FRAME_WIDTH, requested_.width);
            capture_.set(cv::CAP_PROP_FRAME_HEIGHT, requested_.height);
            capture_.set(cv::CAP_PROP_FPS, requested_.rate);
            return true;
        }
        const std::vector<int> timeouts{cv::CAP_PROP_OPEN_TIMEOUT_MSEC, readTimeoutMs * 5,
                                        cv::CAP_PROP_READ_TIMEOUT_MSEC, readTimeoutMs};
        if (!capture_.open(address, cv::CAP_FFMPEG, timeouts))
            return false;
        const double rate = capture_.get(cv::CAP_PROP_FPS);
        period_ = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(
            1.0 / (rate > 0.5 && rate < 1000 ? rate : fallbackFileRate)));
        next_ = Clock::now();
        return true;
    }

    bool read(cv::Mat& frame) override {
        if (source_.kind == CaptureSource::Kind::File)
            return readPaced(frame);
        std::lock_guard lock(mutex_);
        return capture_.read(frame);
    }

    std::optional<double> property(CameraProperty property) override {
        std::lock_guard lock(mutex_);
        if (!capture_.isOpened())
            return std::nullopt;
        return capture_.get(openCvProperty(property));
    }

    bool setProperty(CameraProperty property, double value) override {
        std::lock_guard lock(mutex_);
        return capture_.isOpened() && capture_.set(openCvProperty(property), value);
    }

private:
    bool readPaced(cv::Mat& frame) {
        std::this_thread::sleep_until(next_);
        next_ = std::max(next_ + period_, Clock::now());
        std::lock_guard lock(mutex_);
        if (capture_.read(frame))
            return true;
        capture_.set(cv::CAP_PROP_POS_FRAMES, 0);
        return capture_.read(frame);
    }

    CaptureSource source_;
    VideoFormat requested_;
    std::mutex mutex_;
    cv::VideoCapture capture_;
    Clock::duration period_{};
    Clock::time_point next_{};
};

} // namespace

CaptureSource parseCaptureSource(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.compare(QStringLiteral("test"), Qt::CaseInsensitive) == 0)
        return {CaptureSource::Kind::TestPattern, QString(), QStringLiteral("Imagen de prueba")};
    bool isNumber = false;
    const int number = trimmed.toInt(&isNumber);
    if (isNumber && number >= 0) {
        const QString device = QStringLiteral("/dev/video") + QString::number(number);
        return {CaptureSource::Kind::Camera, device, device};
    }
    if (trimmed.startsWith(QStringLiteral("/dev/")))
        return {CaptureSource::Kind::Camera, trimmed, trimmed};
    if (trimmed.contains(QRegularExpression(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*://"))))
        return {CaptureSource::Kind::Stream, trimmed, trimmed};
    return {CaptureSource::Kind::File, trimmed, QFileInfo(trimmed).fileName()};
}

QString captureSourceText(const CaptureSource& source) {
    return source.kind == CaptureSource::Kind::TestPattern ? QStringLiteral("test")
                                                           : source.address;
}

std::unique_ptr<FrameSource> makeFrameSource(const CaptureSource& source, VideoFormat requested) {
    if (source.kind == CaptureSource::Kind::TestPattern)
        return std::make_unique<TestPattern>();
    return std::make_unique<OpenCvSource>(source, requested);
}

} // namespace platform
