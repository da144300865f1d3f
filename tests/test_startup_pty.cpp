// Start-up of the whole tool in its real main window over the real port implementation: the
// tool opens one side of a pseudo-terminal pair, the simulated instrument answers on the other.
#include <QtTest>

#include "link/qt_serial_device.h"
#include "shell/main_window.h"
#include "shell/scope_app.h"
#include "support/pty_instrument.h"
#include "support/simulated_instrument.h"

using namespace curvalon;
using namespace curvalon::test;

class StartupPtyTest : public QObject {
    Q_OBJECT
  private slots:
    void startUp_data() {
        QTest::addColumn<bool>("answers");
        QTest::addColumn<bool>("lineFeed");
        QTest::addColumn<int>("scopePresent");
        QTest::addColumn<int>("atLeastMs");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("silent instrument") << false << false << 0 << 2000 << QStringList{};
        QTest::newRow("answering instrument")
            << true << false << 1 << 0 << QStringList{"DAT:ENC RIB", "SEL?"};
        QTest::newRow("wake-up answer ended by a line feed")
            << true << true << 1 << 2000 << QStringList{"DAT:ENC RIB", "SEL?"};
    }
    void startUp() {
        QFETCH(bool, answers);
        QFETCH(bool, lineFeed);
        QFETCH(int, scopePresent);
        QFETCH(int, atLeastMs);
        QFETCH(QStringList, lines);

        PtyInstrument pty;
        QVERIFY(pty.ok());
        SimulatedInstrument instrument;
        instrument.channels[2].displayed = false;
        if (lineFeed) instrument.setFault(Fault::LineFeedTerminator, SimulatedInstrument::kBreak);
        pty.answerWith(instrument, answers ? 40 : -1);
        MainWindow window;
        QtSerialDevice device;
        ScopeApp app(
            window, device, [](int) {}, pty.slavePath);
        // The master can only be read once the tool has opened its side.
        QTimer listen;
        QObject::connect(&listen, &QTimer::timeout, [&] {
            if (!app.link().portOpen()) return;
            listen.stop();
            pty.listen();
        });
        listen.start(2);
        QElapsedTimer clock;
        clock.start();
        app.load();
        QVERIFY(QTest::qWaitFor([&] { return app.state().startupDone == 1; }, 6000));
        QVERIFY(clock.elapsed() >= 100 + atLeastMs);
        QVERIFY(QTest::qWaitFor([&] { return !app.link().busy(); }, 3000));

        QCOMPARE(app.state().scopePresent, scopePresent);
        QStringList received;
        for (const auto& line : instrument.received)
            received << QString::fromStdString(line);
        QCOMPARE(received, lines);
        const QString status = window.statusPanel()->text();
        if (scopePresent == 1) {
            QCOMPARE(app.state().chEnable[0], 1);
            QCOMPARE(app.state().chEnable[2], 0);
            // The encoding message goes 3 s after it was written.
            QVERIFY(QTest::qWaitFor([&] { return window.statusPanel()->text().isEmpty(); }, 4000));
        } else {
            QCOMPARE(status, QStringLiteral(" Mode : Demo Mode  ( Can't found TDS2024 ! )"));
            for (int ch = 0; ch < 4; ++ch)
                QCOMPARE(app.state().chEnable[ch], 1);
        }
    }
};

QTEST_MAIN(StartupPtyTest)
#include "test_startup_pty.moc"
