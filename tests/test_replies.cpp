// Reading the instrument's replies: finding values, reading numbers, and the parse steps that
// take a reply the link has collected into the scope state.
#include <QTest>
#include <algorithm>
#include <limits>

#include "protocol/curve_transfer.h"
#include "protocol/reply_scan.h"
#include "protocol/settings_queries.h"
#include "support/fake_window_ops.h"
#include "support/qtest_strings.h"

using namespace curvalon;

namespace {

const QByteArray kDataError = "Error[7] Data Error ";
const QByteArray kChannelKept = "-7 -7 -7 old old old";

QByteArray num(int value) {
    return QByteArray::number(value);
}
QByteArray num(double value) {
    return QByteArray::number(value, 'g', QLocale::FloatingPointShortest);
}

// The main time base first, then the delayed one with the same keywords.
QByteArray hor(const char* scale, const char* position) {
    return QByteArray(":HORIZONTAL:VIEW MAIN;RECORDLENGTH 2500;MAIN:SCALE ") + scale +
           ";POSITION " + position + ";:HORIZONTAL:DELAY:SCALE 9.0E0;POSITION 9.0E0\r";
}

// Bytes 0, 1, ... 255, 0, ...: every signed value, each in a known place.
QByteArray curve(const char* header, int samples, const char* end) {
    QByteArray r(header);
    for (int k = 0; k < samples; ++k)
        r += char(k);
    return r + end;
}

}  // namespace

class RepliesTest : public QObject {
    Q_OBJECT

    ScopeState s;
    test::FakeWindowOps w;
    ChannelSelection channels{s, w};
    ReferenceSelection references{s, w};

    // What the step may change, as text.
    QByteArray settings(const QByteArray& step) {
        if (step == "HOR")
            return num(s.timeDiv) + ' ' + num(s.horPosition) + ' ' + num(s.trigPoint);
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
        // untouched; chEnable of every source; refStored of the references; scopePresent.
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
        return out + ' ' + num(s.scopePresent);
    }

  private slots:
    void init() {
        s = ScopeState{};
        w = test::FakeWindowOps{};
        initTables(s, rgb(240, 240, 240));
    }

