#include <QtTest>

#include "model/array_fill.h"
#include "model/scope_state.h"

using namespace curvalon;

class ScopeStateTest : public QObject {
    Q_OBJECT
  private slots:
    void initialStateIsTheStartUpZoomWithEverythingOff() {
        ScopeState s;
        s.chEnable[2] = 1;  // a stale flag must be cleared
        s.refView = 1;
        initTables(s, rgb(240, 240, 240));
        QCOMPARE(s.magHIdx, 1);
        QCOMPARE(s.magVIdx, 1);
        QCOMPARE(s.magH, 2);
        QCOMPARE(s.magV, 20);
        QCOMPARE(s.drawnMagH, 2);
        QCOMPARE(s.drawnMagV, 20);
        QCOMPARE(s.trigPoint, 1250);
        QCOMPARE(s.scopePresent, 0);
        QCOMPARE(s.refView, 0);
        for (int i = 0; i < kSourceCount; ++i) {
            QCOMPARE(s.chEnable[i], 0);
            QCOMPARE(s.refShown[i], 0);
            QCOMPARE(s.refStored[i], 0);
        }
        QCOMPARE(s.srcName[11], std::string(" - "));
        QCOMPARE(s.srcName[4], std::string("REFA"));
        QCOMPARE(s.formWTbl[0], s.formWTbl[1]);
        QCOMPARE(s.formHTbl[0], s.formHTbl[1]);
        QCOMPARE(s.formWTbl[9], 27695);
        QCOMPARE(s.panelHTbl[3], 10355);
        QCOMPARE(s.gridYTbl[4], 125);
        QCOMPARE(s.formBackColor, rgb(240, 240, 240));
        QCOMPARE(s.traceColor[0], rgb(255, 200, 0));
        QCOMPARE(s.traceColor[7], rgb(128, 192, 128));
        QCOMPARE(s.plotX0 + 2500 * s.magH, 7350);
        QCOMPARE(s.plotY0 + 250 * s.magV, 5200);
        for (const auto& src : s.curve)
            QCOMPARE(src[kSamples], 0);
    }

    void rgbKeepsRedInTheLowByte() { QCOMPARE(rgb(1, 2, 3), Rgb(0x030201)); }

    void set1ArrayFillsFromTheStartAndRoundsHalfToEven() {
        std::array<std::int32_t, 10> a{};
        a.fill(-7);
        QCOMPARE(set1Array(a, {2.5, 3.5, -2.5, 1.49}), FillResult::Ok);
        QCOMPARE(a[0], 2);
        QCOMPARE(a[1], 4);
        QCOMPARE(a[2], -2);
        QCOMPARE(a[3], 1);
        for (int i = 4; i < 10; ++i)
            QCOMPARE(a[i], -7);  // beyond the values: untouched
        QCOMPARE(set1Array(a, {}), FillResult::Ok);
        QCOMPARE(a[0], 2);
    }

    void set1ArrayRefusesWithoutWritingAnything_data() {
        QTest::addColumn<QList<double>>("values");
        QTest::addColumn<int>("result");
        QTest::newRow("one value too many")
            << QList<double>{1, 2, 3, 4} << int(FillResult::OutOfRange);
        QTest::newRow("above the 32-bit range")
            << QList<double>{1, 2147483648.0} << int(FillResult::Overflow);
        QTest::newRow("below the 32-bit range")
            << QList<double>{-2147483649.0} << int(FillResult::Overflow);
        QTest::newRow("rounds past the top")
            << QList<double>{2147483647.5} << int(FillResult::Overflow);
        QTest::newRow("not a number") << QList<double>{std::nan("")} << int(FillResult::Overflow);
    }
    void set1ArrayRefusesWithoutWritingAnything() {
        QFETCH(QList<double>, values);
        QFETCH(int, result);
        std::array<std::int32_t, 3> a{9, 9, 9};
        std::vector<double> v(values.begin(), values.end());
        QCOMPARE(int(set1Array(a, std::span<const double>(v))), result);
        QCOMPARE(a, (std::array<std::int32_t, 3>{9, 9, 9}));
    }

    void set1ArrayTakesTheExtremesOfTheRange() {
        std::array<std::int32_t, 2> a{};
        QCOMPARE(set1Array(a, {2147483647.0, -2147483648.4}), FillResult::Ok);
        QCOMPARE(a[0], 2147483647);
        QCOMPARE(a[1], std::int32_t(-2147483647 - 1));
    }

    void set2ArrayFillsSuccessiveRows() {
        std::array<std::array<std::int32_t, 3>, 2> a{};
        std::span<std::array<std::int32_t, 3>> rows(a);
        std::int32_t row = 0;
        QCOMPARE(set2Array(rows, row, {1, 2, 3}), FillResult::Ok);
        QCOMPARE(row, 1);
        QCOMPARE(set2Array(rows, row, {4.5}), FillResult::Ok);
        QCOMPARE(row, 2);
        QCOMPARE(a[0], (std::array<std::int32_t, 3>{1, 2, 3}));
        QCOMPARE(a[1], (std::array<std::int32_t, 3>{4, 0, 0}));
        // Past the last row: refused, row stays.
        QCOMPARE(set2Array(rows, row, {}), FillResult::OutOfRange);
        QCOMPARE(row, 2);
        row = -1;
        QCOMPARE(set2Array(rows, row, {1}), FillResult::OutOfRange);
    }

    void set2ArrayWithNoValuesStillAdvances() {
        std::array<std::array<std::int32_t, 3>, 2> a{};
        std::int32_t row = 0;
        QCOMPARE(set2Array(std::span<std::array<std::int32_t, 3>>(a), row, {}), FillResult::Ok);
        QCOMPARE(row, 1);
        row = 0;
        QCOMPARE(set2Array(std::span<std::array<std::int32_t, 3>>(a), row, {1, 2, 3, 4}),
                 FillResult::OutOfRange);
        QCOMPARE(row, 0);
        QCOMPARE(a[0][0], 0);
    }
};

QTEST_GUILESS_MAIN(ScopeStateTest)
#include "test_scope_state.moc"
