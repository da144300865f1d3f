// The serial link against a scripted port: when replies end and with which status, what goes on
// the wire and how fast, and what line events and errors show.
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include "link/comm_events.h"
#include "link/qt_link_clock.h"
#include "link/serial_link.h"
#include "support/fake_serial_device.h"
#include "support/fake_window_ops.h"
#include "support/qtest_strings.h"

using namespace curvalon;
using curvalon::test::FakeSerialDevice;
using curvalon::test::FakeWindowOps;

Q_DECLARE_METATYPE(curvalon::OpenResult)

namespace {

struct Rig {
    ScopeState s;
    FakeWindowOps w;
    FakeSerialDevice dev;
    QtLinkClock clock;
    SerialLink link{s, w, dev, clock};

    explicit Rig(bool open = true) {
        if (open) link.openPort();
    }

    // One exchange as the protocol runs it: reply timer first, then the command, then the wait.
    // The batches arrive 20 ms apart inside the wait. Returns the wait's length in ms.
    qint64 exchange(const std::string& command, const QList<QByteArray>& batches,
                    int timerMs = 2000) {
        QElapsedTimer clock;
        clock.start();
        link.armReplyTimer(timerMs);
        link.sendCommand(command);
        int at = 0;
        for (const QByteArray& b : batches)
            dev.deliverLater(at += 20, b.toStdString());
        link.waitReply();
        const qint64 elapsed = clock.elapsed();
        if (!QTest::qWaitFor([this] { return dev.scheduled() == 0; }, 1000))
            QTest::qFail("scheduled deliveries never ran", __FILE__, __LINE__);
        return elapsed;
    }
};

// A curve batch: 0x0D turns up among the data, as it does in a curve's samples, and the batch
// itself ends with one.
QByteArray curve(int size) {
    QByteArray bytes;
    for (int i = 0; i < size; ++i)
        bytes.push_back(static_cast<char>(i % 251));
    bytes.back() = '\r';
    return bytes;
}

}  // namespace

class SerialLinkTest : public QObject {
    Q_OBJECT

  private slots:
    // Batches arrive 20 ms apart inside the wait; the reply is what came up to the batch that
    // ended it, and later batches stay waiting.
    void replies_data() {
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<QList<QByteArray>>("batches");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("leftWaiting");
        const QByteArray hor("HOR?"), curv("CURV?");
        using B = QList<QByteArray>;
        // clang-format off
        QTest::newRow("DCL CR") << hor << B{"DCL\r"} << 0 << 4 << 0;
        QTest::newRow("DCL NUL CR") << hor << B{QByteArray("DCL\0\r", 5)} << 0 << 5 << 0;
        QTest::newRow("ends at CR batch") << hor << B{"1.0", "E-3\r;", "0\r", "xx"} << 0 << 10 << 2;
        QTest::newRow("echo: last 15") << hor << B{"0123456789", "ABCDEFGHI\r"} << 0 << 20 << 0;
        QTest::newRow("DCL LF") << hor << B{"DCL\n"} << 1 << 4 << 0;
        QTest::newRow("DCL CR LF in one batch") << hor << B{"DCL\r\n"} << 1 << 5 << 0;
        QTest::newRow("curve: CR at 2513") << curv << B{curve(2513), curve(1)} << 0 << 2514 << 0;
        QTest::newRow("curve: past 2514") << curv << B{curve(2000), curve(550)} << 0 << 2550 << 0;
        QTest::newRow("curve: past 2597") << curv << B{curve(2500), curve(98)} << 2 << 2598 << 0;
        QTest::newRow("curve: 3000") << curv << B{curve(3000)} << 2 << 2601 << 0;
        QTest::newRow("query: past 2597") << hor << B{QByteArray(2597, 'x'), "x"} << 2 << 2598 << 0;
        QTest::newRow("query: 3000") << hor << B{QByteArray(3000, 'x')} << 2 << 2601 << 0;
        // clang-format on
    }
    void replies() {
        QFETCH(QByteArray, command);
        QFETCH(QList<QByteArray>, batches);
        QFETCH(int, status);
        QFETCH(int, count);
        QFETCH(int, leftWaiting);
        Rig r;
        const qint64 waited = r.exchange(command.toStdString(), batches);

        const std::string text = batches.join().left(count).toStdString();
        QCOMPARE(r.s.rxDone, 1);
        QCOMPARE(r.s.rxStatus, status);
        QCOMPARE(r.s.rxCount, count);
        QCOMPARE(r.s.rxText, text);
        QCOMPARE(std::string(reinterpret_cast<const char*>(r.s.rxBytes.data()), count), text);
        QCOMPARE(r.dev.bytesWaiting(), leftWaiting);
        QCOMPARE(r.w.text(Field::dispRxD_str), text.substr(std::max(count, 15) - 15));
        QVERIFY(!r.link.replyTimerActive());
        // Only a reply without its ending waits for the timer.
        QVERIFY2(status == kStatusTimeout ? waited >= 1990 : waited < 1000,
                 qPrintable(QString::number(waited)));
    }

