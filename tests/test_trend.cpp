// What the measurements did across reads: statistics checked against an independent two-pass
// computation, the history a trend is drawn from, and the tool's measurement window and trend
// window over live reads and over an opened recording.
#include <QClipboard>
#include <QLineSeries>
#include <QScatterSeries>
#include <QtTest>
#include <cmath>
#include <numbers>
#include <random>

#include "analysis/quantity_text.h"
#include "analysis/statistics.h"
#include "support/qtest_strings.h"
#include "support/shell_rig.h"

using namespace curvalon;
using namespace curvalon::test;

namespace {

const Units kVolts{"V", "s"}, kInCounts{"counts", "samples"};

// A source whose Frequency and Max are these; every other measurement has no value.
SourceReadings readingsOf(int source, std::optional<double> frequency, double max = 1,
                          Units units = kVolts) {
    SourceReadings s;
    s.source = source;
    s.name = source < 4 ? "CH" + std::to_string(source + 1)
                        : "REF" + std::string(1, char('A' + source - 4));
    s.units = units;
    for (Reading& r : s.readings)
        r.reason = "no complete cycle";
    Reading& f = s.readings[std::size_t(Measure::Frequency)];
    if (frequency) f.value = frequency, f.reason.clear();
    Reading& m = s.readings[std::size_t(Measure::Max)];
    m.value = max, m.reason.clear();
    return s;
}

struct TwoPass {
    long double mean = 0, deviation = 0, min = 0, max = 0;
};
TwoPass twoPass(const std::vector<double>& x) {
    TwoPass t;
    for (double v : x)
        t.mean += v;
    t.mean /= x.size();
    for (double v : x)
        t.deviation += (v - t.mean) * (v - t.mean);
    t.deviation = x.size() > 1 ? std::sqrt(t.deviation / (x.size() - 1)) : 0;
    t.min = *std::min_element(x.begin(), x.end()), t.max = *std::max_element(x.begin(), x.end());
    return t;
}

// CH1 a sine of this many cycles in the record, of 80 counts.
void sineOn(SimulatedInstrument& instrument, double cycles) {
    for (int k = 0; k < kSamples; ++k)
        instrument.waveforms[0][std::size_t(k)] =
            std::int8_t(std::lround(80 * std::sin(2 * std::numbers::pi * cycles * k / kSamples)));
}

}  // namespace

class TrendTest : public QObject {
    Q_OBJECT

  private slots:
    // Mean, extremes and sample deviation one value at a time, as two passes over all of them
    // give; near 1e6 with a spread of 1e-3 too, where the sum of squares loses every digit.
    void runningStatistics_data() {
        QTest::addColumn<std::vector<double>>("values");
        std::mt19937 random(7);
        std::normal_distribution<double> normal(-3.5, 2);
        std::vector<double> noisy(1000), nearMillion(100000);
        for (double& v : noisy)
            v = normal(random);
        std::uniform_real_distribution<double> tiny(-1e-3, 1e-3);
        for (double& v : nearMillion)
            v = 1e6 + tiny(random);
        QTest::newRow("one value") << std::vector<double>{42.5};
        QTest::newRow("constant") << std::vector<double>(50, 3.3);
        QTest::newRow("two") << std::vector<double>{-1, 3};
        QTest::newRow("noisy") << noisy;
        QTest::newRow("near a million") << nearMillion;
    }
    void runningStatistics() {
        QFETCH(std::vector<double>, values);
        RunningStatistics s;
        for (double v : values)
            s.add(v);
        const TwoPass t = twoPass(values);
        QCOMPARE(s.count(), int(values.size()));
        QCOMPARE(s.last(), values.back());
        QCOMPARE(s.min(), double(t.min));
        QCOMPARE(s.max(), double(t.max));
        QVERIFY(std::abs(s.mean() - double(t.mean)) <= 1e-12 * std::abs(double(t.mean)) + 1e-15);
        QCOMPARE(s.deviation().has_value(), values.size() > 1);
        if (values.size() > 1)
            QVERIFY2(std::abs(*s.deviation() - double(t.deviation)) <=
                         1e-6 * double(t.deviation) + 1e-15,
                     qPrintable(QString::number(*s.deviation() - double(t.deviation))));
    }

