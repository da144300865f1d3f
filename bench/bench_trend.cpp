// Statistics and trends across reads: one read of eight sources into the statistics and the
// history (under 0.2 ms), a trend of 10 000 reads drawn (under 100 ms), and the memory that
// 10 000 reads of statistics and trend take (under 2 MB).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cmath>

#include "analysis/statistics.h"
#include "shell/trend_window.h"

using namespace curvalon;

namespace {

constexpr int kReads = 10000;

// Every measurement of these sources with a value that moves from read to read.
std::vector<SourceReadings> readOf(int read, int sources) {
    std::vector<SourceReadings> out(static_cast<std::size_t>(sources));
    for (int s = 0; s < sources; ++s) {
        SourceReadings& r = out[std::size_t(s)];
        r.source = s,
        r.name = s < 4 ? "CH" + std::to_string(s + 1) : "REF" + std::string(1, char('A' + s - 4));
        r.units = {"V", "s"};
        for (int m = 0; m < kMeasureCount; ++m)
            r.readings[std::size_t(m)].value = 1000 + m + std::sin(read * 0.01 + s);
    }
    return out;
}

MeasureHistory historyOf(int reads, int sources) {
    MeasureHistory h;
    for (int i = 0; i < reads; ++i)
        i % 97 == 5 ? h.addFailed(1'700'000'000'000 + i * 1000LL)
                    : h.add(1'700'000'000'000 + i * 1000LL, readOf(i, sources));
    return h;
}

}  // namespace

static void BM_StatisticsOfOneReadOfEightSources(benchmark::State& st) {
    MeasureStatistics statistics;
    MeasureHistory history;
    std::vector<std::vector<SourceReadings>> reads;
    for (int i = 0; i < 64; ++i)
        reads.push_back(readOf(i, 8));
    int i = 0;
    for (auto _ : st) {
        const auto& read = reads[std::size_t(i++ % 64)];
        statistics.add(read);
        history.add(i, read);
        if (history.size() >= kReads) history.clear();  // the memory stays that of a long run
    }
}
BENCHMARK(BM_StatisticsOfOneReadOfEightSources)->Unit(benchmark::kMicrosecond);

// The history of 10 000 reads, and the statistics, in bytes: for the two channels most runs
// watch and for all eight sources.
static void BM_MemoryOf10000Reads(benchmark::State& st) {
    const int sources = int(st.range(0));
    std::size_t bytes = 0;
    for (auto _ : st) {
        const MeasureHistory h = historyOf(kReads, sources);
        bytes = h.bytes() + sizeof(MeasureStatistics) +
                std::size_t(sources) * kMeasureCount * sizeof(MeasureCell);
    }
    st.counters["MB"] = double(bytes) / 1e6;
}
BENCHMARK(BM_MemoryOf10000Reads)
    ->Arg(1)
    ->Arg(2)
    ->Arg(4)
    ->Arg(8)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// The trend window drawn afresh over 10 000 reads of one source, then painted.
static void BM_TrendOf10000ReadsDrawn(benchmark::State& st) {
    const MeasureHistory history = historyOf(kReads, 2);
    TrendWindow trend(nullptr, [&history]() -> const MeasureHistory& { return history; });
    trend.resize(720, 480);
    trend.choose(Measure::Frequency, {0, 1});
    trend.show();
    for (auto _ : st) {
        trend.refresh();
        benchmark::DoNotOptimize(trend.picture());
    }
}
BENCHMARK(BM_TrendOf10000ReadsDrawn)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
