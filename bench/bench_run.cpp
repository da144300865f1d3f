// Twenty reads of Curve > Run against the simulated instrument on a pseudo-terminal that answers
// at once, at 19200 baud, through the real port driver and clock: the time against the least the
// protocol allows for the same traffic (5 ms after each character sent, every reply byte's time
// on the wire, the 100 ms settling delay before each curve, a reply overlapping the pause after
// its command's carriage return), the resident memory after read 2 and after read 20, and the
// CPU used once the run has stopped.
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>
#include <cstdio>
#include <ctime>

#include "support/process_figures.h"
#include "support/pty_instrument.h"
#include "support/real_tool.h"
#include "support/simulated_instrument.h"

using namespace curvalon;
using namespace curvalon::test;

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);  // each figure as soon as it is known
    PtyInstrument far;
    SimulatedInstrument instrument;
    std::size_t replyBytes = 0, queries = 0, curves = 0;
    far.answerBreaks(instrument.onBreak());
    far.onLine = [&](const std::string& line) {
        const std::string reply = instrument.answer(line);
        replyBytes += reply.size(), queries += line.ends_with('?'), curves += line == "CURV?";
        if (!reply.empty()) far.answerLater(reply, 0);
    };
    RealTool tool(far.slavePath);
    MainWindow& window = tool.window;
    ScopeApp& scope = tool.scope;
    const auto reads = [&] { return window.statusPanel()->text(); };
    const double msPerByte = 10.0 * 1000.0 / 19200.0;
    const auto minimumMs = [&] {
        return far.received.size() * 5.0 + replyBytes * msPerByte + 100.0 * curves -
               queries * (5.0 - msPerByte);
    };
    // One full read alone first, the space key's, for comparison.
    far.received.clear();
    replyBytes = queries = curves = 0;
    QElapsedTimer single;
    single.start();
    scope.keyPress(' ');
    std::printf("one full read: %.0f ms, protocol minimum %.0f ms, ratio %.4f\n",
                single.nsecsElapsed() / 1e6, minimumMs(),
                single.nsecsElapsed() / 1e6 / minimumMs());
    far.received.clear();
    replyBytes = queries = curves = 0;
    QElapsedTimer elapsed;
    elapsed.start();
    scope.toggleRun();
    (void)QTest::qWaitFor([&] { return reads() == "Run: 2 reads"; }, 60000);
    const long afterTwo = residentKb();
    (void)QTest::qWaitFor([&] { return reads() == "Run: 20 reads"; }, 400000);
    const double ms = elapsed.nsecsElapsed() / 1e6;
    // Taken as the status panel says so, before the event loop starts the 21st read.
    const std::size_t sent = far.received.size();
    const std::size_t replied = replyBytes, asked = queries, curvesRead = curves;
    const long afterTwenty = residentKb();
    scope.toggleRun();
    (void)QTest::qWaitFor([&] { return !scope.link().busy(); }, 20000);
    QTest::qWait(500);  // the last read's window updates
    const double cpuBefore = cpuSeconds();
    QTest::qWait(2000);
    const double idleCpu = (cpuSeconds() - cpuBefore) / 2;
    const double minimum =
        sent * 5.0 + replied * msPerByte + 100.0 * curvesRead - asked * (5.0 - msPerByte);
    std::printf(
        "20 reads in Run: %.0f ms, protocol minimum %.0f ms (%zu chars sent, %zu reply "
        "bytes, %zu queries, %zu curves), ratio %.4f\n",
        ms, minimum, sent, replied, asked, curvesRead, ms / minimum);
    std::printf("resident memory after read 2: %ld kB, after read 20: %ld kB (%+ld kB)\n", afterTwo,
                afterTwenty, afterTwenty - afterTwo);
    std::printf("CPU once the run has stopped: %.2f %% (over 2 s)\n", idleCpu * 100);
    return 0;
}
