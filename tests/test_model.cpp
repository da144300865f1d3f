// The model layer: the filling operations. The start-up tables, the demo curves and the source
// switches are seen in the window's pictures, in its tests.
#include <QTest>

#include "model/array_fill.h"
#include "support/case_table.h"
#include "support/qtest_strings.h"

using namespace curvalon;

class ModelTest : public QObject {
    Q_OBJECT

  private slots:
    void set1Array_data() { test::addCaseRows("array-fill", {"values", "result", "elements"}); }
    void set1Array() {
        auto [values, result, elements] = test::caseFields("values", "result", "elements");
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
