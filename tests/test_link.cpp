// The serial link on virtual time over a scripted port: opening, paced command lines, when a
// reply is complete, timeouts, line events and errors, and a port that vanishes.
#include <QtTest>

#include "link/serial_link.h"
#include "support/case_table.h"
#include "support/fake_serial_device.h"
#include "support/fake_window_ops.h"
#include "support/qtest_strings.h"
#include "support/simulated_instrument.h"
#include "support/virtual_clock.h"

using namespace curvalon;
using namespace curvalon::test;
using Batches = std::vector<std::string>;

namespace {

struct Rig {
    ScopeState s;
    FakeWindowOps w;
    VirtualClock clock;
    FakeSerialDevice dev{clock};
    SerialLink link{s, w, dev, clock};
    Rig() {
        initTables(s, rgb(240, 240, 240));
        link.openPort();
    }
    // Answers every command line with these batches, 1 ms apart, the first 10 ms after it.
    void answer(Batches batches) {
        dev.responder = [batches](FakeSerialDevice& d, const std::string&) {
            for (std::size_t i = 0; i < batches.size(); ++i)
                d.deliverLater(10 + int(i), batches[i]);
        };
    }
};

// The open results by name, in their order.
const auto kResults = QByteArray("Ok NotFound Busy NoPermission BadSettings Failed").split(' ');

// A curve reply as the instrument sends it, carriage returns among its data.
const std::string kCurve = SimulatedInstrument().answer("CURV?");

}  // namespace

class LinkTest : public QObject {
    Q_OBJECT

  private slots:
    void opensThePort_data() { addCaseRows("link-open", {"result", "text"}); }
    void opensThePort() {
        auto [result, text] = caseFields("result", "text");
        Rig r;
        QCOMPARE(r.dev.openedPort, firstSerialPort() + std::string(" 19200,N,8,1"));
        r.dev.dtr = r.dev.rts = false;
        r.dev.openResult = OpenResult(kResults.indexOf(result));
        r.link.openPort("COM7");  // as Windows names a port
        QCOMPARE(r.dev.openedPort, std::string("COM7 19200,N,8,1"));
        r.clock.advance(5000);  // a failure stays: the demo-mode message follows it
        // A port other than the first is named as itself.
        QCOMPARE(r.w.status(), text.replace("COM1: ", "COM7: ").toStdString());
        QCOMPARE(r.link.portOpen() && r.dev.dtr && r.dev.rts, text.isEmpty());
        r.link.openPort(firstSerialPort());
        QCOMPARE(r.w.status(), text.replace("COM7: ", "COM1: ").toStdString());
        QCOMPARE(r.w.beeps, text.isEmpty() ? 0 : 2);
    }

    void sendsOneCharacterEvery5ms() {
        Rig r;
        r.s.rxDone = 1;
        r.dev.deliver("STALE\r");  // after the last reply ended: belongs to no reply
        r.answer({"OK\r", "LATE\r"});
        QCOMPARE(r.link.exchange("HOR?", 2000), 0);
        QCOMPARE(r.dev.written + r.w.text(Field::dispTxD_str), std::string("HOR?\rHOR?\r"));
        QCOMPARE(r.dev.writeTimesMs, (std::vector<std::int64_t>{0, 5, 10, 15, 20}));
        QCOMPARE(r.s.cmdText + r.s.lastCommand, std::string("HOR?HOR?"));
        QVERIFY(r.w.visible(Field::dispTxD_str) && r.w.visible(Field::dispRxD_str));
        QVERIFY(!r.link.replyTimerActive());
        r.clock.advance(10);
        QCOMPARE(r.s.rxText, std::string("OK\r"));  // nothing taken once the reply is complete
        QCOMPARE(r.link.exchange("SEL?", 2000), 0);
        QCOMPARE(r.s.rxText, std::string("OK\r"));
    }

