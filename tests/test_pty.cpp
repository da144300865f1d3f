// The real port driver over a pseudo-terminal pair, in real time: the test holds the master side
// and plays the instrument, the tool opens the slave as its port.
#include <QTemporaryDir>
#include <QtTest>

#include "link/qt_link_clock.h"
#include "link/qt_port_list.h"
#include "link/qt_serial_device.h"
#include "shell/scope_app.h"
#include "support/case_table.h"
#include "support/fake_window_ops.h"
#include "support/pty_instrument.h"
#include "support/qtest_strings.h"
#include "support/simulated_instrument.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

using namespace curvalon;
using namespace curvalon::test;

namespace {

// A real port's driver, played on a pseudo-terminal: the modem lines and error counters are what
// the test sets, each empty while the driver refuses it.
class PlayedDriverPort : public QtSerialDevice {
  public:
    std::optional<int> lines = 0;
    std::optional<std::array<int, 5>> counts = std::array<int, 5>{};
    bool gone = false;
    int driven = 0;  // the DTR and RTS lines set on

  protected:
    bool driveLine(QSerialPort::PinoutSignal line, bool on) override {
        return driven |= on ? line : 0, true;
    }
    std::optional<int> modemLines() override { return lines; }
    std::optional<std::array<int, 5>> errorCounters() override { return counts; }
    bool deviceGone() const override { return gone; }
};

// The link as the tool has it, on a real port driver and real time.
template <class Device = QtSerialDevice>
struct RealLink {
    ScopeState s;
    FakeWindowOps w;
    Device device;
    QtLinkClock clock;
    SerialLink link{s, w, device, clock};
};

}  // namespace

class PtyTest : public QObject {
    Q_OBJECT

  private slots:
    // A round trip with the simulated instrument at the far end, on the wire in real time, at the
    // instrument's pace: the curve takes its 1.3 s.
    void roundTrip() {
        PtyInstrument far;
        RealLink<> r;
        auto& [s, w, device, clock, link] = r;
        link.openPort(far.slavePath);
        QVERIFY(link.portOpen());
        QVERIFY(w.statusTexts.empty());  // no modem lines on a pseudo-terminal: not an error
        SimulatedInstrument instrument;
        // Each reply starts after the command's last pause, so the tool's wait on the real clock
        // has begun and only the reply's end can finish it.
        far.onLine = [&](const std::string& line) { far.answerLater(instrument.answer(line)); };
        QCOMPARE(link.exchange("HOR?", 2000), 0);
        QCOMPARE(far.received, std::string("HOR?\r"));
        QCOMPARE(s.rxText, instrument.answer("HOR?"));
        // Every byte value, a carriage return among them.
        QCOMPARE(link.exchange("CURV?", 5000), 0);
        QCOMPARE(std::string(reinterpret_cast<const char*>(s.rxBytes.data()), s.rxCount),
                 instrument.answer("CURV?"));
        // The far end lost: reported at once, the port named as chosen, not as the first port.
        far.onLine = [&](const std::string&) { far.hangUp(); };
        QCOMPARE(link.exchange("HOR?", 2000), 3);
        QVERIFY(!link.portOpen());
        QCOMPARE(w.statusTexts, std::vector{far.slavePath.substr(5) + ": Unknown error !"});
    }

    void opening() {
        PtyInstrument far;
        QTemporaryDir dir;
        QtSerialDevice first, second;
        const std::string settings = SerialLink::kLineSettings;
        QCOMPARE(second.open(dir.path().toStdString() + "/absent", settings), OpenResult::NotFound);
        QVERIFY(mayReadAndWrite(far.slavePath) &&
                !mayReadAndWrite(dir.path().toStdString() + "/absent"));
        QCOMPARE(second.open(far.slavePath, "19200,N,9,1"), OpenResult::BadSettings);
        // Speed and stop bits reach the port; a pseudo-terminal keeps 8 bits without parity.
        QCOMPARE(first.open(far.slavePath, "9600, e ,7,2"), OpenResult::Ok);
        const int fd = ::open(far.slavePath.c_str(), O_RDWR | O_NOCTTY);
        termios t{};
        QCOMPARE(::tcgetattr(fd, &t), 0);
        ::close(fd);
        QVERIFY(::cfgetospeed(&t) == B9600 && (t.c_cflag & CSTOPB));
        // A byte left in the port's own buffer would leave only when the pacing pause runs the
        // event loop, after whatever else that pass does: the pause would start before the byte
        // is sent.
        first.write("D");
        far.read();
        QCOMPARE(far.received, std::string("D"));
        QCOMPARE(second.open(far.slavePath, settings), OpenResult::Busy);  // held by another
    }

    // A port chosen by its path, here a link in a temporary folder, reaches live mode. When it
    // goes away it is watched for, and once the link points at a new pseudo-terminal it is opened
    // and the instrument woken without a key, within 2 s; lost again, it is watched for again. No
    // watch runs while the port is there.
    void portChosenLostAndBack() {
        QTemporaryDir dir;
        const QString link = dir.filePath("adapter");
        QtPortList ports;
        PtyInstrument first, second, third;
        SimulatedInstrument instrument;
        for (PtyInstrument* far : {&first, &second, &third}) {
            far->answerBreaks(instrument.onBreak());
            far->onLine = [far, &instrument](const std::string& line) {
                far->answerLater(instrument.answer(line));
            };
        }
        MainWindow window;
        QtSerialDevice device;
        QtLinkClock clock;
        ScopeApp app(
            window, device, clock, [](int) {}, first.slavePath);
        const auto woken = [&app](PtyInstrument& far) {
            return QTest::qWaitFor(
                [&] { return far.received.ends_with("SEL?\r") && !app.link().busy(); }, 2000);
        };
        app.load();
        QVERIFY(woken(first));
        QVERIFY(QFile::link(QString::fromStdString(second.slavePath), link));
        app.port().choose(ports.locate(link.toStdString()));
        QVERIFY(woken(second));
        QCOMPARE(second.received, std::string("DAT:ENC RIB\rSEL?\r"));
        QVERIFY(!app.port().watching());
        second.hangUp();
        QVERIFY(QTest::qWaitFor([&] { return app.port().watching(); }, 1000));
        QFile::remove(link);
        QVERIFY(QFile::link(QString::fromStdString(third.slavePath), link));
        QVERIFY(woken(third));
        QVERIFY(!app.port().watching());
        QCOMPARE(window.statusPanel()->text(), QString("adapter: Port back, TDS2024 ready"));
        third.hangUp();  // and lost again
        QVERIFY(QTest::qWaitFor([&] { return app.port().watching(); }, 1000));
    }