    // A keyword's value, LEVEL's running to the end as the trigger reads it; with no keyword, the
    // number the whole text reads as, in its shortest exact form, or "refused".
    void scan_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("keyword");
        QTest::addColumn<QByteArray>("expected");
        const auto row = [](const char* tag, const QByteArray& text, const char* keyword,
                            const char* expected) {
            QTest::newRow(tag) << text << QByteArray(keyword) << QByteArray(expected);
        };
        row("item, last less its terminator", ":CH1:PROBE 1.0E1;SCALE 5\r", "SCALE", "5");
        row("separator right after the keyword", "SCALE;X 1\r", "SCALE", "");
        row("LEVEL runs past separators", ":TRIG:LEVEL 1.2;MODE AUTO\r", "LEVEL", "1.2;MODE AUTO");
        row("LEVEL at the very end", "A;LEVEL", "LEVEL", "");
        row("leading blanks and plus", "  +3.5V", "", "3.5");
        row("tab, blank and minus", "\t -1.02E0", "", "-1.02");
        row("no digit before the point", "-.5", "", "-0.5");
        row("leading zeros", "007.5", "", "7.5");
        row("second point ends the number", "1.2.3", "", "1.2");
        row("exponent with plus", "1E+2", "", "100");
        row("lower-case exponent with minus", "2.5e-2", "", "0.025");
        row("exponent, then text", "2E3V", "", "2000");
        row("exponent sign without digits", "1E+V", "", "1");
        row("sign, then blank", "- 5", "", "0");
        row("inf", "inf", "", "0");
        row("nan", "nan", "", "0");
        row("hexadecimal", "0x1A", "", "0");
        row("too large, negative", "-1.0E999", "", "refused");
        row("too large by its digits", QByteArray(400, '9'), "", "refused");
        row("exponent past every range", "9E99999999999999999999", "", "refused");
        row("too small is zero", "1.0E-999", "", "0");
        row("tiny behind many leading zeros", QByteArray(400, '0') + "1E-330", "", "0");
        row("tiny with two whole digits", "10E-330", "", "0");
        row("too large by its digits, negative exponent", "1" + QByteArray(2500, '0') + "E-2000",
            "", "refused");
    }
    void scan() {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, keyword);
        QFETCH(QByteArray, expected);
        const std::string t = text.toStdString(), k = keyword.toStdString();
        const auto number = readNumber(t);
        const auto found = k.empty()      ? (number ? num(*number).toStdString() : "refused")
                           : k == "LEVEL" ? tailValue(t, k)
                                          : itemValue(t, k);
        QCOMPARE(found.value_or("<missing>"), expected.toStdString());
    }

    // Before each step: the selection flags "01011011 1010 0" (chEnable, refStored of REFA..REFD,
    // scopePresent), time base 123 at 456 with the trigger at sample 777, trigger "old" at -9,
    // every channel "-7 -7 -7 old old old", every record 5s. A refused reply shows one message
    // box, "Error[7] Data Error " and the detail given last.
    void parse_data() {
        QTest::addColumn<QByteArray>("step");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QByteArray>("after");
        QTest::addColumn<QByteArray>("message");
        const auto row = [](const char* tag, const QByteArray& reply, const QByteArray& after,
                            const QByteArray& detail = {}) {
            const QByteArray step = QByteArray(tag).left(QByteArray(tag).indexOf(':'));
            QTest::newRow(tag) << step << reply << after
                               << (detail.isEmpty() ? detail : kDataError + detail);
        };
        row("SEL: CH1 CH3 on, REFB displayed, REFD held",
            ":SELECT:CH1 1;CH2 0;CH3 1;CH4 0;MATH 0;REFB 1;REFD 0\r", "1-1-0-0- 10100100 0101 1");
        row("SEL: no CH3, CH4 on, REFA held", ":SELECT:CH1 0;CH2 1;CH4 1;MATH 0;REFA 0\r",
            "-101-000 01010000 1000 1");
        row("SEL: REFD alone, so no instrument", ":SELECT:MATH 0;REFD 1\r",
            "0000000- 00000001 0001 0");
        row("SEL: CH1 alone", ":SELECT:CH1 1\r", "10000000 10000000 0000 1");
        row("SEL: no source named", "1;0;1;0;0;0;1;0;0\r", "-------- 01011011 1010 0",
            "1;0;1;0;0;0;1;");
        row("HOR: position 0 at the centre", hor("5.0E2", "0.0E0"), "500 0 1250");
        row("HOR: main time base, half down to even", hor("5.0E2", "7.0E0"), "500 7 1246");
        row("HOR: negative position, half up to even", hor("5.0E2", "-5.0E0"), "500 -5 1252");
        row("HOR: end of the right half", hor("5.0E2", "2.5E3"), "500 2500 0");
        row("HOR: beyond the right half", hor("5.0E2", "2.501E3"), "500 2501 9999");
        row("HOR: sample interval vanishes", hor("5.0E-324", "0"), "5e-324 0 1250");
        row("HOR: zero scale kept, reported", hor("0.0E0", "1.0E0"), "0 456 777", "0.0E0");
        row("HOR: no SCALE", ":HORIZONTAL:MAIN:POSITION 1.0E0\r", "123 456 777", ":HORIZONTAL:MA");
        row("HOR: scale too large", hor("1.0E999", "0"), "123 456 777", ":HORIZONTAL:VI");
        row("HOR: no POSITION", ":HOR:SCALE 2.5E2\r", "123 456 777", ":HOR:SCALE 2.5");
        row("TRIG: edge source among others, level first",
            ":TRIGGER:MAIN:MODE AUTO;TYPE EDGE;LEVEL 1.20E0;HOLDOFF:VALUE 5.0E-7;:TRIGGER:MAIN:"
            "EDGE:SOURCE CH2;COUPLING DC;:TRIGGER:MAIN:VIDEO:SOURCE CH3;SYNC FIELD\r",
            "CH2 1.2");
        row("TRIG: level last", ":TRIG:EDGE:SOURCE EXT5;LEVEL -3.5E-1\r", "EXT5 -0.35");
        row("TRIG: no edge source", ":TRIG:LEVEL 1.0E0\r", "old -9", ":TRIG:LEVEL 1.");
        row("TRIG: no level", ":TRIG:EDGE:SOURCE CH1\r", "old -9", ":TRIG:EDGE:SOU");
        row("TRIG: level too large", ":TRIG:LEVEL 1.0E999;EDGE:SOURCE CH1\r", "old -9",
            ":TRIG:LEVEL 1.");
        row("CH1: all items, position cut toward zero",
            ":CH1:PROBE 1.0E1;SCALE 5.0E-1;POSITION -1.02E0;COUPLING DC;BANDWIDTH OFF;INVERT ON\r",
            "10 -25 0.5 DC OFF ON");
        row("CH3: no INVERT means off, probe half down",
            ":CH3:PROBE 2.5E0;SCALE 2.0E-2;POSITION 2.0E0;COUPLING AC;BANDWIDTH ON\r",
            "2 50 0.02 AC ON OFF");
        row("CH2: PROBE last, probe half up",
            ":CH2:SCALE 1.0E0;POSITION 1.99E0;COUPLING GND;BANDWIDTH OFF;PROBE 3.5E0\r",
            "4 49 1 GND OFF OFF");
        row("CH4: INVERT before YUNIT",
            ":CH4:PROBE 1.0E0;SCALE 5.0E0;POSITION -1.0E-2;COUPLING DC;BANDWIDTH ON;INVERT ON;"
            "YUNIT \"V\"\r",
            "1 0 5 DC ON ON");
        row("CH1: huge values stick at the range ends",
            ":CH1:PROBE -1.0E20;SCALE 1;POSITION 1.0E9;COUPLING DC;BANDWIDTH OFF\r",
            "-2147483648 2147483647 1 DC OFF OFF");
        row("CH2: answer about CH1",
            ":CH1:PROBE 1.0E1;SCALE 1;POSITION 0;COUPLING DC;BANDWIDTH OFF\r", kChannelKept,
            ":CH1:PROBE 1.0");
        row("CH1: no PROBE", ":CH1:SCALE 1;POSITION 0;COUPLING DC;BANDWIDTH OFF\r", kChannelKept,
            ":CH1:SCALE 1;P");
        row("CH1: position too large",
            ":CH1:PROBE 1;SCALE 1;POSITION 1.0E999;COUPLING DC;BANDWIDTH OFF\r", kChannelKept,
            ":CH1:PROBE 1;S");
        row("CH1: no BANDWIDTH", ":CH1:PROBE 1;SCALE 1;POSITION 0;COUPLING DC\r", kChannelKept,
            ":CH1:PROBE 1;S");
        row("CH5: ignored", ":CH1:PROBE 1;SCALE 1;POSITION 0;COUPLING DC;BANDWIDTH OFF\r",
            kChannelKept);
        // Samples 0, 127, 128, 255, 2499 and 2500 of the record.
        row("CURVE 0: bytes as signed counts", curve(":CURVE #42500", 2500, "\r"),
            "0 127 -128 -1 -61 5");
        row("CURVE 7: no terminator needed", curve(":CURVE #42500", 2500, ""),
            "0 127 -128 -1 -61 5");
        row("CURVE 0: header with another length", curve(":CURVE #42499", 2500, "\r"),
            "5 5 5 5 5 5", "(CH0):CURVE #42499");
        row("CURVE 4: 1000 samples only", curve(":CURVE #42500", 1000, "\r"), "5 5 5 5 5 5",
            "(CH4):CURVE #42500");
        row("CURVE 8: ignored", "junk\r", "5 5 5 5 5 5");
    }
    void parse() {
        QFETCH(QByteArray, step);
        QFETCH(QByteArray, reply);
        QFETCH(QByteArray, after);
        QFETCH(QByteArray, message);
        std::tie(s.timeDiv, s.horPosition, s.trigPoint) = std::tuple{123.0, 456.0, 777};
        std::tie(s.trigSource, s.trigLevel) = std::tuple{"old", -9.0};
        s.chProbe.fill(-7), s.chPosition.fill(-7), s.chVoltDiv.fill(-7);
        s.chCoupling.fill("old"), s.chBandwidth.fill("old"), s.chInvert.fill("old");
        s.chEnable = {0, 1, 0, 1, 1, 0, 1, 1};
        s.refStored = {0, 0, 0, 0, 1, 0, 1, 0};
        for (auto& record : s.curve)
            record.fill(5);
        // Where the link leaves a reply: its text, its bytes and their count.
        s.rxText = reply.toStdString();
        std::copy(s.rxText.begin(), s.rxText.end(), s.rxBytes.begin());
        s.rxCount = int(s.rxText.size());

        std::int32_t status = 0;
        if (step == "SEL") status = parseSelect(s, w, channels, references);
        if (step == "HOR") status = parseHorizontal(s, w);
        if (step == "TRIG") status = parseTrigger(s, w);
        if (step.startsWith("CH")) status = parseChannel(s, w, step[2] - '1');
        if (step.startsWith("CURVE")) status = acceptCurve(s, w, step.back() - '0');
        QCOMPARE(settings(step), after);
        QCOMPARE(status, std::int32_t(message.isEmpty() ? kStatusOk : kStatusDataError));
        QCOMPARE(s.rxStatus, status);
        QCOMPARE(w.messageBoxes, message.isEmpty() ? std::vector<std::string>{}
                                                   : std::vector{message.toStdString()});
    }
};

QTEST_GUILESS_MAIN(RepliesTest)
#include "test_replies.moc"
