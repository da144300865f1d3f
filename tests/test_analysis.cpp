// What is made of one acquisition without the instrument: the data table as other programs read
// it, every number in it the exact decimal of its definition.
#include <QtTest>
#include <clocale>
#include <memory>
#include <random>
#include <tuple>

#include "analysis/cursors.h"
#include "analysis/data_table.h"
#include "analysis/exact_decimal.h"
#include "analysis/measurements.h"
#include "analysis/quantity_text.h"
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

// Normal deviates from a seeded generator, by Box and Muller, so that a sweep's records are the
// same whatever the standard library's own distributions do.
class Noise {
  public:
    explicit Noise(unsigned seed) : random_(seed) {}
    double operator()(double rms) {
        const double u = (random_() + 1.0) / 4294967296.0, v = random_() / 4294967296.0;
        return rms * std::sqrt(-2 * std::log(u)) * std::cos(2 * M_PI * v);
    }

  private:
    std::mt19937 random_;
};

using Samples = std::array<std::int8_t, kSamples>;

// A record digitised from f(k) plus noise, as the instrument's 8 bits hold it.
template <typename F>
Samples digitised(F f, double rms, unsigned seed) {
    Noise noise(seed);
    Samples out{};
    for (int k = 0; k < kSamples; ++k)
        out[k] = std::int8_t(std::clamp(std::nearbyint(f(k) + noise(rms)), -128.0, 127.0));
    return out;
}

// A record as the instrument would digitise it: "shape cycles peak-to-peak noise edge ...":
// sine, triangle, ramp, square or pulse (20 % duty), square and pulse with edges of that many
// samples from bottom to top (0: between two samples), "overshoot" (10 %) or "ringing" (through
// the 50 % level and back) after their edges; spikes one sample wide, or spikes12 alternately one
// and two; dc, a level at the middle; noise in counts rms from the seed; phase in cycles at
// sample 0.
Samples record(const QByteArray& recipe, double phase, unsigned seed) {
    const QList<QByteArray> f = recipe.split(' ');
    const double period = kSamples / f[1].toDouble(), half = f[2].toDouble() / 2;
    const double noise = f[3].toDouble(), edge = f.value(4, "1").toDouble();
    const double duty = f[0] == "pulse" ? 0.2 : 0.5;
    const int shape =
        int(QByteArrayList{"sine", "triangle", "ramp", "dc", "spikes", "spikes12"}.indexOf(f[0]));
    const bool overshoot = recipe.contains("overshoot"), ringing = recipe.contains("ringing");
    return digitised(
        [&](int k) {
            const double u = std::fmod(k / period + phase + 1, 1.0), tau = u * period;
            const double width = shape == 5 && int(k / period + phase) % 2 ? 2 : 1;
            double v = shape == 0                   ? std::sin(2 * M_PI * u)
                       : shape == 1                 ? (u < 0.5 ? 4 * u - 1 : 3 - 4 * u)
                       : shape == 2                 ? 2 * u - 1
                       : shape == 3                 ? 0
                       : shape >= 4                 ? (tau < width ? 1 : -1)
                       : tau < edge                 ? -1 + 2 * tau / edge
                       : tau < duty * period        ? 1
                       : tau < duty * period + edge ? 1 - 2 * (tau - duty * period) / edge
                                                    : -1;
            // After each edge of a square or pulse: a decaying spike or ring of the edge's sign.
            const double since = tau < duty * period ? tau - edge : tau - duty * period - edge;
            const double sign = tau < duty * period ? 1 : -1;
            if (since >= 0 && overshoot) v += sign * 0.2 * std::exp(-since / 3);
            if (since >= 0 && ringing)
                v += sign * 1.343 * std::exp(-since / 20) * std::cos(2 * M_PI * since / 8);
            return v * half;
        },
        noise, seed);
}

