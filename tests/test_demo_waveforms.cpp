#include <QtTest>

#include "model/demo_waveforms.h"

using namespace curvalon;

class DemoWaveformsTest : public QObject {
    Q_OBJECT
  private slots:
    void samples_data() {
        QTest::addColumn<int>("source");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("value");
        const std::array<std::array<int, 2>, 9> ch1{{{0, 60},
                                                     {4, 60},
                                                     {5, 61},
                                                     {11, 61},
                                                     {12, 62},
                                                     {20, 62},
                                                     {21, 63},
                                                     {476, 60},
                                                     {2499, 72}}};
        for (auto [i, v] : ch1)
            QTest::addRow("CH1 %d", i) << 0 << i << v;
        const std::array<std::array<int, 2>, 4> ch2{{{0, 8}, {17, 7}, {2494, 0}, {2499, 0}}};
        for (auto [i, v] : ch2)
            QTest::addRow("CH2 %d", i) << 1 << i << v;
        const std::array<std::array<int, 2>, 4> ch3{{{250, -5}, {251, -45}, {699, -45}, {700, -5}}};
        for (auto [i, v] : ch3)
            QTest::addRow("CH3 %d", i) << 2 << i << v;
        const std::array<std::array<int, 2>, 5> ch4{
            {{0, -80}, {90, -59}, {180, -51}, {540, -109}, {2499, -75}}};
        for (auto [i, v] : ch4)
            QTest::addRow("CH4 %d", i) << 3 << i << v;
    }
    void samples() {
        QFETCH(int, source);
        QFETCH(int, index);
        QFETCH(int, value);
        ScopeState s;
        makeDemoCurves(s);
        QCOMPARE(s.curve[source][index], value);
    }

    void bandsAndReferences() {
        ScopeState s;
        for (auto& src : s.curve)
            src.fill(99);
        makeDemoCurves(s);
        for (int src = 0; src < kSourceCount; ++src)
            QCOMPARE(s.curve[src][kSamples], 99);
        for (int src = 4; src < 8; ++src) {
            for (int i = 0; i < kSamples; ++i)
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

QTEST_GUILESS_MAIN(DemoWaveformsTest)
#include "test_demo_waveforms.moc"
