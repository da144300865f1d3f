// Reviewing a recording in the whole tool: opening a folder whose index lists 10 000 reads
// (under 1 s) and stepping from one read to the next with Page Down and Page Up, the plot, the
// readout and the measurements drawn again each time (under 30 ms a step).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "analysis/data_table.h"
#include "analysis/read_error.h"
#include "shell/scope_app.h"
#include "support/fake_serial_device.h"
#include "support/virtual_clock.h"

using namespace curvalon;
using namespace curvalon::test;

namespace {

constexpr int kFiles = 20;
constexpr int kRows = 10000;

// Four channels of the read's own waveforms, as Save writes them.
QByteArray readFile(int read) {
    Acquisition a = unreadAcquisition();
    a.live = true, a.timeDiv = 0.0005, a.horPosition = 0, a.trigSource = "CH1", a.trigLevel = 1;
    for (std::size_t ch = 0; ch < kChannelCount; ++ch) {
        a.valid[ch] = true, a.voltDiv[ch] = 0.5, a.positionDiv[ch] = 0.4 * ch, a.probe[ch] = 10;
        for (std::size_t k = 0; k < kSamples; ++k)
            a.samples[ch][k] = std::int8_t(((k + read * 37) * (ch + 3)) % 200 - 100);
    }
    return QByteArray::fromStdString(dataTable(a, {0, 1, 2, 3}, ','));
}

struct Recording {
    QTemporaryDir dir;
    Recording() {
        QByteArray index =
            "sequence,file,time,time per division (s),CH1 volts per division (V),CH1 frequency "
            "(Hz),CH2 volts per division (V),CH2 frequency (Hz),CH3 volts per division (V),CH3 "
            "frequency (Hz),CH4 volts per division (V),CH4 frequency (Hz),span from (s),span to "
            "(s),status\n";
        for (int i = 0; i < kFiles; ++i) {
            QFile f(dir.filePath(QStringLiteral("read-%1.csv").arg(i)));
            if (f.open(QIODevice::WriteOnly)) f.write(readFile(i));
        }
        for (int row = 1; row <= kRows; ++row)
            index += QStringLiteral("%1,read-%2.csv,2026-12-08T14:%3:%4.%5+01:00,,,,,,,,,,,,\n")
                         .arg(row)
                         .arg(row % kFiles)
                         .arg(row / 600 % 60, 2, 10, QChar('0'))
                         .arg(row / 10 % 60, 2, 10, QChar('0'))
                         .arg(row % 10 * 100, 3, 10, QChar('0'))
                         .toLatin1();
        QFile f(dir.filePath(QStringLiteral("index.csv")));
        if (f.open(QIODevice::WriteOnly)) f.write(index);
    }
    QString index() const { return dir.filePath(QStringLiteral("index.csv")); }
};

// The tool with nothing answering on its port: demo mode, as at home without the instrument.
struct Tool {
    MainWindow window;
    VirtualClock clock;
    FakeSerialDevice device{clock};
    ScopeApp scope{window, device, clock, [](int) {}, "none"};
    Tool() {
        window.show();
        scope.load();
        (void)QTest::qWaitFor([this] { return scope.state().startupDone == 1; }, 10000);
    }
};

}  // namespace

static void BM_OpenRecordingOf10000Reads(benchmark::State& st) {
    Recording recording;
    Tool tool;
    for (auto _ : st)
        tool.scope.openPaths({recording.index()});
    if (!tool.scope.review().recording()) st.SkipWithError("the recording did not open");
}
BENCHMARK(BM_OpenRecordingOf10000Reads)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

static void BM_StepToTheNextRead(benchmark::State& st) {
    Recording recording;
    Tool tool;
    tool.scope.openPaths({recording.index()});
    tool.scope.measure().showWindow();
    tool.scope.cursors().toggle();
    int step = 0;
    for (auto _ : st) {
        QTest::keyClick(&tool.window, ++step % 40 < 20 ? Qt::Key_PageDown : Qt::Key_PageUp);
        QApplication::processEvents();  // the window painted
    }
    if (!tool.scope.review().recording()) st.SkipWithError("the recording did not open");
}
BENCHMARK(BM_StepToTheNextRead)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen"
                                                                     : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
