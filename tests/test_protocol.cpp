// The instrument protocol: finding values in replies and reading numbers, the parse steps that
// take a reply the link has collected into the scope state, and, over the link on virtual time
// with the simulated instrument answering, what each operation sends, what it keeps, and how it
// reports a failed exchange.
#include <QtTest>
#include <algorithm>

#include "link/serial_link.h"
#include "protocol/acquisition_hold.h"
#include "protocol/curve_transfer.h"
#include "protocol/instrument_init.h"
#include "protocol/reply_scan.h"
#include "protocol/settings_queries.h"
#include "support/case_table.h"
#include "support/fake_serial_device.h"
#include "support/fake_window_ops.h"
#include "support/qtest_strings.h"
#include "support/simulated_instrument.h"
#include "support/virtual_clock.h"

using namespace curvalon;
using namespace curvalon::test;
using Lines = std::vector<std::string>;

namespace {

// Wired as the tool wires it, live, with the encoding the start-up leaves.
struct ProtocolRig {
    ScopeState s;
    FakeWindowOps w;
    VirtualClock clock;
    FakeSerialDevice device{clock};
    SimulatedInstrument scope;
    SerialLink link{s, w, device, clock};
    ChannelSelection channels{s, w};
    ReferenceSelection references{s, w};
    SettingsQueries queries{s, w, link, channels, references};
    CurveTransfer curves{s, w, link};

    ProtocolRig() {
        initTables(s, rgb(240, 240, 240));
        scope.attach(device);
        scope.encoding = "RIB";
        link.openPort();
        s.scopePresent = 1;
    }
};

const QByteArray kDataError = "Error[7] Data Error ";

template <typename T>
QByteArray num(T value) {
    if constexpr (std::is_integral_v<T>) return QByteArray::number(qlonglong(value));
    return QByteArray::number(double(value), 'g', QLocale::FloatingPointShortest);
}

void row(const char* name, const QByteArray& a, const QByteArray& b, const QByteArray& c) {
    QTest::newRow(name) << a << b << c;
}

// What the step may change, as text.
QByteArray stateAfter(const ScopeState& s, const FakeWindowOps& w, const QByteArray& step) {
    if (step == "HOR") return num(s.timeDiv) + ' ' + num(s.horPosition) + ' ' + num(s.trigPoint);
    if (step == "TRIG") return QByteArray::fromStdString(s.trigSource) + ' ' + num(s.trigLevel);
    QByteArray out;
    if (step.startsWith("CH")) {
        const int i = std::min(step[2] - '1', kLastChannel);
        return num(s.chProbe[i]) + ' ' + num(s.chPosition[i]) + ' ' + num(s.chVoltDiv[i]) +
               (' ' + s.chCoupling[i] + ' ' + s.chBandwidth[i] + ' ' + s.chInvert[i]).c_str();
    }
    if (step.startsWith("CURVE")) {
        for (int k : {0, 127, 128, 255, 2499, 2500})
            out += ' ' + num(s.curve[(step.back() - '0') % kSourceCount][k]);
        return out.mid(1);
    }
    // The selection: CH1..CH4 buttons enabled and REFA..REFD buttons visible, "-" where
    // untouched; chEnable of every source; refStored and refShown of the references; scopePresent.
    for (int i = 0; i < kSourceCount; ++i) {
        const std::string shown = i < kFirstRef ? w.get("button enabled", Button::cbCh, i)
                                                : w.get("button visible", Button::cbRefFlag, i);
        out += QByteArray::fromStdString(shown).leftJustified(1, '-');
    }
    out += ' ';
    for (int i = 0; i < kSourceCount; ++i)
        out += num(s.chEnable[i]);
    for (int i = kFirstRef; i <= kLastRef; ++i)
        out += (i == kFirstRef ? " " : "") + num(s.refStored[i]);
    for (int i = kFirstRef; i <= kLastRef; ++i)
        out += (i == kFirstRef ? " " : "") + num(s.refShown[i]);
    return out + ' ' + num(s.scopePresent);
}

}  // namespace

class ProtocolTest : public QObject {
    Q_OBJECT

  private slots:
    // The acquisition state's reply in every form: a table of accepted and rejected ones.
    void acquisitionState_data() { addCaseRows("acquisition-state", {"reply", "running"}); }
    void acquisitionState() {
        auto [reply, running] = caseFields("reply", "running");
        const std::optional<bool> got = acquisitionRunning(reply.toStdString());
        QCOMPARE(got ? QByteArray(*got ? "1" : "0") : QByteArray("-"), running);
    }

    void scan_data() { addCaseRows("reply-scan", {"text", "keyword", "expected"}); }
    void scan() {
        auto [text, keyword, expected] = caseFields("text", "keyword", "expected");
        const std::string t = text.toStdString(), k = keyword.toStdString();
        const auto number = readNumber(t);
        const auto found = k.empty()      ? (number ? num(*number).toStdString() : "refused")
                           : k == "LEVEL" ? tailValue(t, k)
                                          : itemValue(t, k);
        QCOMPARE(found.value_or("<missing>"), expected.toStdString());
    }

