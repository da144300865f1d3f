// One graticule on the real off-screen image, at the start-up zoom and at the largest zoom.
#include <benchmark/benchmark.h>

#include "model/scope_state.h"
#include "plot/graticule.h"
#include "plot/image_surface.h"
#include "support/fake_window_ops.h"
#include "support/recording_surface.h"

using namespace curvalon;

static void drawGraticuleAt(benchmark::State& st, int magHIdx, int magVIdx) {
    ScopeState s;
    initTables(s, rgb(239, 239, 239));
    test::RecordingMarkerStrip strip;
    test::FakeWindowOps window;
    s.magHIdx = magHIdx;
    s.magVIdx = magVIdx;
    applyZoom(s, strip, window);
    ImageSurface surface(1840, 720, s.formBackColor);
    for (auto _ : st) {
        drawGraticule(s, surface);
        benchmark::DoNotOptimize(surface.image().constBits());
    }
}

static void BM_GraticuleStartUpZoom(benchmark::State& st) {
    drawGraticuleAt(st, 1, 1);
}
static void BM_GraticuleH10V4(benchmark::State& st) {
    drawGraticuleAt(st, 9, 3);
}
BENCHMARK(BM_GraticuleStartUpZoom)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GraticuleH10V4)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