    // On the real clock, a wait begun inside another ends on its own news and leaves the outer
    // one waiting for its own: the outer ends when its condition is met, not before, not never.
    void nestedWaits() {
        QtLinkClock clock;
        bool inner = false, outer = false, gaveUp = false;
        std::vector<std::string> ended;
        QTimer::singleShot(5, [&] {
            QTimer::singleShot(10, [&] { inner = true, clock.wake(); });
            QTimer::singleShot(40, [&] { outer = true, clock.wake(); });
            clock.waitUntil([&] { return inner; });
            ended.push_back("inner");
        });
        // Only where the outer wait would never end: every loop is told to give way.
        QTimer failsafe;
        failsafe.setSingleShot(true);
        QObject::connect(&failsafe, &QTimer::timeout,
                         [&] { gaveUp = true, QCoreApplication::exit(-1); });
        failsafe.start(3000);
        clock.waitUntil([&] { return outer; });
        ended.push_back("outer");
        QVERIFY(!gaveUp);
        QCOMPARE(ended, (std::vector<std::string>{"inner", "outer"}));
    }

    // On the real clock and port, a key and a menu item given while a run's read waits for a
    // reply act at once; Run chosen again there ends the run once that read is whole.
    void commandsInsideARunsWait() {
        PtyInstrument far;
        SimulatedInstrument instrument;
        for (int ch = 1; ch < 4; ++ch)
            instrument.channels[static_cast<std::size_t>(ch)].displayed = false;  // short reads
        far.answerBreaks(instrument.onBreak());
        far.onLine = [&](const std::string& line) { far.answerLater(instrument.answer(line)); };
        MainWindow window;
        QtSerialDevice device;
        QtLinkClock clock;
        ScopeApp app(
            window, device, clock, [](int) {}, far.slavePath);
        app.load();
        QVERIFY(QTest::qWaitFor(
            [&] { return far.received.ends_with("SEL?\r") && !app.link().busy(); }, 2000));
        const auto item = [&window](const QString& caption) {
            for (QAction* a : window.findChildren<QAction*>())
                if (a->text() == caption) return a;
            return static_cast<QAction*>(nullptr);
        };
        bool inWait = false;
        int zoomH = -1, zoomV = -1;
        far.onLine = [&](const std::string& line) {
            far.answerLater(instrument.answer(line));
            if (line != "HOR?") return;
            // Its reply starts 30 ms later: meanwhile the tool waits for it.
            QTimer::singleShot(10, &window, [&] {
                inWait = app.link().busy() && app.run().reading();
                QTest::keyClick(&window, 'H');
                zoomH = app.state().magHIdx;
                item("V  x4")->trigger();
                zoomV = app.state().magVIdx;
                item("Run")->trigger();
            });
        };
        item("Run")->trigger();
        QVERIFY(QTest::qWaitFor(
            [&] { return zoomV >= 0 && !app.run().running() && !app.link().busy(); }, 5000));
        QVERIFY(inWait);
        QCOMPARE(zoomH, 2);
        QCOMPARE(zoomV, 3);
        QCOMPARE(app.run().reads(), 1);
        QVERIFY(far.received.ends_with("CURV?\r") && !item("Run")->isChecked());
        QCOMPARE(window.statusPanel()->text(), QString("Run: 1 reads"));
    }

    void driverEvents_data() { addCaseRows("pty-driver-events", {"refused", "change", "code"}); }
    void driverEvents() {
        auto [refused, change, code] = caseFields("refused", "change", "code");
        PtyInstrument far;
        RealLink<PlayedDriverPort> r;
        if (refused == "lines") r.device.lines.reset();
        if (refused == "counters") r.device.counts.reset();
        r.link.openPort(far.slavePath);
        // Some instruments and adapters send nothing without DTR and RTS.
        QCOMPARE(r.device.driven,
                 QSerialPort::DataTerminalReadySignal | QSerialPort::RequestToSendSignal);
        std::vector<int> codes;
        r.device.setCommHandler([&](std::int32_t c) { codes.push_back(c); });
        QTest::qWait(3 * QtSerialDevice::kPollIntervalMs);  // polls that see no change
        if (change == "CTS") *r.device.lines ^= QSerialPort::ClearToSendSignal;
        if (change == "RI") *r.device.lines |= QSerialPort::RingIndicatorSignal;
        if (change == "frame") ++(*r.device.counts)[0];
        if (change == "overflow") (*r.device.counts)[4] += 2;
        if (change == "gone") r.device.lines.reset(), r.device.gone = true;
        QVERIFY(QTest::qWaitFor([&] { return !codes.empty(); }, 5000));
        QTest::qWait(3 * QtSerialDevice::kPollIntervalMs);  // and nothing after it
        QCOMPARE(codes, std::vector<int>{code.toInt()});
    }
};

QTEST_MAIN(PtyTest)
#include "test_pty.moc"
