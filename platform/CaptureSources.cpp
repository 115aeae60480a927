#include "platform/CaptureSources.h"

#include <QDir>
#include <QSettings>

#include <fcntl.h>
#include <linux/videodev2.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>

namespace platform {

namespace {

const QString addedKey = QStringLiteral("Fuentes");

QSettings layerSettings() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("QUELMAR"),
                     QStringLiteral("marlo-captura"));
}

// The device's name when it captures video; empty otherwise (metadata nodes, outputs).
QString captureDeviceName(const QString& path) {
    const int device = ::open(path.toLocal8Bit().constData(), O_RDONLY | O_NONBLOCK);
    if (device < 0)
        return {};
    v4l2_capability capability{};
    const bool queried = ::ioctl(device, VIDIOC_QUERYCAP, &capability) == 0;
    ::close(device);
    const std::uint32_t caps = (capability.capabilities & V4L2_CAP_DEVICE_CAPS)
                                   ? capability.device_caps
                                   : capability.capabilities;
    if (!queried || !(caps & V4L2_CAP_VIDEO_CAPTURE))
        return {};
    return QString::fromLocal8Bit(reinterpret_cast<const char*>(capability.card));
}

int deviceNumber(const QString& name) {
    return name.mid(5).toInt();
}

} // namespace

std::vector<CaptureSource> attachedCameras() {
    QStringList names = QDir(QStringLiteral("/dev"))
                            .entryList({QStringLiteral("video*")}, QDir::System | QDir::Files);
    std::sort(names.begin(), names.end(), [](const QString& left, const QString& right) {
        return deviceNumber(left) < deviceNumber(right);
    });
    std::vector<CaptureSource> cameras;
    for (const QString& name : names) {
        const QString path = QStringLiteral("/dev/") + name;
        const QString card = captureDeviceName(path);
        if (!card.isEmpty())
            cameras.push_back({CaptureSource::Kind::Camera, path,
                               card + QStringLiteral(" (") + path + QStringLiteral(")")});
    }
    return cameras;
}

std::vector<CaptureSource> addedSources() {
    std::vector<CaptureSource> sources;
    for (const QString& text : layerSettings().value(addedKey).toStringList())
        if (!text.trimmed().isEmpty())
            sources.push_back(parseCaptureSource(text));
    return sources;
}

void addSource(const CaptureSource& source) {
    QSettings settings = layerSettings();
    QStringList texts = settings.value(addedKey).toStringList();
    const QString text = captureSourceText(source);
    if (!texts.contains(text))
        texts.append(text);
    settings.setValue(addedKey, texts);
}

std::vector<CaptureSource> availableSources() {
    std::vector<CaptureSource> sources = attachedCameras();
    for (CaptureSource& added : addedSources())
        sources.push_back(std::move(added));
    return sources;
}

} // namespace platform
