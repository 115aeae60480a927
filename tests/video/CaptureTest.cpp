#include "platform/Capture.h"
#include "platform/CaptureSources.h"
#include "platform/GstSource.h"
#include "platform/TestPattern.h"
#include "tests/support/TempSettings.h"
#include "tests/support/WorkingFolder.h"
#include "tests/video/LocalStreams.h"

#include <QFile>
#include <QProcess>
#include <QTest>

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <mutex>
#include <thread>

using platform::CameraProperty;
using platform::Capture;
using platform::CaptureSource;
using namespace std::chrono_literals;

namespace {

bool waitFor(const std::function<bool()>& condition) {
    return QTest::qWaitFor(condition, 10000);
}

// What a capture run delivered, as seen from the test.
struct Seen {
    std::atomic<int> frames{0};
    std::atomic<int> stalls{0};
    std::atomic<int> resumes{0};
    std::atomic<int> stallsAtFirstFrameAfterResume{-1};
    std::atomic<bool> layoutRight{true};
    std::atomic<platform::SourceFault> fault{platform::SourceFault::None};

    Capture capture() {
        return Capture(
            [this](const std::uint8_t* bits, int width, int height) {
                if (!bits || width != Capture::width || height != Capture::height)
                    layoutRight = false;
                if (resumes == 1 && stallsAtFirstFrameAfterResume < 0)
                    stallsAtFirstFrameAfterResume = stalls.load();
                ++frames;
            },
            [this] { ++stalls; }, [this] { ++resumes; },
            [this](platform::SourceFault reason) { fault = reason; });
    }
};

std::unique_ptr<platform::FrameSource> sourceFor(const QString& text) {
    return platform::makeFrameSource(platform::parseCaptureSource(text), platform::VideoFormat{});
}

// Numbered pictures as fast as asked; the number is in every byte of the top rows and the
// bottom rows are white.
class NumberedSource final : public platform::FrameSource {
public:
    explicit NumberedSource(std::atomic<int>& produced) : produced_(produced) {}
    bool open() override { return true; }
    bool read(cv::Mat& frame) override {
        std::this_thread::sleep_for(2ms);
        frame = cv::Mat(576, 704, CV_8UC3, cv::Scalar(0, 0, 0));
        frame.rowRange(0, 10).setTo(cv::Scalar::all(produced_ % 256));
        frame.rowRange(566, 576).setTo(cv::Scalar::all(255));
        ++produced_;
        return true;
    }

private:
    std::atomic<int>& produced_;
};

// Fails to open the first time, as a camera plugged in late, then delivers that many pictures.
class LateSource final : public platform::FrameSource {
public:
    explicit LateSource(int pictures = 1 << 30) : pictures_(pictures) {}
    bool open() override { return ++opens_ > 1; }
    bool read(cv::Mat& frame) override {
        std::this_thread::sleep_for(5ms);
        frame = cv::Mat(288, 352, CV_8UC3, cv::Scalar(9, 9, 9));
        return pictures_-- > 0;
    }

private:
    int opens_ = 0;
    int pictures_;
};

// Holds a source's open or read, as a hung device does, until the test lets it go.
struct Gate {
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::atomic<bool> entered{false};
    std::atomic<bool> destroyed{false};
};

class HangingSource final : public platform::FrameSource {
public:
    HangingSource(bool inOpen, std::shared_ptr<Gate> gate)
        : inOpen_(inOpen), gate_(std::move(gate)) {}
    ~HangingSource() override { gate_->destroyed = true; }
    bool open() override { return !inOpen_ || hang(); }
    bool read(cv::Mat& frame) override {
        frame = cv::Mat(288, 352, CV_8UC3, cv::Scalar(1, 2, 3));
        return inOpen_ || hang();
    }

private:
    bool hang() {
        gate_->entered = true;
        gate_->released.wait();
        return true;
    }
    bool inOpen_;
    std::shared_ptr<Gate> gate_;
};

} // namespace

