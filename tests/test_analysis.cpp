// What is made of one acquisition without the instrument: the data table as other programs read
// it, every number in it the exact decimal of its definition.
#include <QtTest>
#include <clocale>
#include <memory>
#include <tuple>

#include "analysis/data_table.h"
#include "analysis/exact_decimal.h"
#include "model/demo_waveforms.h"
#include "support/case_table.h"
#include "support/golden.h"
#include "support/qtest_strings.h"

using namespace curvalon;
using namespace curvalon::test;

namespace {

// A live instrument with CH1 at 500 mV/div one division up and REFA shown; CH2 and REFB hold
// data but are hidden.
std::unique_ptr<ScopeState> knownState() {
    auto s = std::make_unique<ScopeState>();
    initTables(*s, rgb(240, 240, 240));
    s->scopePresent = s->chEnable[0] = s->refView = s->refShown[4] = s->refStored[5] = 1;
    s->curveValid.fill(1);
    std::tie(s->timeDiv, s->horPosition, s->trigSource, s->trigLevel) =
        std::tuple{0.0005, -0.0025, "CH1", 1.5};
    std::tie(s->chProbe[0], s->chVoltDiv[0], s->chPositionDiv[0]) = std::tuple{10, 0.5, 1.0};
    std::tie(s->chCoupling[0], s->chBandwidth[0], s->chInvert[0]) = std::tuple{"DC", "OFF", "OFF"};
    s->curve[1].fill(7), s->curve[5].fill(7);
    for (auto [k, ch1, refA] :
         {std::tuple{0, -100, -3}, {1, -99, -2}, {1250, 25, 0}, {2499, 127, 99}})
        std::tie(s->curve[0][k], s->curve[4][k]) = std::tuple{ch1, refA};
    return s;
}

std::string tableOf(const ScopeState& s, char separator = ',') {
    return dataTable(*takeSnapshot(s, "2024.05.06  14:03.12", LocalDateTime{2024, 5, 6, 14, 3, 12}),
                     shownSources(s), separator);
}

// The notes, the column names, the rows at both ends and at the centre of the record, and what
// follows the last row.
QString excerpt(const std::string& table) {
    const QStringList lines = QString::fromStdString(table).split('\n');
    const qsizetype first = lines.indexOf(QRegularExpression("^0\\D.*"));
    return (lines.mid(0, first + 2)
            << lines.value(first + 1250) << lines.value(first + 2499) << lines.mid(first + 2500))
        .join('\n');
}

// n × 10^-decimals in plain notation, trailing zeros dropped: what a value must read as.
std::string plain(__int128 n, int decimals) {
    std::string digits;
    for (__int128 m = n < 0 ? -n : n; m > 0 || int(digits.size()) <= decimals; m /= 10)
        digits.insert(digits.begin(), char('0' + int(m % 10)));
    digits.insert(digits.size() - decimals, ".");
    while (digits.back() == '0')
        digits.pop_back();
    if (digits.back() == '.') digits.pop_back();
    return (n < 0 ? "-" : "") + digits;
}

// A 1-2-5 (or 2.5-5-10) sequence of whole units from first to last.
QList<std::int64_t> sequence(std::int64_t first, std::int64_t last, QList<int> tenths) {
    QList<std::int64_t> out;
    for (std::int64_t decade = first; decade <= last; decade *= 10)
        for (int t : tenths)
            if (decade * t / 10 >= first && decade * t / 10 <= last) out << decade * t / 10;
    return out;
}

// A setting as the instrument sends it, n × 10^exponent, read back as the tool reads it.
double sent(std::int64_t n, int exponent) {
    return std::stod(std::to_string(n) + "e" + std::to_string(exponent));
}

}  // namespace

class AnalysisTest : public QObject {
    Q_OBJECT

  private slots:
    // The table for a known state and for each change of its notes or columns; the clipboard's
    // tab in place of the comma.
    void table_data() {
        QTest::addColumn<char>("separator");
        for (const char* name : {"live", "demo-mode-volts-never-read", "time-base-not-read",
                                 "references-hidden", "curve-read-failed"})
            QTest::newRow(name) << ',';
        QTest::newRow("live-tab-separated") << '\t';
    }
    void table() {
        QFETCH(char, separator);
        const QByteArray tag = QTest::currentDataTag();
        const auto s = knownState();
        if (tag.startsWith("demo-mode")) {  // as the demo mode starts: nothing read
            *s = ScopeState(), initTables(*s, 0), makeDemoCurves(*s);
            s->chEnable.fill(1), s->refView = s->refShown[4] = 1;
        }
        if (tag.startsWith("time-base")) s->timeDiv = 0;
        if (tag.startsWith("references")) s->refView = 0;
        // A reply that would break a line, and a channel whose curve did not come.
        if (tag.startsWith("curve")) s->chCoupling[0] = "D\nC\t", s->curveValid[4] = 0;
        const QString table = excerpt(tableOf(*s, separator));
        QCOMPARE(table, golden(table, "table-" + tag));
    }

    // Every time per division and volts per division the instrument has, at positions that are
    // not whole counts: each value is the exact decimal of its definition, the same under a
    // decimal-comma locale.
    void numbersAreExact() {
        const auto s = knownState();
        s->refView = 0;
        for (int k = 0; k < kSamples; ++k)
            s->curve[0][k] = k % 256 - 128;
        const bool german = std::setlocale(LC_ALL, "de_DE.UTF-8");
        const auto restore = qScopeGuard([] { std::setlocale(LC_ALL, "C"); });
        QStringList wrong, table;
        // The value of sample k in that column of the table made last.
        const auto check = [&](int k, int column, const std::string& expected) {
            const QString value =
                table.value(table.indexOf(QRegularExpression("^sample,.*")) + 1 + k)
                    .section(',', column, column);
            if (value.toStdString() != expected)
                wrong << QString("%1 at sample %2, not %3")
                             .arg(value, QString::number(k), QString::fromStdString(expected));
        };
        // Volts = (counts / 25 - position) × volts per division, in 10^-14 V.
        for (std::int64_t pv : sequence(2'000'000'000, 50'000'000'000'000, {10, 20, 50}))
            for (int hundredths : {0, -102, 250, 4, -1}) {
                s->chVoltDiv[0] = sent(pv, -12), s->chPositionDiv[0] = sent(hundredths, -2);
                table = QString::fromStdString(tableOf(*s)).split('\n');
                for (int k : {0, 127, 128, 129, 255})
                    check(k, 2, plain(__int128(s->curve[0][k] * 4 - hundredths) * pv, 14));
            }
        // Time = (sample - 1250) / 250 × time per division + position, in 10^-18 s.
        for (std::int64_t fs : sequence(2'500'000, 50'000'000'000'000'000, {25, 50, 100}))
            for (std::int64_t position : {std::int64_t(0), -fs * 13 / 10, fs * 250}) {
                s->timeDiv = sent(fs, -15), s->horPosition = sent(position, -15);
                table = QString::fromStdString(tableOf(*s)).split('\n');
                for (int k : {0, 1, 1249, 1250, 2499})
                    check(k, 1, plain(__int128(k - 1250) * 4 * fs + __int128(position) * 1000, 18));
            }
        QCOMPARE(wrong, QStringList());
        if (!german) QSKIP("checked without a decimal-comma locale: none is installed");
    }
};

QTEST_MAIN(AnalysisTest)
#include "test_analysis.moc"