    // Failed reads, reads without a value and bounds are not counted and say why; a reset in
    // the middle leaves the reads after it, as their own two-pass statistics give.
    void notCountedAndReset() {
        MeasureStatistics st;
        std::vector<double> afterReset;
        for (int read = 0; read < 40; ++read) {
            if (read == 20) st.reset();
            if (read % 7 == 3) {
                st.addFailed("Error[1] Packet receive Error(CH1)");
                continue;
            }
            const bool noValue = read % 5 == 1;
            const double f = 1000 + 3 * read - 0.5 * read * read / 10;
            SourceReadings r = readingsOf(0, noValue ? std::nullopt : std::optional(f));
            if (read == 33) r.readings[std::size_t(Measure::Max)].bound = Bound::AtLeast;
            st.add({r});
            if (read >= 20 && !noValue) afterReset.push_back(f);
        }
        const MeasureCell* frequency = st.cell(0, Measure::Frequency);
        QVERIFY(frequency);
        const TwoPass t = twoPass(afterReset);
        QCOMPARE(frequency->values.count(), int(afterReset.size()));
        QVERIFY(std::abs(frequency->values.mean() - double(t.mean)) < 1e-9);
        QVERIFY(std::abs(*frequency->values.deviation() - double(t.deviation)) < 1e-9);
        QCOMPARE(frequency->values.min(), double(t.min));
        QCOMPARE(frequency->notCounted, 3);  // reads 21, 26 and 36; 31 failed
        QCOMPARE(frequency->reason, std::string("no complete cycle"));
        const MeasureCell* max = st.cell(0, Measure::Max);
        QCOMPARE(max->notCounted, 1);
        QCOMPARE(max->reason, std::string("clipped (a bound)"));
        QCOMPARE(st.failedReads(), 3);  // reads 24, 31 and 38
        QCOMPARE(st.reads(), 17);
        QCOMPARE(st.lastFailure(), std::string("Error[1] Packet receive Error(CH1)"));
        QVERIFY(!st.cell(1, Measure::Frequency));
    }

    // Live statistics begin again when the sources or their units change, and only then; a
    // recording's keep each source apart.
    void restartWhenTheSourcesChange() {
        MeasureStatistics live;
        live.add({readingsOf(0, 10)});
        live.add({readingsOf(0, 20)});
        QCOMPARE(live.cell(0, Measure::Frequency)->values.count(), 2);
        live.add({readingsOf(0, 30), readingsOf(1, 5)});  // CH2 switched on
        QCOMPARE(live.cell(0, Measure::Frequency)->values.count(), 1);
        QCOMPARE(live.cell(1, Measure::Frequency)->values.mean(), 5.0);
        live.add({readingsOf(0, 40), readingsOf(1, 7, 1, kInCounts)});  // CH2 in counts now
        QCOMPARE(live.cell(0, Measure::Frequency)->values.count(), 1);
        QCOMPARE(live.unitsOf(1).level, std::string("counts"));
        live.add({readingsOf(0, 50)});  // CH2 off
        QCOMPARE(live.reads(), 1);
        QVERIFY(!live.cell(1, Measure::Frequency));

        MeasureStatistics recording(MeasureStatistics::Policy::PerSource);
        recording.add({readingsOf(0, 10)});
        recording.add({readingsOf(0, 20), readingsOf(1, 5)});
        recording.add({readingsOf(1, 9)});
        QCOMPARE(recording.cell(0, Measure::Frequency)->values.mean(), 15.0);
        QCOMPARE(recording.cell(1, Measure::Frequency)->values.mean(), 7.0);
        recording.add({readingsOf(0, 99, 1, kInCounts)});
        QCOMPARE(recording.cell(0, Measure::Frequency)->values.count(), 1);
        QCOMPARE(recording.cell(1, Measure::Frequency)->values.count(), 2);
        QCOMPARE(recording.reads(), 4);
    }

