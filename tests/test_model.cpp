// The model layer: the start-up state, filling tables and the demo curves. The source switches are
// seen through the window, in its tests.
#include <QTest>
#include <cmath>

#include "model/array_fill.h"
#include "model/demo_waveforms.h"
#include "support/qtest_strings.h"

using namespace curvalon;
using namespace Qt::StringLiterals;

class ModelTest : public QObject {
    Q_OBJECT

  private slots:
    // Whatever the previous session left behind must not survive the start-up.
    void initTablesStartsFromKnownValues() {
        ScopeState s;
        s.scopePresent = s.refView = s.delayDone = 1;
        s.gridColor = s.trigTextColor = rgb(1, 2, 3);
        s.chEnable.fill(1), s.refShown.fill(1), s.refStored.fill(1);
        s.lastCommand = s.rxText = s.cmdText = "stale";
        initTables(s, rgb(240, 240, 240));
        QCOMPARE((QList<int>{s.magHTbl[9], s.magVTbl[3], s.formWTbl[2], s.formHTbl[3],
                             s.panelHTbl[1], s.gridXTbl[8], s.gridYTbl[0], s.magHIdx, s.magVIdx,
                             s.magH, s.magV, s.drawnMagH, s.drawnMagV, s.trigPoint}),
                 (QList<int>{10, 40, 10195, 11360, 5295, 2250, 25, 1, 1, 2, 20, 2, 20, 1250}));
        QCOMPARE((QList<int>{s.plotX0, s.plotY0, s.plotPoints, s.plotCounts, s.eraseMarginX,
                             s.eraseMarginY, s.markUnitX, s.markUnitY}),
                 (QList<int>{2350, 200, 2500, 250, 300, 300, 2, 20}));
        QCOMPARE((QList<Rgb>{s.gridColor, s.screenEdgeColor, s.formBackColor, s.offColor,
                             s.trigTextColor, s.trigMarkColor, s.traceColor[0], s.traceColor[7]}),
                 (QList<Rgb>{0, rgb(208, 208, 208), rgb(240, 240, 240), rgb(196, 196, 196), 0,
                             rgb(160, 160, 160), rgb(255, 200, 0), rgb(128, 192, 128)}));
        const std::array<std::int32_t, kSourceCount> off{};
        QVERIFY(s.chEnable == off && s.refShown == off && s.refStored == off);
        QCOMPARE((QList<int>{s.scopePresent, s.refView, s.delayDone}), (QList<int>{0, 0, 0}));
        QCOMPARE(s.lastCommand + s.rxText + s.cmdText + s.srcName[0] + s.srcName[11], "CH1 - ");
    }

    // Into six elements holding 9s: nothing is written unless every value fits and has room.
    void set1Array_data() {
        QTest::addColumn<QList<double>>("values");
        QTest::addColumn<int>("result");
        QTest::addColumn<QList<int>>("elements");
        using enum FillResult;
        const auto row = [](const char* tag, QList<double> v, FillResult r, QList<int> e) {
            QTest::newRow(tag) << v << int(r) << (e.isEmpty() ? QList<int>(6, 9) : e);
        };
        row("halves to even, the rest kept", {2.5, 3.5, -2.5, 1.49}, Ok, {2, 4, -2, 1, 9, 9});
        row("exactly full, both range ends", {2147483647.0, -2147483648.4, 0, 0, 0, 0}, Ok,
            {2147483647, -2147483647 - 1, 0, 0, 0, 0});
        row("one value too many", {1, 2, 3, 4, 5, 6, 7}, OutOfRange, {});
        row("above the range after a good value", {1, 2147483648.0}, Overflow, {});
        row("not a number", {std::nan("")}, Overflow, {});
    }
    void set1Array() {
        QFETCH(QList<double>, values);
        QFETCH(int, result);
        QFETCH(QList<int>, elements);
        std::array<std::int32_t, 6> a{9, 9, 9, 9, 9, 9};
        QCOMPARE(int(curvalon::set1Array(a, std::span<const double>(values))), result);
        QCOMPARE(QList<int>(a.begin(), a.end()), elements);
    }

    // Refused fills write nothing and keep the row; an empty list still moves on.
    void set2ArrayAdvancesOnlyOnSuccess() {
        std::array<std::array<std::int32_t, 2>, 2> a{};
        std::int32_t row = 0, before = -1;
        QCOMPARE(set2Array<2>(a, row, {1.5, 7}), FillResult::Ok);
        QCOMPARE(set2Array<2>(a, row, {1, 2, 3}), FillResult::OutOfRange);
        QCOMPARE(set2Array<2>(a, row, {}), FillResult::Ok);
        QCOMPARE(set2Array<2>(a, row, {5}), FillResult::OutOfRange);
        QCOMPARE(set2Array<2>(a, before, {5}), FillResult::OutOfRange);
        QCOMPARE((QList<int>{row, before, a[0][0], a[0][1], a[1][0]}),
                 (QList<int>{2, -1, 2, 7, 0}));
    }

    // "sample:value ..."; sample 2500 lies past the record and keeps what it held.
    void demoCurves_data() {
        QTest::addColumn<int>("source");
        QTest::addColumn<QByteArray>("samples");
        QTest::newRow("rising sawtooth")
            << 0 << "0:60 4:60 7:61 12:62 20:62 1250:96 2499:72 2500:99"_ba;
        QTest::newRow("falling sawtooth") << 1 << "0:8 12:7 1250:4 2482:2 2494:0 2499:0 2500:99"_ba;
        QTest::newRow("rectangle") << 2 << "0:-5 250:-5 251:-45 699:-45 700:-5 2499:-45 2500:99"_ba;
        QTest::newRow("sine, cut toward zero")
            << 3 << "0:-80 90:-59 180:-51 1250:-109 2499:-75 2500:99"_ba;
        QTest::newRow("REFD zeroed") << 7 << "0:0 2499:0 2500:99"_ba;
    }
    void demoCurves() {
        QFETCH(int, source);
        QFETCH(QByteArray, samples);
        ScopeState s;
        for (auto& curve : s.curve)
            curve.fill(99);
        makeDemoCurves(s);
        QByteArray got;
        for (const QByteArray& item : samples.split(' ')) {
            const int k = item.left(item.indexOf(':')).toInt();
            got += ' ' + QByteArray::number(k) + ':' + QByteArray::number(s.curve[source][k]);
        }
        QCOMPARE(got.mid(1), samples);
    }

};

QTEST_GUILESS_MAIN(ModelTest)
#include "test_model.moc"
