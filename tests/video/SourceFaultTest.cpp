#include "input/CameraWatch.h"
#include "platform/GstSource.h"

#include <gst/gst.h>

#include <gtest/gtest.h>

namespace {

struct BusError {
    GQuark domain;
    int code;
    // The flow return in the error's details; none when it has no details.
    std::optional<GstFlowReturn> flow;
    const char* shown;
};

QString shownFor(const BusError& bus) {
    GError* error = g_error_new_literal(bus.domain, bus.code, "error");
    GstStructure* details =
        bus.flow ? gst_structure_new("details", "flow-return", G_TYPE_INT, int(*bus.flow), nullptr)
                 : nullptr;
    const QString shown = input::CameraWatch::noPictureText(platform::sourceFault(*error, details));
    if (details)
        gst_structure_free(details);
    g_error_free(error);
    return shown;
}

} // namespace

TEST(SourceFault, EachBusErrorIsShownInAFewWordsBesideTheMissingPicture) {
    platform::initGstreamer();
    const BusError cases[] = {
        {GST_RESOURCE_ERROR, GST_RESOURCE_ERROR_BUSY, {}, "Cámara sin imagen: dispositivo ocupado"},
        {GST_RESOURCE_ERROR, GST_RESOURCE_ERROR_NOT_FOUND, {}, "Cámara sin imagen: no encontrada"},
        {GST_RESOURCE_ERROR,
         GST_RESOURCE_ERROR_OPEN_READ,
         {},
         "Cámara sin imagen: permiso denegado"},
        {GST_RESOURCE_ERROR,
         GST_RESOURCE_ERROR_OPEN_READ_WRITE,
         {},
         "Cámara sin imagen: permiso denegado"},
        {GST_RESOURCE_ERROR,
         GST_RESOURCE_ERROR_NOT_AUTHORIZED,
         {},
         "Cámara sin imagen: permiso denegado"},
        {GST_RESOURCE_ERROR,
         GST_RESOURCE_ERROR_SETTINGS,
         {},
         "Cámara sin imagen: error de lectura"},
        {GST_RESOURCE_ERROR, GST_RESOURCE_ERROR_READ, {}, "Cámara sin imagen: error de lectura"},
        {GST_STREAM_ERROR, GST_STREAM_ERROR_FORMAT, {}, "Cámara sin imagen: formato no admitido"},
        {GST_STREAM_ERROR,
         GST_STREAM_ERROR_TYPE_NOT_FOUND,
         {},
         "Cámara sin imagen: formato no admitido"},
        {GST_STREAM_ERROR,
         GST_STREAM_ERROR_CODEC_NOT_FOUND,
         {},
         "Cámara sin imagen: formato no admitido"},
        {GST_STREAM_ERROR,
         GST_STREAM_ERROR_WRONG_TYPE,
         {},
         "Cámara sin imagen: formato no admitido"},
        {GST_CORE_ERROR,
         GST_CORE_ERROR_MISSING_PLUGIN,
         {},
         "Cámara sin imagen: formato no admitido"},
        {GST_CORE_ERROR, GST_CORE_ERROR_NEGOTIATION, {}, "Cámara sin imagen: formato no admitido"},
        // A stream that stopped: its reason is in the details.
        {GST_STREAM_ERROR, GST_STREAM_ERROR_FAILED, GST_FLOW_NOT_NEGOTIATED,
         "Cámara sin imagen: formato no admitido"},
        {GST_STREAM_ERROR, GST_STREAM_ERROR_FAILED, GST_FLOW_ERROR,
         "Cámara sin imagen: error de lectura"},
        {GST_STREAM_ERROR, GST_STREAM_ERROR_FAILED, {}, "Cámara sin imagen: error de lectura"},
        {GST_STREAM_ERROR, GST_STREAM_ERROR_DECODE, {}, "Cámara sin imagen: error de lectura"},
        {GST_LIBRARY_ERROR, GST_LIBRARY_ERROR_INIT, {}, "Cámara sin imagen: error de lectura"},
    };
    for (const BusError& bus : cases)
        EXPECT_EQ(shownFor(bus).toStdString(), bus.shown)
            << g_quark_to_string(bus.domain) << " " << bus.code << " flow "
            << (bus.flow ? int(*bus.flow) : 0);
    EXPECT_EQ(input::CameraWatch::noPictureText(platform::SourceFault::None), "Cámara sin imagen");
}