    void parse_data() {
        addCaseRows("reply-parse", {"reply", "after", "detail"});
        // CH1's record in the power-on encoding: bytes 0, 1, ... 255, 0, ..., every signed value
        // in a known place. The rows show samples 0, 127, 128, 255, 2499 and 2500.
        const QByteArray full = QByteArray::fromStdString(SimulatedInstrument().answer("CURV?"));
        row("CURVE 0: bytes as signed counts", full, "0 127 -128 -1 -61 5", "");
        row("CURVE 7: no terminator needed", full.chopped(1), "0 127 -128 -1 -61 5", "");
        row("CURVE 0: header with another length", ":CURVE #42499" + full.mid(13), "5 5 5 5 5 5",
            "(CH0):CURVE #42499");
        row("CURVE 4: 1000 samples only", full.left(1013) + '\r', "5 5 5 5 5 5",
            "(CH4):CURVE #42500");
    }
    void parse() {
        auto [reply, after, detail] = caseFields("reply", "after", "detail");
        const QByteArray tag = QTest::currentDataTag();
        const QByteArray step = tag.left(tag.indexOf(':'));
        const QByteArray message = detail.isEmpty() ? detail : kDataError + detail;
        ProtocolRig r;
        ScopeState& s = r.s;
        s.scopePresent = 0;
        std::tie(s.timeDiv, s.horPosition, s.trigPoint) = std::tuple{123.0, 456.0, 777};
        std::tie(s.trigSource, s.trigLevel) = std::tuple{"old", -9.0};
        s.chProbe.fill(-7), s.chPosition.fill(-7), s.chVoltDiv.fill(-7);
        s.chCoupling.fill("old"), s.chBandwidth.fill("old"), s.chInvert.fill("old");
        s.chEnable = {0, 1, 0, 1, 1, 0, 1, 1};
        s.refStored = {0, 0, 0, 0, 1, 0, 1, 0};
        s.refShown = {0, 0, 0, 0, 1, 1, 1, 1};
        for (auto& record : s.curve)
            record.fill(5);
        // Where the link leaves a reply: its text, its bytes and their count.
        s.rxText = reply.toStdString();
        std::copy(s.rxText.begin(), s.rxText.end(), s.rxBytes.begin());
        s.rxCount = int(s.rxText.size());

        std::int32_t status = 0;
        if (step == "SEL") status = parseSelect(s, r.w, r.channels, r.references);
        if (step == "HOR") status = parseHorizontal(s, r.w);
        if (step == "TRIG") status = parseTrigger(s, r.w);
        if (step.startsWith("CH")) status = parseChannel(s, r.w, step[2] - '1');
        if (step.startsWith("CURVE")) status = acceptCurve(s, r.w, step.back() - '0');
        QCOMPARE(stateAfter(s, r.w, step), after);
        QCOMPARE(status, std::int32_t(message.isEmpty() ? kStatusOk : kStatusDataError));
        QCOMPARE(s.rxStatus, status);
        QCOMPARE(r.w.messageBoxes, message.isEmpty() ? std::vector<std::string>{}
                                                     : std::vector{message.toStdString()});
    }
    // Reads that succeed: what each sends and keeps, the status texts around it, and the echo
    // boxes hidden again. There is no fifth channel and no ninth source: nothing is sent for them.
    // Then the reads refused without the instrument.
    void readsOverTheLink() {
        ProtocolRig r;
        QCOMPARE((QList<int>{r.queries.readHorizontal(), r.queries.readTrigger(),
                             r.queries.readChannel(2), r.queries.readChannel(4),
                             r.curves.readCurve(1), r.curves.readCurve(8)}),
                 QList<int>(6, 0));
        QCOMPARE(r.device.lines, (Lines{"HOR?", "TRIG?", "CH3?", "DAT:SOU CH2", "CURV?"}));
        // The instrument gets 100 ms to switch its source after the command's last pause.
        QCOMPARE(r.device.writeTimesMs[28] - r.device.writeTimesMs[16], 60 + 100);
        QCOMPARE(r.s.curve[1][0], std::int32_t(r.scope.waveforms[1][0]));
        QCOMPARE(r.s.curve[1][2499], std::int32_t(r.scope.waveforms[1][2499]));
        QCOMPARE(r.w.statusTexts, (Lines{"reading... Time(Horizontal)_settings from TDS2024",
                                         "Stat:", "reading... Triger_settings from TDS2024",
                                         "Stat:", "reading... CH3_settings from TDS2024",
                                         "Stat:", "reading... CH2_Curve from TDS2024", "Stat:"}));
        QVERIFY(!r.w.visible(Field::dispTxD_str) && !r.w.visible(Field::dispRxD_str));
        QVERIFY(r.w.messageBoxes.empty());
        r.curves.clearCurve(1);
        QCOMPARE(r.s.curve[1][2499], 0);
        // Without the instrument, curves, references and channels are refused; the selection is
        // still asked, and its silence is what demo mode expects.
        r.s.scopePresent = 0, r.s.refView = 1;
        r.device.lines.clear();
        QCOMPARE((QList<int>{r.curves.readCurve(0), r.curves.readReferences()}), QList<int>(2, 8));
        r.queries.readChannel(0);
        r.scope.setFault(Fault::Silence);
        QCOMPARE(r.queries.readSelect(), 1);
        QCOMPARE(r.device.lines, Lines{"SEL?"});
        QCOMPARE(r.w.messageBoxes, Lines(3, " Can't found TDS2024 !"));
    }