    // The copied table: after each source's column its mean, min, max, std and count; the std of
    // one value and the cells of a measurement never counted are empty, and notes say why.
    void tableWithStatistics() {
        MeasureStatistics st;
        st.add({readingsOf(0, 1000, 2), readingsOf(4, std::nullopt, 3, kInCounts)});
        st.add({readingsOf(0, 1500, 2), readingsOf(4, std::nullopt, 3, kInCounts)});
        st.addFailed("Can't found TDS2024 !");
        const std::string table = measurementTable(
            {readingsOf(0, 1500, 2), readingsOf(4, std::nullopt, 3, kInCounts)}, st, '\t');
        const QStringList lines = QString::fromStdString(table).split('\n');
        QCOMPARE(lines[0],
                 "measurement\tunit\tCH1\tCH1 mean\tCH1 min\tCH1 max\tCH1 std\tCH1 "
                 "count\tREFA (counts samples)\tREFA mean\tREFA min\tREFA max\tREFA "
                 "std\tREFA count");
        QCOMPARE(lines[1 + int(Measure::Max)], "Max\tV\t2\t2\t2\t2\t0\t2\t3\t3\t3\t3\t0\t2");
        QCOMPARE(lines[1 + int(Measure::Frequency)],
                 "Frequency\tHz\t1500\t1250\t1000\t1500\t353.553\t2\t\t\t\t\t\t0");
        QVERIFY(table.find("\n# statistics over 2 reads; not counted: 1 read that failed (the "
                           "last: Can't found TDS2024 !)\n") != std::string::npos);
        QVERIFY(table.find("\n# not counted REFA: Min / Peak-to-peak / ") != std::string::npos);
        QVERIFY(table.find(" / Frequency / ") != std::string::npos);
        QVERIFY(table.find(": 2 reads (the last: no complete cycle)\n") != std::string::npos);
    }

    // Each read's measurements kept compactly: a series has a value where its read measured
    // the source in the units of its latest read, NaN elsewhere.
    void historySeries() {
        MeasureHistory h;
        h.add(1000, {readingsOf(0, 10)});
        h.addFailed(2000);
        h.add(3000, {readingsOf(0, 30), readingsOf(5, 4, 1, kInCounts)});
        h.add(4000, {readingsOf(0, 40, 1, kInCounts)});
        h.add(5000, {readingsOf(5, std::nullopt, 1, kInCounts), readingsOf(0, 50)});
        QCOMPARE(h.size(), std::size_t(5));
        QCOMPARE(h.time(4), std::int64_t(5000));
        QVERIFY(h.failed(1) && !h.failed(2));
        QCOMPARE(h.sources(), (std::vector<int>{0, 5}));
        QCOMPARE(h.name(5), std::string("REFB"));
        const auto ch1 = h.series(0, Measure::Frequency);
        QCOMPARE(ch1.unit, std::string("Hz"));
        const std::vector<double> expected{10, NAN, 30, NAN, 50};
        for (std::size_t i = 0; i < expected.size(); ++i)
            QVERIFY2(
                std::isnan(expected[i]) ? std::isnan(ch1.values[i]) : ch1.values[i] == expected[i],
                qPrintable(QString("read %1: %2").arg(i).arg(ch1.values[i])));
        const auto refB = h.series(5, Measure::Frequency);
        QCOMPARE(refB.unit, std::string("1/sample"));
        QCOMPARE(refB.values[2], 4.0);
        QVERIFY(std::isnan(refB.values[4]) && std::isnan(refB.values[0]));
        QCOMPARE(h.series(0, Measure::Max).values[4], 1.0);  // of the source's own values
        h.clear();
        QCOMPARE(h.size(), std::size_t(0));
        QVERIFY(h.sources().empty());
    }

    // The unit an axis is labelled in, from its largest value.
    void axisUnits_data() {
        QTest::addColumn<double>("largest");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<double>("factor");
        QTest::addColumn<QString>("shown");
        QTest::newRow("kilohertz") << 2500.0 << "Hz" << 1e-3 << "kHz";
        QTest::newRow("just under") << 999.0 << "Hz" << 1.0 << "Hz";
        QTest::newRow("microseconds") << -5.2e-4 << "s" << 1e6 << "\u00b5s";
        QTest::newRow("millivolts") << 0.25 << "V" << 1e3 << "mV";
        QTest::newRow("per sample") << 0.002 << "1/sample" << 1e3 << "m/sample";
        QTest::newRow("zero") << 0.0 << "V" << 1.0 << "V";
        QTest::newRow("percent") << 2500.0 << "%" << 1.0 << "%";
        QTest::newRow("counts") << 1e4 << "counts" << 1.0 << "counts";
    }
    void axisUnits() {
        QFETCH(double, largest);
        QFETCH(QString, unit);
        QFETCH(double, factor);
        QFETCH(QString, shown);
        const AxisUnit a = axisUnit(largest, unit.toStdString());
        QCOMPARE(QString::fromStdString(a.unit), shown);
        QVERIFY(std::abs(a.factor - factor) <= 1e-9 * factor);
    }