    void sendCommand_data() {
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<bool>("open");
        QTest::addColumn<QByteArray>("wire");
        QTest::newRow("command") << QByteArray("DAT:ENC RIB") << true
                                 << QByteArray("DAT:ENC RIB\r");
        QTest::newRow("empty command") << QByteArray("") << true << QByteArray("\r");
        QTest::newRow("port not open") << QByteArray("HOR?") << false << QByteArray("");
    }
    void sendCommand() {
        QFETCH(QByteArray, command);
        QFETCH(bool, open);
        QFETCH(QByteArray, wire);
        Rig r(open);
        r.s.rxDone = 1;
        r.s.rxStatus = 3;
        r.s.rxCount = 7;
        r.s.rxBytes.fill(0x55);
        r.s.rxText = "old";
        r.dev.deliver("stale");  // ignored: no reply is awaited
        const std::size_t mark = r.w.log.size();

        r.link.sendCommand(command.toStdString());
        const std::int64_t returned = r.dev.nowNs();
        const std::string line = command.toStdString() + "\r";
        QCOMPARE(r.dev.written, wire.toStdString());
        QCOMPARE(r.s.lastCommand, command.toStdString());
        QCOMPARE(r.w.since(mark), (std::vector<std::string>{
                                      "text dispRxD_str 0 ", "visible dispTxD_str 0 1",
                                      "visible dispRxD_str 0 1", "text dispTxD_str 0 " + line}));
        QVERIFY(std::all_of(r.s.rxBytes.begin(), r.s.rxBytes.end(), [](auto b) { return b == 0; }));
        QCOMPARE(r.s.rxText, std::string());
        QCOMPARE(r.s.rxCount, 0);
        if (open) QCOMPARE(r.dev.bytesWaiting(), 0);
        // Paced: every character, the carriage return included, is followed by a 5 ms pause.
        const auto& t = r.dev.writeTimesNs;
        for (std::size_t i = 1; i <= t.size(); ++i) {
            const std::int64_t gap = (i < t.size() ? t[i] : returned) - t[i - 1];
            QVERIFY2(gap >= 4'500'000, qPrintable(QString("gap %1: %2 ns").arg(i).arg(gap)));
        }
        // No reply comes and no timer runs: the exchange stays open.
        QTest::qWait(50);
        QCOMPARE(r.s.rxDone, 0);
        QCOMPARE(r.s.rxStatus, 0);
    }