    // A failed exchange is reported with the link's status and keeps the echo boxes up.
    void failedExchangesAreReported_data() { addCaseRows("protocol-failures", {"query", "box"}); }
    void failedExchangesAreReported() {
        auto [query, box] = caseFields("query", "box");
        ProtocolRig r;
        r.scope.setFault(Fault::Silence, query.toStdString());
        const double scale = r.s.chVoltDiv[1] = 7;
        const std::int32_t status = query == "HOR?"    ? r.queries.readHorizontal()
                                    : query == "TRIG?" ? r.queries.readTrigger()
                                    : query == "CH2?"  ? r.queries.readChannel(1)
                                    : query == "SEL?"  ? r.queries.readSelect()
                                                       : r.curves.readCurve(1);
        QCOMPARE(status, 1);
        QCOMPARE(r.w.messageBoxes, Lines{box.toStdString()});
        QVERIFY(r.w.visible(Field::dispTxD_str) && r.w.visible(Field::dispRxD_str));
        QCOMPARE(r.s.chVoltDiv[1], scale);
        // Only a silent selection query means the instrument has gone.
        QCOMPARE(r.s.scopePresent, query == "SEL?" ? 0 : 1);
        QCOMPARE(r.w.status(), std::string("Stat:"));
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
        addCaseRows("protocol-wake-up", {"answer", "stale", "presence", "endMs"});
    }
    void wakeUp() {
        auto [answer, stale, presence, endMs] = caseFields("answer", "stale", "presence", "endMs");
        const int present = presence.toInt();
        ProtocolRig r;
        r.s.scopePresent = 0;
        r.s.rxDone = 1;
        if (stale != "-") r.device.deliver(stale.toStdString());
        if (answer != "answers")
            r.scope.setFault(answer == "silent" ? Fault::Silence : Fault::LineFeedTerminator,
                             SimulatedInstrument::kBreak);
        int redraws = 0;
        InstrumentInit init(r.s, r.w, r.link, r.queries, r.channels, [&] { ++redraws; });
        r.link.closePort();  // reopened for the check
        for (Field echo : {Field::dispTxD_str, Field::dispRxD_str})
            r.w.setVisible(echo, 0, false);  // hidden, as the start-up leaves them
        r.w.setText(Field::dispRxD_str, 0, "old");
        bool echoedDuringTheWait = false;
        r.clock.at(50, [&] {
            // Both echo boxes up, the receive box emptied of whatever came before.
            echoedDuringTheWait = r.w.visible(Field::dispTxD_str) &&
                                  r.w.text(Field::dispTxD_str) == "Check TDS2024 ..." &&
                                  r.w.visible(Field::dispRxD_str) &&
                                  r.w.text(Field::dispRxD_str).empty();
        });
        init.initInstrument();
        QVERIFY(echoedDuringTheWait);
        QCOMPARE((QList<int>{r.s.scopePresent, r.device.breaks}), (QList<int>{present, 2}));
        // The wait ends at the answer's carriage return or at the timer, whichever comes first.
        const auto& writes = r.device.writeTimesMs;
        QCOMPARE(int(writes.empty() ? r.clock.nowMs() : writes.front()), endMs.toInt());
        QCOMPARE(r.w.statusTexts.front(), std::string("send [Break] to TDS2024 for initial"));
        QVERIFY(!r.w.visible(Field::dispTxD_str) && !r.w.visible(Field::dispRxD_str));
        // Live: the encoding sent, the status panel emptied within 3 s. Demo: nothing sent, a beep
        // and the demo picture drawn.
        if (present) {
            QVERIFY(!r.w.status().empty());
            r.clock.advance(3000);
            QCOMPARE(r.w.status(), std::string());
        }
        QCOMPARE(r.device.lines.empty(), !present);
        QCOMPARE(QList<int>({r.w.beeps, redraws}), QList<int>(2, present ? 0 : 1));
    }
};

QTEST_GUILESS_MAIN(ProtocolTest)
#include "test_protocol.moc"
