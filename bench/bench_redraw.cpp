// One redraw of the whole picture on the real off-screen image: eight sources, markers and the
// graticule, at the start-up zoom and at the largest.
#include <benchmark/benchmark.h>
#include <QGuiApplication>

#include "link/qt_link_clock.h"
#include "link/serial_link.h"
#include "model/channel_selection.h"
#include "model/demo_waveforms.h"
#include "model/reference_selection.h"
#include "plot/composition.h"
#include "plot/graticule.h"
#include "plot/image_surface.h"
#include "support/fake_serial_device.h"
#include "support/fake_window_ops.h"
#include "support/recording_surface.h"

using namespace curvalon;

static void reDrawAt(benchmark::State& st, int magHIdx, int magVIdx) {
    ScopeState s;
    initTables(s, rgb(239, 239, 239));
    makeDemoCurves(s);
    for (int r = kFirstRef; r <= kLastRef; ++r) {
        for (int i = 0; i < kSamples; ++i)
            s.curve[r][i] = ((i / 50) % 2 ? 30 : -30) + 10 * (r - 5);
        s.refShown[r] = 1;
    }
    s.refView = 1;
    s.chEnable.fill(1);
    s.trigSource = "CH1";
    s.chVoltDiv.fill(0.5);
    s.trigLevel = 0.7;
    test::FakeWindowOps window;
    QtLinkClock clock;
    test::FakeSerialDevice device{clock};
    SerialLink link(s, window, device, clock);
    ChannelSelection channels(s, window);
    ReferenceSelection references(s, window);
    SettingsQueries queries(s, window, link, channels, references);
    CurveTransfer curves(s, window, link);
    ImageSurface surface(1840, 720, s.formBackColor);
    ImageMarkerStrip strip(11, 700, s.formBackColor, QFont());
    Composer composer(s, window, surface, strip, queries, curves);
    s.magHIdx = magHIdx;
    s.magVIdx = magVIdx;
    applyZoom(s, strip, window);
    for (auto _ : st) {
        composer.reDraw();
        benchmark::DoNotOptimize(surface.image().constBits());
    }
}

static void BM_ReDrawStartUpZoom(benchmark::State& st) {
    reDrawAt(st, 1, 1);
}
static void BM_ReDrawH10V4(benchmark::State& st) {
    reDrawAt(st, 9, 3);
}
BENCHMARK(BM_ReDrawStartUpZoom)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReDrawH10V4)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);  // fonts for the channel numbers
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