    // Live: every completed read counts once, the window shows the statistics when asked, the
    // button begins them again, a failed read is not counted and a change of sources restarts
    // them; Copy measurements carries them.
    void liveStatistics() {
        Rig r;
        r.play("[Measurements(&M)]");
        MeasurementWindow* m = r.app.measurementWindow();
        QTableWidget* t = m->table();
        QCOMPARE(t->columnCount(), 4);  // no statistics until asked
        QVERIFY(!m->statisticsText()->isVisible());
        m->statisticsBox()->click();
        QCOMPARE(t->columnCount(), 24);
        // Laid out under the table, side by side.
        QVERIFY(m->statisticsBox()->geometry().top() > t->geometry().bottom());
        QCOMPARE(m->resetButton()->geometry().center().y(),
                 m->statisticsBox()->geometry().center().y());
        QVERIFY(m->resetButton()->geometry().left() > m->statisticsBox()->geometry().right());
        QCOMPARE(t->horizontalHeaderItem(5)->text(), "CH1 count");
        QCOMPARE(t->horizontalHeaderItem(7)->text(), "CH2 mean");
        m->resetButton()->click();
        std::vector<double> periods;
        for (double cycles : {4.0, 5.0, 8.0}) {
            sineOn(r.instrument, cycles);
            r.play(" ");
            periods.push_back(*r.app.measure().readings()[0][Measure::Period].value);
        }
        const TwoPass two = twoPass(periods);
        const int row = int(Measure::Period);
        QCOMPARE(t->item(row, 5)->text(), "3");
        QCOMPARE(t->item(row, 1)->text(),
                 QString::fromStdString(quantityText(double(two.mean), "s")));
        QCOMPARE(t->item(row, 2)->text(),
                 QString::fromStdString(quantityText(double(two.min), "s")));
        QCOMPARE(t->item(row, 3)->text(),
                 QString::fromStdString(quantityText(double(two.max), "s")));
        QCOMPARE(t->item(row, 4)->text(),
                 QString::fromStdString(quantityText(double(two.deviation), "s")));
        QCOMPARE(m->statisticsText()->text(), "Statistics over 3 reads");
        r.instrument.setFault(Fault::Silence, "CH2?");
        r.play(" ");
        r.instrument.clearFaults();
        QCOMPARE(t->item(row, 5)->text(), "3");
        QVERIFY(m->statisticsText()->text().startsWith(
            "Statistics over 3 reads; not counted: 1 failed (the last: Error[1]"));
        const QString ch2Counted = t->item(row, 11)->text();
        r.play("5");  // CH1 alone: counted for CH1, not for CH2, nothing begins again
        QCOMPARE(t->item(row, 5)->text(), "4");
        QCOMPARE(t->item(row, 11)->text(), ch2Counted);
        QVERIFY2(t->item(row, 11)->toolTip().endsWith(
                     "not counted (the last: not read or its last read failed)"),
                 qPrintable(t->item(row, 11)->toolTip()));
        QCOMPARE(m->statisticsText()->text().left(23), "Statistics over 4 reads");
        r.play("[Copy measurements(&O)]");
        QVERIFY(QApplication::clipboard()->text().startsWith(
            "measurement\tunit\tCH1\tCH1 mean\tCH1 min\tCH1 max\tCH1 std\tCH1 count\tCH2\t"));
        m->resetButton()->click();
        QCOMPARE(t->item(row, 5)->text(), "");
        QCOMPARE(m->statisticsText()->text(), "Statistics over 0 reads");
        r.play(" ");
        QCOMPARE(t->item(row, 5)->text(), "1");
        r.instrument.channels[1].displayed = false;  // CH2 off: the statistics begin again
        r.play(" ");
        QCOMPARE(t->columnCount(), 18);
        QCOMPARE(m->statisticsText()->text(), "Statistics over 1 read");
        m->statisticsBox()->click();
        QCOMPARE(t->columnCount(), 3);
    }

