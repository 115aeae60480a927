#include "platform/CaptureSources.h"

#include "platform/GstSource.h"

#include <gst/gst.h>

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

QStringList videoNodes() {
    return QDir(QStringLiteral("/dev"))
        .entryList({QStringLiteral("video*")}, QDir::System | QDir::Files);
}

int deviceNumber(const QString& path) {
    return path.mid(path.lastIndexOf(QStringLiteral("video")) + 5).toInt();
}

QString text(const GstStructure* properties, const char* key) {
    const gchar* value = gst_structure_get_string(properties, key);
    return value ? QString::fromUtf8(value) : QString();
}

// The identity of the capture node at path; empty for metadata nodes, outputs and failures.
QString nodeIdentity(const QString& path) {
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
    return cameraIdentity(
        QString::fromLocal8Bit(reinterpret_cast<const char*>(capability.card)),
        QString::fromLocal8Bit(reinterpret_cast<const char*>(capability.bus_info)));
}

std::optional<CaptureSource> cameraOf(GstDevice* device) {
    GstStructure* properties = gst_device_get_properties(device);
    if (!properties)
        return std::nullopt;
    const QString path = text(properties, "api.v4l2.path");
    const QString identity = cameraIdentity(text(properties, "api.v4l2.cap.card"),
                                            text(properties, "api.v4l2.cap.bus_info"));
    gst_structure_free(properties);
    if (path.isEmpty())
        return std::nullopt;
    gchar* name = gst_device_get_display_name(device);
    const QString label =
        QString::fromUtf8(name) + QStringLiteral(" (") + path + QStringLiteral(")");
    g_free(name);
    return CaptureSource{CaptureSource::Kind::Camera, path, label, identity};
}

} // namespace

QString cameraIdentity(const QString& card, const QString& busInfo) {
    if (card.isEmpty() && busInfo.isEmpty())
        return {};
    return card + QLatin1Char('@') + busInfo;
}

std::vector<CaptureSource> attachedCameras() {
    // Cameras are video nodes: with none, the console starts without loading GStreamer.
    if (videoNodes().isEmpty())
        return {};
    initGstreamer();
    GstDeviceMonitor* monitor = gst_device_monitor_new();
    gst_device_monitor_add_filter(monitor, "Video/Source", nullptr);
    GList* devices = gst_device_monitor_get_devices(monitor);
    std::vector<CaptureSource> cameras;
    for (GList* item = devices; item; item = item->next)
        if (std::optional<CaptureSource> camera = cameraOf(GST_DEVICE(item->data)))
            cameras.push_back(std::move(*camera));
    g_list_free_full(devices, gst_object_unref);
    gst_object_unref(monitor);
    std::sort(cameras.begin(), cameras.end(),
              [](const CaptureSource& left, const CaptureSource& right) {
                  return deviceNumber(left.address) < deviceNumber(right.address);
              });
    return cameras;
}

std::vector<CaptureSource> addedSources() {
    std::vector<CaptureSource> sources;
    for (const QString& entry : layerSettings().value(addedKey).toStringList())
        if (!entry.trimmed().isEmpty())
            sources.push_back(parseCaptureSource(entry));
    return sources;
}

void addSource(const CaptureSource& source) {
    QSettings settings = layerSettings();
    QStringList texts = settings.value(addedKey).toStringList();
    const QString entry = captureSourceText(source);
    if (!texts.contains(entry))
        texts.append(entry);
    settings.setValue(addedKey, texts);
}

std::vector<CaptureSource> availableSources() {
    std::vector<CaptureSource> sources = attachedCameras();
    for (CaptureSource& added : addedSources())
        sources.push_back(std::move(added));
    return sources;
}

bool sameSource(const CaptureSource& left, const CaptureSource& right) {
    if (left.kind != right.kind)
        return false;
    if (!left.identity.isEmpty() && !right.identity.isEmpty())
        return left.identity == right.identity;
    return left.address == right.address;
}

std::optional<int> rowOf(const std::vector<CaptureSource>& sources, const CaptureSource& source) {
    const auto found =
        std::find_if(sources.begin(), sources.end(),
                     [&](const CaptureSource& entry) { return sameSource(entry, source); });
    if (found == sources.end())
        return std::nullopt;
    return static_cast<int>(found - sources.begin());
}

CameraChoice chooseCamera(const QString& commandLine, const std::vector<CaptureSource>& sources,
                          const std::optional<CaptureSource>& chosen, int index) {
    if (!commandLine.isEmpty())
        return {parseCaptureSource(commandLine), chosen, index};
    if (chosen)
        return {chosen, chosen, rowOf(sources, *chosen).value_or(index)};
    if (index < 0 || index >= static_cast<int>(sources.size()))
        return {std::nullopt, std::nullopt, index};
    const CaptureSource& row = sources[static_cast<std::size_t>(index)];
    return {row, row, index};
}

QString currentCameraPath(const CaptureSource& camera) {
    if (camera.identity.isEmpty())
        return camera.address;
    for (const QString& name : videoNodes()) {
        const QString path = QStringLiteral("/dev/") + name;
        if (nodeIdentity(path) == camera.identity)
            return path;
    }
    return camera.address;
}

} // namespace platform
