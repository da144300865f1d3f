// The measurements of eight sources from one acquisition, and one move of a dragged cursor at the
// largest zoom, repainted: the first must stay well under what a read costs, the second under a
// frame at 60 Hz.
#include <benchmark/benchmark.h>
#include <QApplication>
#include <QTest>
#include <cmath>
#include <numbers>
#include <random>

#include "analysis/measurements.h"
#include "shell/scope_app.h"
#include "support/fake_serial_device.h"
#include "support/virtual_clock.h"

using namespace curvalon;

namespace {

// Eight records of noisy sines, squares and pulses, channels in volts and seconds.
Acquisition noisyAcquisition() {
    Acquisition a;
    std::mt19937 random(7);
    std::normal_distribution<double> noise(0, 0.5);
    a.timeDiv = 5e-4;
    for (int src = 0; src < kSourceCount; ++src) {
        a.names[src] = "S" + std::to_string(src);
        a.valid[src] = true;
        if (src < kChannelCount) a.voltDiv[src] = 0.5;
        const double cycles = 3 + 7 * src;
        for (int k = 0; k < kSamples; ++k) {
            const double u = std::fmod(k * cycles / kSamples, 1.0);
            const double v = src % 3 == 0   ? 75 * std::sin(2 * std::numbers::pi * u)
                             : src % 3 == 1 ? (u < 0.5 ? 60 : -60)
                                            : (u < 0.2 ? 50 : -50);
            a.samples[src][k] = static_cast<std::int8_t>(std::lround(v + noise(random)));
        }
    }
    return a;
}

}  // namespace

static void BM_MeasureEightSources(benchmark::State& st) {
    const Acquisition a = noisyAcquisition();
    for (auto _ : st) {
        for (int src = 0; src < kSourceCount; ++src)
            benchmark::DoNotOptimize(measureSource(a, src));
    }
}
BENCHMARK(BM_MeasureEightSources)->Unit(benchmark::kMicrosecond);

// In demo mode at H x10, V x4, cursor A dragged back and forth, the plot repainted and the
// measurement window brought up to date each time.
static void BM_CursorDragRepaintLargestZoom(benchmark::State& st) {
    MainWindow window;
    test::VirtualClock clock;
    test::FakeSerialDevice device{clock};
    ScopeApp app(
        window, device, clock, [](int) {}, "none");
    window.show();
    app.load();
    (void)QTest::qWaitFor([&] { return app.state().startupDone == 1; }, 5000);
    app.menuChosen(Menu::mnuMagH, 9);
    app.menuChosen(Menu::mnuMagV, 3);
    app.cursors().toggle();
    app.measure().showWindow();  // its readouts follow every move
    QWidget* plot = window.plotWidget();
    const int xA = (app.state().plotX0 + 625 * app.state().magH) / 15;
    app.cursors().mouse(QEvent::MouseButtonPress, QPoint(xA, 100));
    int step = 0;
    for (auto _ : st) {
        app.cursors().mouse(QEvent::MouseMove, QPoint(xA + (++step % 2 ? 40 : 0), 100));
        plot->repaint();
    }
}
BENCHMARK(BM_CursorDragRepaintLargestZoom)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
