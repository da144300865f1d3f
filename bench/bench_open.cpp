// Opening saved files for review: one instrument waveform file (under 20 ms), a recording's
// index of 10 000 reads (under 1 s), and a data file of eight sources as the tool saves it.
// Each is reported as the median of its repetitions.
#include <benchmark/benchmark.h>

#include <cstdio>

#include "analysis/data_file_reader.h"
#include "analysis/data_table.h"
#include "analysis/instrument_csv.h"
#include "analysis/recording_index.h"

using namespace curvalon;

namespace {

// 2500 lines as the instrument writes them: the settings beside the first samples.
std::string instrumentFile() {
    const char* const settings[18][2] = {{"Record Length", "2.500000e+03"},
                                         {"Sample Interval", "4.000000e-06"},
                                         {"Trigger Point", "1.250000e+03"},
                                         {"", ""},
                                         {"", ""},
                                         {"", ""},
                                         {"Source", "CH1"},
                                         {"Vertical Units", "V"},
                                         {"Vertical Scale", "5.000000e-01"},
                                         {"Vertical Offset", "-2.160000e+00"},
                                         {"Horizontal Units", "s"},
                                         {"Horizontal Scale", "1.000000e-03"},
                                         {"Pt Fmt", "Y"},
                                         {"Yzero", "0.000000e+00"},
                                         {"Probe Atten", "1.000000e+01"},
                                         {"Model Number", "MODEL"},
                                         {"Serial Number", "S000000"},
                                         {"Firmware Version", "FV:v1.00"}};
    std::string out;
    char line[160];
    for (int k = 0; k < kSamples; ++k) {
        const int count = (k * 7) % 256 - 128;
        std::snprintf(line, sizeof line, "%s,%s,,%17.12f,%10.5f,\r\n", k < 18 ? settings[k][0] : "",
                      k < 18 ? settings[k][1] : "", (k - 1250) * 4e-6, count * 0.02 + 2.16);
        out += line;
    }
    return out;
}

std::string recordingIndex(int rows) {
    std::string out =
        "sequence,file,time,time per division (s),CH1 volts per division (V),CH1 frequency "
        "(Hz),CH2 volts per division (V),CH2 frequency (Hz),CH3 volts per division (V),CH3 "
        "frequency (Hz),CH4 volts per division (V),CH4 frequency (Hz),span from (s),span to "
        "(s),status\n";
    char line[256];
    for (int i = 1; i <= rows; ++i) {
        const int ms = i * 1237;
        if (i % 50 == 0)  // now and then a failed read, its box text quoted
            std::snprintf(line, sizeof line,
                          "%d,,2026-12-08T%02d:%02d:%02d.%03d+01:00,,,,,,,,,,,,\"no reply, "
                          "\"\"CH2\"\"\"\n",
                          i, 14 + ms / 3600000, ms / 60000 % 60, ms / 1000 % 60, ms % 1000);
        else
            std::snprintf(line, sizeof line,
                          "%d,curvalon-20261208-%06d-%03d.csv,2026-12-08T%02d:%02d:%02d.%03d+01:00,"
                          "0.0005,0.5,1000,0.5,2000,,,,,,,\n",
                          i, i, ms % 1000, 14 + ms / 3600000, ms / 60000 % 60, ms / 1000 % 60,
                          ms % 1000);
        out += line;
    }
    return out;
}

std::string dataFile() {
    Acquisition a = unreadAcquisition();
    a.live = true, a.timeDiv = 0.0005, a.horPosition = -0.0025, a.trigSource = "CH1";
    for (std::size_t src = 0; src < kSourceCount; ++src) {
        a.valid[src] = true;
        if (src < kChannelCount) a.voltDiv[src] = 0.5, a.positionDiv[src] = 0.37, a.probe[src] = 10;
        for (std::size_t k = 0; k < kSamples; ++k)
            a.samples[src][k] = std::int8_t((k * (src + 3)) % 256 - 128);
    }
    return dataTable(a, {0, 1, 2, 3, 4, 5, 6, 7}, ',');
}

}  // namespace

static void BM_OpenInstrumentFile(benchmark::State& st) {
    const std::string bytes = instrumentFile();
    if (const auto first = readInstrumentCsv(bytes); !first.ok())
        st.SkipWithError(first.error.what.c_str());
    for (auto _ : st)
        benchmark::DoNotOptimize(readInstrumentCsv(bytes).ok());
}
BENCHMARK(BM_OpenInstrumentFile)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

static void BM_ListRecordingOf10000Reads(benchmark::State& st) {
    const std::string bytes = recordingIndex(10000);
    if (const auto first = readRecordingIndex(bytes); !first.ok())
        st.SkipWithError(first.error.what.c_str());
    for (auto _ : st)
        benchmark::DoNotOptimize(readRecordingIndex(bytes).ok());
}
BENCHMARK(BM_ListRecordingOf10000Reads)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

static void BM_OpenDataFileOfEightSources(benchmark::State& st) {
    const std::string bytes = dataFile();
    if (const auto first = readDataFile(bytes); !first.ok())
        st.SkipWithError(first.error.what.c_str());
    for (auto _ : st)
        benchmark::DoNotOptimize(readDataFile(bytes).ok());
}
BENCHMARK(BM_OpenDataFileOfEightSources)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
