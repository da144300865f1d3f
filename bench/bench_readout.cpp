// Formatting every readout field once, as a full read does: timebase, trigger source, four
// channels, trigger level.
#include <benchmark/benchmark.h>

#include <memory>

#include "model/scope_state.h"
#include "null_window_ops.h"
#include "plot/number_text.h"
#include "plot/readout.h"
#include "support/fake_window_ops.h"

using namespace curvalon;

namespace {

std::unique_ptr<ScopeState> typicalSettings() {
    auto s = std::make_unique<ScopeState>();
    initTables(*s, rgb(240, 240, 240));
    s->timeDiv = 0.0005;
    s->horPosition = -0.00025;
    s->trigSource = "CH1";
    s->trigLevel = 0.125;
    const double voltDiv[] = {0.5, 0.02, 2, 0.005};
    for (std::size_t ch = 0; ch < kChannelCount; ++ch) {
        s->chEnable[ch] = 1;
        s->chProbe[ch] = 10;
        s->chVoltDiv[ch] = voltDiv[ch];
        s->chCoupling[ch] = "DC";
        s->chBandwidth[ch] = "OFF";
        s->chInvert[ch] = "OFF";
    }
    return s;
}

void showAll(const ScopeState& s, WindowOps& window) {
    showTimebase(s, window);
    showTrigSource(s, window);
    for (std::int32_t ch = kLastChannel; ch >= 0; --ch)
        showChannelSettings(s, window, ch);
    showTrigLevel(s, window);
}

void BM_ReadoutAllFields_NullWindow(benchmark::State& state) {
    const auto s = typicalSettings();
    test::NullWindowOps window;
    for (auto _ : state)
        showAll(*s, window);
    benchmark::DoNotOptimize(window.checksum);
}
BENCHMARK(BM_ReadoutAllFields_NullWindow);

void BM_ReadoutAllFields_FakeWindow(benchmark::State& state) {
    const auto s = typicalSettings();
    test::FakeWindowOps window;
    for (auto _ : state)
        showAll(*s, window);
}
BENCHMARK(BM_ReadoutAllFields_FakeWindow);

void BM_NumberText(benchmark::State& state) {
    double x = 0.0000001;
    for (auto _ : state) {
        benchmark::DoNotOptimize(x);
        benchmark::DoNotOptimize(numberText(x * 1000000));
    }
}
BENCHMARK(BM_NumberText);

}  // namespace

BENCHMARK_MAIN();
