// The real port implementation over a pseudo-terminal pair: the test holds the master side and
// plays the instrument, the tool opens the slave as its port. First the link alone, then the
// start-up of the whole tool in its real main window with the simulated instrument answering.
#include <QTemporaryDir>
#include <QtTest>

#include "link/qt_link_clock.h"
#include "link/qt_serial_device.h"
#include "link/serial_link.h"
#include "shell/main_window.h"
#include "shell/scope_app.h"
#include "support/fake_window_ops.h"
#include "support/pty_instrument.h"
#include "support/qtest_strings.h"
#include "support/simulated_instrument.h"

using namespace curvalon;
using namespace curvalon::test;

namespace {

struct Rig {
    ScopeState s;
    FakeWindowOps w;
    PtyInstrument instrument;
    QtSerialDevice device;
    QtLinkClock clock;
    SerialLink link{s, w, device, clock};

    bool open() {
        if (!instrument.ok()) return false;
        link.openPort(instrument.slavePath);
        instrument.listen();
        return link.portOpen();
    }
    void exchange(const std::string& command, int timerMs) {
        link.armReplyTimer(timerMs);
        link.sendCommand(command);
        link.waitReply();
    }
};

}  // namespace

class PtyTest : public QObject {
    Q_OBJECT

  private slots:
    void roundTrips() {
        Rig r;
        QVERIFY(r.open());
        // A pseudo-terminal has no modem lines; the link takes that quietly.
        QVERIFY(!r.device.setDtr(true));
        QVERIFY(!r.device.setRts(true));
        QVERIFY(r.w.statusTexts.empty());
        QCOMPARE(r.w.beeps, 0);

        std::string curve = ":CURVE #42500";
        for (int i = 0; i < 2500; ++i)
            curve.push_back(static_cast<char>((i * 7) % 256));
        curve += "\n";
        r.instrument.onLine = [&](const std::string& line) {
            r.instrument.send(line == "HOR?" ? std::string("1.0E-3;0.0E0\r") : curve);
        };
        r.exchange("HOR?", 2000);
        QCOMPARE(r.instrument.received, std::string("HOR?\r"));
        // Only a lower bound: four 5 ms pauses lie between the first and the last byte.
        const qint64 span = r.instrument.arrivalNs.back() - r.instrument.arrivalNs.front();
        QVERIFY2(span >= 17'000'000, qPrintable(QString::number(span)));
        QCOMPARE(r.s.rxStatus, 0);
        QCOMPARE(r.s.rxText, std::string("1.0E-3;0.0E0\r"));

        r.exchange("CURV?", 5000);
        QCOMPARE(r.s.rxStatus, 0);
        QCOMPARE(r.s.rxCount, 2514);
        QCOMPARE(std::string(reinterpret_cast<const char*>(r.s.rxBytes.data()), 2514), curve);
    }

    void farEndVanishesMidReply() {
        Rig r;
        QVERIFY(r.open());
        r.instrument.onLine = [&r](const std::string& line) {
            if (line != "CURV?") return;
            r.instrument.send(std::string(1000, 'x'));
            QTimer::singleShot(30, [&r] { r.instrument.hangUp(); });
        };
        r.exchange("CURV?", 5000);
        QCOMPARE(r.s.rxStatus, 3);
        QCOMPARE(r.s.rxCount, 1000);
        QCOMPARE(r.w.status(), std::string("COM1: Unknown error !"));
        QVERIFY(!r.link.portOpen());

        // Reported once, and the link goes on without its port.
        QTest::qWait(100);
        QCOMPARE(r.w.statusTexts.size(), std::size_t(1));
        QCOMPARE(r.w.beeps, 1);
        r.link.sendCommand("HOR?");
        QCOMPARE(r.s.rxDone, 0);
    }

    void openFailures() {
        PtyInstrument instrument;
        QVERIFY(instrument.ok());
        QTemporaryDir dir;
        QtSerialDevice first, second;
        const std::string port = instrument.slavePath, settings = SerialLink::kLineSettings;
        QCOMPARE(second.open(dir.path().toStdString() + "/absent", settings), OpenResult::NotFound);
        QCOMPARE(second.open(port, "19200,N,9,1"), OpenResult::BadSettings);
        QCOMPARE(first.open(port, settings), OpenResult::Ok);
        QCOMPARE(second.open(port, settings), OpenResult::Busy);  // held by another
        QVERIFY(!second.isOpen());
    }

