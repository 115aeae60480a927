// The capture layer's figures: how long the window's camera calls take while the camera
// stream stalls (start, stop, "Select CAM", "Video setup", quitting), how old a picture is
// when Panel5 paints it, the CPU the console uses at 25 frames per second with the effect
// and every overlay on, and the Motion-JPEG encoder's frame rate on one core.
#include "app/Main.h"
#include "bench/Percentile.h"
#include "bench/QtBenchmarkMain.h"
#include "platform/CaptureSources.h"
#include "platform/Dialogs.h"
#include "tests/support/TempSettings.h"
#include "tests/support/WorkingFolder.h"
#include "tests/video/LocalStreams.h"
#include "video/MotionJpeg.h"

#include <QEvent>
#include <QEventLoop>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <ctime>
#include <memory>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using Seconds = std::chrono::duration<double>;

void runEventLoopFor(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

// Accepts the selection dialog with its first row and closes every other page unchanged.
class AcceptingResponder final : public platform::DialogResponder {
public:
    platform::DialogAnswer message(const platform::MessageRequest&) override {
        return platform::DialogAnswer::Ok;
    }
    std::optional<QString> inputText(const platform::InputRequest&) override {
        return std::nullopt;
    }
    std::optional<QString> saveFileName(const platform::SaveFileRequest&) override {
        return std::nullopt;
    }
    std::optional<QString> openFileName(const platform::OpenFileRequest&) override {
        return std::nullopt;
    }
    int showModal(QDialog& dialog) override {
        return dialog.objectName() == QStringLiteral("SelectCam") ? QDialog::Accepted
                                                                  : QDialog::Rejected;
    }
};

struct Console {
    testing_support::WorkingFolder folder;
    testing_support::TempSettings settings;
    AcceptingResponder dialogs;
    platform::Dialogs::ScopedResponder guard{dialogs};
    std::unique_ptr<TForm1> form;

    explicit Console(const QString& camera) {
        settings.store("Puerto Comm", "/nonexistent/marlo-port");
        platform::addSource(platform::parseCaptureSource(camera));
        form = std::make_unique<TForm1>(nullptr, camera);
        form->show();
    }
};

// Each call of the window on a camera whose server completed the connection and never sends.
void WindowCallsOnAStalledStream(benchmark::State& state) {
    video_test::StalledServer server;
    std::vector<double> start, stop, select, setup, quit;
    for (auto _ : state) {
        Console console(server.address());
        runEventLoopFor(1200);
        const auto timed = [](std::vector<double>& into, auto call) {
            const auto began = Clock::now();
            call();
            into.push_back(Seconds(Clock::now() - began).count() * 1000);
        };
        timed(stop, [&] { console.form->StopCamera(); });
        timed(start, [&] { console.form->StartCamera(); });
        runEventLoopFor(300);
        timed(select, [&] { console.form->Label12DblClick(); });
        runEventLoopFor(300);
        timed(setup, [&] { console.form->VideoDblClick(); });
        runEventLoopFor(300);
        timed(quit, [&] { console.form.reset(); });
        state.SetIterationTime(
            (start.back() + stop.back() + select.back() + setup.back() + quit.back()) / 1000);
    }
    state.counters["start_worst_ms"] = worst(start);
    state.counters["stop_worst_ms"] = worst(stop);
    state.counters["select_cam_worst_ms"] = worst(select);
    state.counters["video_setup_worst_ms"] = worst(setup);
    state.counters["quit_worst_ms"] = worst(quit);
}

// Pictures at 25 a second that note when each leaves the source.
class StampedSource final : public platform::FrameSource {
public:
    explicit StampedSource(std::atomic<Clock::rep>& left) : left_(left) {}
    bool open() override {
        due_ = Clock::now();
        return true;
    }
    bool read(cv::Mat& frame) override {
        std::this_thread::sleep_until(due_);
        due_ += std::chrono::milliseconds(40);
        frame = cv::Mat(288, 352, CV_8UC3, cv::Scalar(30, 90, static_cast<double>(n_++ % 200)));
        left_ = Clock::now().time_since_epoch().count();
        return true;
    }

private:
    std::atomic<Clock::rep>& left_;
    Clock::time_point due_{};
    int n_ = 0;
};

// Notes each paint of the panel with the age of the newest picture at that moment.
class PaintWatch final : public QObject {
public:
    PaintWatch(QWidget& panel, std::atomic<Clock::rep>& left) : left_(left) {
        panel.installEventFilter(this);
    }
    std::vector<double> ages;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && left_ != 0)
            ages.push_back(
                Seconds(Clock::now() - Clock::time_point(Clock::duration(left_))).count() * 1000);
        return false;
    }