TEST(Capture, DeliversOnlyTheNewestPictureBottomRowFirstAndNothingAfterStop) {
    std::mutex mutex;
    std::vector<int> numbers;
    std::atomic<bool> layoutRight{true};
    std::atomic<int> produced{0}, calls{0}, stalls{0};
    Capture capture(
        [&](const std::uint8_t* bits, int width, int height) {
            // The first delivery is slow: newer pictures arrive meanwhile. Once seven more
            // are read, the sixth of them has been handed over.
            const std::size_t row = static_cast<std::size_t>(width) * 3;
            const int number = bits[row * static_cast<std::size_t>(height - 1)];
            for (int wait = 0; calls == 0 && produced < number + 8 && wait < 500; ++wait)
                std::this_thread::sleep_for(10ms);
            layoutRight = layoutRight && width == Capture::width && height == Capture::height &&
                          bits[0] == 255 && bits[row / 2] == 255;
            const std::lock_guard lock(mutex);
            numbers.push_back(number);
            ++calls;
        },
        [&] { ++stalls; });
    capture.start(std::make_unique<NumberedSource>(produced));
    EXPECT_TRUE(waitFor([&] { return calls >= 3; }));
    capture.stop();
    const int atStop = calls;
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(calls, atStop);
    EXPECT_TRUE(layoutRight);
    const std::lock_guard lock(mutex);
    ASSERT_GE(numbers.size(), 2u);
    EXPECT_LT(numbers[0], 200) << "numbers stay below the wrap of one byte";
    EXPECT_GE(numbers[1], numbers[0] + 5) << "stale pictures were queued, not dropped";
    for (std::size_t i = 1; i < numbers.size(); ++i)
        EXPECT_NE(numbers[i], numbers[i - 1]) << "a picture delivered twice";
    EXPECT_EQ(stalls, 0);
}

TEST(Capture, AStallIsReportedOnceAndItsEndOnceWhenPicturesReturn) {
    Seen seen;
    Capture capture = seen.capture();
    // Opens at its second try, two seconds on, then delivers ten pictures: a stall, pictures,
    // and a stall again.
    capture.start(std::make_unique<LateSource>(10));
    EXPECT_TRUE(waitFor([&] { return seen.stalls == 1; }));
    EXPECT_EQ(seen.resumes, 0);
    EXPECT_TRUE(waitFor([&] { return seen.stalls == 2; }));
    EXPECT_GE(seen.frames, 1);
    EXPECT_EQ(seen.resumes, 1);
    EXPECT_EQ(seen.stallsAtFirstFrameAfterResume, 1) << "the end of the stall comes first";
    std::this_thread::sleep_for(1200ms);
    EXPECT_EQ(seen.stalls, 2) << "a long stall is told once";
    capture.stop();
    EXPECT_FALSE(capture.running());
    EXPECT_TRUE(seen.layoutRight);
}

TEST(Capture, StopAndStartNeverWaitOnASourceHungInOpenOrRead) {
    for (const bool inOpen : {true, false}) {
        SCOPED_TRACE(inOpen ? "in open" : "in read");
        Seen seen;
        Capture capture = seen.capture();
        auto gate = std::make_shared<Gate>();
        capture.start(std::make_unique<HangingSource>(inOpen, gate));
        ASSERT_TRUE(waitFor([&] { return gate->entered.load(); }));
        capture.stop();
        EXPECT_FALSE(capture.running());
        EXPECT_EQ(capture.closing(), 1) << "the hung source is still closing";
        EXPECT_FALSE(gate->destroyed);
        capture.start(std::make_unique<LateSource>());
        EXPECT_TRUE(capture.running());
        gate->release.set_value();
        EXPECT_TRUE(waitFor([&] { return gate->destroyed.load(); }));
        EXPECT_TRUE(waitFor([&] { return capture.closing() == 0; }));
    }
}

