#include "video/Mp4Writer.h"

#include "platform/GstSource.h"
#include "video/DibCheck.h"

#include <gst/app/gstappsink.h>
#include <gst/app/gstappsrc.h>
#include <gst/gst.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <span>
#include <thread>

namespace video {
namespace {

constexpr int defaultPeriodMs = 100;
constexpr int longestPeriodMs = 3600 * 1000;
// A key frame every second; two fragments a second, so a file cut off by a crash plays to
// within a second of it even with the frames still in the encoder and the queue.
constexpr int keyFrameMs = 1000;
constexpr int fragmentMs = 500;
// Constant quality: fine detail of dust and surfaces keeps its bits, a still picture costs
// little.
constexpr int quality = 21;
constexpr auto closeTimeout = 10 * GST_SECOND;

// x264's own enumerations, as its GStreamer element takes them.
constexpr int superFastPreset = 2;
constexpr int zeroLatencyTune = 4;
constexpr int constantQualityPass = 5;

GstElement* make(const char* factory) {
    return gst_element_factory_make(factory, nullptr);
}

} // namespace

std::unique_ptr<Mp4Writer> Mp4Writer::open(std::unique_ptr<platform::DiskFile> file,
                                           int framePeriodMs) {
    platform::initGstreamer();
    for (const char* factory : {"appsrc", "videoconvert", "x264enc", "mp4mux", "appsink"}) {
        GstElementFactory* found = gst_element_factory_find(factory);
        if (!found)
            return nullptr;
        gst_object_unref(found);
    }
    if (!file)
        return nullptr;
    return std::unique_ptr<Mp4Writer>(new Mp4Writer(std::move(file), framePeriodMs));
}

Mp4Writer::Mp4Writer(std::unique_ptr<platform::DiskFile> file, int framePeriodMs)
    : file_(std::move(file)),
      framePeriodMs_(framePeriodMs <= 0 ? defaultPeriodMs
                                        : std::min(framePeriodMs, longestPeriodMs)) {}

Mp4Writer::~Mp4Writer() {
    close();
}

bool Mp4Writer::start(const DibSection& frame) {
    const bool evenSize = frame.width % 2 == 0 && frame.height % 2 == 0;
    const bool inRange = std::min(frame.width, frame.height) >= smallestSide &&
                         frame.width <= widestFrame && frame.height <= tallestFrame;
    if (!evenSize || !inRange)
        return false;
    width_ = frame.width;
    height_ = frame.height;
    pipeline_ = gst_pipeline_new(nullptr);
    source_ = make("appsrc");
    GstElement* convert = make("videoconvert");
    GstElement* encoder = make("x264enc");
    GstElement* muxer = make("mp4mux");
    GstElement* sink = make("appsink");
    const auto elements = {source_, convert, encoder, muxer, sink};
    if (std::find(elements.begin(), elements.end(), nullptr) != elements.end()) {
        for (GstElement* element : elements)
            if (element)
                gst_object_unref(gst_object_ref_sink(element));
        source_ = nullptr;
        return false;
    }
    gst_bin_add_many(GST_BIN(pipeline_), source_, convert, encoder, muxer, sink, nullptr);
    if (!gst_element_link_many(source_, convert, encoder, muxer, sink, nullptr))
        return false;

    const int framesPerKey = std::max(1, keyFrameMs / framePeriodMs_);
    GstCaps* caps = gst_caps_new_simple(
        "video/x-raw", "format", G_TYPE_STRING, "BGR", "width", G_TYPE_INT, width_, "height",
        G_TYPE_INT, height_, "framerate", GST_TYPE_FRACTION, 1000, framePeriodMs_, nullptr);
    const auto frameBytes = dibRowSize(width_, 24) * static_cast<std::size_t>(height_);
    const auto queuedFrames = static_cast<guint64>(std::max(2, queuedMs / framePeriodMs_));
    g_object_set(source_, "caps", caps, "format", GST_FORMAT_TIME, "block", FALSE, "max-bytes",
                 queuedFrames * frameBytes, nullptr);
    framePool_ = gst_buffer_pool_new();
    GstStructure* poolConfig = gst_buffer_pool_get_config(framePool_);
    gst_buffer_pool_config_set_params(poolConfig, caps, static_cast<guint>(frameBytes), 2, 0);
    gst_caps_unref(caps);
    if (!gst_buffer_pool_set_config(framePool_, poolConfig) ||
        !gst_buffer_pool_set_active(framePool_, TRUE))
        return false;
    // The fastest preset that keeps the deblocking filter and arithmetic coding: the files
    // stay far below their budget, and trellis quantisation costs a tenth of the encoding
    // for little a viewer sees.
    g_object_set(encoder, "speed-preset", superFastPreset, "tune", zeroLatencyTune, "pass",
                 constantQualityPass, "quantizer", quality, "key-int-max", framesPerKey, "trellis",
                 FALSE, nullptr);
    g_object_set(muxer, "fragment-duration", fragmentMs, "streamable", TRUE, nullptr);
    g_object_set(sink, "sync", FALSE, "async", FALSE, nullptr);

    GstAppSinkCallbacks callbacks{};
    callbacks.new_sample = [](GstAppSink* appSink, gpointer self) {
        GstSample* sample = gst_app_sink_pull_sample(appSink);
        if (!sample)
            return GST_FLOW_OK;
        GstMapInfo map;
        GstBuffer* buffer = gst_sample_get_buffer(sample);
        if (buffer && gst_buffer_map(buffer, &map, GST_MAP_READ)) {
            static_cast<Mp4Writer*>(self)->write(map.data, map.size);
            gst_buffer_unmap(buffer, &map);
        }
        gst_sample_unref(sample);
        // A refused write marks the writer failed; the stream goes on so nothing waits on it.
        return GST_FLOW_OK;
    };
    gst_app_sink_set_callbacks(GST_APP_SINK(sink), &callbacks, this, nullptr);
    return gst_element_set_state(pipeline_, GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE;
}

void Mp4Writer::write(const std::uint8_t* bytes, std::size_t size) {
    std::lock_guard lock(fileMutex_);
    if (failed_)
        return;
    if (!file_->append(std::span(bytes, size))) {
        failed_ = true;
        return;
    }
    bytesWritten_ += size;
    fragments_.feed(std::span(bytes, size));
}

bool Mp4Writer::addFrame(const DibSection& frame) {
    if (failed_ || closed_ || !isCompleteDib(frame) || frame.bitsPerPixel != 24)
        return false;
    if (!pipeline_ && !start(frame)) {
        if (pipeline_)
            stopPipeline();
        return fail();
    }
    if (frame.width != width_ || frame.height != height_)
        return false;
    const auto frameBytes = static_cast<gsize>(dibRowSize(width_, 24) * height_);
    if (!roomFor(frameBytes))
        return false;

    GstBuffer* buffer = nullptr;
    GstMapInfo map;
    if (gst_buffer_pool_acquire_buffer(framePool_, &buffer, nullptr) != GST_FLOW_OK ||
        !gst_buffer_map(buffer, &map, GST_MAP_WRITE)) {
        if (buffer)
            gst_buffer_unref(buffer);
        return fail();
    }
    // The bitmap is bottom-up; the encoder takes the top row first.
    const std::size_t rowBytes = dibRowSize(width_, 24);
    for (int row = 0; row < height_; ++row)
        std::memcpy(map.data + static_cast<std::size_t>(row) * rowBytes,
                    frame.bits + static_cast<std::size_t>(height_ - 1 - row) * rowBytes, rowBytes);
    gst_buffer_unmap(buffer, &map);
    const auto period = static_cast<GstClockTime>(framePeriodMs_) * GST_MSECOND;
    GST_BUFFER_PTS(buffer) = framesAdded_ * period;
    GST_BUFFER_DURATION(buffer) = period;
    if (gst_app_src_push_buffer(GST_APP_SRC(source_), buffer) != GST_FLOW_OK)
        return fail();
    ++framesAdded_;
    return true;
}

// An encoder that falls behind holds the caller back for at most queuedMs, then the frame is
// refused: a stalled encoder never holds a recording up for longer.
bool Mp4Writer::roomFor(std::size_t frameBytes) const {
    guint64 limit = 0;
    g_object_get(source_, "max-bytes", &limit, nullptr);
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::milliseconds(queuedMs);
    while (gst_app_src_get_current_level_bytes(GST_APP_SRC(source_)) + frameBytes > limit) {
        if (std::chrono::steady_clock::now() >= giveUp)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

bool Mp4Writer::flush() {
    std::lock_guard lock(fileMutex_);
    if (failed_)
        return false;
    if (!file_->syncData())
        failed_ = true;
    return !failed_;
}

bool Mp4Writer::close() {
    if (closed_)
        return !failed_;
    closed_ = true;
    if (pipeline_) {
        gst_app_src_end_of_stream(GST_APP_SRC(source_));
        GstBus* bus = gst_element_get_bus(pipeline_);
        GstMessage* end = gst_bus_timed_pop_filtered(
            bus, closeTimeout, static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
        if (!end || GST_MESSAGE_TYPE(end) == GST_MESSAGE_ERROR)
            failed_ = true;
        if (end)
            gst_message_unref(end);
        gst_object_unref(bus);
        stopPipeline();
    }
    std::lock_guard lock(fileMutex_);
    const bool synced = file_->syncData();
    const bool closed = file_->close();
    if (!synced || !closed)
        failed_ = true;
    return !failed_;
}

bool Mp4Writer::fail() {
    failed_ = true;
    return false;
}

void Mp4Writer::stopPipeline() {
    gst_element_set_state(pipeline_, GST_STATE_NULL);
    gst_object_unref(pipeline_);
    pipeline_ = nullptr;
    source_ = nullptr;
    if (framePool_) {
        gst_buffer_pool_set_active(framePool_, FALSE);
        gst_object_unref(framePool_);
        framePool_ = nullptr;
    }
}

std::uint64_t Mp4Writer::bytesWritten() const {
    std::lock_guard lock(fileMutex_);
    return bytesWritten_;
}

std::uint32_t Mp4Writer::framesReadable() const {
    std::lock_guard lock(fileMutex_);
    return fragments_.frames();
}

platform::DiskError Mp4Writer::diskError() const {
    std::lock_guard lock(fileMutex_);
    return file_->error();
}

} // namespace video
