// Curve transfers against the simulated instrument, over the real link and a scripted port.
#include <QElapsedTimer>
#include <QTest>
#include <memory>

#include "link/serial_link.h"
#include "protocol/curve_transfer.h"
#include "support/fake_serial_device.h"
#include "support/fake_window_ops.h"
#include "support/simulated_instrument.h"

using namespace curvalon;
using namespace std::string_literals;
using namespace curvalon::test;

Q_DECLARE_METATYPE(std::string)
Q_DECLARE_METATYPE(Fault)

namespace {

using Lines = std::vector<std::string>;
constexpr std::int32_t kUntouched = 4242;

struct Rig {
    ScopeState s;
    FakeWindowOps w;
    FakeSerialDevice device;
    SimulatedInstrument scope;
    SerialLink link{s, w, device};
    CurveTransfer curves{s, w, link};

    Rig() {
        initTables(s, rgb(240, 240, 240));
        scope.attach(device);
        scope.encoding = "RIB";  // as the start-up leaves it
        link.openPort();
        s.scopePresent = 1;
        for (auto& samples : s.curve)
            samples.fill(kUntouched);
    }

    bool curveIs(int source, const std::array<std::int8_t, 2500>& expected) const {
        for (std::size_t k = 0; k < 2500; ++k) {
            if (s.curve[std::size_t(source)][k] != expected[k]) return false;
        }
        return s.curve[std::size_t(source)][2500] == kUntouched;
    }

    bool curveUntouched(int source) const {
        for (std::int32_t v : s.curve[std::size_t(source)]) {
            if (v != kUntouched) return false;
        }
        return true;
    }

    // Milliseconds from the carriage return of one line to the first byte of the next.
    double gapMs(std::size_t line) const {
        std::size_t end = 0;
        for (std::size_t n = 0, i = 0; i < device.written.size(); ++i) {
            if (device.written[i] == '\r' && n++ == line) {
                end = i;
                break;
            }
        }
        return double(device.writeTimesNs[end + 1] - device.writeTimesNs[end]) / 1e6;
    }
};

std::string blockWith(std::string header, std::size_t dataBytes) {
    return header + std::string(dataBytes, '\x11') + "\r";
}

}  // namespace

class CurveTransferTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Rig> rig;

  private slots:
    void init() { rig = std::make_unique<Rig>(); }
    void cleanup() { rig.reset(); }

    void accepted_data() {
        QTest::addColumn<int>("source");
        QTest::addColumn<bool>("paced");
        QTest::addColumn<std::string>("name");
        QTest::newRow("CH1") << 0 << false << "CH1"s;
        QTest::newRow("CH4 at 19200 baud") << 3 << true << "CH4"s;
        QTest::newRow("REFA") << 4 << false << "REFA"s;
        QTest::newRow("REFD") << 7 << false << "REFD"s;
    }
    void accepted() {
        QFETCH(int, source);
        QFETCH(bool, paced);
        QFETCH(std::string, name);
        Rig& r = *rig;
        r.scope.paced = paced;
        r.scope.refDisplayed = {true, true, true, true};
        auto& wave = r.scope.waveforms[std::size_t(source)];
        // Sign conversion at the edges, and a carriage return that must not end the transfer.
        wave[0] = 0x00;
        wave[1] = 0x7F;
        wave[2] = std::int8_t(-128);
        wave[3] = -1;
        wave[4] = 0x0D;

        QElapsedTimer clock;
        clock.start();
        QCOMPARE(r.curves.readCurve(source), 0);
        QCOMPARE(r.device.lines, (Lines{"DAT:SOU " + name, "CURV?"}));
        QVERIFY2(r.gapMs(0) >= 100, "the source needs 100 ms before the curve is asked for");
        QCOMPARE(r.s.curve[std::size_t(source)][0], 0);
        QCOMPARE(r.s.curve[std::size_t(source)][1], 127);
        QCOMPARE(r.s.curve[std::size_t(source)][2], -128);
        QCOMPARE(r.s.curve[std::size_t(source)][3], -1);
        QCOMPARE(r.s.curve[std::size_t(source)][4], 13);
        QVERIFY(r.curveIs(source, wave));
        for (int other = 0; other < 8; ++other) {
            if (other != source) QVERIFY(r.curveUntouched(other));
        }
        QCOMPARE(r.w.statusTexts, (Lines{"reading... " + name + "_Curve from TDS2024", "Stat:"}));
        QVERIFY(r.w.messageBoxes.empty());
        QVERIFY(!r.w.visible(Field::dispTxD_str));
        QVERIFY(!r.w.visible(Field::dispRxD_str));
        // 2514 bytes at 19200 baud take about 1.3 s.
        if (paced) QVERIFY(clock.elapsed() >= 1300);
    }

    void failed_data() {
        QTest::addColumn<int>("source");
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<std::string>("reply");  // replaces the instrument's own when set
        QTest::addColumn<int>("status");
        QTest::addColumn<std::string>("shown");
        QTest::addColumn<int>("minMs");
        QTest::addColumn<bool>("echoShown");

        const std::string none;
        QTest::newRow("source not displayed")
            << 1 << Fault::Silence << none << 1 << "Error[1] Packet receive Error(CURV)"s << 5000
            << true;
        QTest::newRow("1000-point record")
            << 0 << Fault::ShortRecord << none << 1 << "Error[1] Packet receive Error(CURV)"s
            << 5000 << true;
        QTest::newRow("line error mid-transfer")
            << 2 << Fault::LineError << none << 3 << "Error[3] Packet receive Error(CURV)"s << 0
            << true;
        QTest::newRow("oversized") << 3 << Fault::OversizedReply << none << 2
                                   << "Error[2] Packet receive Error(CURV)"s << 0 << true;
        QTest::newRow("other record length")
            << 0 << Fault::None << blockWith(":CURVE #42499", 2500) << 7
            << "Error[7] Data Error (CH0):CURVE #42499"s << 0 << false;
        QTest::newRow("error text from REFA")
            << 4 << Fault::None << std::string(":CURVE ") + std::string(2506, 'E') + "\r" << 7
            << "Error[7] Data Error (CH4):CURVE EEEEEE"s << 0 << false;
    }
    void failed() {
        QFETCH(int, source);
        QFETCH(Fault, fault);
        QFETCH(std::string, reply);
        QFETCH(int, status);
        QFETCH(std::string, shown);
        QFETCH(int, minMs);
        QFETCH(bool, echoShown);
        Rig& r = *rig;
        r.scope.channels[1].displayed = false;
        r.scope.refDisplayed[0] = true;
        r.scope.setFault(fault, "CURV?");
        if (!reply.empty()) r.scope.setReply("CURV?", reply);

        QElapsedTimer clock;
        clock.start();
        QCOMPARE(r.curves.readCurve(source), status);
        const qint64 ms = clock.elapsed();
        QVERIFY2(ms >= minMs && ms < minMs + 2000, qPrintable(QString::number(ms)));
        QCOMPARE(r.w.messageBoxes, Lines{shown});
        QCOMPARE(r.s.rxStatus, status);
        QVERIFY(r.curveUntouched(source));
        QCOMPARE(r.w.visible(Field::dispTxD_str), echoShown);
        QCOMPARE(r.w.status(), "Stat:"s);
    }

    void refusedOrIgnored_data() {
        QTest::addColumn<int>("present");
        QTest::addColumn<int>("source");
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("refusedBox");
        QTest::newRow("demo mode") << 0 << 0 << 8 << true;
        QTest::newRow("index 8") << 1 << 8 << 0 << false;
        QTest::newRow("index 8 in demo mode") << 0 << 8 << 0 << false;
        QTest::newRow("negative index") << 1 << -1 << 0 << false;
    }
    void refusedOrIgnored() {
        QFETCH(int, present);
        QFETCH(int, source);
        QFETCH(int, status);
        QFETCH(bool, refusedBox);
        rig->s.scopePresent = present;
        QCOMPARE(rig->curves.readCurve(source), status);
        QVERIFY(rig->device.written.empty());
        QCOMPARE(rig->w.messageBoxes, refusedBox ? Lines{" Can't found TDS2024 !"} : Lines{});
    }

    void commandsWithoutReply_data() {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<int>("index");
        QTest::addColumn<Lines>("lines");
        QTest::newRow("source CH1") << "source" << 0 << Lines{"DAT:SOU CH1"};
        QTest::newRow("source REFD") << "source" << 7 << Lines{"DAT:SOU REFD"};
        QTest::newRow("source 8") << "source" << 8 << Lines{};
        QTest::newRow("source -1") << "source" << -1 << Lines{};
        QTest::newRow("on REFA") << "on" << 4 << Lines{"SEL:REFA ON"};
        QTest::newRow("off REFD") << "off" << 7 << Lines{"SEL:REFD OFF"};
        QTest::newRow("on CH4 is not a reference") << "on" << 3 << Lines{};
        QTest::newRow("off 8") << "off" << 8 << Lines{};
        QTest::newRow("hide all") << "hide" << 0
                                  << Lines{"SEL:REFA OFF", "SEL:REFB OFF", "SEL:REFC OFF",
                                           "SEL:REFD OFF"};
    }
    void commandsWithoutReply() {
        QFETCH(QString, operation);
        QFETCH(int, index);
        QFETCH(Lines, lines);
        Rig& r = *rig;
        if (operation == "source") r.curves.setDataSource(index);
        if (operation == "on") r.curves.selectOn(index);
        if (operation == "off") r.curves.selectOff(index);
        if (operation == "hide") r.curves.hideReferences();
        QCOMPARE(r.device.lines, lines);
        // Nothing is awaited: no reply timer, and the exchange stays open.
        QVERIFY(!r.link.replyTimerActive());
        QCOMPARE(r.s.rxDone, 0);
    }

    void clear_data() {
        QTest::addColumn<int>("index");
        QTest::newRow("CH2") << 1;
        QTest::newRow("REFD") << 7;
        QTest::newRow("8 ignored") << 8;
        QTest::newRow("-1 ignored") << -1;
    }
    void clear() {
        QFETCH(int, index);
        rig->curves.clearCurve(index);
        for (int source = 0; source < 8; ++source) {
            for (int k = 0; k <= 2500; ++k) {
                const bool cleared = source == index && k < 2500;
                QCOMPARE(rig->s.curve[std::size_t(source)][std::size_t(k)],
                         cleared ? 0 : kUntouched);
            }
        }
        QVERIFY(rig->device.written.empty());
    }

    void references_data() {
        QTest::addColumn<QList<int>>("displayedBefore");
        QTest::addColumn<QList<bool>>("stored");
        QTest::addColumn<int>("status");
        QTest::addColumn<Lines>("messages");
        QTest::newRow("REFB displayed before")
            << QList<int>{0, 1, 0, 0} << QList<bool>{true, true, true, true} << 0 << Lines{};
        QTest::newRow("REFA REFD displayed, REFD empty")
            << QList<int>{1, 0, 0, 1} << QList<bool>{true, true, true, false} << 1
            << Lines{"Error[1] Packet receive Error(CURV)"};
    }
    void references() {
        QFETCH(QList<int>, displayedBefore);
        QFETCH(QList<bool>, stored);
        QFETCH(int, status);
        QFETCH(Lines, messages);
        Rig& r = *rig;
        r.s.refView = 1;
        for (int i = 0; i < 4; ++i) {
            r.s.chEnable[std::size_t(4 + i)] = displayedBefore[i];
            r.scope.refStored[std::size_t(i)] = stored[i];
            r.scope.refDisplayed[std::size_t(i)] = stored[i] && displayedBefore[i];
        }

        QCOMPARE(r.curves.readReferences(), status);

        Lines expected = {"SEL:REFA OFF", "SEL:REFB OFF", "SEL:REFC OFF", "SEL:REFD OFF"};
        const char* names[] = {"REFA", "REFB", "REFC", "REFD"};
        for (const char* name : names) {
            const std::string n = name;
            expected.insert(expected.end(),
                            {"SEL:" + n + " ON", "DAT:SOU " + n, "CURV?", "SEL:" + n + " OFF"});
        }
        for (int i = 0; i < 4; ++i) {
            if (displayedBefore[i]) expected.push_back(std::string("SEL:") + names[i] + " ON");
        }
        QCOMPARE(r.device.lines, expected);
        QCOMPARE(r.scope.received, expected);
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(r.scope.refDisplayed[std::size_t(i)], stored[i] && displayedBefore[i] == 1);
            if (stored[i]) {
                QVERIFY(r.curveIs(4 + i, r.scope.waveforms[std::size_t(4 + i)]));
            } else {
                QVERIFY(r.curveUntouched(4 + i));
            }
        }
        for (int ch = 0; ch < 4; ++ch)
            QVERIFY(r.curveUntouched(ch));
        QCOMPARE(r.w.messageBoxes, messages);
        QVERIFY(!r.w.visible(Field::dispTxD_str));
        QVERIFY(!r.w.visible(Field::dispRxD_str));
    }

    void referencesNotRead_data() {
        QTest::addColumn<int>("present");
        QTest::addColumn<int>("refView");
        QTest::addColumn<int>("status");
        QTest::addColumn<Lines>("messages");
        QTest::newRow("view off") << 1 << 0 << 0 << Lines{};
        QTest::newRow("demo mode") << 0 << 1 << 8 << Lines{" Can't found TDS2024 !"};
    }
    void referencesNotRead() {
        QFETCH(int, present);
        QFETCH(int, refView);
        QFETCH(int, status);
        QFETCH(Lines, messages);
        rig->s.scopePresent = present;
        rig->s.refView = refView;
        QCOMPARE(rig->curves.readReferences(), status);
        QVERIFY(rig->device.written.empty());
        QCOMPARE(rig->w.messageBoxes, messages);
    }
};

QTEST_GUILESS_MAIN(CurveTransferTest)
#include "test_curve_transfer.moc"
