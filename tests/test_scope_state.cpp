#include <QtTest>

#include "model/array_fill.h"
#include "model/demo_waveforms.h"
#include "model/scope_state.h"

using namespace curvalon;

class ScopeStateTest : public QObject {
    Q_OBJECT
  private slots:
    // Where a slip would only show later: the start-up zoom, the flags, and a few table ends.
    void initialStateIsTheStartUpZoomWithEverythingOff() {
        ScopeState s;
        s.chEnable[2] = 1;  // a stale flag must be cleared
        s.refView = 1;
        initTables(s, rgb(240, 240, 240));
        QCOMPARE((std::tuple{s.magHIdx, s.magVIdx, s.magH, s.magV}), (std::tuple{1, 1, 2, 20}));
        QCOMPARE((std::tuple{s.drawnMagH, s.drawnMagV}), (std::tuple{2, 20}));
        QCOMPARE((std::tuple{s.trigPoint, s.scopePresent, s.refView}), (std::tuple{1250, 0, 0}));
        for (int i = 0; i < kSourceCount; ++i) {
            QCOMPARE(s.chEnable[i] | s.refShown[i] | s.refStored[i], 0);
            QCOMPARE(s.curve[i][kSamples], 0);
        }
        QCOMPARE(s.srcName[11], std::string(" - "));
        QCOMPARE((std::pair{s.formWTbl[0], s.formHTbl[0]}),
                 (std::pair{s.formWTbl[1], s.formHTbl[1]}));
        QCOMPARE(rgb(1, 2, 3), Rgb(0x030201));
    }

    // Fills a five-element row holding 9s; nothing is written unless the whole list fits.
    void set1Array_data() {
        QTest::addColumn<QList<double>>("values");
        QTest::addColumn<int>("result");
        QTest::addColumn<QList<int>>("row");
        const QList<int> untouched{9, 9, 9, 9, 9};
        const int ok = int(FillResult::Ok), overflow = int(FillResult::Overflow);
        QTest::newRow("from the start, halves to even")
            << QList<double>{2.5, 3.5, -2.5, 1.49} << ok << QList<int>{2, 4, -2, 1, 9};
        QTest::newRow("empty list") << QList<double>{} << ok << untouched;
        QTest::newRow("extremes of the range") << QList<double>{2147483647.0, -2147483648.4} << ok
                                               << QList<int>{2147483647, -2147483647 - 1, 9, 9, 9};
        QTest::newRow("one value too many")
            << QList<double>{1, 2, 3, 4, 5, 6} << int(FillResult::OutOfRange) << untouched;
        QTest::newRow("above the 32-bit range")
            << QList<double>{1, 2147483648.0} << overflow << untouched;
        QTest::newRow("below the 32-bit range")
            << QList<double>{-2147483649.0} << overflow << untouched;
        QTest::newRow("rounds past the top")
            << QList<double>{2147483647.5} << overflow << untouched;
        QTest::newRow("not a number") << QList<double>{std::nan("")} << overflow << untouched;
    }
    void set1Array() {
        QFETCH(QList<double>, values);
        QFETCH(int, result);
        QFETCH(QList<int>, row);
        std::array<std::int32_t, 5> a{9, 9, 9, 9, 9};
        const std::vector<double> v(values.begin(), values.end());
        QCOMPARE(int(curvalon::set1Array(a, std::span<const double>(v))), result);
        QCOMPARE(QList<int>(a.begin(), a.end()), row);
    }

    void set2ArrayFillsSuccessiveRows() {
        std::array<std::array<std::int32_t, 3>, 3> a{};
        std::span<std::array<std::int32_t, 3>> rows(a);
        std::int32_t row = 0;
        QCOMPARE(set2Array(rows, row, {1, 2, 3}), FillResult::Ok);
        QCOMPARE(set2Array(rows, row, {4.5}), FillResult::Ok);
        QCOMPARE(row, 2);
        // Refused: no write, the row stays.
        QCOMPARE(set2Array(rows, row, {1, 2, 3, 4}), FillResult::OutOfRange);
        QCOMPARE(row, 2);
        // An empty list still advances.
        QCOMPARE(set2Array(rows, row, {}), FillResult::Ok);
        QCOMPARE(row, 3);
        QCOMPARE(a,
                 (std::array<std::array<std::int32_t, 3>, 3>{{{1, 2, 3}, {4, 0, 0}, {0, 0, 0}}}));
        // Past the last row, or before the first: refused.
        QCOMPARE(set2Array(rows, row, {}), FillResult::OutOfRange);
        QCOMPARE(row, 3);
        row = -1;
        QCOMPARE(set2Array(rows, row, {1}), FillResult::OutOfRange);
    }

    // The demo mode's curves, in the scope state's curve buffer.
    void demoWaveforms() {
        ScopeState s;
        for (auto& src : s.curve)
            src.fill(99);
        makeDemoCurves(s);
        // Source, sample, value: the listed samples, and the steps of each shape.
        const int expected[][3] = {
            {0, 0, 60},   {0, 4, 60},    {0, 5, 61},     {0, 11, 61},   {0, 12, 62},  {0, 20, 62},
            {0, 21, 63},  {0, 476, 60},  {0, 2499, 72},  {1, 0, 8},     {1, 17, 7},   {1, 2494, 0},
            {1, 2499, 0}, {2, 250, -5},  {2, 251, -45},  {2, 699, -45}, {2, 700, -5}, {3, 0, -80},
            {3, 90, -59}, {3, 180, -51}, {3, 540, -109}, {3, 2499, -75}};
        for (const auto& [src, i, value] : expected)
            QCOMPARE((QList<int>{src, i, s.curve[src][i]}), (QList<int>{src, i, value}));
        // References all zero; entry 2500 lies past the record and is left alone.
        for (int src = 0; src < kSourceCount; ++src) {
            QCOMPARE(s.curve[src][kSamples], 99);
            for (int i = 0; src >= 4 && i < kSamples; ++i)
                QCOMPARE(s.curve[src][i], 0);
        }
        // Each trace stays in its own band of rows (row = 125 - value).
        const int bands[4][2] = {{6, 65}, {76, 125}, {130, 170}, {176, 234}};
        for (int ch = 0; ch < 4; ++ch) {
            for (int i = 0; i < kSamples; ++i) {
                const int row = 125 - s.curve[ch][i];
                QVERIFY2(row >= bands[ch][0] && row <= bands[ch][1],
                         qPrintable(QString::number(i)));
            }
        }
    }
};

QTEST_GUILESS_MAIN(ScopeStateTest)
#include "test_scope_state.moc"
