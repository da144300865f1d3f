// The instrument protocol over the link, on virtual time, with the simulated instrument
// answering: what each operation sends, what it keeps, and how it reports a failed exchange.
#include <QtTest>

#include "protocol/instrument_init.h"
#include "support/protocol_rig.h"
#include "support/qtest_strings.h"

using namespace curvalon;
using namespace curvalon::test;
using Lines = std::vector<std::string>;

class ProtocolTest : public QObject {
    Q_OBJECT

  private slots:
    void settingsQueries() {
        ProtocolRig r;
        r.scope.horScale = "2.0E-3";
        r.scope.channels[2].scale = "2.0E-1";
        QCOMPARE(r.queries.readHorizontal(), 0);
        QCOMPARE(r.queries.readTrigger(), 0);
        QCOMPARE(r.queries.readChannel(2), 0);
        QCOMPARE(r.queries.readChannel(4), 0);  // no such channel: nothing sent
        QCOMPARE(r.device.lines, (Lines{"HOR?", "TRIG?", "CH3?"}));
        QCOMPARE(r.s.timeDiv, 2.0E-3);
        QCOMPARE(r.s.trigSource, std::string("CH1"));
        QCOMPARE(r.s.chVoltDiv[2], 0.2);
        QCOMPARE(r.w.statusTexts,
                 (Lines{"reading... Time(Horizontal)_settings from TDS2024",
                        "Stat:", "reading... Triger_settings from TDS2024",
                        "Stat:", "reading... CH3_settings from TDS2024", "Stat:"}));
        QVERIFY(!r.w.visible(Field::dispTxD_str) && !r.w.visible(Field::dispRxD_str));
        QVERIFY(r.w.messageBoxes.empty());
    }

    // A failed exchange is reported with the link's status and keeps the echo boxes up.
    void failedExchangesAreReported_data() {
        QTest::addColumn<std::string>("query");
        QTest::addColumn<std::string>("box");
        // clang-format off
        QTest::newRow("time base") << std::string("HOR?") << std::string("Error[1] Packet receive Error(HOR)");
        QTest::newRow("trigger") << std::string("TRIG?") << std::string("Error[1] Packet receive Error(TRIG)");
        QTest::newRow("channel") << std::string("CH2?") << std::string("Error[1] Packet receive Error(CH1)");
        QTest::newRow("selection") << std::string("SEL?") << std::string("Error[1] Packet receive Error(SEL)");
        QTest::newRow("curve") << std::string("CURV?") << std::string("Error[1] Packet receive Error(CURV)");
        // clang-format on
    }
    void failedExchangesAreReported() {
        QFETCH(std::string, query);
        QFETCH(std::string, box);
        ProtocolRig r;
        r.scope.setFault(Fault::Silence, query);
        const double scale = r.s.chVoltDiv[1] = 7;
        const std::int32_t status = query == "HOR?"    ? r.queries.readHorizontal()
                                    : query == "TRIG?" ? r.queries.readTrigger()
                                    : query == "CH2?"  ? r.queries.readChannel(1)
                                    : query == "SEL?"  ? r.queries.readSelect()
                                                       : r.curves.readCurve(1);
        QCOMPARE(status, 1);
        QCOMPARE(r.w.messageBoxes, Lines{box});
        QVERIFY(r.w.visible(Field::dispTxD_str) && r.w.visible(Field::dispRxD_str));
        QCOMPARE(r.s.chVoltDiv[1], scale);
        // Only a silent selection query means the instrument has gone.
        QCOMPARE(r.s.scopePresent, query == "SEL?" ? 0 : 1);
        QCOMPARE(r.w.status(), std::string("Stat:"));
    }

    void readsRefusedWithoutInstrument() {
        ProtocolRig r;
        r.s.scopePresent = 0;
        r.s.refView = 1;
        QCOMPARE(r.curves.readCurve(0), 8);
        QCOMPARE(r.curves.readReferences(), 8);
        r.queries.readChannel(0);
        r.scope.setFault(Fault::Silence);
        QCOMPARE(r.queries.readSelect(), 1);  // asked, but silence is expected in demo mode
        QCOMPARE(r.device.lines, Lines{"SEL?"});
        QCOMPARE(r.w.messageBoxes, Lines(3, " Can't found TDS2024 !"));
    }

    void curveTransfer() {
        ProtocolRig r;
        QCOMPARE(r.curves.readCurve(1), 0);
        QCOMPARE(r.device.lines, (Lines{"DAT:SOU CH2", "CURV?"}));
        // The instrument gets 100 ms to switch its source after the command's last pause.
        QCOMPARE(r.device.writeTimesMs[12], 60 + 100);
        QCOMPARE(r.s.curve[1][0], std::int32_t(r.scope.waveforms[1][0]));
        QCOMPARE(r.s.curve[1][2499], std::int32_t(r.scope.waveforms[1][2499]));
        QCOMPARE(r.w.statusTexts, (Lines{"reading... CH2_Curve from TDS2024", "Stat:"}));
        r.curves.clearCurve(1);
        QCOMPARE(r.s.curve[1][2499], 0);
        QCOMPARE(r.curves.readCurve(8), 0);
        QCOMPARE(r.device.lines.size(), std::size_t(2));
    }

