#include "platform/GstSource.h"

#include "platform/Capture.h"
#include "platform/CaptureSources.h"

#include <gst/app/gstappsink.h>
#include <gst/gst.h>
#include <gst/video/video.h>

#include <QFileInfo>
#include <QUrl>

#include <fcntl.h>
#include <linux/videodev2.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <thread>

namespace platform {

namespace {

struct Bounds {
    double lowest;
    double highest;
};

constexpr Bounds widthBounds{16, 7680};
constexpr Bounds heightBounds{16, 4320};
constexpr Bounds rateBounds{1, 240};

std::optional<std::uint32_t> v4l2Control(CameraProperty property) {
    switch (property) {
    case CameraProperty::Brightness:
        return V4L2_CID_BRIGHTNESS;
    case CameraProperty::Contrast:
        return V4L2_CID_CONTRAST;
    case CameraProperty::Saturation:
        return V4L2_CID_SATURATION;
    case CameraProperty::Hue:
        return V4L2_CID_HUE;
    case CameraProperty::Gain:
        return V4L2_CID_GAIN;
    case CameraProperty::Exposure:
        return V4L2_CID_EXPOSURE_ABSOLUTE;
    case CameraProperty::Width:
    case CameraProperty::Height:
    case CameraProperty::Rate:
        return std::nullopt;
    }
    return std::nullopt;
}

bool isFormatProperty(CameraProperty property) {
    return property == CameraProperty::Width || property == CameraProperty::Height ||
           property == CameraProperty::Rate;
}

// Width, height or rate: the caller has bounded the value.
void setFormatValue(VideoFormat& format, CameraProperty property, double value) {
    if (property == CameraProperty::Width)
        format.width = static_cast<int>(value);
    else if (property == CameraProperty::Height)
        format.height = static_cast<int>(value);
    else
        format.rate = value;
}

// Cameras are asked for the format first and may answer with any other they have, raw or
// Motion-JPEG, so a camera without that size still starts.
GstCaps* cameraCaps(const VideoFormat& format) {
    int numerator = 30;
    int denominator = 1;
    gst_util_double_to_fraction(format.rate, &numerator, &denominator);
    GstCaps* caps = gst_caps_new_empty();
    for (const char* media : {"video/x-raw", "image/jpeg"})
        gst_caps_append_structure(caps, gst_structure_new(media, "width", G_TYPE_INT, format.width,
                                                          "height", G_TYPE_INT, format.height,
                                                          "framerate", GST_TYPE_FRACTION, numerator,
                                                          denominator, nullptr));
    for (const char* media : {"video/x-raw", "image/jpeg"})
        gst_caps_append_structure(caps, gst_structure_new_empty(media));
    return caps;
}

GstCaps* deliveredCaps(PictureSize size) {
    if (size == PictureSize::Standard)
        return gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, "BGR", "width",
                                   G_TYPE_INT, Capture::width, "height", G_TYPE_INT,
                                   Capture::height, "pixel-aspect-ratio", GST_TYPE_FRACTION, 1, 1,
                                   nullptr);
    return gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, "BGR", "width",
                               GST_TYPE_INT_RANGE, smallestSide, largestWidth, "height",
                               GST_TYPE_INT_RANGE, smallestSide, largestHeight,
                               "pixel-aspect-ratio", GST_TYPE_FRACTION, 1, 1, nullptr);
}

std::string sourceUri(const CaptureSource& source) {
    if (source.kind == CaptureSource::Kind::File)
        return QUrl::fromLocalFile(QFileInfo(source.address).absoluteFilePath())
            .toEncoded()
            .toStdString();
    return source.address.toStdString();
}

// Links the decoder's first video pad to the converter; called on a streaming thread.
void linkVideoPad(GstElement*, GstPad* pad, gpointer converter) {
    GstCaps* caps = gst_pad_get_current_caps(pad);
    if (!caps)
        caps = gst_pad_query_caps(pad, nullptr);
    const bool video =
        caps && gst_caps_get_size(caps) > 0 &&
        g_str_has_prefix(gst_structure_get_name(gst_caps_get_structure(caps, 0)), "video/");
    if (caps)
        gst_caps_unref(caps);
    if (!video)
        return;
    GstPad* sink = gst_element_get_static_pad(GST_ELEMENT(converter), "sink");
    if (!gst_pad_is_linked(sink))
        gst_pad_link(pad, sink);
    gst_object_unref(sink);
}

