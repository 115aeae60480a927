#include "platform/Capture.h"
#include "platform/CaptureSources.h"
#include "platform/GstSource.h"
#include "tests/support/WorkingFolder.h"
#include "tests/video/LocalStreams.h"

#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>

using platform::CameraProperty;
using platform::Capture;
using platform::CaptureSource;

namespace {

// What a capture run delivered, as seen from the test.
struct Seen {
    std::atomic<int> frames{0};
    std::atomic<int> stalls{0};
    std::atomic<int> resumes{0};
    std::atomic<bool> layoutRight{true};

    Capture capture() {
        return Capture(
            [this](const std::uint8_t* bits, int width, int height) {
                if (!bits || width != Capture::width || height != Capture::height)
                    layoutRight = false;
                ++frames;
            },
            [this] { ++stalls; }, [this] { ++resumes; });
    }
};

std::unique_ptr<platform::FrameSource> sourceFor(const QString& text) {
    return platform::makeFrameSource(platform::parseCaptureSource(text), platform::VideoFormat{});
}

bool waitFor(const std::function<bool()>& condition, int milliseconds = 10000) {
    return QTest::qWaitFor(condition, milliseconds);
}

} // namespace

TEST(GstCapture, StalledStreamIsReportedAndStopsWithoutWaitingOnIt) {
    video_test::StalledServer server;
    ASSERT_GT(server.port(), 0);
    Seen seen;
    Capture capture = seen.capture();
    capture.start(sourceFor(server.address()));
    EXPECT_TRUE(waitFor([&] { return seen.stalls == 1; }));
    capture.stop();
    EXPECT_FALSE(capture.running());
    EXPECT_EQ(seen.frames, 0);
    EXPECT_EQ(seen.resumes, 0);
    // The stalled pipeline closes on its own thread, after the stop has returned.
    EXPECT_TRUE(waitFor([&] { return capture.closing() == 0; }));
}

TEST(GstCapture, LiveStreamThatGoesAwayIsReportedAndComesBackByItself) {
    video_test::LiveStream stream;
    ASSERT_TRUE(stream.start());
    Seen seen;
    Capture capture = seen.capture();
    capture.start(sourceFor(stream.address()));
    // The server may not listen yet at the first try: that is one stall already.
    ASSERT_TRUE(waitFor([&] { return seen.frames >= 10; }));
    const int stalls = seen.stalls;
    EXPECT_EQ(seen.resumes, stalls);

    stream.stop();
    EXPECT_TRUE(waitFor([&] { return seen.stalls == stalls + 1; }));
    const int framesWhileAway = seen.frames;
    ASSERT_TRUE(stream.start());
    EXPECT_TRUE(
        waitFor([&] { return seen.resumes == stalls + 1 && seen.frames > framesWhileAway + 5; }));
    EXPECT_EQ(seen.stalls, stalls + 1);

    capture.stop();
    const int atStop = seen.frames;
    QTest::qWait(200);
    EXPECT_EQ(seen.frames, atStop) << "a frame after the stop";
    EXPECT_TRUE(seen.layoutRight);
}

TEST(GstCapture, FilePlaysOnPastItsEndAndAMissingOneIsAStall) {
    testing_support::WorkingFolder folder;
    const int made = QProcess::execute(QStringLiteral("ffmpeg"),
                                       {"-nostdin", "-loglevel", "error", "-f", "lavfi", "-i",
                                        "testsrc=size=160x120:rate=25", "-frames:v", "5", "-c:v",
                                        "mjpeg", folder.path("tramo.avi")});
    ASSERT_EQ(made, 0);
    Seen seen;
    Capture capture = seen.capture();
    capture.start(sourceFor(folder.path("tramo.avi")));
    EXPECT_TRUE(waitFor([&] { return seen.frames > 12; })) << "the five frames play again";
    EXPECT_EQ(seen.stalls, 0);
    EXPECT_TRUE(seen.layoutRight);

    Seen missing;
    Capture other = missing.capture();
    other.start(sourceFor(folder.path("nothing-here.avi")));
    EXPECT_TRUE(waitFor([&] { return missing.stalls == 1; }));
    EXPECT_EQ(missing.frames, 0);
}

