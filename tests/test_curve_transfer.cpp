// Curve transfers against the simulated instrument, over the real link and a scripted port.
#include <QElapsedTimer>
#include <QTest>
#include <memory>

#include "support/protocol_rig.h"

using namespace curvalon;
using namespace std::string_literals;
using namespace curvalon::test;

Q_DECLARE_METATYPE(std::string)
Q_DECLARE_METATYPE(Fault)

namespace {

using Lines = std::vector<std::string>;
constexpr std::int32_t kUntouched = 4242;

struct Rig : ProtocolRig {
    Rig() {
        for (auto& samples : s.curve)
            samples.fill(kUntouched);
    }

    bool curveIs(int source, const std::array<std::int8_t, 2500>& expected) const {
        const auto& got = s.curve[std::size_t(source)];
        return std::equal(expected.begin(), expected.end(), got.begin()) && got[2500] == kUntouched;
    }
    bool curveUntouched(int source) const {
        const auto& got = s.curve[std::size_t(source)];
        return std::all_of(got.begin(), got.end(), [](std::int32_t v) { return v == kUntouched; });
    }
};

}  // namespace

class CurveTransferTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Rig> rig;

  private slots:
    void init() { rig = std::make_unique<Rig>(); }
    void cleanup() { rig.reset(); }

    void accepted_data() {
        QTest::addColumn<int>("source");
        QTest::addColumn<bool>("paced");  // at 19200 baud, in many small batches
        QTest::newRow("CH1") << 0 << false;
        QTest::newRow("CH4") << 3 << true;
        QTest::newRow("REFA") << 4 << false;
        QTest::newRow("REFD") << 7 << false;
    }
    void accepted() {
        QFETCH(int, source);
        QFETCH(bool, paced);
        const std::string name = QTest::currentDataTag();
        Rig& r = *rig;
        r.scope.paced = paced;
        r.scope.refDisplayed = {true, true, true, true};
        auto& wave = r.scope.waveforms[std::size_t(source)];
        // Sign conversion at the edges, and a carriage return that must not end the transfer.
        const std::array<std::int8_t, 5> head{0x00, 0x7F, -128, -1, 0x0D};
        std::copy(head.begin(), head.end(), wave.begin());

        const std::int64_t started = r.device.nowNs();
        QCOMPARE(r.curves.readCurve(source), 0);
        QCOMPARE(r.device.lines, (Lines{"DAT:SOU " + name, "CURV?"}));
        // The source needs 100 ms before the curve is asked for.
        const std::size_t firstEnd = r.device.written.find('\r');
        QVERIFY(r.device.writeTimesNs[firstEnd + 1] - r.device.writeTimesNs[firstEnd] >= 100e6);
        const auto& got = r.s.curve[std::size_t(source)];
        QCOMPARE((std::tuple{got[0], got[1], got[2], got[3], got[4]}),
                 (std::tuple{0, 127, -128, -1, 13}));
        QVERIFY(r.curveIs(source, wave));
        for (int other = 0; other < 8; ++other) {
            if (other != source) QVERIFY(r.curveUntouched(other));
        }
        QCOMPARE(r.w.statusTexts, (Lines{"reading... " + name + "_Curve from TDS2024", "Stat:"}));
        QVERIFY(r.w.messageBoxes.empty());
        QVERIFY(!r.w.visible(Field::dispTxD_str));
        QVERIFY(!r.w.visible(Field::dispRxD_str));
        // 2514 bytes at 19200 baud take about 1.3 s.
        if (paced) QVERIFY(r.device.nowNs() - started >= 1300e6);
    }

    void failed_data() {
        QTest::addColumn<int>("source");
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<std::string>("reply");  // replaces the instrument's own when set
        QTest::addColumn<int>("status");
        QTest::addColumn<std::string>("shown");
        const std::string failed = "Packet receive Error(CURV)";
        // Short of 2514 bytes the reply only ends with the 5 s reply timer.
        QTest::newRow("1000-point record")
            << 0 << Fault::ShortRecord << ""s << 1 << "Error[1] " + failed;
        QTest::newRow("line error mid-transfer")
            << 2 << Fault::LineError << ""s << 3 << "Error[3] " + failed;
        QTest::newRow("oversized")
            << 3 << Fault::OversizedReply << ""s << 2 << "Error[2] " + failed;
        QTest::newRow("other record length")
            << 0 << Fault::None << ":CURVE #42499" + std::string(2500, '\x11') + "\r" << 7
            << "Error[7] Data Error (CH0):CURVE #42499"s;
        QTest::newRow("error text from REFA")
            << 4 << Fault::None << ":CURVE " + std::string(2506, 'E') + "\r" << 7
            << "Error[7] Data Error (CH4):CURVE EEEEEE"s;
    }
    void failed() {
        QFETCH(int, source);
        QFETCH(Fault, fault);
        QFETCH(std::string, reply);
        QFETCH(int, status);
        QFETCH(std::string, shown);
        const int minMs = status == kStatusTimeout ? 5000 : 0;
        Rig& r = *rig;
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
        // After a failed exchange the echo boxes stay up with what came back.
        QCOMPARE(r.w.visible(Field::dispTxD_str), status != 7);
        QCOMPARE(r.w.status(), "Stat:"s);
    }

    // Refused without an instrument (status 8 and a message box), or nothing to do: either way
    // nothing goes on the wire. For the references, the last column is the view flag.
    void notSent_data() {
        QTest::addColumn<bool>("references");
        QTest::addColumn<int>("present");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("status");
        QTest::newRow("demo mode") << false << 0 << 0 << 8;
        QTest::newRow("index 8") << false << 1 << 8 << 0;
        QTest::newRow("index 8 in demo mode") << false << 0 << 8 << 0;
        QTest::newRow("negative index") << false << 1 << -1 << 0;
        QTest::newRow("references, view off") << true << 1 << 0 << 0;
        QTest::newRow("references in demo mode") << true << 0 << 1 << 8;
    }
    void notSent() {
        QFETCH(bool, references);
        QFETCH(int, present);
        QFETCH(int, index);
        QFETCH(int, status);
        rig->s.scopePresent = present;
        rig->s.refView = references ? index : 0;
        QCOMPARE(references ? rig->curves.readReferences() : rig->curves.readCurve(index), status);
        QVERIFY(rig->device.written.empty());
        QCOMPARE(rig->w.messageBoxes, status ? Lines{" Can't found TDS2024 !"} : Lines{});
    }

    // Commands the instrument does not answer; indexes outside the sources, or outside the
    // references for the display commands, send nothing.
    void commandsWithoutReply() {
        Rig& r = *rig;
        for (int i : {-1, 8}) {
            r.curves.setDataSource(i);
            r.curves.selectOn(i);
            r.curves.selectOff(i);
        }
        r.curves.selectOn(3);
        r.curves.selectOff(0);
        QVERIFY(r.device.written.empty());
        r.curves.setDataSource(0);
        r.curves.setDataSource(7);
        r.curves.selectOn(4);
        r.curves.selectOff(7);
        r.curves.hideReferences();
        QCOMPARE(r.device.lines,
                 (Lines{"DAT:SOU CH1", "DAT:SOU REFD", "SEL:REFA ON", "SEL:REFD OFF",
                        "SEL:REFA OFF", "SEL:REFB OFF", "SEL:REFC OFF", "SEL:REFD OFF"}));
        // Nothing is awaited: no reply timer, and the exchange stays open.
        QVERIFY(!r.link.replyTimerActive());
        QCOMPARE(r.s.rxDone, 0);
    }

    void clear() {
        // Entry 2500 lies past the record and is never cleared; indexes outside 0..7 clear nothing.
        for (int index : {-1, 8, 1, 7})
            rig->curves.clearCurve(index);
        for (int source = 0; source < 8; ++source) {
            for (int k = 0; k <= 2500; ++k) {
                const bool cleared = (source == 1 || source == 7) && k < 2500;
                QCOMPARE(rig->s.curve[source][k], cleared ? 0 : kUntouched);
            }
        }
        QVERIFY(rig->device.written.empty());
    }

    void references_data() {
        QTest::addColumn<QList<int>>("displayedBefore");
        QTest::addColumn<QList<bool>>("stored");
        QTest::addColumn<Lines>("messages");
        QTest::newRow("REFB displayed before")
            << QList<int>{0, 1, 0, 0} << QList<bool>{true, true, true, true} << Lines{};
        QTest::newRow("REFA REFD displayed, REFD empty")
            << QList<int>{1, 0, 0, 1} << QList<bool>{true, true, true, false}
            << Lines{"Error[1] Packet receive Error(CURV)"};
    }
    void references() {
        QFETCH(QList<int>, displayedBefore);
        QFETCH(QList<bool>, stored);
        QFETCH(Lines, messages);
        Rig& r = *rig;
        r.s.refView = 1;
        for (int i = 0; i < 4; ++i) {
            r.s.chEnable[std::size_t(4 + i)] = displayedBefore[i];
            r.scope.refStored[std::size_t(i)] = stored[i];
            r.scope.refDisplayed[std::size_t(i)] = stored[i] && displayedBefore[i];
        }

        QCOMPARE(r.curves.readReferences(), messages.empty() ? 0 : 1);

        Lines expected = {"SEL:REFA OFF", "SEL:REFB OFF", "SEL:REFC OFF", "SEL:REFD OFF"};
        const std::string names[] = {"REFA", "REFB", "REFC", "REFD"};
        for (const std::string& n : names)
            expected.insert(expected.end(),
                            {"SEL:" + n + " ON", "DAT:SOU " + n, "CURV?", "SEL:" + n + " OFF"});
        for (int i = 0; i < 4; ++i) {
            if (displayedBefore[i]) expected.push_back("SEL:" + names[i] + " ON");
        }
        QCOMPARE(r.device.lines, expected);
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(r.scope.refDisplayed[std::size_t(i)], stored[i] && displayedBefore[i] == 1);
            if (stored[i]) {
                QVERIFY(r.curveIs(4 + i, r.scope.waveforms[std::size_t(4 + i)]));
            } else {
                QVERIFY(r.curveUntouched(4 + i));
            }
            QVERIFY(r.curveUntouched(i));
        }
        QCOMPARE(r.w.messageBoxes, messages);
        QVERIFY(!r.w.visible(Field::dispTxD_str));
        QVERIFY(!r.w.visible(Field::dispRxD_str));
    }
};

QTEST_GUILESS_MAIN(CurveTransferTest)
#include "test_curve_transfer.moc"