// The element that reads the source: the camera, the stream's network element, or a
// decoder bin that finds its own for a file.
GstElement* makeHead(const CaptureSource& source) {
    switch (source.kind) {
    case CaptureSource::Kind::Camera:
        return gst_element_factory_make("v4l2src", nullptr);
    case CaptureSource::Kind::Stream: {
        GstElement* network =
            gst_element_make_from_uri(GST_URI_SRC, sourceUri(source).c_str(), nullptr, nullptr);
        // A stream is a live camera: shown as it comes, never held back to fill a buffer.
        if (network && g_object_class_find_property(G_OBJECT_GET_CLASS(network), "is-live"))
            g_object_set(network, "is-live", TRUE, nullptr);
        return network;
    }
    case CaptureSource::Kind::File:
    case CaptureSource::Kind::TestPattern:
        break;
    }
    GstElement* decoder = gst_element_factory_make("uridecodebin", nullptr);
    if (decoder)
        g_object_set(decoder, "uri", sourceUri(source).c_str(), nullptr);
    return decoder;
}

// A network element whose pads come with the stream (RTSP) links once they are there.
void linkToDecoder(GstElement*, GstPad* pad, gpointer decoder) {
    GstPad* sink = gst_element_get_static_pad(GST_ELEMENT(decoder), "sink");
    if (!gst_pad_is_linked(sink))
        gst_pad_link(pad, sink);
    gst_object_unref(sink);
}

// A network camera's Motion-JPEG over HTTP is one endless stream: told so, its demuxer
// hands the picture on at the first part instead of waiting for more streams forever.
void settleDemuxer(GstBin*, GstBin*, GstElement* element, gpointer) {
    GstElementFactory* factory = gst_element_get_factory(element);
    if (factory && g_strcmp0(GST_OBJECT_NAME(factory), "multipartdemux") == 0)
        g_object_set(element, "single-stream", TRUE, nullptr);
}

SourceFault faultOf(GstMessage* error) {
    GError* reason = nullptr;
    gst_message_parse_error(error, &reason, nullptr);
    const GstStructure* details = nullptr;
    gst_message_parse_error_details(error, &details);
    const SourceFault fault = reason ? sourceFault(*reason, details) : SourceFault::Other;
    g_clear_error(&reason);
    return fault;
}

} // namespace

void initGstreamer() {
    static std::once_flag once;
    std::call_once(once, [] { gst_init(nullptr, nullptr); });
}

SourceFault sourceFault(const GError& error, const GstStructure* details) {
    if (error.domain == GST_RESOURCE_ERROR) {
        switch (error.code) {
        case GST_RESOURCE_ERROR_BUSY:
            return SourceFault::Busy;
        case GST_RESOURCE_ERROR_NOT_FOUND:
            return SourceFault::NotFound;
        case GST_RESOURCE_ERROR_OPEN_READ:
        case GST_RESOURCE_ERROR_OPEN_WRITE:
        case GST_RESOURCE_ERROR_OPEN_READ_WRITE:
        case GST_RESOURCE_ERROR_NOT_AUTHORIZED:
            return SourceFault::PermissionDenied;
        default:
            return SourceFault::Other;
        }
    }
    const bool unsupported =
        (error.domain == GST_STREAM_ERROR &&
         (error.code == GST_STREAM_ERROR_FORMAT || error.code == GST_STREAM_ERROR_WRONG_TYPE ||
          error.code == GST_STREAM_ERROR_TYPE_NOT_FOUND ||
          error.code == GST_STREAM_ERROR_CODEC_NOT_FOUND)) ||
        (error.domain == GST_CORE_ERROR &&
         (error.code == GST_CORE_ERROR_MISSING_PLUGIN || error.code == GST_CORE_ERROR_NEGOTIATION));
    // An element whose stream stopped says why in the details of its error.
    int flow = GST_FLOW_OK;
    const bool notNegotiated = details && gst_structure_get_int(details, "flow-return", &flow) &&
                               flow == GST_FLOW_NOT_NEGOTIATED;
    return unsupported || notNegotiated ? SourceFault::UnsupportedFormat : SourceFault::Other;
}

struct GstSource::Pipeline {
    ~Pipeline() {
        if (device >= 0)
            ::close(device);
        if (pipeline) {
            gst_element_set_state(pipeline, GST_STATE_NULL);
            gst_object_unref(pipeline);
        }
    }

    GstElement* pipeline = nullptr;
    GstElement* sink = nullptr;
    GstElement* format = nullptr;
    GstBus* bus = nullptr;
    // A second handle on the camera for its controls; V4L2 allows several.
    int device = -1;
};

GstSource::GstSource(CaptureSource source, VideoFormat requested, PictureSize size)
    : source_(std::move(source)), requested_(requested), format_(requested), size_(size) {}

GstSource::~GstSource() = default;

bool GstSource::open() {
    initGstreamer();
    return build();
}

