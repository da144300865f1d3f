// The real port implementation and the link together over a pseudo-terminal pair. The test holds
// the master side and plays the instrument; the link opens the slave as its port.
#include <QElapsedTimer>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <utility>

#include "link/qt_serial_device.h"
#include "link/serial_link.h"
#include "support/fake_window_ops.h"
#include "support/pty_instrument.h"
#include "support/qtest_strings.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>

using namespace curvalon;
using curvalon::test::FakeWindowOps;
using curvalon::test::PtyInstrument;

Q_DECLARE_METATYPE(curvalon::OpenResult)

namespace {

struct Rig {
    ScopeState s;
    FakeWindowOps w;
    PtyInstrument instrument;
    QtSerialDevice device;
    SerialLink link{s, w, device};

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

std::string curveReply() {
    std::string data;
    for (int i = 0; i < 2500; ++i)
        data.push_back(static_cast<char>((i * 7) % 256));
    return ":CURVE #42500" + data + "\n";
}

}  // namespace

class SerialPortPtyTest : public QObject {
    Q_OBJECT

  private slots:
    void wireBytesAndPacing() {
        Rig r;
        QVERIFY(r.open());
        // A pseudo-terminal has no modem lines; the link takes that quietly.
        QVERIFY(!r.device.setDtr(true));
        QVERIFY(!r.device.setRts(true));
        QVERIFY(r.w.statusTexts.empty());
        QCOMPARE(r.w.beeps, 0);

        r.link.sendCommand("HOR?");
        QTRY_COMPARE(r.instrument.received, std::string("HOR?\r"));
        // Only a lower bound: four 5 ms pauses lie between the first and the last byte.
        const qint64 span = r.instrument.arrivalNs.back() - r.instrument.arrivalNs.front();
        QVERIFY2(span >= 17'000'000, qPrintable(QString::number(span)));
    }

    void replyRoundTrip() {
        Rig r;
        QVERIFY(r.open());
        r.instrument.onLine = [&r](const std::string& line) {
            if (line == "HOR?") r.instrument.send("1.0E-3;0.0E0\r");
        };
        r.exchange("HOR?", 2000);
        QCOMPARE(r.s.rxStatus, 0);
        QCOMPARE(r.s.rxText, std::string("1.0E-3;0.0E0\r"));
    }

    void curveTransfer() {
        Rig r;
        QVERIFY(r.open());
        const std::string reply = curveReply();
        QCOMPARE(reply.size(), std::size_t(2514));
        r.instrument.onLine = [&](const std::string& line) {
            if (line == "CURV?") r.instrument.send(reply);
        };
        r.exchange("CURV?", 5000);
        QCOMPARE(r.s.rxStatus, 0);
        QCOMPARE(r.s.rxCount, 2514);
        QCOMPARE(std::string(reinterpret_cast<const char*>(r.s.rxBytes.data()), 2514), reply);
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

    void openFailures_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<OpenResult>("result");
        QTest::newRow("absent") << 0 << OpenResult::NotFound;
        QTest::newRow("held by another") << 1 << OpenResult::Busy;
        QTest::newRow("bad settings") << 2 << OpenResult::BadSettings;
    }
    void openFailures() {
        QFETCH(int, kind);
        QFETCH(OpenResult, result);
        PtyInstrument instrument;
        QVERIFY(instrument.ok());
        QTemporaryDir dir;
        QtSerialDevice first;
        QtSerialDevice second;
        std::string port = instrument.slavePath;
        std::string settings = SerialLink::kLineSettings;
        if (kind == 0) port = dir.path().toStdString() + "/absent";
        if (kind == 1) QCOMPARE(first.open(port, settings), OpenResult::Ok);
        if (kind == 2) settings = "19200,N,9,1";
        QCOMPARE(second.open(port, settings), result);
        QVERIFY(!second.isOpen());
    }

    void lineSettings_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("baud");
        QTest::addColumn<int>("parity");
        QTest::addColumn<int>("dataBits");
        QTest::addColumn<int>("stopBits");
        QTest::newRow("the link's") << QByteArray("19200,N,8,1") << true << 19200
                                    << int(QSerialPort::NoParity) << 8 << int(QSerialPort::OneStop);
        QTest::newRow("others") << QByteArray("9600, e ,7,2") << true << 9600
                                << int(QSerialPort::EvenParity) << 7 << int(QSerialPort::TwoStop);
        QTest::newRow("odd, 1.5") << QByteArray("300,O,5,1.5") << true << 300
                                  << int(QSerialPort::OddParity) << 5
                                  << int(QSerialPort::OneAndHalfStop);
        for (const char* bad : {"19200,X,8,1", "19200,N,9,1", "19200,N,8,3", "19k2,N,8,1",
                                "0,N,8,1", "19200,N,8", "19200,N,8,1,1", ""})
            QTest::newRow(*bad ? bad : "empty") << QByteArray(bad) << false << 0 << 0 << 0 << 0;
    }
    void lineSettings() {
        QFETCH(QByteArray, text);
        QFETCH(bool, ok);
        LineSettings s;
        QCOMPARE(parseLineSettings(text.toStdString(), s), ok);
        if (!ok) return;
        QTEST(int(s.baudRate), "baud");
        QTEST(int(s.parity), "parity");
        QTEST(int(s.dataBits), "dataBits");
        QTEST(int(s.stopBits), "stopBits");
    }
};

QTEST_GUILESS_MAIN(SerialPortPtyTest)
#include "test_serial_port_pty.moc"