    // Each row: the reply's batches to a selection query, or to a curve query where the row's name
    // says so; then the exchange's status, the bytes kept and the virtual time it ends at.
    void replyEnds_data() {
        QTest::addColumn<Batches>("batches");
        QTest::addColumn<QList<int>>("ends");
        // clang-format off
        QTest::newRow("carriage return last") << Batches{"CH1 1", ";CH2 0\r"} << QList<int>{0, 12, 31};
        QTest::newRow("carriage return inside") << Batches{"A\rB"} << QList<int>{1, 3, 2000};
        QTest::newRow("line feed") << Batches{"A\n"} << QList<int>{1, 2, 2000};
        QTest::newRow("curve counted") << Batches{kCurve.substr(0, 2000), kCurve.substr(0, 514)} << QList<int>{0, 2514, 36};
        QTest::newRow("curve short") << Batches{kCurve.substr(0, 2513)} << QList<int>{1, 2513, 5000};
        QTest::newRow("overflow") << Batches{std::string(2597, 'x'), "y"} << QList<int>{2, 2598, 31};
        QTest::newRow("overflow ending in CR") << Batches{std::string(2597, 'x') + "\r"} << QList<int>{2, 2598, 30};
        QTest::newRow("batch past the buffer") << Batches{std::string(3000, 'x')} << QList<int>{2, 2601, 30};
        // clang-format on
    }
    void replyEnds() {
        QFETCH(Batches, batches);
        QFETCH(QList<int>, ends);
        const bool curve = QByteArray(QTest::currentDataTag()).startsWith("curve");
        Rig r;
        r.answer(batches);
        const int status = r.link.exchange(curve ? "CURV?" : "SEL?", curve ? 5000 : 2000);
        QCOMPARE((QList<int>{status, r.s.rxCount, int(r.clock.nowMs())}), ends);
        const std::string& text = r.s.rxText;
        QCOMPARE(std::string(reinterpret_cast<const char*>(r.s.rxBytes.data()), r.s.rxCount), text);
        // The echo shows the reply's last 15 characters.
        QCOMPARE(r.w.text(Field::dispRxD_str),
                 text.substr(text.size() - std::min<std::size_t>(15, text.size())));
    }

    void lineEventsAndErrors_data() {
        addCaseRows("link-events", {"code", "text", "status", "stays"});
    }
    void lineEventsAndErrors() {
        auto [code, text, status, stays] = caseFields("code", "text", "status", "stays");
        Rig r;
        r.clock.at(40, [&] { r.dev.raise(code.toInt()); });
        QCOMPARE(r.link.exchange("SEL?", 2000), status.toInt());
        QCOMPARE(int(r.clock.nowMs()), status == "1" ? 2000 : 40);
        QCOMPARE(r.w.beeps, status == "3" ? 1 : 0);
        QCOMPARE(r.w.status(), text.toStdString());
        r.clock.advance(int(40 + stays.toInt() - 1 - r.clock.nowMs()));
        QCOMPARE(r.w.status(), text.toStdString());
        r.clock.advance(1);
        QCOMPARE(r.w.status(), std::string());
    }

    // Once the port is gone every exchange fails at once, until it is opened again; a port that
    // never opened still waits for its answer.
    void lostPortFailsAtOnce() {
        Rig r;
        r.clock.at(30, [&] { r.dev.vanish(); });
        QCOMPARE(r.link.exchange("CURV?", 5000), 3);
        QCOMPARE(r.w.status(), std::string("COM1: Unknown error !"));
        const int lostAt = int(r.clock.nowMs());
        QCOMPARE((QList<int>{r.link.exchange("CH1?", 2000), r.link.breakExchange(100, 2000),
                             int(r.clock.nowMs()), r.dev.breaks}),
                 (QList<int>{3, 3, lostAt, 0}));
        r.link.openPort();
        QCOMPARE(r.link.exchange("CH1?", 2000), 1);

        Rig never;
        never.dev.openResult = OpenResult::NotFound;
        never.link.closePort();
        never.link.openPort();
        QCOMPARE((QList<int>{never.link.exchange("SEL?", 2000), int(never.clock.nowMs())}),
                 (QList<int>{1, 2000}));
        QVERIFY(never.dev.written.empty());
    }
};

QTEST_GUILESS_MAIN(LinkTest)
#include "test_link.moc"
