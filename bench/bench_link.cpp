// What waiting costs and how even the pacing is: the CPU that a reply wait burns while nothing
// arrives, and the spacing of the characters of one command as the port sees them written.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdint>
#include <ctime>
#include <vector>

#include "link/qt_link_clock.h"
#include "link/serial_link.h"
#include "support/fake_serial_device.h"
#include "support/fake_window_ops.h"

using namespace curvalon;

namespace {

double processCpuSeconds() {
    timespec ts{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

struct Spacing {
    double meanMs = 0, minMs = 0, maxMs = 0;
};

Spacing spacingOf(const std::vector<std::int64_t>& timesNs) {
    Spacing sp;
    if (timesNs.size() < 2) return sp;
    sp.minMs = 1e9;
    for (std::size_t i = 1; i < timesNs.size(); ++i) {
        const double gap = double(timesNs[i] - timesNs[i - 1]) * 1e-6;
        sp.minMs = std::min(sp.minMs, gap);
        sp.maxMs = std::max(sp.maxMs, gap);
    }
    sp.meanMs = double(timesNs.back() - timesNs.front()) * 1e-6 / double(timesNs.size() - 1);
    return sp;
}

struct Rig {
    ScopeState s;
    test::FakeWindowOps w;
    test::FakeSerialDevice dev;
    QtLinkClock clock;
    SerialLink link{s, w, dev, clock};
    Rig() { link.openPort(); }
};

}  // namespace

// A query that is never answered: the whole reply timeout spent waiting.
static void BM_TimedOutWaitCpu(benchmark::State& state) {
    Rig r;
    double cpuPercent = 0;
    double wallMs = 0;
    for (auto _ : state) {
        r.link.armReplyTimer(2000);
        QElapsedTimer wall;
        wall.start();
        const double cpu0 = processCpuSeconds();
        r.link.waitReply();
        const double cpu = processCpuSeconds() - cpu0;
        wallMs = double(wall.nsecsElapsed()) * 1e-6;
        cpuPercent = cpu * 1e3 / wallMs * 100.0;
    }
    state.counters["wait_ms"] = wallMs;
    state.counters["cpu_pct_of_core"] = cpuPercent;
    state.counters["status"] = r.s.rxStatus;
}
BENCHMARK(BM_TimedOutWaitCpu)->Iterations(1)->Repetitions(3)->Unit(benchmark::kMillisecond);

// One 20-character command and its carriage return: 20 gaps, each meant to be 5 ms.
static void BM_PacedCommandSpacing(benchmark::State& state) {
    Rig r;
    const std::string command = "HORIZONTAL:MAIN:SCAL";
    Spacing sp;
    for (auto _ : state) {
        r.dev.writeTimesNs.clear();
        r.link.sendCommand(command);
        sp = spacingOf(r.dev.writeTimesNs);
    }
    state.counters["gap_mean_ms"] = sp.meanMs;
    state.counters["gap_min_ms"] = sp.minMs;
    state.counters["gap_max_ms"] = sp.maxMs;
}
BENCHMARK(BM_PacedCommandSpacing)->Iterations(1)->Repetitions(5)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
