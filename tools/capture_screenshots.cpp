// Takes the README's pictures: the main window in demo mode, after a full read (the space key)
// from the simulated instrument, with File > Port open, with the cursors on a light and a dark
// desktop, with the measurement window beside it, and with an instrument's waveform file
// opened, and the statistics and the trend of a recording of sixty reads. Run under a display of 1600x1000, e.g. xvfb-run -s "-screen 0 1600x1000x24", with the
// folder to write into and, optionally, an instrument waveform file (FnnnnCHx.CSV) to open.
#include <QApplication>
#include <QMenuBar>
#include <QMessageBox>
#include <QPalette>
#include <cstdio>
#include <QScreen>
#include <QTemporaryDir>
#include <QStyleFactory>
#include <QTest>
#include <cmath>
#include <numbers>

#include "link/qt_link_clock.h"
#include "shell/main_window.h"
#include "analysis/measurements.h"
#include "shell/recorder.h"
#include "shell/scope_app.h"
#include "support/fake_port_list.h"
#include "support/fake_serial_device.h"
#include "support/simulated_instrument.h"

using namespace curvalon;
using namespace curvalon::test;

namespace {

void fillWaveforms(SimulatedInstrument& instrument) {
    for (int i = 0; i < SimulatedInstrument::kSamples; ++i) {
        const double t = i / 2500.0;
        instrument.waveforms[0][i] =
            static_cast<std::int8_t>(std::lround(80 * std::sin(2 * std::numbers::pi * 5 * t)));
        instrument.waveforms[1][i] = static_cast<std::int8_t>((i % 500) < 250 ? 40 : -40);
        instrument.waveforms[2][i] = static_cast<std::int8_t>(
            std::lround(60 * std::exp(-3 * t) * std::sin(2 * std::numbers::pi * 12 * t)) - 50);
        instrument.waveforms[3][i] = static_cast<std::int8_t>(((i % 625) * 150) / 625 - 100);
    }
    instrument.channels[0].scale = "1.0E0";
    instrument.channels[1].scale = "2.0E-1";
    instrument.channels[1].position = "1.0E0";
    instrument.channels[2].coupling = "AC";
    instrument.channels[2].position = "-2.0E0";
    instrument.channels[3].probe = "1.0E0";
    instrument.channels[3].bandwidth = "ON";
    instrument.trigLevel = "2.4E0";
    instrument.horScale = "2.5E-4";
    instrument.horPosition = "1.0E-4";
}

QPalette darkened(QPalette palette) {
    for (auto role : {QPalette::Window, QPalette::Button, QPalette::Base})
        palette.setColor(role, QColor(48, 48, 48));
    for (auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
        palette.setColor(role, Qt::white);
    return palette;
}

// The main window and the windows beside it, as the screen shows them.
void saveScreen(const MainWindow& window, const QWidget& beside, const QString& path) {
    QTest::qWait(500);
    const QRect both = window.frameGeometry().united(beside.frameGeometry());
    window.screen()->grabWindow(0, 0, 0, both.right() + 1, both.bottom() + 1).save(path);
}

void save(MainWindow& window, const QString& path) {
    QTest::qWait(300);
    window.grab().save(path);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");

    {
        MainWindow window;
        QtLinkClock clock;
        FakeSerialDevice device{clock};  // nothing answers: demo mode
        ScopeApp scope(
            window, device, clock, [](int) {}, "none");
        window.show();
        scope.load();
        (void)QTest::qWaitFor([&] { return scope.state().startupDone == 1; }, 5000);
        save(window, folder + QStringLiteral("/demo-mode.png"));
    }
    {
        MainWindow window;
        QtLinkClock clock;
        FakeSerialDevice device{clock};
        SimulatedInstrument instrument;
        fillWaveforms(instrument);
        instrument.attach(device);
        ScopeApp scope(
            window, device, clock, [](int) {}, "sim");
        window.show();
        scope.load();
        (void)QTest::qWaitFor([&] { return scope.state().startupDone == 1; }, 5000);
        QTest::keyClick(&window, ' ');
        (void)QTest::qWaitFor([&] { return !scope.link().busy(); }, 20000);
        save(window, folder + QStringLiteral("/live-read.png"));
        // Measure > Measurements and Cursors, the measurement window where it opens.
        scope.cursors().toggle();
        QTest::keyClick(&window, Qt::Key_Right, Qt::ShiftModifier);
        QTest::keyClick(&window, Qt::Key_F2);
        QTest::keyClick(&window, Qt::Key_F2);
        QTest::keyClick(&window, Qt::Key_Up, Qt::ShiftModifier);
        scope.measure().showWindow();
        QTest::qWait(500);
        window.grab().save(folder + QStringLiteral("/cursors.png"));
        saveScreen(window, *scope.measurementWindow(), folder + QStringLiteral("/measure-beside.png"));
        const QPalette light = QApplication::palette();
        QApplication::setPalette(darkened(light));
        scope.menuChosen(Menu::mnuReDraw, 0);
        save(window, folder + QStringLiteral("/cursors-dark.png"));
        QApplication::setPalette(light);
    }
    {
        // Sixty reads of a signal that drifts, two of them failed, recorded a second apart; the
        // live statistics, then the recording opened and its trend.
        MainWindow window;
        QtLinkClock clock;
        FakeSerialDevice device{clock};
        SimulatedInstrument instrument;
        fillWaveforms(instrument);
        instrument.attach(device);
        ScopeApp scope(
            window, device, clock, [](int) {}, "sim");
        window.move(0, 0);
        window.show();
        scope.load();
        (void)QTest::qWaitFor([&] { return scope.state().startupDone == 1; }, 5000);
        // The failed reads' boxes, answered as an operator would.
        QTimer boxCloser;
        QObject::connect(&boxCloser, &QTimer::timeout, [] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
                box->accept();
        });
        boxCloser.start(50);
        QTemporaryDir dir;
        Recorder recorder;
        recorder.start(dir.path());
        const QDateTime start = QDateTime::currentDateTime();
        scope.measure().showWindow();
        scope.measurementWindow()->statisticsBox()->click();
        scope.measurementWindow()->resetButton()->click();
        for (int read = 0; read < 60; ++read) {
            const double cycles = 5 + 0.5 * std::sin(read / 9.0) + 0.02 * ((read * 7) % 5);
            for (int i = 0; i < SimulatedInstrument::kSamples; ++i) {
                const double t = i / 2500.0;
                instrument.waveforms[0][i] = static_cast<std::int8_t>(
                    std::lround(80 * std::sin(2 * std::numbers::pi * cycles * t)));
                instrument.waveforms[1][i] =
                    static_cast<std::int8_t>((i % 500) < 250 + 2 * (read % 20) ? 40 : -40);
            }
            const bool fails = read == 23 || read == 41;
            if (fails) instrument.setFault(Fault::Silence, "CH2?");
            QTest::keyClick(&window, ' ');
            (void)QTest::qWaitFor([&] { return !scope.link().busy(); }, 20000);
            instrument.clearFaults();
            RecordedRead recorded;
            recorded.failure = QString::fromStdString(scope.measure().acquisition()->failure);
            if (recorded.failure.isEmpty()) recorded.data = scope.measure().table(',');
            recorder.record(recorded, start.addSecs(read));
        }
        recorder.stop();
        QTest::qWait(300);
        scope.measurementWindow()->grab().save(folder + QStringLiteral("/measure-statistics.png"));
        scope.openPaths({dir.path()});
        (void)QTest::qWaitFor([&] { return !scope.reviewMeasures().measuring(); }, 20000);
        scope.showTrend();
        scope.trendWindow()->sourceBox(1)->click();
        QTest::qWait(500);
        scope.trendWindow()->grab().save(folder + QStringLiteral("/trend.png"));
    }
    if (argc > 2) {
        // A waveform file the instrument wrote, opened for review; its measurements printed.
        MainWindow window;
        QtLinkClock clock;
        FakeSerialDevice device{clock};
        ScopeApp scope(
            window, device, clock, [](int) {}, "none");
        window.move(0, 0);
        window.show();
        scope.load();
        (void)QTest::qWaitFor([&] { return scope.state().startupDone == 1; }, 5000);
        scope.openPaths({QString::fromLocal8Bit(argv[2])});
        scope.measure().showWindow();
        saveScreen(window, *scope.measurementWindow(), folder + QStringLiteral("/instrument-file.png"));
        const Snapshot read = scope.measure().acquisition();
        const auto [low, high] = std::minmax_element(read->samples[0].begin(), read->samples[0].end());
        std::printf("counts %d to %d\n", *low, *high);
        const SourceReadings r = measureSource(*read, 0);
        for (Measure m : {Measure::PeakToPeak, Measure::Max, Measure::Min, Measure::Period,
                          Measure::Frequency, Measure::Mean})
            std::printf("%s: %s\n", measureName(m), readingText(r[m], m, r.units).c_str());
    }
    {
        // File > Port opened over the window, with two adapters plugged in; a menu is a window
        // of its own, so the screen is taken.
        MainWindow window;
        QtLinkClock clock;
        FakeSerialDevice device{clock};
        FakePortList ports;
        ports.listed = {
            {.name = "ttyS0", .location = "/dev/ttyS0"},
            {"ttyUSB0", "/dev/ttyUSB0", "FT232R USB UART", "FTDI", "A50285BI"},
            {"ttyACM0", "/dev/ttyACM0", "USB Serial", "Prolific", "", false},
        };
        ScopeApp scope(
            window, device, clock, [](int) {}, "/dev/ttyUSB0", &ports);
        window.move(0, 0);
        window.show();
        scope.load();
        (void)QTest::qWaitFor([&] { return scope.state().startupDone == 1; }, 5000);
        QAction* file = window.menuBar()->actions().first();
        window.menuBar()->setActiveAction(file);
        QTest::qWait(200);
        file->menu()->setActiveAction(window.portMenu()->menuAction());
        QTest::qWait(500);
        window.screen()
            ->grabWindow(0, 0, 0, window.frameGeometry().width() + 200, 260)
            .save(folder + QStringLiteral("/port-menu.png"));
    }
    return 0;
}
