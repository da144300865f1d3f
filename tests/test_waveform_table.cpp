// The data table: settings notes, column names and rows, as other programs will read them.
#include <QtTest>
#include <algorithm>
#include <clocale>
#include <memory>
#include <tuple>

#include "model/scope_state.h"
#include "plot/waveform_table.h"

using namespace curvalon;

namespace {

const char* const kStamp = "2024-05-06 14:03:12";
using Tweak = void (*)(ScopeState&);

// A live instrument with CH1 at 500 mV/div one division up and REFA shown; CH2 and REFB hold
// data but are hidden.
std::unique_ptr<ScopeState> knownState() {
    auto s = std::make_unique<ScopeState>();
    initTables(*s, rgb(240, 240, 240));
    s->scopePresent = s->chEnable[0] = s->refView = s->refShown[4] = s->refStored[5] = 1;
    std::tie(s->timeDiv, s->horPosition, s->trigSource, s->trigLevel) =
        std::tuple{0.0005, -0.0025, "CH1", 1.5};
    std::tie(s->chProbe[0], s->chVoltDiv[0], s->chPosition[0]) = std::tuple{10, 0.5, 25};
    std::tie(s->chCoupling[0], s->chBandwidth[0], s->chInvert[0]) = std::tuple{"DC", "OFF", "OFF"};
    s->curve[1].fill(7), s->curve[5].fill(7);
    for (auto [k, ch1, refA] :
         {std::tuple{0, -100, -3}, {1, -99, -2}, {1250, 25, 0}, {2499, 127, 99}})
        std::tie(s->curve[0][k], s->curve[4][k]) = std::tuple{ch1, refA};
    return s;
}

QStringList linesOf(const std::string& table) {
    return QString::fromStdString(table).split('\n');
}

const QStringList kHeader{
    "# Curvalon waveform data",
    QString("# time stamp: ") + kStamp,
    "# time per division: 500 uS",
    "# horizontal position: -2.5 mS",
    "# trigger source: CH1",
    "# trigger level: 1.5 V",
    "# CH1: 500 mV per division, probe 10, coupling DC, bandwidth limit OFF, invert OFF",
    "# references in counts (25 per division, 0 at the screen centre): their settings are not read",
    "sample,time (s),CH1 (V),REFA (counts)"};

}  // namespace

Q_DECLARE_METATYPE(Tweak)

class WaveformTableTest : public QObject {
    Q_OBJECT
  private slots:
    void header() {
        const auto s = knownState();
        const QStringList lines = linesOf(waveformTable(*s, kStamp, ','));
        QCOMPARE(lines.mid(0, kHeader.size()), kHeader);
        QCOMPARE(lines.size(), kHeader.size() + kSamples + 1);  // one empty after the last end
    }

    void samples_data() {
        QTest::addColumn<int>("sample");
        QTest::addColumn<QString>("row");
        QTest::newRow("first, below the trigger") << 0 << "0,-0.005,-2.5,-3";
        QTest::newRow("second, every digit of the time kept")
            << 1 << "1,-0.004998000000000001,-2.48,-2";
        QTest::newRow("centre, at the channel's position") << 1250 << "1250,-0.0025,0,0";
        QTest::newRow("last, time in exponent form")
            << 2499 << "2499,-1.9999999999998318e-06,2.04,99";
    }
    void samples() {
        QFETCH(int, sample);
        QFETCH(QString, row);
        QCOMPARE(linesOf(waveformTable(*knownState(), kStamp, ','))[kHeader.size() + sample], row);
    }

    // Demo data, a setting never read or hidden references: the notes and the columns change.
    void variants_data() {
        QTest::addColumn<Tweak>("tweak");
        QTest::addColumn<QString>("note");
        QTest::addColumn<QString>("namesAndFirstRow");
        QTest::newRow("demo mode, volts per division never read")
            << Tweak([](ScopeState& s) { s.scopePresent = 0, s.chVoltDiv[0] = 0; })
            << "# CH1: volts per division not read, values in counts (25 per division, 0 at the "
               "screen centre), probe 10, coupling DC, bandwidth limit OFF, invert OFF\n"
               "# demo mode: the data are generated demo waveforms, not read from an instrument"
            << "sample,time (s),CH1 (counts),REFA (counts)\n0,-0.005,-100,-3";
        QTest::newRow("time base not read") << Tweak([](ScopeState& s) { s.timeDiv = 0; })
                                            << "# time base not read, so there is no time column"
                                            << "sample,CH1 (V),REFA (counts)\n0,-2.5,-3";
        QTest::newRow("references hidden") << Tweak([](ScopeState& s) { s.refView = 0; }) << ""
                                           << "sample,time (s),CH1 (V)\n0,-0.005,-2.5";
    }
    void variants() {
        QFETCH(Tweak, tweak);
        QFETCH(QString, note);
        QFETCH(QString, namesAndFirstRow);
        const auto s = knownState();
        tweak(*s);
        const QString table = QString::fromStdString(waveformTable(*s, kStamp, ','));
        QVERIFY2(note.isEmpty() || table.contains("\n" + note + "\n"), qPrintable(note));
        QCOMPARE(table.contains("# references in counts"), s->refView == 1);
        QVERIFY2(table.contains("\n" + namesAndFirstRow + "\n"), qPrintable(table.left(800)));
    }

    // Neither the clipboard's tab nor a decimal-comma locale changes anything but the separator.
    void separatorAndLocale() {
        const auto s = knownState();
        const std::string plain = waveformTable(*s, kStamp, ',');
        std::string tabbed = waveformTable(*s, kStamp, '\t');
        QVERIFY(tabbed.find("sample\ttime (s)\tCH1 (V)\tREFA (counts)\n") != std::string::npos);
        std::replace(tabbed.begin(), tabbed.end(), '\t', ',');
        QCOMPARE(tabbed, plain);
        if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) QSKIP("no decimal-comma locale installed");
        const std::string german = waveformTable(*s, kStamp, ',');
        std::setlocale(LC_ALL, "C");
        QCOMPARE(german, plain);
    }
};

QTEST_GUILESS_MAIN(WaveformTableTest)
#include "test_waveform_table.moc"