// REFA holding the record, measured in counts and samples.
SourceReadings measured(const std::array<std::int8_t, kSamples>& samples) {
    Acquisition a;
    a.names[4] = "REFA", a.valid[4] = true, a.samples[4] = samples;
    return measureSource(a, 4);
}

// One check of a row of measurements (see AnalysisTest::measurements); a failure is described
// in wrong.
void check(const SourceReadings& r, const QByteArray& item, double phase, QStringList& wrong) {
    const QList<QByteArray> w = item.split(' ');
    const int at = w.indexOf(w.contains("=")       ? "="
                             : w.contains("count") ? "count"
                             : w.contains("<")     ? "<"
                                                   : ">=");
    const QByteArray name = w.mid(0, at).join(' ');
    int m = 0;
    while (m < kMeasureCount && name != measureName(Measure(m)))
        ++m;
    if (m == kMeasureCount) {
        wrong << "no measurement " + QString::fromLatin1(name);
        return;
    }
    const Reading& got = r[Measure(m)];
    const QByteArray want = w.mid(at + 1).join(' '), op = w[at];
    const double value = got.value.value_or(NAN), target = w.value(at + 1).toDouble();
    const QByteArray tol = w.value(at + 2);
    const double allowed =
        tol.endsWith('%') ? std::abs(target) * tol.chopped(1).toDouble() / 100 : tol.toDouble();
    const bool ok = op == "count"           ? got.count == want.toInt()
                    : op == ">="            ? got.bound == Bound::AtLeast && value == target
                    : op == "<"             ? got.bound == Bound::Below && value == target
                    : want.startsWith("- ") ? !got.value && got.reason == want.mid(2).toStdString()
                                            : std::abs(value - target) <= allowed;
    if (!ok)
        wrong << QString("%1 at phase %2: %3 %4 (%5), not %6")
                     .arg(name, QString::number(phase), QString::number(value),
                          QString::number(got.count), QString::fromStdString(got.reason), want);
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

    // Clipped at the top only, at the bottom only, and at both: each clipped extreme is a bound
    // and the other exact, everything level-based says so, and the period keeps its crossings.
    void clippedAtEitherEnd() {
        for (const auto& [centre, clipsHigh, clipsLow] :
             {std::tuple{80.0, true, false}, {-80.0, false, true}, {0.0, true, true}}) {
            const double half = clipsHigh && clipsLow ? 200 : 100;
            const SourceReadings r = measured(digitised(
                [&](int k) { return centre + half * std::sin(2 * M_PI * k / 500.0); }, 0, 1));
            QCOMPARE(r[Measure::Max].bound, clipsHigh ? Bound::AtLeast : Bound::Exact);
            QCOMPARE(r[Measure::Min].bound, clipsLow ? Bound::AtMost : Bound::Exact);
            QCOMPARE(r[Measure::PeakToPeak].bound, Bound::AtLeast);
            for (Measure m : {Measure::Top, Measure::Base, Measure::Mean, Measure::CycleRms,
                              Measure::RiseTime, Measure::Overshoot})
                QCOMPARE(r[m].reason, std::string("clipped"));
            QVERIFY(std::abs(*r[Measure::Period].value - 500) < 0.5);
        }
        const SourceReadings inside =
            measured(digitised([](int k) { return 126 * std::sin(2 * M_PI * k / 500.0); }, 0, 1));
        QVERIFY(inside[Measure::Max].bound == Bound::Exact && inside[Measure::Mean].value);
    }

    // CH1 at 1 s per division, 0.5 V per division, 0.37 divisions up (not a whole count): the
    // means against a computation of their own over the same samples, the cycles between the
    // first and the last rising crossing (samples 500 and 2000), times in seconds.
    void meansAgainstTheirDefinition() {
        for (unsigned seed = 1; seed <= 20; ++seed) {
            Acquisition a;
            a.names[0] = "CH1", a.valid[0] = true, a.timeDiv = 1, a.voltDiv[0] = 0.5;
            a.positionDiv[0] = 0.37;
            const double offset = seed % 7 - 3.0;
            a.samples[0] = digitised(
                [&](int k) { return offset + 60 * std::sin(2 * M_PI * k / 500.0); }, 0, seed);
            // Noise only where no crossing can move: well inside each half cycle.
            Noise noise(seed);
            for (int k = 0; k < kSamples; ++k)
                if (std::abs(a.samples[0][k] - offset) > 30)
                    a.samples[0][k] = std::int8_t(a.samples[0][k] + std::nearbyint(noise(2)));
            const auto stats = [&](int first, int last) {
                double sum = 0, squares = 0;
                for (int k = first; k < last; ++k) {
                    const double volts = (a.samples[0][k] / 25.0 - 0.37) * 0.5;
                    sum += volts, squares += volts * volts;
                }
                return std::pair{sum / (last - first), std::sqrt(squares / (last - first))};
            };
            const SourceReadings r = measureSource(a, 0);
            const auto [mean, rms] = stats(0, kSamples);
            const auto [cycleMean, cycleRms] = stats(500, 2000);
            for (const auto& [m, truth] : {std::pair{Measure::Mean, mean},
                                           {Measure::Rms, rms},
                                           {Measure::CycleMean, cycleMean},
                                           {Measure::CycleRms, cycleRms}})
                QVERIFY2(std::abs(r[m].value.value_or(NAN) - truth) < 1e-12,
                         qPrintable(QString("%1 seed %2: %3, not %4")
                                        .arg(measureName(m))
                                        .arg(seed)
                                        .arg(r[m].value.value_or(NAN))
                                        .arg(truth)));
            QCOMPARE(r[Measure::CycleRms].count, 3);
            QVERIFY(std::abs(*r[Measure::Period].value - 2) < 1e-3);  // 500 samples of 4 ms
            QCOMPARE(r.units.time, std::string("s"));
        }
    }

    // Sums in whole counts: a record whose counts sum to zero has a Mean of exactly 0, and no
    // number in the table is ever written with an exponent.
    void quantities_data() { addCaseRows("analysis-quantities", {"unit", "shown"}); }
    void quantities() {
        auto [unit, shown] = caseFields("unit", "shown");
        const double value = QString::fromLatin1(QTest::currentDataTag()).toDouble();
        QCOMPARE(QString::fromStdString(quantityText(value, unit.toStdString())), shown);
    }

    // A cursor reads the record on the straight line between samples, the first and the last
    // sample included, and stops at the record's ends; level cursors read their own source.
    void cursorValues() {
        Acquisition a;
        a.names[0] = "CH1", a.names[4] = "REFA", a.valid[0] = a.valid[4] = true;
        a.voltDiv[0] = 0.5, a.timeDiv = 0.001;
        for (int k = 0; k < kSamples; ++k)
            a.samples[0][std::size_t(k)] = std::int8_t(k % 7 * 10 - 30),
            a.samples[4][std::size_t(k)] = 5;
        const auto volts = [](int counts) { return counts / 25.0 * 0.5; };
        const std::pair<double, double> at[] = {{0, volts(-30)},    {-3, volts(-30)},
                                                {1.5, volts(-15)},  {2498, volts(30)},
                                                {2499, volts(-30)}, {2600, volts(-30)}};
        for (const auto& [sample, expected] : at)
            QCOMPARE(valueAt(a, 0, sample), expected);
        CursorSet c;
        c.samples = {0, 2499}, c.counts = {50, -25}, c.levelSource = 4;
        QCOMPARE(cursorLabel(a, c, 1), std::string("t(B) = 4.996 ms"));
        QCOMPARE(cursorLabel(a, c, 3), std::string("2 (REFA) = -25 counts"));
        c.levelSource = 0;
        QCOMPARE(cursorLabel(a, c, 2), std::string("1 (CH1) = 1.000 V"));
        // Two samples between the cursors are a span to measure; one is not.
        QCOMPARE(measureSource(a, 0, 10, 12)[Measure::Max].value, std::optional(volts(10)));
        QCOMPARE(measureSource(a, 0, 10, 11).absent,
                 std::string("fewer than 2 samples between the cursors"));
    }

    void plainNumbers() {
        Acquisition a;
        a.names[0] = "CH1", a.valid[0] = true, a.timeDiv = 0.0005, a.voltDiv[0] = 0.1;
        for (int k = 0; k < kSamples; ++k)  // pairs of opposite counts
            a.samples[0][k] = std::int8_t((k % 2 ? -1 : 1) * ((k / 2) % 21 - 10));
        const std::string table = measurementTable({measureSource(a, 0)}, ',');
        QVERIFY2(table.find("\nMean,V,0\n") != std::string::npos, table.c_str());
        QVERIFY(table.find('e') == table.find("measurement") + 1);  // only the word's own
        const std::pair<double, const char*> numbers[] = {
            {8.32667e-20, "0.0000000000000000000832667"},
            {-1.5e-9, "-0.0000000015"},
            {123456789, "123457000"},
            {0.0, "0"},
            {1953.125, "1953.12"}};
        for (const auto& [v, text] : numbers)
            QCOMPARE(tableNumber(v), std::string(text));
        // Plain up to 24 digits of exponent either way; beyond, and where there is no decimal,
        // the shortest text the number has.
        const std::pair<double, const char*> shortest[] = {{1e24, "1000000000000000000000000"},
                                                           {1e25, "1e+25"},
                                                           {1e-24, "0.000000000000000000000001"},
                                                           {1e-25, "1e-25"},
                                                           {-2.5, "-2.5"}};
        for (const auto& [v, text] : shortest)
            QCOMPARE(shortestText(v), std::string(text));
        for (double v :
             {std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
              std::numeric_limits<double>::quiet_NaN()})
            QVERIFY(!decimalOf(v));
        // Text from the line goes into a file on one line, control bytes and DEL as blanks.
        QCOMPARE(oneLine("a\tb\r\nc\x7f"
                         "d\x80"),
                 std::string("a b  c d\x80"));
        // A source in other units than the table's says which in its head, level or time alike.
        a.names[1] = "CH2", a.valid[1] = true, a.names[4] = "REFA", a.valid[4] = true;
        const std::string heads =
            measurementTable({measureSource(a, 0), measureSource(a, 1), measureSource(a, 4)}, ',');
        QCOMPARE(heads.substr(0, heads.find('\n')),
                 std::string("measurement,unit,CH1,CH2 (counts s),REFA (counts samples)"));
    }

    // An edge between two samples is given as the bound "< 2 samples", in the window and, as a
    // number with its note, in the table; an edge of 5 samples as its value.
    void edgesFasterThanTheSampling() {
        Acquisition a;
        a.names[0] = "CH1", a.valid[0] = true, a.timeDiv = 0.0005, a.voltDiv[0] = 1;
        a.samples[0] = digitised([](int k) { return k % 500 < 250 ? 50.0 : -50.0; }, 0, 1);
        const SourceReadings fast = measureSource(a, 0);
        QCOMPARE(readingText(fast[Measure::RiseTime], Measure::RiseTime, fast.units),
                 std::string("< 4.000 \u00b5s (4 edges)"));
        const std::string table = measurementTable({fast}, ',');
        QVERIFY(table.find("\nRise time,s,0.000004\n") != std::string::npos);
        QVERIFY(table.find("< (an upper bound: faster than 2 samples): Rise time / Fall time") !=
                std::string::npos);
        a.samples[0] = digitised(
            [](int k) {
                const int t = k % 500;
                return t < 5     ? -50 + 20.0 * t
                       : t < 250 ? 50.0
                       : t < 255 ? 50 - 20.0 * (t - 250)
                                 : -50.0;
            },
            0, 1);
        const Reading slow = measureSource(a, 0)[Measure::RiseTime];
        QVERIFY(slow.bound == Bound::Exact && std::abs(*slow.value - 4 * 2e-6) < 1e-9);
    }

    // A short span on a slope, where single samples would make "flat levels": Top and Base are
    // Max and Min, and no overshoot is made up.
    void shortSpanOnASlope() {
        Acquisition a;
        a.names[4] = "REFA", a.valid[4] = true;
        for (int k = 0; k < kSamples; ++k)
            a.samples[4][k] = std::int8_t(std::clamp(2 * (k - 1000) - 60, -128, 127));
        const SourceReadings r = measureSource(a, 4, 1000, 1060);
        QCOMPARE(*r[Measure::Top].value, *r[Measure::Max].value);
        QCOMPARE(*r[Measure::Base].value, *r[Measure::Min].value);
        QCOMPARE(r[Measure::Overshoot].reason, std::string("no flat top"));
        QCOMPARE(r[Measure::Undershoot].reason, std::string("no flat base"));
    }

    // An amplitude of 5 counts is measured; one of 4 is not.
    void smallestAmplitude() {
        std::array<std::int8_t, kSamples> square{};
        for (int k = 0; k < kSamples; ++k)
            square[k] = k % 500 < 250 ? 3 : -2;
        QVERIFY(measured(square)[Measure::Period].value);
        std::replace(square.begin(), square.end(), std::int8_t(3), std::int8_t(2));
        // Everything that needs crossings says why it has none; the levels are given.
        const SourceReadings small = measured(square);
        for (Measure m :
             {Measure::Period, Measure::Frequency, Measure::CycleMean, Measure::CycleRms,
              Measure::RiseTime, Measure::FallTime, Measure::PositiveWidth, Measure::NegativeWidth,
              Measure::DutyCycle, Measure::Overshoot, Measure::Undershoot})
            QCOMPARE(small[m].reason, std::string("amplitude under 5 counts"));
        for (Measure m :
             {Measure::Top, Measure::Base, Measure::Amplitude, Measure::Mean, Measure::Rms})
            QVERIFY(small[m].value);
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

    // Each measurement on generated records, at six phases and noise seeds: "name = value
    // tolerance" (a tolerance in % of the value), "name = - reason", "name count n" (the cycles
    // or edges it averages), "name >= value" or "name < value" (a bound). A row that starts
    // "sweep n r%" is tried with n seeds at each phase, and that share of its records must pass.
    void measurements_data() { addCaseRows("analysis-measurements", {"record", "expected"}); }
    void measurements() {
        auto [recipe, expected] = caseFields("record", "expected");
        QList<QByteArray> checks = expected.split(';');
        const QList<QByteArray> sweep = checks.front().trimmed().split(' ');
        const bool sweeping = sweep.front() == "sweep";
        if (sweeping) checks.removeFirst();
        const int seeds = sweeping ? sweep[1].toInt() : 1;
        const qsizetype named = recipe.indexOf("phase ");
        QStringList wrong;
        int passed = 0, tried = 0;
        for (int trial = 0; trial < 6 * seeds; ++trial) {
            const double phase =
                named >= 0 ? recipe.mid(named + 6).toDouble() : 0.15 + (trial % 6) * 0.12;
            const SourceReadings r = measured(record(recipe, phase, unsigned(1 + trial)));
            const qsizetype before = wrong.size();
            for (const QByteArray& item : checks)
                check(r, item.trimmed(), phase, wrong);
            passed += wrong.size() == before, ++tried;
        }
        if (sweeping) qInfo("%d of %d records pass", passed, tried);
        const double rate = sweeping ? sweep[2].chopped(1).toDouble() / 100 : 1;
        QVERIFY2(passed >= rate * tried, qPrintable(wrong.mid(0, 5).join('\n')));
    }
};

QTEST_MAIN(AnalysisTest)
#include "test_analysis.moc"
