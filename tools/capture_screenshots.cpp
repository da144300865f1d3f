// Takes the README's pictures: the main window in demo mode, and after a full read (the space
// key) from the simulated instrument. Run under a display, e.g. xvfb-run, with the folder to
// write into as the only argument.
#include <QApplication>
#include <QStyleFactory>
#include <QTest>
#include <cmath>
#include <numbers>

#include "link/qt_link_clock.h"
#include "shell/main_window.h"
#include "shell/scope_app.h"
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
    }
    return 0;
}
