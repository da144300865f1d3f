// The model layer: the selections' range and filling tables. The start-up tables, the demo curves
// and the source switches are seen in the window's pictures, in its tests.
#include <QTest>

#include "model/array_fill.h"
#include "model/channel_selection.h"
#include "model/reference_selection.h"
#include "model/scope_state.h"
#include "support/case_table.h"
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

    void set1Array_data() { test::addCaseRows("array-fill", {"values", "result", "elements"}); }
    void set1Array() {
        QFETCH(QByteArray, values);
        QFETCH(QByteArray, result);
        QFETCH(QByteArray, elements);
        std::vector<double> numbers;
        for (const QByteArray& v : values.split(' '))
            numbers.push_back(v.toDouble());
        std::array<std::int32_t, 6> a{9, 9, 9, 9, 9, 9};
        const auto r = curvalon::set1Array(a, std::span<const double>(numbers));
        QCOMPARE(QByteArrayList({"Ok", "OutOfRange", "Overflow"}).value(int(r)), result);
        QByteArrayList stored;
        for (std::int32_t e : a)
            stored << QByteArray::number(e);
        QCOMPARE(stored.join(' '), elements);
    }

    // Refused fills write nothing and keep the row; an empty list still moves on.
    void set2ArrayAdvancesOnlyOnSuccess() {
        std::array<std::array<std::int32_t, 2>, 2> a{};
        std::int32_t row = 0, before = -1;
        using enum FillResult;
        QCOMPARE((QList<FillResult>{set2Array<2>(a, row, {1.5, 7}), set2Array<2>(a, row, {1, 2, 3}),
                                    set2Array<2>(a, row, {}), set2Array<2>(a, row, {5}),
                                    set2Array<2>(a, before, {5})}),
                 (QList<FillResult>{Ok, OutOfRange, Ok, OutOfRange, OutOfRange}));
        QCOMPARE((QList<int>{row, before, a[0][0], a[0][1], a[1][0]}),
                 (QList<int>{2, -1, 2, 7, 0}));
    }
};

QTEST_GUILESS_MAIN(ModelTest)
#include "test_model.moc"