TEST(Capture, UnreadablePicturesAreNotDeliveredAndTheTestPatternMoves) {
    EXPECT_TRUE(platform::toDeliveredLayout(cv::Mat()).empty());
    EXPECT_TRUE(platform::toDeliveredLayout(cv::Mat(10, 10, CV_8UC2)).empty());
    const cv::Mat grey = platform::toDeliveredLayout(cv::Mat(100, 50, CV_8UC1, cv::Scalar(7)));
    ASSERT_EQ(grey.size(), cv::Size(Capture::width, Capture::height));
    EXPECT_EQ(grey.type(), CV_8UC3);
    EXPECT_TRUE(grey.isContinuous());
    const cv::Mat first = platform::TestPattern::picture(0);
    EXPECT_EQ(first.size(), cv::Size(352, 288));
    EXPECT_GT(cv::norm(first, platform::TestPattern::picture(5), cv::NORM_L1), 0);
}

TEST(CaptureSources, SourceTextsAndTheAddedSourcesKeptInTheLayersSettings) {
    struct Case {
        QString text;
        CaptureSource::Kind kind;
        QString address;
    };
    using Kind = CaptureSource::Kind;
    for (const Case& c :
         {Case{"test", Kind::TestPattern, ""}, Case{"2", Kind::Camera, "/dev/video2"},
          Case{"/dev/video0", Kind::Camera, "/dev/video0"},
          Case{"rtsp://10.0.0.5/cam", Kind::Stream, "rtsp://10.0.0.5/cam"},
          Case{"tramo 3.avi", Kind::File, "tramo 3.avi"}, Case{"-1", Kind::File, "-1"}}) {
        SCOPED_TRACE(c.text.toStdString());
        const CaptureSource source = platform::parseCaptureSource(c.text);
        EXPECT_EQ(std::pair(source.kind, source.address), std::pair(c.kind, c.address));
        EXPECT_EQ(platform::parseCaptureSource(platform::captureSourceText(source)), source);
    }
    testing_support::TempSettings settings;
    for (const char* text : {"test", "clip.avi", "test"})
        platform::addSource(platform::parseCaptureSource(text));
    const std::vector<CaptureSource> added = platform::addedSources();
    ASSERT_EQ(added.size(), 2u);
    EXPECT_EQ(added[0].kind, Kind::TestPattern);
    EXPECT_EQ(added[1].address, "clip.avi");
    const std::vector<CaptureSource> all = platform::availableSources();
    EXPECT_EQ(all.size(), platform::attachedCameras().size() + 2);
    EXPECT_EQ(all.back(), added.back());
}

TEST(GstCapture, StalledStreamIsReportedOffersNoCameraSettingsAndStopsWithoutWaitingOnIt) {
    video_test::StalledServer server;
    ASSERT_GT(server.port(), 0);
    Seen seen;
    Capture capture = seen.capture();
    capture.start(sourceFor(server.address()));
    EXPECT_TRUE(waitFor([&] { return seen.stalls == 1; }));
    for (const CameraProperty property : {CameraProperty::Brightness, CameraProperty::Width}) {
        EXPECT_EQ(capture.source()->property(property), std::nullopt);
        EXPECT_FALSE(capture.source()->setProperty(property, 10));
    }
    capture.stop();
    EXPECT_FALSE(capture.running());
    EXPECT_EQ(std::pair(seen.frames.load(), seen.resumes.load()), std::pair(0, 0));
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
    ASSERT_EQ(QProcess::execute(QStringLiteral("ffmpeg"),
                                {"-nostdin", "-loglevel", "error", "-f", "lavfi", "-i",
                                 "testsrc=size=160x120:rate=25", "-frames:v", "5", "-c:v", "mjpeg",
                                 "tramo.avi"}),
              0);
    Seen seen, missing;
    Capture capture = seen.capture();
    capture.start(sourceFor(folder.path("tramo.avi")));
    Capture other = missing.capture();
    other.start(sourceFor(folder.path("nothing-here.avi")));
    EXPECT_TRUE(waitFor([&] { return seen.frames > 12; })) << "the five frames play again";
    EXPECT_EQ(seen.stalls, 0);
    EXPECT_TRUE(seen.layoutRight);
    EXPECT_TRUE(waitFor([&] { return missing.stalls == 1; }));
    EXPECT_EQ(missing.frames, 0);
}