bool GstSource::build() {
    pipeline_.reset();
    builtAt_ = Clock::now();
    failed_ = true;
    auto made = std::make_unique<Pipeline>();
    made->pipeline = gst_pipeline_new("capture");
    GstElement* convert = gst_element_factory_make("videoconvert", nullptr);
    GstElement* scale = gst_element_factory_make("videoscale", nullptr);
    GstElement* layout = gst_element_factory_make("capsfilter", nullptr);
    made->sink = gst_element_factory_make("appsink", nullptr);
    const bool camera = source_.kind == CaptureSource::Kind::Camera;
    const bool decoded = source_.kind != CaptureSource::Kind::File;
    GstElement* head = makeHead(source_);
    GstElement* decode = decoded ? gst_element_factory_make("decodebin", nullptr) : head;
    made->format = camera ? gst_element_factory_make("capsfilter", nullptr) : nullptr;
    if (!made->pipeline || !convert || !scale || !layout || !made->sink || !head || !decode ||
        (camera && !made->format)) {
        // None is in the bin yet: each is dropped on its own.
        for (GstElement* element : {convert, scale, layout, made->sink, head, made->format})
            if (element)
                gst_object_unref(gst_object_ref_sink(element));
        if (decoded && decode)
            gst_object_unref(gst_object_ref_sink(decode));
        fault_ = SourceFault::Other;
        return false;
    }
    gst_bin_add_many(GST_BIN(made->pipeline), convert, scale, layout, made->sink, head, nullptr);
    // Stretched to 352 x 288, as the picture has always been; at its own size, scaled down
    // keeping its aspect only when larger than the bounds.
    g_object_set(scale, "add-borders", FALSE, nullptr);
    GstCaps* delivered = deliveredCaps(size_);
    g_object_set(layout, "caps", delivered, nullptr);
    gst_caps_unref(delivered);
    // Only the newest picture waits; a live source is never held to the clock. A file is,
    // so that it plays at its own rate.
    g_object_set(made->sink, "max-buffers", 1u, "drop", TRUE, "sync",
                 source_.kind == CaptureSource::Kind::File, "enable-last-sample", FALSE, nullptr);
    gst_element_link_many(convert, scale, layout, made->sink, nullptr);
    if (camera) {
        const QString path = currentCameraPath(source_);
        g_object_set(head, "device", path.toLocal8Bit().constData(), nullptr);
        GstCaps* caps = cameraCaps(format_);
        g_object_set(made->format, "caps", caps, nullptr);
        gst_caps_unref(caps);
        gst_bin_add_many(GST_BIN(made->pipeline), made->format, decode, nullptr);
        gst_element_link_many(head, made->format, decode, nullptr);
        made->device = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NONBLOCK);
    } else if (decoded) {
        gst_bin_add(GST_BIN(made->pipeline), decode);
        if (!gst_element_link(head, decode))
            g_signal_connect(head, "pad-added", G_CALLBACK(linkToDecoder), decode);
    }
    g_signal_connect(decode, "pad-added", G_CALLBACK(linkVideoPad), convert);
    g_signal_connect(made->pipeline, "deep-element-added", G_CALLBACK(settleDemuxer), nullptr);
    made->bus = gst_element_get_bus(made->pipeline);
    gst_object_unref(made->bus);
    if (gst_element_set_state(made->pipeline, GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE) {
        pipeline_ = std::move(made);
        failed_ = false;
    } else {
        GstMessage* error = gst_bus_pop_filtered(made->bus, GST_MESSAGE_ERROR);
        fault_ = error ? faultOf(error) : SourceFault::Other;
        if (error)
            gst_message_unref(error);
    }
    readControls();
    return !failed_;
}

bool GstSource::retryDue(Clock::time_point now) const {
    if (now - builtAt_ < retryTime)
        return false;
    return failed_ || !pipeline_ || now - std::max(builtAt_, lastPicture_) >= retryTime;
}

void GstSource::checkBus() {
    while (GstMessage* message = gst_bus_pop_filtered(
               pipeline_->bus, GstMessageType(GST_MESSAGE_ERROR | GST_MESSAGE_EOS))) {
        const bool ended = GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS;
        // The first error of a pipeline names the cause; those after it are its consequences.
        if (!ended && !failed_)
            fault_ = faultOf(message);
        gst_message_unref(message);
        // A file starts again at its end; anything else is built anew when due.
        if (ended && source_.kind == CaptureSource::Kind::File &&
            gst_element_seek_simple(pipeline_->pipeline, GST_FORMAT_TIME,
                                    GstSeekFlags(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_KEY_UNIT), 0))
            continue;
        failed_ = true;
    }
}