    // A recording opened from its folder: the trend's points are its reads in time order, the
    // failed one and the one whose file is gone are gaps, a click opens a read, and the
    // measurement window's statistics are over all its reads.
    void trendOfRecording() {
        Rig r;
        QTemporaryDir dir;
        r.chooseFile = [&](QFileDialog& d) { d.setDirectory(dir.path()); };
        r.play("[Record\u2026]");
        const double cycles[] = {4, 5, 6, 8, 10};
        for (int read = 0; read < 5; ++read) {
            sineOn(r.instrument, cycles[read]);
            if (read == 1) r.instrument.setFault(Fault::Silence, "CH2?");
            r.play(" ");
            r.instrument.clearFaults();
        }
        r.play("[Record\u2026]");
        QStringList files = QDir(dir.path()).entryList({"curvalon-*.csv"}, QDir::Files, QDir::Name);
        QCOMPARE(files.size(), 4);
        QVERIFY(QFile::remove(dir.filePath(files[3])));  // read 5's
        const std::size_t live = r.app.measure().history().size();
        r.app.openPaths({dir.path()});
        QTRY_VERIFY(!r.app.reviewMeasures().measuring());
        r.play("[Trend\u2026(&T)]");
        TrendWindow* trend = r.app.trendWindow();
        QVERIFY(trend && trend->isVisible());
        QCOMPARE(trend->windowTitle(), "Trend");
        QCOMPARE(trend->measure(), Measure::Frequency);
        QCOMPARE(trend->plotted(), std::vector<int>{0});
        const MeasureHistory& h = r.app.measure().history();
        QCOMPARE(h.size(), std::size_t(5));
        for (std::size_t i = 1; i < h.size(); ++i)
            QVERIFY(h.time(i) > h.time(i - 1));
        const auto frequency = h.series(0, Measure::Frequency);
        const double record = kSamples / 250.0 * r.app.measure().acquisition()->timeDiv;
        const std::vector<double> expected{cycles[0] / record, NAN, cycles[2] / record,
                                           cycles[3] / record, NAN};
        for (std::size_t i = 0; i < expected.size(); ++i)
            QVERIFY2(std::isnan(expected[i])
                         ? std::isnan(frequency.values[i])
                         : std::abs(frequency.values[i] / expected[i] - 1) < 1e-3,
                     qPrintable(QString("read %1: %2").arg(i + 1).arg(frequency.values[i])));
        // Three values in two stretches: a point alone and a line of two, with mean and extremes.
        int lines = 0, points = 0;
        for (QAbstractSeries* s : trend->chart()->series()) {
            if (auto* line = qobject_cast<QLineSeries*>(s); line && !s->name().contains("mean")) {
                ++lines;
                QCOMPARE(line->count(), 2);
            }
            if (qobject_cast<QScatterSeries*>(s) && !s->name().contains("min")) ++points;
        }
        QCOMPARE(lines, 1);
        QCOMPARE(points, 1);
        std::vector<double> values;
        for (double v : frequency.values)
            if (!std::isnan(v)) values.push_back(v);
        const TwoPass two = twoPass(values);
        const auto hz = [](long double v) {
            return QString::fromStdString(quantityText(double(v), "Hz"));
        };
        const QString stats =
            QString("CH1: last %1  mean %2  min %3  max %4  std %5  count 3 of 5")
                .arg(hz(values.back()), hz(two.mean), hz(two.min), hz(two.max), hz(two.deviation));
        QCOMPARE(trend->statisticsText()->text(), stats);
        const QStringList rows = trend->table().split('\n');
        QCOMPARE(rows[0], "time\tCH1 Frequency (Hz)");
        QCOMPARE(rows.size(), 7);  // and the empty line after the last
        const QRegularExpression iso(
            R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}(Z|[+-]\d\d:\d\d)\t)");
        for (int i = 1; i <= 5; ++i)
            QVERIFY2(iso.match(rows[i]).hasMatch(), qPrintable(rows[i]));
        QVERIFY(rows[2].endsWith('\t') && rows[5].endsWith('\t') && !rows[4].endsWith('\t'));
        // The measurement window: Frequency over the three reads that have one.
        r.play("[Measurements(&M)]");
        MeasurementWindow* m = r.app.measurementWindow();
        m->statisticsBox()->click();
        QCOMPARE(m->table()->item(int(Measure::Frequency), 5)->text(), "3");
        QCOMPARE(m->statisticsText()->text().left(46),
                 "Statistics over 3 reads; not counted: 2 failed");
        // A click on the third point opens read 3, whichever read was shown.
        trend->pointClicked(QPointF(double(h.time(2)), 60));
        QVERIFY2(r.window.windowTitle().endsWith(" - read 3"), qPrintable(r.window.windowTitle()));
        // A click beside the last read, a gap, opens the nearest read with a value.
        trend->pointClicked(QPointF(double(h.time(4)) + 1e6, 80));
        QVERIFY2(r.window.windowTitle().endsWith(" - read 4"), qPrintable(r.window.windowTitle()));
        QCOMPARE(m->table()->item(int(Measure::Frequency), 5)->text(), "3");
        // Leaving the review brings back the live reads since the start, and the next one.
        r.play(" ");
        QVERIFY(!r.app.review().active());
        QCOMPARE(r.app.measure().history().size(), live + 1);
        QCOMPARE(trend->table().count('\n'), int(live) + 2);
    }

    // Ten thousand reads drawn per pixel column: the extremes stay, a block of failed reads
    // wider than a column is a gap, a failed read among many is not.
    void manyReadsDrawn() {
        MeasureHistory h;
        for (int i = 0; i < 10000; ++i) {
            const bool failed = (i >= 4000 && i < 6000) || i % 97 == 5;
            const double f = i == 1234 ? 5000 : i == 8765 ? -10 : 1000 + i % 50;
            failed ? h.addFailed(i * 1000LL) : h.add(i * 1000LL, {readingsOf(0, f)});
        }
        TrendWindow trend(nullptr, [&h]() -> const MeasureHistory& { return h; });
        trend.resize(720, 480);
        trend.choose(Measure::Frequency, {0});
        int lines = 0, points = 0;
        double low = 1e9, high = -1e9;
        for (QAbstractSeries* s : trend.chart()->series()) {
            auto* line = qobject_cast<QLineSeries*>(s);
            if (!line || s->name().contains("mean")) continue;
            ++lines;
            points += line->count();
            for (const QPointF& p : line->points())
                low = std::min(low, p.y()), high = std::max(high, p.y());
        }
        QCOMPARE(lines, 2);
        QVERIFY2(points <= 4 * trend.view()->width(), qPrintable(QString::number(points)));
        QCOMPARE(low, -10.0 / 1000);  // in kHz
        QCOMPARE(high, 5000.0 / 1000);
        QVERIFY(trend.statisticsText()->text().contains("count 7916 of 10000"));
    }

    // Ctrl+C copies the trend's table and picture together; Save writes either, whole or not
    // at all.
    void trendCopiedAndSaved() {
        Rig r;
        for (double cycles : {4.0, 5.0}) {
            sineOn(r.instrument, cycles);
            r.play(" ");
        }
        r.play("[Trend\u2026(&T)]");
        TrendWindow* trend = r.app.trendWindow();
        QTest::keyClick(trend->view(), Qt::Key_C, Qt::ControlModifier);
        const QMimeData* copied = QApplication::clipboard()->mimeData();
        QVERIFY(copied->hasImage());
        QCOMPARE(copied->text(), trend->table());
        QCOMPARE(r.status(), std::string("Copied: trend table and picture"));
        QTemporaryDir dir;
        QCOMPARE(trend->saveTo(dir.filePath("t.tsv")), QString());
        QFile table(dir.filePath("t.tsv"));
        QVERIFY(table.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(table.readAll()), trend->table());
        QCOMPARE(trend->saveTo(dir.filePath("t.png")), QString());
        QCOMPARE(QImage(dir.filePath("t.png")).size(), trend->view()->size());
        QVERIFY(!trend->saveTo(dir.filePath("missing/t.tsv")).isEmpty());
        QVERIFY(!QFileInfo::exists(dir.filePath("missing")));
        // Another source overlaid, and the live trend follows the next read.
        trend->sourceBox(1)->click();
        QCOMPARE(trend->plotted(), (std::vector<int>{0, 1}));
        QVERIFY(trend->table().startsWith("time\tCH1 Frequency (Hz)\tCH2 Frequency (Hz)\n"));
        const std::size_t reads = r.app.measure().history().size();
        r.play(" ");
        QCOMPARE(trend->table().count('\n'), int(reads) + 2);
    }
};

QTEST_MAIN(TrendTest)
#include "test_trend.moc"
