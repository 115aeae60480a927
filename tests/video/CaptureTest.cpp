#include "platform/Capture.h"
#include "platform/CaptureSources.h"
#include "platform/TestPattern.h"
#include "tests/support/TempSettings.h"

#include <QTest>

#include <opencv2/core.hpp>

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

using platform::Capture;
using platform::CaptureSource;
using namespace std::chrono_literals;

namespace {

// Numbered pictures as fast as asked; the number is in every byte of the top rows and the
// bottom rows are white. After stallAfter pictures it delivers nothing more.
class NumberedSource final : public platform::FrameSource {
public:
    NumberedSource(cv::Size size, int stallAfter, std::atomic<int>* produced = nullptr)
        : size_(size), stallAfter_(stallAfter), produced_(produced) {}
    bool open() override { return true; }
    bool read(cv::Mat& frame) override {
        if (next_ >= stallAfter_) {
            std::this_thread::sleep_for(20ms);
            return false;
        }
        std::this_thread::sleep_for(2ms);
        frame = cv::Mat(size_, CV_8UC3, cv::Scalar(0, 0, 0));
        frame.rowRange(0, 10).setTo(cv::Scalar::all(next_ % 256));
        frame.rowRange(size_.height - 10, size_.height).setTo(cv::Scalar::all(255));
        ++next_;
        if (produced_)
            *produced_ = next_;
        return true;
    }

private:
    cv::Size size_;
    int stallAfter_;
    int next_ = 0;
    std::atomic<int>* produced_;
};

struct Delivered {
    std::mutex mutex;
    std::vector<int> numbers;
    bool layoutRight = true;
    std::atomic<int> calls{0};
    std::atomic<int> stalls{0};
};

} // namespace

TEST(Capture, DeliversOnlyTheNewestPictureBottomRowFirstAndNothingAfterStop) {
    Delivered seen;
    std::atomic<int> produced{0};
    Capture capture(
        [&](const std::uint8_t* bits, int width, int height) {
            // The first delivery is slow: newer pictures arrive meanwhile. Once seven more
            // are read, the sixth of them has been handed over.
            const std::size_t row = static_cast<std::size_t>(width) * 3;
            const int number = bits[row * static_cast<std::size_t>(height - 1)];
            for (int wait = 0; seen.calls == 0 && produced < number + 8 && wait < 500; ++wait)
                std::this_thread::sleep_for(10ms);
            std::lock_guard lock(seen.mutex);
            seen.layoutRight = seen.layoutRight && width == Capture::width &&
                               height == Capture::height && bits[0] == 255 && bits[row / 2] == 255;
            seen.numbers.push_back(bits[row * static_cast<std::size_t>(height - 1)]);
            ++seen.calls;
        },
        [&] { ++seen.stalls; });
    capture.start(std::make_unique<NumberedSource>(cv::Size(704, 576), 1000000, &produced));
    EXPECT_TRUE(QTest::qWaitFor([&] { return seen.calls >= 3; }, 5000));
    capture.stop();
    const int callsAtStop = seen.calls;
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(seen.calls, callsAtStop);
    std::lock_guard lock(seen.mutex);
    EXPECT_TRUE(seen.layoutRight);
    ASSERT_GE(seen.numbers.size(), 2u);
    EXPECT_LT(seen.numbers[0], 200) << "numbers stay below the wrap of one byte";
    EXPECT_GE(seen.numbers[1], seen.numbers[0] + 5) << "stale pictures were queued, not dropped";
    for (std::size_t i = 1; i < seen.numbers.size(); ++i)
        EXPECT_NE(seen.numbers[i], seen.numbers[i - 1]) << "a picture delivered twice";
    EXPECT_EQ(seen.stalls, 0);
}

TEST(Capture, ReportsAStalledSourceOnceUntilPicturesComeAgain) {
    Delivered seen;
    Capture capture([&](const std::uint8_t*, int, int) { ++seen.calls; }, [&] { ++seen.stalls; });
    capture.start(std::make_unique<NumberedSource>(cv::Size(352, 288), 3));
    EXPECT_TRUE(QTest::qWaitFor([&] { return seen.stalls == 1; }, 3000));
    std::this_thread::sleep_for(1200ms);
    EXPECT_EQ(seen.stalls, 1);
    EXPECT_GE(seen.calls, 1);
    capture.stop();
    EXPECT_FALSE(capture.running());
}

TEST(Capture, UnreadablePicturesAreNotDelivered) {
    EXPECT_TRUE(platform::toDeliveredLayout(cv::Mat()).empty());
    EXPECT_TRUE(platform::toDeliveredLayout(cv::Mat(10, 10, CV_8UC2)).empty());
    const cv::Mat grey = platform::toDeliveredLayout(cv::Mat(100, 50, CV_8UC1, cv::Scalar(7)));
    ASSERT_EQ(grey.size(), cv::Size(Capture::width, Capture::height));
    EXPECT_EQ(grey.type(), CV_8UC3);
    EXPECT_TRUE(grey.isContinuous());
}

TEST(Capture, TestPatternMovesAndFillsThePicture) {
    const cv::Mat first = platform::TestPattern::picture(0);
    const cv::Mat later = platform::TestPattern::picture(5);
    EXPECT_EQ(first.size(), cv::Size(352, 288));
    EXPECT_GT(cv::norm(first, later, cv::NORM_L1), 0);
}

