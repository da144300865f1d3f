// The settings readout: number texts, the three unit forms, and what lands in which box.
#include <QtTest>
#include <clocale>
#include <cmath>
#include <limits>
#include <memory>

#include "model/scope_state.h"
#include "plot/number_text.h"
#include "plot/readout.h"
#include "support/fake_window_ops.h"

using namespace curvalon;
using curvalon::test::FakeWindowOps;

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::nan("");

using Log = std::vector<std::string>;

struct FormCase {
    double input;
    const char* value;
    const char* unit;
};

// One row per input, named by it; the unit is empty for the plain number text.
void addFormRows(std::initializer_list<FormCase> cases) {
    QTest::addColumn<double>("input");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("unit");
    for (const FormCase& c : cases)
        QTest::addRow("%.16g", c.input) << c.input << QString(c.value) << QString(c.unit);
}

void checkForm(ReadoutText (*form)(double)) {
    QFETCH(double, input);
    QFETCH(QString, value);
    QFETCH(QString, unit);
    const ReadoutText r = form(input);
    QCOMPARE(QString::fromStdString(r.value), value);
    QCOMPARE(QString::fromStdString(r.unit), unit);
}

}  // namespace

class ReadoutTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ScopeState> s;
    FakeWindowOps w;

  private slots:
    void init() {
        s = std::make_unique<ScopeState>();
        initTables(*s, rgb(240, 240, 240));
        w.log.clear();
    }

    void numberText_data() {
        // clang-format off
        addFormRows({
            {2.5, "2.5", ""}, {250, "250", ""}, {0.05, "0.05", ""}, {-2.5, "-2.5", ""},
            {0.0000001 * 1000000, "0.1", ""}, {0.09999999999999999, "0.1", ""},
            {0.1 + 0.2, "0.3", ""},
            {0, "0", ""}, {-0.0, "0", ""}, {-2.0 / 3, "-0.666666666666667", ""},
            {999999999999999.9, "1000000000000000", ""}, {0.00001, "0.00001", ""},
            {123456789012345678.0, "123456789012346000", ""}, {kInf, "???", ""}, {kNaN, "???", ""}
        });
        // clang-format on
    }
    void numberText() {
        checkForm([](double v) { return ReadoutText{curvalon::numberText(v), ""}; });
    }

    void numberTextIgnoresLocale() {
        if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) QSKIP("no comma locale installed");
        const std::string text = curvalon::numberText(2.5);
        std::setlocale(LC_NUMERIC, "C");
        QCOMPARE(text, std::string("2.5"));
    }

    void voltage_data() {
        // clang-format off
        addFormRows({
            {0.5, "500", "mV"}, {0.02, "20", "mV"}, {2, "2", "V"}, {0.005, "5", "mV"},
            {1.5, "1.5", "V"}, {1500, "1", "kV"}, {150, "150", "V"}, {12.34, "12.3", "V"},
            {0.125, "125", "mV"}, {0.0125, "12.5", "mV"}, {0, "0", "mV"}, {1000, "1", "kV"},
            {999.99, "999", "V"}, {100, "100", "V"}, {99.99, "99.9", "V"}, {1, "1", "V"},
            {0.999, "999", "mV"}, {0.1, "100", "mV"}, {0.1234, "123", "mV"}, {0.0999, "99.9", "mV"},
            {0.09999999999999999, "100", "mV"}, {1e23, "100000000000000000000", "kV"},
            // From -1 V down: the magnitude's form behind a minus sign.
            {-1, "-1", "V"}, {-1.5, "-1.5", "V"}, {-12.34, "-12.3", "V"}, {-150, "-150", "V"},
            {-1500, "-1", "kV"},
            // Between -1 V and 0: the millivolt text cut to four characters.
            {-0.5, "-500", "mV"}, {-0.02, "-20", "mV"}, {-0.999, "-999", "mV"},
            // Nothing to show: a harmless mark instead.
            {kInf, "???", "V"}, {-kInf, "???", "V"}, {kNaN, "???", "V"}
        });
        // clang-format on
    }
    void voltage() { checkForm(voltageReadout); }

    void timeDiv_data() {
        // clang-format off
        addFormRows({
            {1, "1", "S"}, {0.25, "250", "mS"}, {0.0025, "2.5", "mS"}, {0.00025, "250", "uS"},
            {0.0000001, "100", "nS"}, {0.0005, "500", "uS"}, {0.0000025, "2.5", "uS"},
            {0.000000005, "5", "nS"}, {50, "50", "S"}, {2.5, "2.5", "S"}, {0.1, "100", "mS"},
            {0.1234, "123", "mS"}, {0.0999, "99.9", "mS"}, {0.001, "1", "mS"},
            {0.0001, "100", "uS"}, {0.000001, "1", "uS"}, {0.00000025, "250", "nS"},
            {0.0000000025, "2.5", "nS"},
            // Nothing to show: a harmless mark instead.
            {kNaN, "???", "S"}
        });
        // clang-format on
    }
    void timeDiv() { checkForm(timeDivReadout); }

    void position_data() {
        // clang-format off
        addFormRows({
            {0, "0", "S"}, {0.5, "500", "mS"}, {-0.5, "-500", "mS"}, {-2, "-2", "S"},
            {0.00000005, "50", "nS"}, {-0.0025, "-2.5", "mS"}, {-0.00025, "-250", "uS"},
            {0.0012, "1.2", "mS"}, {1, "1", "S"}, {12.5, "12.5", "S"}, {0.1, "100", "mS"},
            {0.0123456, "12.34", "mS"}, {0.001, "1", "mS"}, {0.0001, "100", "uS"},
            {0.000012345, "12.34", "uS"}, {0.000001, "1", "uS"}, {0.0000001, "100", "nS"},
            {-0.0000001, "-100", "nS"}, {-1, "-1", "S"}, {-0.1, "-100", "mS"},
            {-0.0123456, "-12.3", "mS"}, {-0.001, "-1", "mS"}, {-0.0001, "-100", "uS"},
            {-0.000001, "-1", "uS"}, {-0.00000025, "-250", "nS"},
            // Between 0.1 us and 1 us: nanoseconds like the neighbouring rows.
            {0.0000005, "500", "nS"}, {0.00000099, "990", "nS"},
            // Nothing to show: a harmless mark instead.
            {kInf, "???", "S"}, {kNaN, "???", "S"}
        });
        // clang-format on
    }
    void position() { checkForm(positionReadout); }

    // The boxes in the order they are written; the level's unit before its value.
    void timebaseAndLevel() {
        s->timeDiv = 0.0005;
        s->horPosition = -0.0025;
        s->trigLevel = -1500;
        showTimebase(*s, w);
        showTrigLevel(*s, w);
        QCOMPARE(w.log,
                 (Log{"text TimeDivTim 0 500", "text TimeDivUnit 0 uS", "text TrigPosiTim 0 -2.5",
                      "text TrigPosiUnit 0 mS", "text TrigLevUnit 0 kV", "text TrigLevV 0 -1"}));
    }

    // Only a channel's exact name gives the source its channel's colour.
    void trigSource_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("colour");
        QTest::newRow("CH1") << QString("CH1") << QString("255,200,0");
        QTest::newRow("CH4") << QString("CH4") << QString("0,208,0");
        for (const char* other : {"EXT", "AC", "ch2", "CH2 ", ""})
            QTest::newRow(*other ? other : "nothing read yet")
                << QString(other) << QString("0,0,0");
    }
    void trigSource() {
        QFETCH(QString, source);
        QFETCH(QString, colour);
        s->trigSource = source.toStdString();
        showTrigSource(*s, w);
        QCOMPARE(w.log, (Log{"text TrigerCH 0 " + source.toStdString(),
                             "fore TrigerCH 0 " + colour.toStdString()}));
    }

    void channelSettings() {
        s->chEnable[2] = 1;
        s->chProbe[2] = 10;
        s->chVoltDiv[2] = 0.05;
        s->chCoupling[2] = "DC";
        s->chBandwidth[2] = "OFF";
        s->chInvert[2] = "ON";
        showChannelSettings(*s, w, 2);
        const Log texts{"text Probe 2 10",    "text ChDivUnit 2 mV", "text ChDivV 2 50",
                        "text Coupling 2 DC", "text BWLimit 2 OFF",  "text Invert 2 ON"};
        auto colours = [](const std::string& c) {
            Log out;
            for (std::string f : {"Probe", "ChDivUnit", "ChDivV", "Coupling", "BWLimit", "Invert"})
                out.push_back("fore " + f + " 2 " + c);
            return out;
        };
        Log expected = colours("208,0,208");
        expected.insert(expected.begin(), texts.begin(), texts.end());
        QCOMPARE(w.log, expected);

        // Switched off: the same boxes grey, their texts as they were.
        w.log.clear();
        s->chEnable[2] = 0;
        s->chVoltDiv[2] = 5;
        showChannelSettings(*s, w, 2);
        QCOMPARE(w.log, colours("196,196,196"));
        QCOMPARE(w.text(Field::ChDivV, 2), std::string("50"));

        w.log.clear();
        showChannelSettings(*s, w, 4);
        QVERIFY(w.log.empty());
    }
};

QTEST_GUILESS_MAIN(ReadoutTest)
#include "test_readout.moc"