private:
    std::atomic<Clock::rep>& left_;
};

// Effect on every channel and all four overlays.
void busiestOperator(TForm1& form) {
    auto& controls = form.pipeline().controls;
    controls.EffectsOn = controls.ShowRed = controls.ShowGreen = controls.ShowBlue = true;
    controls.ShowFps = controls.ShowTemperature = controls.ShowHumidity = controls.ShowTitle = true;
    form.pipeline().TitleText.set(QStringLiteral("Colector 3, tramo B"));
}

// Milliseconds from a picture leaving the source to Panel5 painting it, 25 per second.
void FrameToPanel5(benchmark::State& state) {
    Console console(QStringLiteral("test"));
    busiestOperator(*console.form);
    std::atomic<Clock::rep> left{0};
    PaintWatch watch(*console.form->findChild<QWidget*>(QStringLiteral("Panel5")), left);
    console.form->capture().start(std::make_unique<StampedSource>(left));
    runEventLoopFor(500);
    watch.ages.clear();
    for (auto _ : state) {
        runEventLoopFor(2000);
        std::vector<double> ages = watch.ages;
        watch.ages.clear();
        std::sort(ages.begin(), ages.end());
        state.SetIterationTime(ages.empty() ? 1.0 : ages[ages.size() / 2] / 1000);
        state.counters["worst_ms"] = ages.empty() ? 1000.0 : ages.back();
        state.counters["paints"] = static_cast<double>(ages.size());
    }
}

double processSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// The console's CPU, all threads, in percent of one core, over stretches of 3 s.
void CpuAt25FramesPerSecond(benchmark::State& state) {
    Console console(QStringLiteral("test"));
    busiestOperator(*console.form);
    runEventLoopFor(1000);
    for (auto _ : state) {
        const double cpuBefore = processSeconds();
        const auto began = Clock::now();
        runEventLoopFor(3000);
        const double wall = Seconds(Clock::now() - began).count();
        const double percent = 100 * (processSeconds() - cpuBefore) / wall;
        state.SetIterationTime(percent / 100);
        state.counters["cpu_percent"] = percent;
    }
}

// One frame of the surface to JPEG; items per second is the encoder's frame rate.
void MotionJpegEncode(benchmark::State& state) {
    std::vector<std::uint8_t> bits(video::frameBytes);
    for (std::size_t i = 0; i < bits.size(); ++i)
        bits[i] = static_cast<std::uint8_t>((i * 7 / 5) ^ (i / 1056));
    const video::DibSection frame{video::frameWidth, video::frameHeight, 1, 24,
                                  bits.data(),       video::frameBytes};
    video::MotionJpeg encoder;
    for (auto _ : state)
        if (!encoder.encode(frame))
            state.SkipWithError("the encoder refused the frame");
    state.SetItemsProcessed(state.iterations());
}

} // namespace

BENCHMARK(WindowCallsOnAStalledStream)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1)
    ->Apply(fiveRunsWithWorst);
BENCHMARK(FrameToPanel5)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1)
    ->Apply(fiveRunsWithWorst);
BENCHMARK(CpuAt25FramesPerSecond)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1)
    ->Apply(fiveRunsWithWorst);
BENCHMARK(MotionJpegEncode)->Unit(benchmark::kMillisecond)->Apply(fiveRunsWithWorst);

int main(int argc, char** argv) {
    return runQtBenchmarks(argc, argv);
}
