// Cost of one synchronous repaint of the slider and the jog meter, as caused by a property
// change on a shown widget. Runs on the offscreen platform unless another one is chosen.

#include "bench/QtBenchmarkMain.h"
#include "widgets/Vrjogmeter.h"
#include "widgets/Vrslider.h"

#include <QApplication>
#include <QEvent>
#include <QWindow>

#include <benchmark/benchmark.h>

namespace {

constexpr int RepaintsPerRound = 1000;

// Counts the paints a widget really receives, so a run that painted nothing shows.
class PaintCounter : public QObject {
public:
    long paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

// Shows the widget and waits (a bounded while) until its window is exposed.
void ShowExposed(QWidget& widget, PaintCounter& counter) {
    widget.show();
    for (int i = 0; i < 200 && !(widget.windowHandle() && widget.windowHandle()->isExposed()); ++i)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    QApplication::processEvents();
    widget.installEventFilter(&counter);
}

// Each round makes 1,000 property changes, each of which repaints at once.
void Report(benchmark::State& state, const PaintCounter& counter) {
    state.counters["per_repaint"] =
        benchmark::Counter(double(state.iterations()) * RepaintsPerRound,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["paints_per_round"] = double(counter.paints) / double(state.iterations());
}

void BM_SliderRepaint(benchmark::State& state) {
    TVrSlider slider;
    slider.SetMaxValue(50);
    PaintCounter counter;
    ShowExposed(slider, counter);
    for (auto _ : state)
        for (int i = 0; i < RepaintsPerRound; ++i)
            slider.SetPosition(i % 2 == 0 ? 10 : 40);
    Report(state, counter);
}
BENCHMARK(BM_SliderRepaint)->Unit(benchmark::kMillisecond);

void BM_JogMeterRepaint(benchmark::State& state) {
    TVrJogMeter meter;
    meter.Scale().SetApperture(50);
    meter.Scale().SetSmallStep(1);
    PaintCounter counter;
    ShowExposed(meter, counter);
    for (auto _ : state)
        for (int i = 0; i < RepaintsPerRound; ++i)
            meter.Value().SetValue(i % 2 == 0 ? -12.5 : 3);
    Report(state, counter);
}
BENCHMARK(BM_JogMeterRepaint)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return runQtBenchmarks(argc, argv);
}
