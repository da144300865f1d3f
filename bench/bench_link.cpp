// What waiting costs and how even the pacing is: the CPU that a reply wait burns while nothing
// arrives, and the gaps between the characters of each command line as they arrive at the far
// end of a pseudo-terminal, for one long command and for a full read in the real window.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <cstdint>
#include <ctime>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include "link/qt_link_clock.h"
#include "link/qt_serial_device.h"
#include "link/serial_link.h"
#include "shell/main_window.h"
#include "shell/scope_app.h"
#include "support/fake_serial_device.h"
#include "support/fake_window_ops.h"
#include "support/simulated_instrument.h"

using namespace curvalon;

namespace {

double processCpuSeconds() {
    timespec ts{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

struct Rig {
    ScopeState s;
    test::FakeWindowOps w;
    QtLinkClock clock;
    test::FakeSerialDevice dev{clock};
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

// Gaps between the characters of each command line as a reader on the far end of a
// pseudo-terminal sees them, byte by byte: what the instrument gets.
struct Gaps {
    double minMs = 0, medianMs = 0, maxMs = 0, count = 0;
};

Gaps gapsWithinLines(const std::string& bytes, const std::vector<qint64>& arrivalNs) {
    std::vector<double> gaps;
    for (std::size_t i = 1; i < bytes.size(); ++i) {
        if (bytes[i - 1] == '\r') continue;  // a new line starts: its wait is not a pacing gap
        gaps.push_back(double(arrivalNs[i] - arrivalNs[i - 1]) * 1e-6);
    }
    if (gaps.empty()) return {};
    std::sort(gaps.begin(), gaps.end());
    return {gaps.front(), gaps[gaps.size() / 2], gaps.back(), double(gaps.size())};
}

void report(benchmark::State& state, const Gaps& g) {
    state.counters["gap_min_ms"] = g.minMs;
    state.counters["gap_median_ms"] = g.medianMs;
    state.counters["gap_max_ms"] = g.maxMs;
    state.counters["gaps"] = g.count;
}

// The instrument's end of a pseudo-terminal on a thread of its own, so that a byte is stamped
// when it arrives and not when the tool's busy thread would get round to it. It answers every
// line as the simulated instrument does, and the wake-up once the tool has opened its side.
class ThreadedFarEnd {
  public:
    ThreadedFarEnd() {
        fd_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (fd_ >= 0 && ::grantpt(fd_) == 0 && ::unlockpt(fd_) == 0) slavePath = ::ptsname(fd_);
        clock_.start();
    }
    ~ThreadedFarEnd() {
        stop_ = true;
        if (reader_.joinable()) reader_.join();
        if (fd_ >= 0) ::close(fd_);
    }
    void start() {
        reader_ = std::thread([this] { run(); });
    }
    // Bytes and arrival times since the last call.
    std::pair<std::string, std::vector<qint64>> take() {
        std::lock_guard lock(mutex_);
        return {std::exchange(received_, {}), std::exchange(arrivalNs_, {})};
    }
    std::string slavePath;

  private:
    void run() {
        send(instrument_.onBreak());
        std::string line;
        while (!stop_) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0) continue;
            char c = 0;
            if (::read(fd_, &c, 1) != 1) continue;
            {
                std::lock_guard lock(mutex_);
                received_.push_back(c);
                arrivalNs_.push_back(clock_.nsecsElapsed());
            }
            if (c != '\r') {
                line.push_back(c);
                continue;
            }
            send(instrument_.answer(std::exchange(line, {})));
        }
    }
    void send(const std::string& bytes) {
        for (std::size_t done = 0; done < bytes.size();) {
            const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
            if (n <= 0) return;
            done += static_cast<std::size_t>(n);
        }
    }

    int fd_ = -1;
    test::SimulatedInstrument instrument_;
    QElapsedTimer clock_;
    std::thread reader_;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::string received_;
    std::vector<qint64> arrivalNs_;
};

// One 20-character command and its carriage return: 20 gaps, each meant to be 5 ms.
static void BM_PacedCommandOnTheWire(benchmark::State& state) {
    ThreadedFarEnd far;
    ScopeState s;
    test::FakeWindowOps w;
    QtSerialDevice device;
    QtLinkClock clock;
    SerialLink link{s, w, device, clock};
    link.openPort(far.slavePath);
    far.start();
    for (auto _ : state) {
        QTest::qWait(50);  // the wake-up answer has come and gone
        link.sendCommand("HORIZONTAL:MAIN:SCAL");
        QTest::qWait(20);  // the last bytes reach the reader
        auto [bytes, times] = far.take();
        report(state, gapsWithinLines(bytes, times));
    }
}
BENCHMARK(BM_PacedCommandOnTheWire)->Iterations(1)->Repetitions(5)->Unit(benchmark::kMillisecond);

// Every command line of a full read of four channels (the space key) in the real main window,
// whose echo boxes and picture repaint while the characters are paced.
static void BM_FullReadOnTheWire(benchmark::State& state) {
    ThreadedFarEnd far;
    MainWindow window;
    QtSerialDevice device;
    QtLinkClock clock;
    ScopeApp app(
        window, device, clock, [](int) {}, far.slavePath);
    // A failed exchange's message box would wait for a click for ever; count it and go on.
    int boxes = 0;
    bool started = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &poll, [&] {
        if (QWidget* box = QApplication::activeModalWidget()) {
            ++boxes;
            box->close();
        }
        // The master side can only be read once the tool has opened its side.
        if (!started && app.link().portOpen()) {
            started = true;
            far.start();
        }
    });
    poll.start(2);
    window.show();
    app.load();
    (void)QTest::qWaitFor([&] { return app.state().startupDone == 1 && !app.link().busy(); }, 5000);
    for (auto _ : state) {
        (void)far.take();
        QTest::keyClick(&window, Qt::Key_Space);
        (void)QTest::qWaitFor([&] { return !app.link().busy(); }, 20000);
        QTest::qWait(20);
        auto [bytes, times] = far.take();
        report(state, gapsWithinLines(bytes, times));
    }
    state.counters["present"] = app.state().scopePresent;
    state.counters["error_boxes"] = boxes;
}
BENCHMARK(BM_FullReadOnTheWire)->Iterations(1)->Repetitions(3)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