    void commEvents_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<QByteArray>("text");
        const std::pair<int, const char*> table[] = {{3, "CTS change"},
                                                     {4, "DSR change"},
                                                     {5, "CD change"},
                                                     {6, "RING detect"},
                                                     {7, "EOF get"},
                                                     {1001, "BREAK detect !"},
                                                     {1002, "CTS timeout !"},
                                                     {1003, "DSR timeout !"},
                                                     {1004, "Framing error !"},
                                                     {1006, "OverRun error !"},
                                                     {1007, "CD timeout !"},
                                                     {1008, "RxBuffer overflow !"},
                                                     {1009, "Parity error !"},
                                                     {1010, "TxBuffer full !"},
                                                     {1011, "DCB error !"},
                                                     {1005, "Unknown error !"},
                                                     {0, "Unknown error !"},
                                                     {comm::kPortLost, "Unknown error !"}};
        for (auto [code, text] : table)
            QTest::addRow("%d", code) << code << QByteArray(text);
    }
    void commEvents() {
        QFETCH(int, code);
        QFETCH(QByteArray, text);
        const bool error = code < 3 || code > 7;  // the rest are line events
        Rig r;
        r.link.armReplyTimer(2000);
        r.link.sendCommand("HOR?");
        r.dev.deliver("1.0");

        r.dev.raise(code);
        QCOMPARE(r.w.statusTexts, std::vector<std::string>{"COM1: " + text.toStdString()});
        QCOMPARE(r.w.beeps, error ? 1 : 0);
        QVERIFY(r.link.statusClearActive());
        QCOMPARE(r.link.statusClearInterval(), error ? 3000 : 2000);
        QCOMPARE(r.s.rxStatus, error ? 3 : 0);
        QCOMPARE(r.s.rxDone, error ? 1 : 0);
        QCOMPARE(r.s.rxText, std::string("1.0"));
        QVERIFY(r.link.replyTimerActive());  // an error leaves it to the wait to stop
    }

    // A line event or error 20 ms into a reply, between its first 40 bytes and the rest.
    void eventDuringReply_data() {
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("count");
        QTest::newRow("CTS change, query goes on") << QByteArray("HOR?") << 3 << 0 << 80;
        QTest::newRow("framing error ends a curve") << QByteArray("CURV?") << 1004 << 3 << 40;
    }
    void eventDuringReply() {
        QFETCH(QByteArray, command);
        QFETCH(int, code);
        QFETCH(int, status);
        QFETCH(int, count);
        Rig r;
        const QByteArray reply = command == "CURV?" ? curve(2514) : QByteArray(79, 'x') + "\r";
        r.link.armReplyTimer(5000);
        r.link.sendCommand(command.toStdString());
        r.dev.deliverLater(10, reply.left(40).toStdString());
        r.dev.raiseLater(20, code);
        r.dev.deliverLater(40, reply.mid(40).toStdString());
        r.link.waitReply();

        QCOMPARE(r.s.rxStatus, status);
        QCOMPARE(r.s.rxCount, count);
        QVERIFY(!r.link.replyTimerActive());
        QCOMPARE(r.w.status().substr(0, 6), std::string("COM1: "));
    }

    // The quit key's cancel ends a running wait at once. A key that starts a command inside a
    // running wait nests a second wait; the reply that arrives meanwhile must still end the
    // outer one.
    void waits() {
        Rig r;
        bool busyInside = false;
        r.link.armReplyTimer(2000);
        r.link.sendCommand("HOR?");
        QTimer::singleShot(20, [&] {
            busyInside = r.link.busy();
            r.link.cancelWait();
        });
        r.link.waitReply();
        QVERIFY(busyInside);
        QVERIFY(!r.link.busy());
        QCOMPARE(r.s.rxDone, 1);
        QCOMPARE(r.s.rxStatus, 9);
        QVERIFY(!r.link.replyTimerActive());

        QElapsedTimer clock;
        qint64 innerEnded = -1;
        r.link.armReplyTimer(2000);
        r.link.sendCommand("HOR?");
        clock.start();
        QTimer::singleShot(5, [&] {
            r.link.delay(100);
            innerEnded = clock.elapsed();
        });
        r.dev.deliverLater(30, "1\r");
        r.link.waitReply();
        QVERIFY(innerEnded >= 100);
        QCOMPARE(r.s.rxStatus, 0);
        QCOMPARE(r.s.rxText, std::string("1\r"));
    }

    void openPort_data() {
        QTest::addColumn<OpenResult>("result");
        QTest::addColumn<bool>("refuseModemLines");
        QTest::addColumn<QByteArray>("status");
        // clang-format off
        using R = OpenResult;
        using B = QByteArray;
        QTest::newRow("opens") << R::Ok << false << B();
        QTest::newRow("DTR/RTS refused") << R::Ok << true << B();
        QTest::newRow("absent") << R::NotFound << false << B("COM1: Port not found !");
        QTest::newRow("busy") << R::Busy << false << B("COM1: Port busy !");
        QTest::newRow("no rights") << R::NoPermission << false << B("COM1: Permission denied !");
        QTest::newRow("settings") << R::BadSettings << false << B("COM1: Port settings error !");
        QTest::newRow("other") << R::Failed << false << B("COM1: Port open error !");
        // clang-format on
    }
    void openPort() {
        QFETCH(OpenResult, result);
        QFETCH(bool, refuseModemLines);
        QFETCH(QByteArray, status);
        Rig r(false);
        r.dev.openResult = result;
        r.dev.refuseModemLines = refuseModemLines;
        r.link.openPort();

        const bool ok = result == OpenResult::Ok;
        QCOMPARE(r.dev.openedPort, std::string(firstSerialPort()));
        QCOMPARE(r.dev.openedSettings, std::string("19200,N,8,1"));
        QCOMPARE(r.link.portOpen(), ok);
        QCOMPARE(r.dev.dtr && r.dev.rts, ok && !refuseModemLines);
        QCOMPARE(r.w.beeps, ok ? 0 : 1);
        if (ok) {
            QVERIFY(r.w.statusTexts.empty());
            return;
        }
        QCOMPARE(r.w.statusTexts, std::vector<std::string>{status.toStdString()});
        // The reason stays until the instrument check replaces it; a timed clear could wipe the
        // demo-mode message that follows.
        QVERIFY(!r.link.statusClearActive());
    }

    void statusClearEmptiesPanelOnce() {
        Rig r;
        r.dev.raise(comm::kCtsChange);
        r.link.armStatusClear(30);  // same tick, shorter wait
        QTRY_COMPARE(r.w.status(), std::string());
        QVERIFY(!r.link.statusClearActive());
        QTest::qWait(80);
        QCOMPARE(r.w.statusTexts.size(), std::size_t(2));
    }
};

QTEST_GUILESS_MAIN(SerialLinkTest)
#include "test_serial_link.moc"