TEST(GstCapture, AFileKeepsItsOwnSizeWithinTheBoundsOnlyWhenAsked) {
    testing_support::WorkingFolder folder;
    const struct {
        const char* size;
        cv::Size own;
    } cases[] = {{"720x576", {720, 576}}, {"2560x1440", {1920, 1080}}, {"162x122", {162, 122}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.size);
        const QString file = folder.path(QStringLiteral("tramo-%1.avi").arg(c.size));
        ASSERT_EQ(QProcess::execute(QStringLiteral("ffmpeg"),
                                    {"-nostdin", "-loglevel", "error", "-f", "lavfi", "-i",
                                     QStringLiteral("testsrc=size=%1:rate=25").arg(c.size),
                                     "-frames:v", "3", "-c:v", "mjpeg", file}),
                  0);
        for (const platform::PictureSize size :
             {platform::PictureSize::Own, platform::PictureSize::Standard}) {
            std::mutex mutex;
            cv::Size delivered;
            Capture capture([&](const std::uint8_t*, int width, int height) {
                const std::lock_guard lock(mutex);
                delivered = cv::Size(width, height);
            });
            capture.start(platform::makeFrameSource(platform::parseCaptureSource(file),
                                                    platform::VideoFormat{}, size),
                          size);
            EXPECT_TRUE(waitFor([&] {
                const std::lock_guard lock(mutex);
                return !delivered.empty();
            }));
            capture.stop();
            EXPECT_EQ(delivered, size == platform::PictureSize::Own ? c.own : cv::Size(352, 288));
        }
    }
}