    // Settings text to baud, parity, data bits and stop bits; an empty list when refused.
    void lineSettings_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QList<int>>("fields");
        using Q = QSerialPort;
        using B = QByteArray;
        using L = QList<int>;
        // clang-format off
        QTest::newRow("the link's") << B("19200,N,8,1") << L{19200, Q::NoParity, 8, Q::OneStop};
        QTest::newRow("others") << B("9600, e ,7,2") << L{9600, Q::EvenParity, 7, Q::TwoStop};
        QTest::newRow("odd, 1.5") << B("300,O,5,1.5") << L{300, Q::OddParity, 5, Q::OneAndHalfStop};
        // clang-format on
        for (const char* bad : {"19200,X,8,1", "19200,N,9,1", "19200,N,8,3", "19k2,N,8,1",
                                "0,N,8,1", "19200,N,8", "19200,N,8,1,1", ""})
            QTest::newRow(*bad ? bad : "empty") << B(bad) << L{};
    }
    void lineSettings() {
        QFETCH(QByteArray, text);
        QFETCH(QList<int>, fields);
        LineSettings s;
        QCOMPARE(parseLineSettings(text.toStdString(), s), !fields.empty());
        if (!fields.empty())
            QCOMPARE((QList<int>{int(s.baudRate), s.parity, s.dataBits, s.stopBits}), fields);
    }

    // A silent instrument leaves the tool in demo mode after the 2 s wait for the wake-up
    // answer; an answer ended by a line feed is only looked at once that wait is over.
    void startUp_data() {
        QTest::addColumn<bool>("answers");
        QTest::addColumn<bool>("lineFeed");
        QTest::newRow("silent instrument") << false << false;
        QTest::newRow("answering instrument") << true << false;
        QTest::newRow("wake-up answer ended by a line feed") << true << true;
    }
    void startUp() {
        QFETCH(bool, answers);
        QFETCH(bool, lineFeed);
        PtyInstrument pty;
        QVERIFY(pty.ok());
        SimulatedInstrument instrument;
        instrument.channels[2].displayed = false;
        if (lineFeed) instrument.setFault(Fault::LineFeedTerminator, SimulatedInstrument::kBreak);
        pty.answerWith(instrument, answers ? 40 : -1);
        MainWindow window;
        QtSerialDevice device;
        QtLinkClock linkClock;
        ScopeApp app(
            window, device, linkClock, [](int) {}, pty.slavePath);
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
        QVERIFY(clock.elapsed() >= (answers && !lineFeed ? 100 : 2100));
        QVERIFY(QTest::qWaitFor([&] { return !app.link().busy(); }, 3000));

        QCOMPARE(window.windowTitle(), QStringLiteral("Curvalon (v1.0a)"));
        QCOMPARE(app.state().scopePresent, answers ? 1 : 0);
        using Lines = std::vector<std::string>;
        QCOMPARE(instrument.received, (answers ? Lines{"DAT:ENC RIB", "SEL?"} : Lines{}));
        if (answers) {
            QCOMPARE(app.state().chEnable[0], 1);
            QCOMPARE(app.state().chEnable[2], 0);
            // The encoding message goes 3 s after it was written.
            clock.restart();
            QVERIFY(QTest::qWaitFor([&] { return window.statusPanel()->text().isEmpty(); }, 4000));
            QVERIFY(clock.elapsed() >= 2500);
            return;
        }
        QCOMPARE(window.statusPanel()->text(),
                 QStringLiteral(" Mode : Demo Mode  ( Can't found TDS2024 ! )"));
        // All four channels on, their demo traces on screen in their colours.
        const QImage img = window.surface().image().convertToFormat(QImage::Format_RGB32);
        const auto* pixels = reinterpret_cast<const QRgb*>(img.constBits());
        for (int ch = 0; ch < 4; ++ch) {
            QCOMPARE(app.state().chEnable[ch], 1);
            const Rgb c = app.state().traceColor[ch];
            const auto n = std::count(pixels, pixels + img.width() * img.height(),
                                      qRgb(redOf(c), greenOf(c), blueOf(c)));
            QVERIFY2(n > 200, qPrintable(QString::number(ch)));
        }
        // The picture survives the window being covered.
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QImage before = window.centralWidget()->grab().toImage();
        window.hide();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.centralWidget()->grab().toImage(), before);
    }
};

QTEST_MAIN(PtyTest)
#include "test_pty.moc"
