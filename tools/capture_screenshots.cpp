// Takes the README's pictures: the main window in demo mode, after a full read (the space key)
// from the simulated instrument, with File > Port open, and with the cursors and the
// measurement window. Run under a display, e.g. xvfb-run, with the folder to
// write into as the only argument.
#include <QApplication>
#include <QMenuBar>
#include <QScreen>
#include <QStyleFactory>
#include <QTest>
#include <cmath>
#include <numbers>

#include "link/qt_link_clock.h"
#include "shell/main_window.h"
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
        // Measure > Measurements and Cursors, the measurement window beside the main one.
        scope.cursors().toggle();
        scope.measure().showWindow();
        scope.measurementWindow()->move(window.frameGeometry().right() + 10, 0);
        QTest::qWait(500);
        window.grab().save(folder + QStringLiteral("/cursors.png"));
        scope.measurementWindow()->grab().save(folder + QStringLiteral("/measurements.png"));
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