TEST(GstCapture, ASourceThatFailsSaysWhyAndPicturesClearTheReason) {
    using platform::SourceFault;
    testing_support::WorkingFolder folder;
    QFile text(folder.path("notas.avi"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("Esto no es un video.\n");
    text.close();
    const std::pair<QString, SourceFault> cases[] = {
        {folder.path("nothing-here.avi"), SourceFault::NotFound},
        {"/dev/video-none", SourceFault::NotFound},
        {folder.path("notas.avi"), SourceFault::UnsupportedFormat},
    };
    for (const auto& [address, reason] : cases) {
        SCOPED_TRACE(address.toStdString());
        Seen seen;
        Capture capture = seen.capture();
        capture.start(sourceFor(address));
        EXPECT_TRUE(waitFor([&] { return seen.fault == reason; }));
        EXPECT_TRUE(waitFor([&] { return seen.stalls == 1; }));
        EXPECT_EQ(seen.fault, reason) << "the retry keeps failing for the same reason";
    }

    // A file that comes later plays, and its pictures end the reason.
    Seen seen;
    Capture capture = seen.capture();
    capture.start(sourceFor(folder.path("tramo.avi")));
    ASSERT_TRUE(waitFor([&] { return seen.fault == SourceFault::NotFound; }));
    ASSERT_EQ(QProcess::execute(QStringLiteral("ffmpeg"),
                                {"-nostdin", "-loglevel", "error", "-f", "lavfi", "-i",
                                 "testsrc=size=160x120:rate=25", "-frames:v", "5", "-c:v", "mjpeg",
                                 folder.path("parcial.avi")}),
              0);
    ASSERT_TRUE(QFile::rename(folder.path("parcial.avi"), folder.path("tramo.avi")));
    EXPECT_TRUE(waitFor([&] { return seen.frames > 0; }));
    EXPECT_EQ(seen.fault, SourceFault::None);
}

TEST(GstCapture, AtItsOwnSizeACameraIsAskedForTheLargestPictureUnlessAFormatWasChosen) {
    for (const auto size : {platform::PictureSize::Standard, platform::PictureSize::Own}) {
        const bool own = size == platform::PictureSize::Own;
        platform::GstSource started(platform::parseCaptureSource("/dev/video-none"),
                                    platform::startFormat(size), size);
        started.open();
        EXPECT_EQ(started.property(CameraProperty::Width), own ? 1920 : 352);
        EXPECT_EQ(started.property(CameraProperty::Height), own ? 1080 : 288);
        EXPECT_EQ(started.property(CameraProperty::Rate), 30);

        platform::GstSource chosen(platform::parseCaptureSource("/dev/video-none"),
                                   platform::VideoFormat{640, 480, 15}, size);
        chosen.open();
        EXPECT_EQ(chosen.property(CameraProperty::Width), 640);
        EXPECT_EQ(chosen.property(CameraProperty::Height), 480);
        EXPECT_EQ(chosen.property(CameraProperty::Rate), 15);
    }
}

// What the pages choose outlives the source: the window asks it of the next one.
TEST(GstCapture, TheChosenFormatIsKeptBoundedWhetherOrNotTheCaptureThreadAppliedIt) {
    platform::GstSource camera(platform::parseCaptureSource("/dev/video-none"),
                               platform::VideoFormat{640, 480, 15});
    EXPECT_EQ(camera.chosenFormat(), std::nullopt);
    EXPECT_TRUE(camera.setProperty(CameraProperty::Brightness, 10));
    EXPECT_EQ(camera.chosenFormat(), std::nullopt) << "a control is not a format";
    EXPECT_TRUE(camera.setProperty(CameraProperty::Width, 100000));
    ASSERT_TRUE(camera.chosenFormat());
    EXPECT_EQ(camera.chosenFormat()->width, 7680);
    EXPECT_EQ(camera.chosenFormat()->height, 480) << "the rest as asked at the start";
    EXPECT_EQ(camera.chosenFormat()->rate, 15);
    EXPECT_TRUE(camera.setProperty(CameraProperty::Height, 8));
    EXPECT_TRUE(camera.setProperty(CameraProperty::Rate, 0));
    EXPECT_EQ(camera.chosenFormat()->height, 16);
    EXPECT_EQ(camera.chosenFormat()->rate, 1);

    platform::GstSource file(platform::parseCaptureSource("tramo.avi"), platform::VideoFormat{});
    EXPECT_FALSE(file.setProperty(CameraProperty::Width, 640));
    EXPECT_EQ(file.chosenFormat(), std::nullopt);
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

TEST(TestPatternSize, SizesAreReadWithinTheBoundsAndAnythingElseIsRefusedWithItsReason) {
    const struct {
        const char* text;
        std::optional<cv::Size> size;
    } cases[] = {
        {"test", cv::Size(352, 288)},
        {" TEST:1280x720 ", cv::Size(1280, 720)},
        {"test:16x16", cv::Size(16, 16)},
        {"test:1920X1080", cv::Size(1920, 1080)},
        {"test:352x288", cv::Size(352, 288)},
        {"test:1281x720", std::nullopt},
        {"test:1280x721", std::nullopt},
        {"test:14x16", std::nullopt},
        {"test:16x14", std::nullopt},
        {"test:1922x1080", std::nullopt},
        {"test:1920x1082", std::nullopt},
        {"test:0x0", std::nullopt},
        {"test:-2x16", std::nullopt},
        {"test:1280x", std::nullopt},
        {"test:", std::nullopt},
        {"test:axb", std::nullopt},
        {"test:1280x720x3", std::nullopt},
        {"test:99999999999999999999x2", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(platform::testPatternSize(c.text), c.size);
        const QString problem = platform::captureSourceProblem(c.text);
        EXPECT_EQ(problem.isEmpty(), c.size.has_value()) << problem.toStdString();
        const CaptureSource source = platform::parseCaptureSource(c.text);
        EXPECT_EQ(source.kind, CaptureSource::Kind::TestPattern);
        EXPECT_EQ(platform::parseCaptureSource(platform::captureSourceText(source)), source);
        cv::Mat picture;
        auto pattern = platform::makeFrameSource(source, platform::VideoFormat{});
        ASSERT_TRUE(pattern->open() && pattern->read(picture));
        EXPECT_EQ(picture.size(), c.size.value_or(cv::Size(352, 288)));
    }
    EXPECT_THAT(platform::captureSourceProblem("test:17x16").toStdString(),
                testing::HasSubstr("lados pares de 16 a 1920 por 16 a 1080"));
    for (const char* other : {"2", "/dev/video0", "rtsp://10.0.0.5/cam", "tests.avi", "test.avi"})
        EXPECT_TRUE(platform::captureSourceProblem(other).isEmpty()) << other;
    EXPECT_FALSE(platform::sameSource(platform::parseCaptureSource("test"),
                                      platform::parseCaptureSource("test:1280x720")));
}

TEST(TestPatternSize, ARateIsReadFromOneToSixtyAndThePatternKeepsIt) {
    const struct {
        const char* text;
        std::optional<int> rate;
    } cases[] = {
        {"test", 25},
        {"test:1280x720", 25},
        {"test:1280x720@30", 30},
        {"test:352x288@30", 30},
        {"test:16x16@1", 1},
        {"test:16x16@60", 60},
        {"test:16x16@0", std::nullopt},
        {"test:16x16@61", std::nullopt},
        {"test:16x16@", std::nullopt},
        {"test:16x16@3x", std::nullopt},
        {"test:16x16@9999", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(platform::testPatternSize(c.text).has_value(), c.rate.has_value());
        EXPECT_EQ(platform::testPatternRate(c.text), c.rate.value_or(25));
        EXPECT_EQ(platform::captureSourceProblem(c.text).isEmpty(), c.rate.has_value());
        const CaptureSource source = platform::parseCaptureSource(c.text);
        EXPECT_EQ(platform::parseCaptureSource(platform::captureSourceText(source)), source);
        const auto pattern = platform::makeFrameSource(source, platform::VideoFormat{});
        const auto* testPattern = dynamic_cast<const platform::TestPattern*>(pattern.get());
        ASSERT_NE(testPattern, nullptr);
        EXPECT_EQ(testPattern->framesPerSecond(), c.rate.value_or(25));
    }
}

namespace {

// The bounding box of the test pattern's orange square.
cv::Rect orangeSquare(const cv::Mat& picture) {
    cv::Mat mask;
    cv::inRange(picture, cv::Scalar(0, 100, 220), cv::Scalar(40, 160, 255), mask);
    return cv::boundingRect(mask);
}

} // namespace

TEST(TestPatternSize, TheSquareStaysSquareAndMovesAtEverySize) {
    for (const cv::Size size : {cv::Size(352, 288), cv::Size(16, 16), cv::Size(1280, 720),
                                cv::Size(1920, 1080), cv::Size(1920, 16), cv::Size(16, 1080)}) {
        SCOPED_TRACE(testing::PrintToString(size));
        const cv::Mat first = platform::TestPattern::picture(7, size);
        ASSERT_EQ(first.size(), size);
        const cv::Rect square = orangeSquare(first);
        EXPECT_EQ(square.width, square.height);
        EXPECT_EQ(square.height, platform::TestPattern::squareSide(size));
        EXPECT_NEAR(square.y + square.height / 2, size.height / 2, 1);
        EXPECT_NE(orangeSquare(platform::TestPattern::picture(8, size)).x, square.x);
    }
}

TEST(Capture, AtTheirOwnSizePicturesKeepItWithinTheBoundsWithEvenSides) {
    const struct {
        cv::Size source;
        cv::Size delivered;
    } cases[] = {
        {{1280, 720}, {1280, 720}},   {{1920, 1080}, {1920, 1080}}, {{3840, 2160}, {1920, 1080}},
        {{1922, 1080}, {1920, 1078}}, {{1920, 1082}, {1916, 1080}}, {{4000, 100}, {1920, 48}},
        {{721, 577}, {720, 576}},     {{352, 288}, {352, 288}},     {{8, 8}, {16, 16}},
        {{16, 16}, {16, 16}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.source));
        EXPECT_EQ(platform::ownSizeWithinBounds(c.source), c.delivered);
        const cv::Mat delivered = platform::toDeliveredLayout(
            cv::Mat(c.source, CV_8UC3, cv::Scalar(1, 2, 3)), platform::PictureSize::Own);
        EXPECT_EQ(delivered.size(), c.delivered);
        EXPECT_EQ(platform::toDeliveredLayout(cv::Mat(c.source, CV_8UC3)).size(),
                  cv::Size(Capture::width, Capture::height));
    }
}
