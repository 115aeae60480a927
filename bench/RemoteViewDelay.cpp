// Delay from a processed picture offered to the remote view to the whole frame reaching a
// viewer on loopback, with 1 and 5 viewers watching; and the CPU the view takes for them.
#include "bench/Percentile.h"
#include "bench/QtBenchmarkMain.h"
#include "remote/RemoteView.h"
#include "tests/support/HttpClient.h"

#include <QElapsedTimer>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <ctime>
#include <memory>
#include <vector>

namespace {

// A picture of the size the pipeline hands out, with some detail for the encoder.
QImage processedPicture(int frame) {
    QImage image(352, 288, QImage::Format_RGB32);
    image.fill(Qt::darkGray);
    QPainter painter(&image);
    painter.fillRect(frame % 300, 100, 50, 50, Qt::yellow);
    painter.drawText(10, 20, QStringLiteral("22ºC 45% cuadro %1").arg(frame));
    return image;
}

double processSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

void BM_RemoteViewFrameDelay(benchmark::State& state) {
    remote::Limits limits;
    limits.framePeriod = std::chrono::milliseconds(1);
    remote::RemoteView view([] { return remote::ViewState{}; }, limits);
    if (view.start(QHostAddress::LocalHost, 0)) {
        state.SkipWithError("cannot listen");
        return;
    }
    std::vector<std::unique_ptr<testing_support::Client>> viewers;
    for (int i = 0; i < state.range(0); ++i) {
        viewers.push_back(std::make_unique<testing_support::Client>(view.port()));
        viewers.back()->get("/stream?code=" + view.code());
    }
    if (!QTest::qWaitFor([&] { return view.viewers() == state.range(0); }, 10000)) {
        state.SkipWithError("viewers not connected");
        return;
    }
    std::vector<double> milliseconds;
    int frame = 0;
    const double cpuBefore = processSeconds();
    QElapsedTimer wall;
    wall.start();
    for (auto _ : state) {
        const QImage picture = processedPicture(frame++);
        const int before = viewers.back()->frames();
        QElapsedTimer delay;
        delay.start();
        view.offerFrame(picture);
        // The next frame's boundary closes this one: wait for this frame's own bytes.
        if (!QTest::qWaitFor([&] { return viewers.back()->frames() > before; }, 10000)) {
            state.SkipWithError("frame lost");
            return;
        }
        milliseconds.push_back(static_cast<double>(delay.nsecsElapsed()) / 1e6);
        // At the console's rate of 10 frames a second.
        QTest::qWait(100 - static_cast<int>(delay.elapsed() % 100));
    }
    state.counters["median_ms"] = percentile(milliseconds, 0.5);
    state.counters["max_ms"] = worst(milliseconds);
    state.counters["cpu_percent_of_core"] =
        100.0 * (processSeconds() - cpuBefore) / (static_cast<double>(wall.nsecsElapsed()) / 1e9);
}
BENCHMARK(BM_RemoteViewFrameDelay)
    ->Arg(1)
    ->Arg(5)
    ->Iterations(50)
    ->Unit(benchmark::kMillisecond)
    ->Apply(fiveRunsWithWorst);

} // namespace

int main(int argc, char** argv) {
    return runQtBenchmarks(argc, argv);
}