TEST(CaptureSources, SourceTextsAndTheAddedSourcesKeptInTheLayersSettings) {
    struct Case {
        QString text;
        CaptureSource::Kind kind;
        QString address;
    };
    const Case cases[] = {
        {"test", CaptureSource::Kind::TestPattern, ""},
        {"2", CaptureSource::Kind::Camera, "/dev/video2"},
        {"/dev/video0", CaptureSource::Kind::Camera, "/dev/video0"},
        {"rtsp://10.0.0.5/cam", CaptureSource::Kind::Stream, "rtsp://10.0.0.5/cam"},
        {"tramo 3.avi", CaptureSource::Kind::File, "tramo 3.avi"},
        {"-1", CaptureSource::Kind::File, "-1"},
    };
    for (const Case& c : cases) {
        const CaptureSource source = platform::parseCaptureSource(c.text);
        EXPECT_EQ(source.kind, c.kind) << c.text.toStdString();
        EXPECT_EQ(source.address, c.address) << c.text.toStdString();
        EXPECT_EQ(platform::parseCaptureSource(platform::captureSourceText(source)), source);
    }

    testing_support::TempSettings settings;
    platform::addSource(platform::parseCaptureSource("test"));
    platform::addSource(platform::parseCaptureSource("clip.avi"));
    platform::addSource(platform::parseCaptureSource("test"));
    const std::vector<CaptureSource> added = platform::addedSources();
    ASSERT_EQ(added.size(), 2u);
    EXPECT_EQ(added[0].kind, CaptureSource::Kind::TestPattern);
    EXPECT_EQ(added[1].address, "clip.avi");
    const std::vector<CaptureSource> all = platform::availableSources();
    EXPECT_EQ(all.size(), platform::attachedCameras().size() + 2);
    EXPECT_EQ(all.back(), added.back());
}

namespace {

// A source whose open or read blocks until the test lets it go, as a hung device does.
class HangingSource final : public platform::FrameSource {
public:
    enum class Hang { InOpen, InRead };
    struct Gate {
        std::mutex mutex;
        std::condition_variable released;
        bool open = false;
        std::atomic<bool> entered{false};
        std::atomic<bool> destroyed{false};
        void wait() {
            entered = true;
            std::unique_lock lock(mutex);
            released.wait(lock, [this] { return open; });
        }
        void release() {
            {
                std::lock_guard lock(mutex);
                open = true;
            }
            released.notify_all();
        }
    };
    HangingSource(Hang hang, std::shared_ptr<Gate> gate) : hang_(hang), gate_(std::move(gate)) {}
    ~HangingSource() override { gate_->destroyed = true; }
    bool open() override {
        if (hang_ == Hang::InOpen)
            gate_->wait();
        return true;
    }
    bool read(cv::Mat& frame) override {
        if (hang_ == Hang::InRead)
            gate_->wait();
        frame = cv::Mat(288, 352, CV_8UC3, cv::Scalar(1, 2, 3));
        return true;
    }

private:
    Hang hang_;
    std::shared_ptr<Gate> gate_;
};

// Fails to open the first time, then delivers, as a camera plugged in late.
class LateSource final : public platform::FrameSource {
public:
    bool open() override { return ++opens_ > 1; }
    bool read(cv::Mat& frame) override {
        std::this_thread::sleep_for(5ms);
        frame = cv::Mat(288, 352, CV_8UC3, cv::Scalar(9, 9, 9));
        return true;
    }

private:
    int opens_ = 0;
};

} // namespace

TEST(Capture, StopAndStartNeverWaitOnASourceHungInOpenOrRead) {
    for (const auto hang : {HangingSource::Hang::InOpen, HangingSource::Hang::InRead}) {
        Delivered seen;
        Capture capture([&](const std::uint8_t*, int, int) { ++seen.calls; },
                        [&] { ++seen.stalls; });
        auto gate = std::make_shared<HangingSource::Gate>();
        capture.start(std::make_unique<HangingSource>(hang, gate));
        ASSERT_TRUE(QTest::qWaitFor([&] { return gate->entered.load(); }, 5000));
        capture.stop();
        EXPECT_FALSE(capture.running());
        EXPECT_EQ(capture.closing(), 1) << "the hung source is still closing";
        EXPECT_FALSE(gate->destroyed);
        capture.start(std::make_unique<LateSource>());
        EXPECT_TRUE(capture.running());
        gate->release();
        EXPECT_TRUE(QTest::qWaitFor([&] { return gate->destroyed.load(); }, 5000));
        EXPECT_TRUE(QTest::qWaitFor([&] { return capture.closing() == 0; }, 5000));
        capture.stop();
    }
}

TEST(Capture, AStallIsReportedOnceAndItsEndOnceWhenPicturesReturn) {
    std::atomic<int> resumes{0};
    std::atomic<int> stalls{0};
    std::atomic<int> calls{0};
    std::atomic<int> stallsAtFirstFrameAfter{-1};
    Capture capture(
        [&](const std::uint8_t*, int, int) {
            if (resumes == 1 && stallsAtFirstFrameAfter < 0)
                stallsAtFirstFrameAfter = stalls.load();
            ++calls;
        },
        [&] { ++stalls; }, [&] { ++resumes; });
    // The late source opens at its second try, two seconds on: a stall, then pictures.
    capture.start(std::make_unique<LateSource>());
    EXPECT_TRUE(QTest::qWaitFor([&] { return stalls == 1; }, 5000));
    EXPECT_EQ(resumes, 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return calls > 5; }, 5000));
    EXPECT_EQ(resumes, 1);
    EXPECT_EQ(stalls, 1);
    EXPECT_EQ(stallsAtFirstFrameAfter, 1) << "the end of the stall comes before its picture";
    capture.stop();
}
