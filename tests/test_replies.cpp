// Reading the instrument's replies: finding values, reading numbers, and the parse steps that
// take a reply the link has collected into the scope state.
#include <QTest>
#include <algorithm>

#include "protocol/curve_transfer.h"
#include "protocol/reply_scan.h"
#include "protocol/settings_queries.h"
#include "support/case_table.h"
#include "support/fake_window_ops.h"
#include "support/qtest_strings.h"

using namespace curvalon;

namespace {

const QByteArray kDataError = "Error[7] Data Error ";

QByteArray num(int value) {
    return QByteArray::number(value);
}
QByteArray num(double value) {
    return QByteArray::number(value, 'g', QLocale::FloatingPointShortest);
}

void row(const char* name, const QByteArray& a, const QByteArray& b, const QByteArray& c) {
    QTest::newRow(name) << a << b << c;
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

    void scan_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("keyword");
        QTest::addColumn<QByteArray>("expected");
        test::addCaseRows("reply-scan", 3);
        row("too large by its digits", QByteArray(400, '9'), "", "refused");
        row("tiny behind many leading zeros", QByteArray(400, '0') + "1E-330", "", "0");
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

    void parse_data() {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QByteArray>("after");
        QTest::addColumn<QByteArray>("detail");
        test::addCaseRows("reply-parse", 3);
        // Samples 0, 127, 128, 255, 2499 and 2500 of the record.
        const QByteArray full = curve(":CURVE #42500", 2500, "\r");
        row("CURVE 0: bytes as signed counts", full, "0 127 -128 -1 -61 5", "");
        row("CURVE 7: no terminator needed", full.chopped(1), "0 127 -128 -1 -61 5", "");
        row("CURVE 0: header with another length", curve(":CURVE #42499", 2500, "\r"),
            "5 5 5 5 5 5", "(CH0):CURVE #42499");
        row("CURVE 4: 1000 samples only", curve(":CURVE #42500", 1000, "\r"), "5 5 5 5 5 5",
            "(CH4):CURVE #42500");
    }
    void parse() {
        QFETCH(QByteArray, reply);
        QFETCH(QByteArray, after);
        QFETCH(QByteArray, detail);
        const QByteArray tag = QTest::currentDataTag();
        const QByteArray step = tag.left(tag.indexOf(':'));
        const QByteArray message = detail.isEmpty() ? detail : kDataError + detail;
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
