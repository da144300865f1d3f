// The serial link against a scripted port: when replies end and with which status, what goes on
// the wire and how fast, and what line events and errors show.
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <memory>

#include "link/comm_events.h"
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
    SerialLink link{s, w, dev};

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

std::unique_ptr<Rig> openRig() {
    auto rig = std::make_unique<Rig>();
    rig->link.openPort();
    return rig;
}

std::string tailOf(const std::string& text) {
    return text.substr(text.size() > 15 ? text.size() - 15 : 0);
}

// A byte stream in which 0x0D turns up among the data, as it does in a curve's samples.
std::string pattern(int size) {
    std::string bytes;
    for (int i = 0; i < size; ++i)
        bytes.push_back(static_cast<char>(i % 251));
    return bytes;
}

}  // namespace

class SerialLinkTest : public QObject {
    Q_OBJECT

  private slots:
    void replyCompletion_data() {
        QTest::addColumn<QList<QByteArray>>("batches");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("leftWaiting");
        QTest::newRow("DCL CR") << QList<QByteArray>{"DCL\r"} << 0 << QByteArray("DCL\r") << 0;
        QTest::newRow("DCL NUL CR")
            << QList<QByteArray>{QByteArray("DCL\0\r", 5)} << 0 << QByteArray("DCL\0\r", 5) << 0;
        QTest::newRow("ends at the batch ending in CR")
            << QList<QByteArray>{"1.0", "E-3\r;", "0\r", "late"} << 0 << QByteArray("1.0E-3\r;0\r")
            << 4;
        QTest::newRow("DCL LF") << QList<QByteArray>{"DCL\n"} << 1 << QByteArray("DCL\n") << 0;
        QTest::newRow("DCL CR LF in one batch")
            << QList<QByteArray>{"DCL\r\n"} << 1 << QByteArray("DCL\r\n") << 0;
    }
    void replyCompletion() {
        QFETCH(QList<QByteArray>, batches);
        QFETCH(int, status);
        QFETCH(QByteArray, text);
        QFETCH(int, leftWaiting);
        auto r = openRig();
        const qint64 waited = r->exchange("HOR?", batches);

        QCOMPARE(r->s.rxDone, 1);
        QCOMPARE(r->s.rxStatus, status);
        QCOMPARE(r->s.rxText, text.toStdString());
        QCOMPARE(r->s.rxCount, text.size());
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(r->s.rxBytes.data()), text.size()), text);
        QCOMPARE(r->dev.bytesWaiting(), leftWaiting);
        QCOMPARE(r->w.text(Field::dispRxD_str), tailOf(text.toStdString()));
        QVERIFY(!r->link.replyTimerActive());
        if (status == kStatusTimeout) QVERIFY2(waited >= 1990, qPrintable(QString::number(waited)));
    }

    // Batches delivered back to back, the last byte of every curve batch a carriage return.
    void lengthLimits_data() {
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<QList<int>>("sizes");
        QTest::addColumn<char>("fill");  // 0: the curve pattern ending each batch in CR
        QTest::addColumn<QByteArray>("doneAfter");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("count");
        QTest::newRow("curve: CR at 2513 is data") << QByteArray("CURV?") << QList<int>{2513, 1}
                                                   << char(0) << QByteArray("01") << 0 << 2514;
        QTest::newRow("curve: batch past 2514") << QByteArray("CURV?") << QList<int>{2000, 550}
                                                << char(0) << QByteArray("01") << 0 << 2550;
        QTest::newRow("curve: batch past 2597") << QByteArray("CURV?") << QList<int>{2500, 98}
                                                << char(0) << QByteArray("01") << 2 << 2598;
        QTest::newRow("curve: one batch of 3000")
            << QByteArray("CURV?") << QList<int>{3000} << char(0) << QByteArray("1") << 2 << 2601;
        QTest::newRow("query: 2597 waits, 2598 overflows")
            << QByteArray("HOR?") << QList<int>{2597, 1} << 'x' << QByteArray("01") << 2 << 2598;
        QTest::newRow("query: one batch of 3000")
            << QByteArray("HOR?") << QList<int>{3000} << 'x' << QByteArray("1") << 2 << 2601;
    }
    void lengthLimits() {
        QFETCH(QByteArray, command);
        QFETCH(QList<int>, sizes);
        QFETCH(char, fill);
        QFETCH(QByteArray, doneAfter);
        QFETCH(int, status);
        QFETCH(int, count);
        auto r = openRig();
        r->link.armReplyTimer(5000);
        r->link.sendCommand(command.toStdString());

        std::string stream;
        for (int i = 0; i < sizes.size(); ++i) {
            std::string batch = fill ? std::string(sizes[i], fill) : pattern(sizes[i]);
            if (!fill) batch.back() = '\r';
            stream += batch;
            r->dev.deliver(batch);
            QCOMPARE(r->s.rxDone, doneAfter[i] - '0');
        }
        QCOMPARE(r->s.rxStatus, status);
        QCOMPARE(r->s.rxCount, count);
        QCOMPARE(int(r->s.rxText.size()), count);
        QCOMPARE(r->s.rxText, stream.substr(0, count));
        QCOMPARE(std::string(reinterpret_cast<const char*>(r->s.rxBytes.data()), count),
                 stream.substr(0, count));
        QVERIFY(!r->link.replyTimerActive());
    }

    void lateBytesAreDiscarded() {
        auto r = openRig();
        r->exchange("HOR?", {"A\r"});
        r->dev.deliver("late\r");
        QCOMPARE(r->s.rxText, std::string("A\r"));
        QCOMPARE(r->w.text(Field::dispRxD_str), std::string("A\r"));
        QCOMPARE(r->dev.bytesWaiting(), 5);

        r->link.sendCommand("TRIG?");
        QCOMPARE(r->dev.bytesWaiting(), 0);
        r->dev.deliver("B\r");
        QCOMPARE(r->s.rxText, std::string("B\r"));
        QCOMPARE(r->s.rxStatus, 0);
    }

    void sendCommand_data() {
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<bool>("open");
        QTest::addColumn<QByteArray>("wire");
        QTest::newRow("query") << QByteArray("HOR?") << true << QByteArray("HOR?\r");
        QTest::newRow("empty command") << QByteArray("") << true << QByteArray("\r");
        QTest::newRow("port not open") << QByteArray("HOR?") << false << QByteArray("");
    }
    void sendCommand() {
        QFETCH(QByteArray, command);
        QFETCH(bool, open);
        QFETCH(QByteArray, wire);
        Rig r;
        if (open) r.link.openPort();
        r.s.rxDone = 1;
        r.s.rxStatus = 3;
        r.s.rxCount = 7;
        r.s.rxBytes.fill(0x55);
        r.s.rxText = "old";
        r.dev.deliver("stale");  // ignored: no reply is awaited
        const std::size_t mark = r.w.log.size();

        r.link.sendCommand(command.toStdString());
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
        // No reply comes and no timer runs: the exchange stays open.
        QTest::qWait(50);
        QCOMPARE(r.s.rxDone, 0);
        QCOMPARE(r.s.rxStatus, 0);
    }

    void pacing() {
        auto r = openRig();
        r->link.sendCommand("DAT:ENC RIB");
        const std::int64_t returned = r->dev.nowNs();
        const auto& t = r->dev.writeTimesNs;
        QCOMPARE(r->dev.written, std::string("DAT:ENC RIB\r"));
        QCOMPARE(t.size(), std::size_t(12));
        constexpr std::int64_t kMinGapNs = 4'500'000;
        for (std::size_t i = 1; i < t.size(); ++i)
            QVERIFY2(t[i] - t[i - 1] >= kMinGapNs,
                     qPrintable(QString("gap %1: %2 ns").arg(i).arg(t[i] - t[i - 1])));
        // The carriage return is followed by its own pause too.
        QVERIFY(returned - t.back() >= kMinGapNs);
    }

    void commEvents_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("error");
        const auto line = [](int code, const char* text) {
            QTest::newRow(text) << code << QByteArray(text) << false;
        };
        const auto error = [](int code, const char* text) {
            QTest::newRow(QByteArray::number(code).constData()) << code << QByteArray(text) << true;
        };
        line(3, "CTS change");
        line(4, "DSR change");
        line(5, "CD change");
        line(6, "RING detect");
        line(7, "EOF get");
        error(1001, "BREAK detect !");
        error(1002, "CTS timeout !");
        error(1003, "DSR timeout !");
        error(1004, "Framing error !");
        error(1006, "OverRun error !");
        error(1007, "CD timeout !");
        error(1008, "RxBuffer overflow !");
        error(1009, "Parity error !");
        error(1010, "TxBuffer full !");
        error(1011, "DCB error !");
        error(comm::kPortLost, "Unknown error !");
        error(1005, "Unknown error !");
        error(0, "Unknown error !");
    }
    void commEvents() {
        QFETCH(int, code);
        QFETCH(QByteArray, text);
        QFETCH(bool, error);
        auto r = openRig();
        r->link.armReplyTimer(2000);
        r->link.sendCommand("HOR?");
        r->dev.deliver("1.0");

        r->dev.raise(code);
        QCOMPARE(r->w.statusTexts, std::vector<std::string>{"COM1: " + text.toStdString()});
        QCOMPARE(r->w.beeps, error ? 1 : 0);
        QVERIFY(r->link.statusClearActive());
        QCOMPARE(r->link.statusClearInterval(), error ? 3000 : 2000);
        QCOMPARE(r->s.rxStatus, error ? 3 : 0);
        QCOMPARE(r->s.rxDone, error ? 1 : 0);
        QCOMPARE(r->s.rxText, std::string("1.0"));
        QVERIFY(r->link.replyTimerActive());  // an error leaves it to the wait to stop
    }

    void eventDuringReply_data() {
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("firstPart");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("count");
        QTest::newRow("CTS change, query goes on") << QByteArray("HOR?") << 3 << 40 << 0 << 80;
        QTest::newRow("framing error ends a curve")
            << QByteArray("CURV?") << 1004 << 1000 << 3 << 1000;
    }
    void eventDuringReply() {
        QFETCH(QByteArray, command);
        QFETCH(int, code);
        QFETCH(int, firstPart);
        QFETCH(int, status);
        QFETCH(int, count);
        auto r = openRig();
        const bool curve = command == "CURV?";
        std::string reply = curve ? pattern(2514) : std::string(79, 'x') + "\r";
        r->link.armReplyTimer(5000);
        r->link.sendCommand(command.toStdString());
        r->dev.deliverLater(10, reply.substr(0, firstPart));
        r->dev.raiseLater(20, code);
        r->dev.deliverLater(40, reply.substr(firstPart));
        r->link.waitReply();

        QCOMPARE(r->s.rxStatus, status);
        QCOMPARE(r->s.rxCount, count);
        QVERIFY(!r->link.replyTimerActive());
        QCOMPARE(r->w.status().substr(0, 6), std::string("COM1: "));
    }

    void cancelEndsWait() {
        auto r = openRig();
        bool busyInside = false;
        r->link.armReplyTimer(2000);
        r->link.sendCommand("HOR?");
        QTimer::singleShot(20, [&] {
            busyInside = r->link.busy();
            r->link.cancelWait();
        });
        r->link.waitReply();
        QVERIFY(busyInside);
        QVERIFY(!r->link.busy());
        QCOMPARE(r->s.rxDone, 1);
        QCOMPARE(r->s.rxStatus, 9);
        QVERIFY(!r->link.replyTimerActive());
    }

    // A key that starts a command inside a running wait nests a second wait; the reply that
    // arrives meanwhile must still end the outer one.
    void waitsNest() {
        auto r = openRig();
        QElapsedTimer clock;
        qint64 innerEnded = -1;
        r->link.armReplyTimer(2000);
        r->link.sendCommand("HOR?");
        clock.start();
        QTimer::singleShot(5, [&] {
            r->link.delay(100);
            innerEnded = clock.elapsed();
        });
        r->dev.deliverLater(30, "1\r");
        r->link.waitReply();
        QVERIFY(innerEnded >= 100);
        QCOMPARE(r->s.rxStatus, 0);
        QCOMPARE(r->s.rxText, std::string("1\r"));
    }

    void echoTail_data() {
        QTest::addColumn<QList<QByteArray>>("batches");
        QTest::addColumn<QByteArray>("echo");
        QTest::newRow("over two batches")
            << QList<QByteArray>{"0123456789", "ABCDEFGHIJ"} << QByteArray("56789ABCDEFGHIJ");
        QTest::newRow("NUL kept") << QList<QByteArray>{"ABCDEFGHIJKLMN", QByteArray("\0Z", 2)}
                                  << QByteArray("BCDEFGHIJKLMN\0Z", 15);
    }
    void echoTail() {
        QFETCH(QList<QByteArray>, batches);
        QFETCH(QByteArray, echo);
        auto r = openRig();
        r->link.sendCommand("HOR?");
        for (const QByteArray& b : batches)
            r->dev.deliver(b.toStdString());
        QCOMPARE(r->w.text(Field::dispRxD_str), echo.toStdString());
    }

    void openPort_data() {
        QTest::addColumn<OpenResult>("result");
        QTest::addColumn<bool>("refuseModemLines");
        QTest::addColumn<QByteArray>("status");
        QTest::newRow("opens") << OpenResult::Ok << false << QByteArray();
        QTest::newRow("DTR/RTS refused") << OpenResult::Ok << true << QByteArray();
        QTest::newRow("absent") << OpenResult::NotFound << false
                                << QByteArray("COM1: Port not found !");
        QTest::newRow("busy") << OpenResult::Busy << false << QByteArray("COM1: Port busy !");
        QTest::newRow("no rights")
            << OpenResult::NoPermission << false << QByteArray("COM1: Permission denied !");
        QTest::newRow("settings") << OpenResult::BadSettings << false
                                  << QByteArray("COM1: Port settings error !");
        QTest::newRow("other") << OpenResult::Failed << false
                               << QByteArray("COM1: Port open error !");
    }
    void openPort() {
        QFETCH(OpenResult, result);
        QFETCH(bool, refuseModemLines);
        QFETCH(QByteArray, status);
        Rig r;
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
        auto r = openRig();
        r->dev.raise(comm::kCtsChange);
        r->link.armStatusClear(30);  // same tick, shorter wait
        QTRY_COMPARE(r->w.status(), std::string());
        QVERIFY(!r->link.statusClearActive());
        QTest::qWait(80);
        QCOMPARE(r->w.statusTexts.size(), std::size_t(2));
    }
};

QTEST_GUILESS_MAIN(SerialLinkTest)
#include "test_serial_link.moc"