    // Each reference is displayed alone for its own transfer, then the instrument's reference
    // display is put back as the tool found it.
    void referencesAreReadOneByOne() {
        ProtocolRig r;
        QCOMPARE(r.curves.readReferences(), 0);  // reference display off: nothing to do
        QVERIFY(r.device.lines.empty());
        r.s.refView = 1;
        r.s.chEnable[5] = r.s.chEnable[7] = 1;
        r.scope.refStored[3] = false;  // REFD holds nothing: its transfer fails
        QCOMPARE(r.curves.readReferences(), 1);
        Lines expected{"SEL:REFA OFF", "SEL:REFB OFF", "SEL:REFC OFF", "SEL:REFD OFF"};
        for (std::string ref : {"REFA", "REFB", "REFC", "REFD"})
            expected.insert(expected.end(), {"SEL:" + ref + " ON", "DAT:SOU " + ref, "CURV?",
                                             "SEL:" + ref + " OFF"});
        expected.insert(expected.end(), {"SEL:REFB ON", "SEL:REFD ON"});
        QCOMPARE(r.device.lines, expected);
        QCOMPARE(r.s.curve[6][100], std::int32_t(r.scope.waveforms[6][100]));
        QCOMPARE(r.w.messageBoxes, Lines{"Error[1] Packet receive Error(CURV)"});
        QVERIFY(!r.w.visible(Field::dispTxD_str));
    }

    void wakeUp_data() {
        QTest::addColumn<bool>("answers");
        QTest::addColumn<bool>("lineFeed");
        QTest::addColumn<bool>("stale");
        QTest::addColumn<int>("present");
        QTest::addColumn<int>("endMs");
        // clang-format off
        QTest::newRow("answers") << true << false << false << 1 << 102;
        QTest::newRow("answer ended by a line feed") << true << true << false << 1 << 2000;
        QTest::newRow("silent") << false << false << false << 0 << 2000;
        QTest::newRow("silent after stale bytes") << false << false << true << 0 << 2000;
        // clang-format on
    }
    void wakeUp() {
        QFETCH(bool, answers);
        QFETCH(bool, lineFeed);
        QFETCH(bool, stale);
        QFETCH(int, present);
        QFETCH(int, endMs);
        ProtocolRig r;
        r.s.scopePresent = 0;
        r.s.rxDone = 1;
        if (stale) r.device.deliver("DCL\r");
        if (!answers) r.scope.setFault(Fault::Silence, SimulatedInstrument::kBreak);
        if (lineFeed) r.scope.setFault(Fault::LineFeedTerminator, SimulatedInstrument::kBreak);
        int redraws = 0;
        InstrumentInit init(r.s, r.w, r.link, r.queries, r.channels, [&] { ++redraws; });
        r.link.closePort();  // reopened for the check
        bool echoedDuringTheWait = false;
        r.clock.at(50, [&] {
            echoedDuringTheWait = r.w.visible(Field::dispTxD_str) &&
                                  r.w.text(Field::dispTxD_str) == "Check TDS2024 ...";
        });
        init.initInstrument();
        QVERIFY(echoedDuringTheWait);
        QCOMPARE(r.s.scopePresent, present);
        QCOMPARE(r.device.breaks.size(), std::size_t(2));
        // The wait ends at the answer's carriage return or at the timer, whichever comes first.
        const auto& writes = r.device.writeTimesMs;
        QCOMPARE(int(writes.empty() ? r.clock.nowMs() : writes.front()), endMs);
        QCOMPARE(r.w.statusTexts.front(), std::string("send [Break] to TDS2024 for initial"));
        QVERIFY(!r.w.visible(Field::dispTxD_str) && !r.w.visible(Field::dispRxD_str));
        if (present) {
            QCOMPARE(r.device.lines, (Lines{"DAT:ENC RIB", "SEL?"}));
            QCOMPARE(r.scope.encoding, std::string("RIB"));
            QCOMPARE(r.link.statusClearInterval(), 3000);
            QCOMPARE(redraws, 0);
            return;
        }
        QVERIFY(r.device.lines.empty());
        QCOMPARE(r.w.status(), std::string(" Mode : Demo Mode  ( Can't found TDS2024 ! )"));
        QCOMPARE(r.w.beeps, 1);
        QCOMPARE(redraws, 1);
        QCOMPARE(r.s.chEnable[3], 1);
        QCOMPARE(r.s.curve[2][0], -5);  // the demo rectangle
    }
};

QTEST_GUILESS_MAIN(ProtocolTest)
#include "test_protocol.moc"
