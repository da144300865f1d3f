// The model layer: the selections' range and filling tables. The start-up tables, the demo curves
// and the source switches are seen in the window's pictures, in its tests.
#include <QTest>
#include <cmath>

#include "model/array_fill.h"
#include "model/channel_selection.h"
#include "model/reference_selection.h"
#include "model/scope_state.h"
#include "support/fake_window_ops.h"
#include "support/qtest_strings.h"

using namespace curvalon;

class ModelTest : public QObject {
    Q_OBJECT

  private slots:
    // Indexes outside a selection's range, negative ones too, change nothing.
    void selectionsIgnoreIndexesOutsideTheirRange() {
        ScopeState s;
        initTables(s, rgb(240, 240, 240));
        s.refView = 1, s.refStored.fill(1), s.chEnable.fill(1), s.refShown.fill(1);
        test::FakeWindowOps w;
        ChannelSelection channels(s, w);
        ReferenceSelection references(s, w);
        for (std::int32_t i : {-1, 4})
            channels.toggleChannel(i), channels.channelOff(i), channels.channelUnavailable(i);
        for (std::int32_t i : {3, 8})
            references.toggleRef(i), references.refOff(i), references.refUnavailable(i);
        const std::array<std::int32_t, kSourceCount> on{1, 1, 1, 1, 1, 1, 1, 1};
        QVERIFY(s.chEnable == on && s.refShown == on && s.refStored == on);
        QVERIFY(w.statusTexts.empty() && w.get("button enabled", Button::cbCh, 4).empty());
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
};

QTEST_GUILESS_MAIN(ModelTest)
#include "test_model.moc"
