// How soon a key reaches the robot while the console records the moving test pattern
// uncompressed at 30 frames per second, against the same keys with the pattern running but
// nothing recorded. The frames come through the capture threads as a camera's do. Enter is
// posted to the main window's window handle from another thread, so it waits while the
// window is busy with a frame; the time runs from just before the post until the simulated
// robot stamps the Stop byte. The target is at most Retardo + 12 ms, so the counters are
// milliseconds over Retardo (negative when the byte leaves before the pause would end).

#include "app/Main.h"
#include "bench/Percentile.h"
#include "bench/QtBenchmarkMain.h"
#include "platform/Capture.h"
#include "platform/Dialogs.h"
#include "platform/TestPattern.h"
#include "sim/Simulator.h"
#include "tests/support/TempSettings.h"
#include "tests/support/WorkingFolder.h"
#include "video/FrameSurface.h"
#include "video/Recorder.h"
#include "widgets/Vrthreads.h"

#include <QCoreApplication>
#include <QDialog>
#include <QEventLoop>
#include <QFileInfo>
#include <QKeyEvent>
#include <QTimer>
#include <QWindow>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::duration<double, std::milli>;

constexpr int retardoMs = 15;
constexpr int frameIntervalMs = 1000 / 30;
constexpr std::uint8_t stopByte = 0x50;
// Long enough for several frames to pass between two keys, and for the key posted within
// its first 100 ms to be handled.
constexpr int pauseBetweenKeysMs = 160;

// Any question the console asks would stall the run; count them and answer no.
class CountingResponder final : public platform::DialogResponder {
public:
    int requests = 0;

    platform::DialogAnswer message(const platform::MessageRequest&) override {
        ++requests;
        return platform::DialogAnswer::Ok;
    }
    std::optional<QString> inputText(const platform::InputRequest&) override {
        ++requests;
        return std::nullopt;
    }
    std::optional<QString> saveFileName(const platform::SaveFileRequest&) override {
        ++requests;
        return std::nullopt;
    }
    std::optional<QString> openFileName(const platform::OpenFileRequest&) override {
        ++requests;
        return std::nullopt;
    }
    int showModal(QDialog&) override {
        ++requests;
        return QDialog::Rejected;
    }
};

// The built-in pattern's pictures at the camera rate the console asks for; the pattern
// source itself runs at 25 frames per second.
class PatternAtCameraRate final : public platform::FrameSource {
public:
    bool open() override {
        due_ = Clock::now();
        return true;
    }
    bool read(cv::Mat& frame) override {
        std::this_thread::sleep_until(due_);
        due_ = std::max(due_ + framePeriod, Clock::now());
        frame = platform::TestPattern::picture(next_);
        next_ = (next_ + 1) % 1000000;
        return true;
    }

private:
    static constexpr auto framePeriod = std::chrono::microseconds(1'000'000 / 30);
    int next_ = 0;
    Clock::time_point due_;
};

// Lets the event loop run, so captured frames reach the window and the recorder.
void runEventLoopFor(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

// The console on the simulated robot, showing the test pattern, in a fresh working folder
// where a recording lands. The polling timer stays off so only the keys' bytes arrive.
struct ConsoleWithCamera {
    sim::Simulator simulator;
    testing_support::WorkingFolder folder;
    testing_support::TempSettings settings;
    CountingResponder dialogs;
    platform::Dialogs::ScopedResponder dialogGuard{dialogs};
    std::unique_ptr<TForm1> form;

    ConsoleWithCamera() {
        settings.store("Puerto Comm", QString::fromStdString(simulator.devicePath()));
        settings.store("Retardo", retardoMs);
        settings.store("Intervalo", frameIntervalMs);
        form = std::make_unique<TForm1>(nullptr, QStringLiteral("test"));
        form->capture().start(std::make_unique<PatternAtCameraRate>());
        form->Timer1->SetEnabled(false);
        form->show();
        simulator.waitForBytes(2, 2s);
        runEventLoopFor(500);
    }

    // Posts the press and release from another thread at `offset` into a stretch of event
    // loop, so a key that arrives while the window works on a frame waits as a real one does.
    // Milliseconds from the post until the robot received the Stop byte, if it came.
    std::optional<double> pressAndRelease(std::chrono::milliseconds offset) {
        simulator.clearRecord();
        Clock::time_point start;
        QWindow* const window = form->windowHandle();
        {
            std::jthread typist([&] {
                std::this_thread::sleep_for(offset);
                start = Clock::now();
                postKey(*window, QEvent::KeyPress);
                postKey(*window, QEvent::KeyRelease);
            });
            runEventLoopFor(pauseBetweenKeysMs);
        }
        for (int i = 0; i < 100 && simulator.receivedBytes().empty(); ++i)
            runEventLoopFor(10);
        const std::vector<sim::ReceivedByte> received = simulator.receivedBytes();
        if (received.empty() || received.front().value != stopByte || received.front().time < start)
            return std::nullopt;
        return Milliseconds(received.front().time - start).count();
    }

    static void postKey(QWindow& window, QEvent::Type type) {
        // The event queue takes ownership of the event.
        QCoreApplication::postEvent(&window, new QKeyEvent(type, Qt::Key_Return, Qt::NoModifier));
    }
};

void measureKeys(benchmark::State& state, ConsoleWithCamera& console) {
    std::vector<double> latencies;
    int lost = 0;
    int key = 0;
    for (auto _ : state) {
        // Offsets spread over three frame intervals, so keys meet every phase of a frame.
        const std::chrono::milliseconds offset((key++ * 37) % 100);
        if (const auto latency = console.pressAndRelease(offset))
            latencies.push_back(*latency);
        else
            ++lost;
    }
    state.counters["median_over_retardo_ms"] = percentile(latencies, 0.5) - retardoMs;
    state.counters["p99_over_retardo_ms"] = percentile(latencies, 0.99) - retardoMs;
    state.counters["max_over_retardo_ms"] = percentile(latencies, 1.0) - retardoMs;
    state.counters["keys_lost"] = lost;
    if (console.dialogs.requests > 0)
        state.SkipWithError("the console asked a question");
}

void KeyWhileRecordingUncompressed(benchmark::State& state) {
    ConsoleWithCamera console;
    console.form->RecordClick();
    const auto recordingStart = Clock::now();
    const std::uint32_t framesBefore = console.form->recorder().framesWritten();
    measureKeys(state, console);
    const std::uint32_t frames = console.form->recorder().framesWritten() - framesBefore;
    const double seconds = std::chrono::duration<double>(Clock::now() - recordingStart).count();
    const bool recorded = console.form->recorder().recording();
    console.form->StopRecordClick();
    const auto fileBytes =
        QFileInfo(console.folder.path(console.form->state().VideoFileName)).size();
    state.counters["frames_written"] = frames;
    state.counters["frames_per_second"] = seconds > 0 ? frames / seconds : 0;
    if (!recorded || frames == 0)
        state.SkipWithError("nothing was recorded");
    // "Compresión" starts off; a file smaller than the raw frames would mean it was not.
    else if (static_cast<std::size_t>(fileBytes) < frames * video::frameBytes)
        state.SkipWithError("the recording is not uncompressed");
}

void KeyWithCameraOnly(benchmark::State& state) {
    ConsoleWithCamera console;
    measureKeys(state, console);
}

BENCHMARK(KeyWhileRecordingUncompressed)
    ->Iterations(100)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(KeyWithCameraOnly)->Iterations(100)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return runQtBenchmarks(argc, argv);
}