bool GstSource::read(cv::Mat& frame) {
    const Clock::time_point began = Clock::now();
    applyPending();
    if (pipeline_)
        checkBus();
    if (retryDue(began))
        build();
    GstSample* sample =
        pipeline_ && !failed_
            ? gst_app_sink_try_pull_sample(GST_APP_SINK(pipeline_->sink),
                                           std::chrono::nanoseconds(pullWait).count())
            : nullptr;
    if (!sample) {
        // A sink that is flushing or at its end answers at once: no busy loop.
        std::this_thread::sleep_until(began + pullWait);
        return false;
    }
    GstVideoInfo info;
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    GstMapInfo map;
    bool copied = false;
    if (buffer && gst_video_info_from_caps(&info, gst_sample_get_caps(sample)) &&
        GST_VIDEO_INFO_FORMAT(&info) == GST_VIDEO_FORMAT_BGR &&
        gst_buffer_map(buffer, &map, GST_MAP_READ)) {
        const auto stride = static_cast<std::size_t>(GST_VIDEO_INFO_PLANE_STRIDE(&info, 0));
        const int rows = GST_VIDEO_INFO_HEIGHT(&info);
        const int columns = GST_VIDEO_INFO_WIDTH(&info);
        if (map.size >= stride * static_cast<std::size_t>(rows) &&
            stride >= static_cast<std::size_t>(columns) * 3) {
            cv::Mat(rows, columns, CV_8UC3, map.data, stride).copyTo(frame);
            copied = true;
        }
        gst_buffer_unmap(buffer, &map);
    }
    gst_sample_unref(sample);
    if (copied) {
        lastPicture_ = Clock::now();
        fault_ = SourceFault::None;
    }
    return copied;
}

std::optional<double> GstSource::property(CameraProperty property) {
    std::lock_guard lock(valuesMutex_);
    const auto found = values_.find(property);
    return found == values_.end() ? std::nullopt : std::optional(found->second);
}

bool GstSource::setProperty(CameraProperty property, double value) {
    if (source_.kind != CaptureSource::Kind::Camera)
        return false;
    const Bounds bounds = property == CameraProperty::Width    ? widthBounds
                          : property == CameraProperty::Height ? heightBounds
                          : property == CameraProperty::Rate   ? rateBounds
                                                               : Bounds{-1e9, 1e9};
    const double bounded = std::clamp(value, bounds.lowest, bounds.highest);
    std::lock_guard lock(valuesMutex_);
    pending_[property] = bounded;
    if (isFormatProperty(property))
        setFormatValue(chosen_ ? *chosen_ : chosen_.emplace(requested_), property, bounded);
    return true;
}

std::optional<VideoFormat> GstSource::chosenFormat() const {
    std::lock_guard lock(valuesMutex_);
    return chosen_;
}

// Runs on the capture thread: a control write may take a slow camera a while.
void GstSource::applyPending() {
    std::map<CameraProperty, double> changes;
    {
        std::lock_guard lock(valuesMutex_);
        changes.swap(pending_);
    }
    if (changes.empty())
        return;
    bool formatChanged = false;
    for (const auto& [property, value] : changes) {
        if (isFormatProperty(property)) {
            formatChanged = true;
            setFormatValue(format_, property, value);
            continue;
        }
        const std::optional<std::uint32_t> id = v4l2Control(property);
        if (!pipeline_ || pipeline_->device < 0 || !id)
            continue;
        if (property == CameraProperty::Exposure) {
            v4l2_control manual{V4L2_CID_EXPOSURE_AUTO, V4L2_EXPOSURE_MANUAL};
            ::ioctl(pipeline_->device, VIDIOC_S_CTRL, &manual);
        }
        v4l2_queryctrl range{};
        range.id = *id;
        if (::ioctl(pipeline_->device, VIDIOC_QUERYCTRL, &range) != 0)
            continue;
        v4l2_control control{*id, static_cast<std::int32_t>(std::clamp(value, double(range.minimum),
                                                                       double(range.maximum)))};
        ::ioctl(pipeline_->device, VIDIOC_S_CTRL, &control);
    }
    if (formatChanged && pipeline_ && pipeline_->format) {
        GstCaps* caps = cameraCaps(format_);
        g_object_set(pipeline_->format, "caps", caps, nullptr);
        gst_caps_unref(caps);
    }
    readControls();
}

void GstSource::readControls() {
    std::map<CameraProperty, double> values;
    if (source_.kind == CaptureSource::Kind::Camera) {
        values[CameraProperty::Width] = format_.width;
        values[CameraProperty::Height] = format_.height;
        values[CameraProperty::Rate] = format_.rate;
        for (const CameraProperty property :
             {CameraProperty::Brightness, CameraProperty::Contrast, CameraProperty::Saturation,
              CameraProperty::Hue, CameraProperty::Gain, CameraProperty::Exposure}) {
            v4l2_control control{*v4l2Control(property), 0};
            if (pipeline_ && pipeline_->device >= 0 &&
                ::ioctl(pipeline_->device, VIDIOC_G_CTRL, &control) == 0)
                values[property] = control.value;
        }
    }
    std::lock_guard lock(valuesMutex_);
    values_.swap(values);
}

} // namespace platform
