// A soak of Curve > Run with Record… over a pseudo-terminal at the line's pace, through the real
// port driver and clock: 100 reads of CH1 and CH2, one of them failing on purpose (the instrument
// silent once on the time base), which ends the run; Run is chosen again and goes on. Then the
// recording folder is checked: a data file for every completed read and none for the failed one, a
// row of index.csv for every read, every file's data its own (each read is a new acquisition) and
// its stamp its own read's; and the resident memory growth and the CPU once the run has stopped.
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <set>

#include "support/process_figures.h"
#include "support/pty_instrument.h"
#include "support/real_tool.h"
#include "support/simulated_instrument.h"

using namespace curvalon;
using namespace curvalon::test;

namespace {

int kReads = 100;
int kFailingRead = 50;

QAction* item(QWidget& window, const QString& caption) {
    for (QAction* a : window.findChildren<QAction*>())
        if (a->text() == caption) return a;
    return nullptr;
}

// The data rows of a file (after its notes and column heads) and its ISO time stamp.
std::pair<QByteArray, QString> dataAndStamp(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray all = file.readAll();
    const QByteArray stampNote = "# time (ISO 8601): ";
    const qsizetype at = all.indexOf(stampNote);
    const QString stamp =
        at < 0 ? QString() : QString::fromLatin1(all.mid(at + stampNote.size(), 19));
    return {all.mid(all.indexOf("\nsample,")), stamp};
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // A shorter soak when asked: the number of reads, the failing one half way.
    if (argc > 1) kReads = std::max(4, std::atoi(argv[1])), kFailingRead = kReads / 2;
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    QTemporaryDir folder;
    folder.setAutoRemove(!qEnvironmentVariableIsSet("CURVALON_SOAK_KEEP"));

    PtyInstrument far;
    SimulatedInstrument instrument;
    for (int ch = 2; ch < 4; ++ch)
        instrument.channels[static_cast<std::size_t>(ch)].displayed = false;
    int timeBases = 0;
    far.answerBreaks(instrument.onBreak());
    int reads = 0;
    far.onLine = [&](const std::string& line) {
        // Each read's acquisition marked with its number in CH1's first two samples, so that a
        // file's data can be told from any other's.
        if (line == "SEL?") {
            ++reads;
            instrument.waveforms[0][0] = std::int8_t(reads % 256 - 128);
            instrument.waveforms[0][1] = std::int8_t(reads / 256 - 128);
        }
        // The read that fails: its time base query gets no answer.
        if (line == "HOR?" && ++timeBases == kFailingRead) return;
        const std::string reply = instrument.answer(line);
        if (!reply.empty()) far.answerLater(reply, 0);
    };
    RealTool tool(far.slavePath);
    MainWindow& window = tool.window;
    ScopeApp& scope = tool.scope;
    // The folder dialog answered with the soak's folder, the failure's box accepted.
    int boxes = 0;
    QTimer answerer;
    QObject::connect(&answerer, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
            dialog->setDirectory(folder.path());
            QMetaObject::invokeMethod(dialog, &QDialog::accept, Qt::QueuedConnection);
        } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            ++boxes, box->accept();
        }
    });
    answerer.start(50);
    item(window, QStringLiteral("Record\u2026"))->trigger();
    std::printf("recording into %s\n", qPrintable(scope.recorder().folder()));
    QElapsedTimer elapsed;
    elapsed.start();
    long afterTwo = 0, beforeFailure = 0, afterFailure = 0;
    int done = 0;
    const double cpuStart = cpuSeconds();
    while (done < kReads) {
        scope.toggleRun();
        while (scope.run().running() && done + scope.run().reads() < kReads) {
            QTest::qWait(20);
            const int total = done + scope.run().reads();
            if (!afterTwo && total >= 2) afterTwo = residentKb();
            if (!beforeFailure && total >= kFailingRead - 1) beforeFailure = residentKb();
            if (!afterFailure && total >= kFailingRead + 2) afterFailure = residentKb();
        }
        if (scope.run().running()) scope.toggleRun();
        (void)QTest::qWaitFor([&] { return !scope.run().running() && !scope.link().busy(); },
                              20000);
        done += scope.run().reads();
        std::printf("run ended after %d reads (%d in all), %d boxes\n", scope.run().reads(), done,
                    boxes);
    }
    const double ms = elapsed.nsecsElapsed() / 1e6;
    const double runCpu = cpuSeconds() - cpuStart;
    const long afterAll = residentKb();
    QTest::qWait(500);
    const double cpuBefore = cpuSeconds();
    QTest::qWait(2000);
    const double idleCpu = (cpuSeconds() - cpuBefore) / 2;

    const QStringList files =
        QDir(folder.path()).entryList({"curvalon-*.csv"}, QDir::Files, QDir::Name);
    QFile index(QDir(folder.path()).filePath("index.csv"));
    (void)index.open(QIODevice::ReadOnly);
    QStringList rows = QString::fromUtf8(index.readAll()).split('\n', Qt::SkipEmptyParts);
    rows.removeFirst();
    std::set<QByteArray> distinct;
    int ownStamps = 0, failedRows = 0, namedRows = 0;
    QString lastStamp;
    for (const QString& row : rows) {
        const QStringList cells = row.split(',');
        if (cells.value(1).isEmpty()) {
            failedRows += !cells.value(14).isEmpty();
            continue;
        }
        ++namedRows;
        const auto [data, stamp] = dataAndStamp(QDir(folder.path()).filePath(cells[1]));
        distinct.insert(data);
        // The file's own stamp is its read's: taken as the read completed, at most a second
        // before the index row's time, and later than the previous file's.
        const QDateTime completed = QDateTime::fromString(cells[2], Qt::ISODateWithMs);
        const QDateTime stamped = QDateTime::fromString(stamp, Qt::ISODate);
        const qint64 lag = stamped.secsTo(completed);
        if (stamp > lastStamp && lag >= 0 && lag <= 1) ++ownStamps;
        lastStamp = stamp;
    }
    std::printf(
        "%d reads in %.0f s: %lld data files, %lld index rows (%d with a file, %d failed "
        "with their status), %zu distinct data, %d stamps their own read's\n",
        done, ms / 1000, static_cast<long long>(files.size()), static_cast<long long>(rows.size()),
        namedRows, failedRows, distinct.size(), ownStamps);
    std::printf(
        "resident memory after read 2: %ld kB, before the failure: %ld kB, after it "
        "(the first message box): %ld kB, after read %d: %ld kB; growth %+ld kB in all, "
        "%+ld kB after the failure\n",
        afterTwo, beforeFailure, afterFailure, done, afterAll, afterAll - afterTwo,
        afterAll - afterFailure);
    std::printf(
        "CPU during the soak: %.1f %% of one core; once the run has stopped: %.2f %% "
        "(over 2 s)\n",
        runCpu / (ms / 1000) * 100, idleCpu * 100);
    const bool ok = files.size() == kReads - 1 && rows.size() == kReads && failedRows == 1 &&
                    distinct.size() == std::size_t(kReads - 1) && ownStamps == kReads - 1 &&
                    afterAll - afterTwo < 3 * 1024 && idleCpu < 0.01;
    std::printf("%s\n", ok ? "soak passed" : "soak FAILED");
    return ok ? 0 : 1;
}