TEST(GstCapture, StreamsOfferNoCameraSettingsAndRefuseThem) {
    video_test::StalledServer server;
    platform::GstSource source(platform::parseCaptureSource(server.address()), {});
    ASSERT_TRUE(source.open());
    for (const CameraProperty property : {CameraProperty::Brightness, CameraProperty::Width}) {
        EXPECT_EQ(source.property(property), std::nullopt);
        EXPECT_FALSE(source.setProperty(property, 10));
    }
}

TEST(GstCapture, CameraSettingsAreKeptWithinTheirBoundsAndAppliedByTheCaptureThread) {
    platform::GstSource camera(platform::parseCaptureSource("/dev/video-none"),
                               platform::VideoFormat{640, 480, 15});
    EXPECT_EQ(camera.property(CameraProperty::Width), std::nullopt) << "nothing read before open";
    camera.open();
    EXPECT_EQ(camera.property(CameraProperty::Width), 640);
    EXPECT_EQ(camera.property(CameraProperty::Rate), 15);
    EXPECT_EQ(camera.property(CameraProperty::Brightness), std::nullopt) << "no device, no control";
    EXPECT_TRUE(camera.setProperty(CameraProperty::Width, 100000));
    EXPECT_TRUE(camera.setProperty(CameraProperty::Height, 8));
    EXPECT_TRUE(camera.setProperty(CameraProperty::Rate, 1000));
    EXPECT_EQ(camera.property(CameraProperty::Width), 640) << "left for the capture thread";
    cv::Mat frame;
    camera.read(frame);
    EXPECT_EQ(camera.property(CameraProperty::Width), 7680);
    EXPECT_EQ(camera.property(CameraProperty::Height), 16);
    EXPECT_EQ(camera.property(CameraProperty::Rate), 240);
    EXPECT_TRUE(camera.setProperty(CameraProperty::Width, 1280));
    camera.read(frame);
    EXPECT_EQ(camera.property(CameraProperty::Width), 1280);
}

TEST(CameraIdentity, TheChosenCameraIsFoundWhereverTheListPutsItNow) {
    const auto camera = [](const char* path, const char* card, const char* bus) {
        return CaptureSource{CaptureSource::Kind::Camera, path, path,
                             platform::cameraIdentity(card, bus)};
    };
    const CaptureSource front = camera("/dev/video0", "Frontal", "usb-1.2");
    const CaptureSource rear = camera("/dev/video2", "Trasera", "usb-1.3");
    // Unplugged and plugged again: the rear camera now has the lower number.
    const std::vector<CaptureSource> renumbered{camera("/dev/video0", "Trasera", "usb-1.3"),
                                                camera("/dev/video2", "Frontal", "usb-1.2")};
    EXPECT_EQ(platform::rowOf(renumbered, front), 1);
    EXPECT_EQ(platform::rowOf(renumbered, rear), 0);
    EXPECT_EQ(platform::rowOf({rear}, front), std::nullopt) << "same number, other camera";
    EXPECT_FALSE(platform::sameSource(front, camera("/dev/video0", "Frontal", "usb-1.4")))
        << "the same model on another port is another camera";

    const CaptureSource unnamed = platform::parseCaptureSource("/dev/video0");
    EXPECT_TRUE(platform::sameSource(unnamed, front)) << "no identity: the device path decides";
    EXPECT_FALSE(platform::sameSource(unnamed, rear));
    const CaptureSource file = platform::parseCaptureSource("clip.avi");
    EXPECT_EQ(platform::rowOf({front, file}, platform::parseCaptureSource("clip.avi")), 1);
    EXPECT_FALSE(platform::sameSource(file, platform::parseCaptureSource("otro.avi")));
    EXPECT_EQ(platform::currentCameraPath(unnamed), "/dev/video0");
    EXPECT_EQ(platform::currentCameraPath(camera("/dev/video7", "Nadie", "usb-9")), "/dev/video7")
        << "a camera away keeps its last address";
    EXPECT_EQ(platform::cameraIdentity("", ""), "");
}
