// The settings queries against the simulated instrument, over the real link and a scripted port.
#include <QElapsedTimer>
#include <QTest>
#include <limits>
#include <memory>

#include "support/protocol_rig.h"
#include "support/qtest_strings.h"

using namespace curvalon;
using namespace curvalon::test;
using Texts = std::vector<std::string>;

namespace {

constexpr int kMax = std::numeric_limits<std::int32_t>::max();
constexpr int kMin = std::numeric_limits<std::int32_t>::min();

Texts box(const std::string& text) {
    return text.empty() ? Texts{} : Texts{text};
}

std::string bits(const std::array<std::int32_t, kSourceCount>& a, int from, int to) {
    std::string out;
    for (int i = from; i <= to; ++i)
        out += std::to_string(a[i]);
    return out;
}

// Runs the query named by its command line, "SEL?" .. "CH4?".
std::int32_t run(ProtocolRig& r, const std::string& query) {
    if (query == "SEL?") return r.queries.readSelect();
    if (query == "HOR?") return r.queries.readHorizontal();
    if (query == "TRIG?") return r.queries.readTrigger();
    return r.queries.readChannel(query[2] - '1');
}

struct RejectCase {
    std::string query;
    Fault fault;
    std::string reply;  // replaces the instrument's own when set
    int presentBefore, status, presentAfter;
    std::string shown;
};

struct HorizontalCase {
    std::string scale, position;
    int status;
    double timeDiv, horPosition;
    int trigPoint;
};

struct ChannelCase {
    int ch;
    std::string probe, position, invert;
    ChannelLayout layout;
    int chProbe, chPosition;
    std::string chInvert;
};

}  // namespace

Q_DECLARE_METATYPE(RejectCase)
Q_DECLARE_METATYPE(HorizontalCase)
Q_DECLARE_METATYPE(ChannelCase)

class SettingsQueriesTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ProtocolRig> rig;

  private slots:
    void init() { rig = std::make_unique<ProtocolRig>(); }
    void cleanup() { rig.reset(); }

    // An accepted exchange: the line on the wire, the status texts around it, and the echo
    // boxes hidden only once the reply is in.
    void acceptedFrame_data() {
        QTest::addColumn<QString>("reading");
        QTest::newRow("SEL?") << QString("reading... Select-CH from TDS2024");
        QTest::newRow("HOR?") << QString("reading... Time(Horizontal)_settings from TDS2024");
        QTest::newRow("TRIG?") << QString("reading... Triger_settings from TDS2024");
        QTest::newRow("CH1?") << QString("reading... CH1_settings from TDS2024");
        QTest::newRow("CH4?") << QString("reading... CH4_settings from TDS2024");
    }
    void acceptedFrame() {
        QFETCH(QString, reading);
        const std::string query = QTest::currentDataTag();
        QCOMPARE(run(*rig, query), 0);
        QCOMPARE(rig->device.written, query + "\r");
        QCOMPARE(rig->w.statusTexts, (Texts{reading.toStdString(), "Stat:"}));
        QVERIFY(rig->w.messageBoxes.empty());
        QVERIFY(!rig->w.visible(Field::dispTxD_str));
        QVERIFY(!rig->w.visible(Field::dispRxD_str));
        const auto& log = rig->w.log;
        const auto lastEcho = std::find_if(log.rbegin(), log.rend(), [](const std::string& l) {
            return l.rfind("text dispRxD_str", 0) == 0;
        });
        const auto hidden = std::find(log.rbegin(), log.rend(), "visible dispTxD_str 0 0");
        QVERIFY2(hidden < lastEcho, "echo boxes hidden only after the reply arrived");
    }

    // Replies that fail or cannot be used: the exact message, and no setting changes. The failure
    // action does not depend on why the reply failed, so one query waits out the reply timer.
    void rejected_data() {
        QTest::addColumn<RejectCase>("c");
        const auto row = [](const char* tag, const RejectCase& c) { QTest::newRow(tag) << c; };
        const auto lost = [](int status, const std::string& what) {
            return "Error[" + std::to_string(status) + "] Packet receive Error(" + what + ")";
        };
        const auto none = Fault::None, lineError = Fault::LineError;
        const std::string e7 = "Error[7] Data Error ";
        // clang-format off
        row("HOR silent", {"HOR?", Fault::Silence, "", 1, 1, 1, lost(1, "HOR")});
        row("TRIG line error", {"TRIG?", lineError, "", 1, 3, 1, lost(3, "TRIG")});
        row("CH1 is index 0", {"CH1?", lineError, "", 1, 3, 1, lost(3, "CH0")});
        row("CH4 oversized", {"CH4?", Fault::OversizedReply, "", 1, 2, 1, lost(2, "CH3")});
        row("SEL fails, live", {"SEL?", lineError, "", 1, 3, 0, lost(3, "SEL")});
        row("SEL fails in demo mode", {"SEL?", lineError, "", 0, 3, 0, ""});
        row("SEL headers off", {"SEL?", none, "1;0;1;0;0;0;1;0;0\r", 1, 7, 1,
                                e7 + "1;0;1;0;0;0;1;"});
        row("HOR headers off", {"HOR?", none, "MAIN;2500;5.0E-4;1.0E-4\r", 1, 7, 1,
                                e7 + "MAIN;2500;5.0E"});
        row("HOR no position", {"HOR?", none, ":HORIZONTAL:MAIN:SCALE 5.0E-4\r", 1, 7, 1,
                                e7 + ":HORIZONTAL:MA"});
        row("HOR scale too large", {"HOR?", none, ":HOR:SCALE 1.0E999;POSITION 0\r", 1, 7, 1,
                                    e7 + ":HOR:SCALE 1.0"});
        row("HOR position too large", {"HOR?", none, ":HOR:SCALE 1;POSITION -1.0E999\r", 1, 7, 1,
                                       e7 + ":HOR:SCALE 1;P"});
        row("TRIG level too large", {"TRIG?", none,
            ":TRIGGER:MAIN:LEVEL 1.0E999;:TRIGGER:MAIN:EDGE:SOURCE CH2\r", 1, 7, 1,
            e7 + ":TRIGGER:MAIN:"});
        row("TRIG headers off", {"TRIG?", none, "AUTO;EDGE;1.0E0;5.0E-7;CH2;DC\r", 1, 7, 1,
                                 e7 + "AUTO;EDGE;1.0E"});
        row("CH2 answered as CH1", {"CH2?", Fault::WrongChannelHeader, "", 1, 7, 1,
                                    e7 + ":CH1:PROBE 1.0"});
        row("CH1 position too large", {"CH1?", none,
            ":CH1:PROBE 1;SCALE 1;POSITION 1.0E999;COUPLING AC;BANDWIDTH ON\r", 1, 7, 1,
            e7 + ":CH1:PROBE 1;S"});
        row("CH1 headers off", {"CH1?", none, "1.0E1;2.0E-2;0.0E0;AC;ON;OFF\r", 1, 7, 1,
                                e7 + "1.0E1;2.0E-2;0"});
        // clang-format on
    }
    void rejected() {
        QFETCH(RejectCase, c);
        ProtocolRig& r = *rig;
        r.s.scopePresent = c.presentBefore;
        r.s.timeDiv = 123;
        r.s.horPosition = 456;
        r.s.trigPoint = 777;
        r.s.trigSource = "old";
        r.s.trigLevel = -9;
        r.s.chProbe.fill(-7);
        r.s.chPosition.fill(-7);
        r.s.chInvert.fill("old");
        r.s.chEnable.fill(1);
        r.scope.setFault(c.fault);
        if (!c.reply.empty()) r.scope.setReply(c.query, c.reply);
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(run(r, c.query), c.status);
        const qint64 ms = clock.elapsed();

        // Only a silent instrument makes the query wait out its reply timer.
        const int minMs = c.status == kStatusTimeout ? 2000 : 0;
        QVERIFY2(ms >= minMs && ms < minMs + 1500, qPrintable(QString::number(ms)));
        QCOMPARE(r.s.rxStatus, c.status);
        QCOMPARE(r.w.messageBoxes, box(c.shown));
        QCOMPARE(r.s.scopePresent, c.presentAfter);
        QCOMPARE(r.w.status(), std::string("Stat:"));
        // After a failed exchange the echo boxes stay up with what came back.
        QCOMPARE(r.w.visible(Field::dispTxD_str), c.status != 7);
        QCOMPARE((std::tuple{r.s.timeDiv, r.s.horPosition, r.s.trigPoint, r.s.trigSource,
                             r.s.trigLevel}),
                 (std::tuple{123.0, 456.0, 777, std::string("old"), -9.0}));
        QCOMPARE(r.s.chProbe, (std::array<std::int32_t, 4>{-7, -7, -7, -7}));
        QCOMPARE(r.s.chPosition, (std::array<std::int32_t, 4>{-7, -7, -7, -7}));
        QCOMPARE(r.s.chInvert[0], std::string("old"));
        QCOMPARE(bits(r.s.chEnable, 0, 7), std::string("11111111"));
    }

    // Instrument state (CH1..4 present and displayed, REFA..D stored and displayed) and what the
    // selection query makes of it; usable: channel button and menu item enabled.
    void select_data() {
        QTest::addColumn<QStringList>("instrument");
        QTest::addColumn<QString>("chEnable");
        QTest::addColumn<QString>("refStored");
        QTest::addColumn<QString>("usable");
        const auto row = [](const char* tag, const char* instrument, const char* chEnable,
                            const char* refStored, const char* usable) {
            QTest::newRow(tag) << QString(instrument).split(' ') << QString(chEnable)
                               << QString(refStored) << QString(usable);
        };
        row("CH1 CH3 on, REFB displayed", "1111 1010 1111 0100", "10100100", "1111", "1111");
        row("no CH3 in the reply", "1101 1111 1111 0000", "11010000", "1111", "1101");
        row("REFA REFD held, REFD displayed", "1111 0001 1001 0001", "00010001", "1001", "1111");
    }
    void select() {
        QFETCH(QStringList, instrument);
        QFETCH(QString, chEnable);
        QFETCH(QString, refStored);
        QFETCH(QString, usable);
        ProtocolRig& r = *rig;
        r.s.scopePresent = 0;  // a named channel brings the tool back to live mode
        r.s.chEnable.fill(1);
        for (int i = 0; i < 4; ++i) {
            r.scope.channels[i].present = instrument[0][i] == '1';
            r.scope.channels[i].displayed = instrument[1][i] == '1';
            r.scope.refStored[i] = instrument[2][i] == '1';
            r.scope.refDisplayed[i] = instrument[3][i] == '1';
        }

        QCOMPARE(r.queries.readSelect(), 0);
        QCOMPARE(r.device.lines, Texts{"SEL?"});
        QCOMPARE(bits(r.s.chEnable, 0, 7), chEnable.toStdString());
        QCOMPARE(bits(r.s.refStored, 4, 7), refStored.toStdString());
        for (int ch = 0; ch < 4; ++ch) {
            const std::string i = std::to_string(ch);
            QCOMPARE(r.w.get("enabled cbCh " + i) != "0", usable[ch] == '1');
            QCOMPARE(r.w.get("enabled mnuCh " + i) != "0", usable[ch] == '1');
        }
        for (int ref = 0; ref < 4; ++ref) {
            // A reference the instrument does not hold loses its controls at once.
            const std::string i = std::to_string(ref + 4);
            const bool gone = refStored[ref] == '0';
            QCOMPARE(r.w.get("enabled mnuRef " + i) != "0", !gone);
            QCOMPARE(r.w.get("visible cbRefFlag " + i) != "0", !gone);
        }
        QCOMPARE(r.s.scopePresent, 1);
        QVERIFY(r.w.messageBoxes.empty());
    }

    void horizontal_data() {
        QTest::addColumn<HorizontalCase>("c");
        const auto row = [](const char* tag, const HorizontalCase& c) { QTest::newRow(tag) << c; };
        // clang-format off
        row("trigger point 1200", {"5.0E-4", "1.0E-4", 0, 5.0e-4, 1.0e-4, 1200});
        row("beyond half the record", {"5.0E-4", "3.0E-3", 0, 5.0e-4, 3.0e-3, 9999});
        row("exactly half the record", {"5.0E-4", "2.5E-3", 0, 5.0e-4, 2.5e-3, 0});
        row("far left has no bound", {"5.0E-4", "-3.0E-3", 0, 5.0e-4, -3.0e-3, 2750});
        row("half down to even", {"2.5E2", "2.5E0", 0, 250, 2.5, 1248});
        row("half up to even", {"2.5E2", "3.5E0", 0, 250, 3.5, 1246});
        row("extreme position saturates", {"1.0E-300", "-1.0E10", 0, 1.0e-300, -1.0e10, kMax});
        // The zero is kept for the readout; position and trigger point cannot follow from it.
        row("zero scale", {"0.0E0", "1.0E-4", 7, 0, 456, 777});
        // clang-format on
    }
    void horizontal() {
        QFETCH(HorizontalCase, c);
        ProtocolRig& r = *rig;
        r.s.timeDiv = 123;
        r.s.horPosition = 456;
        r.s.trigPoint = 777;
        r.scope.horScale = c.scale;
        r.scope.horPosition = c.position;
        // The delayed time base comes second and must never be the one read.
        r.scope.delayScale = "9.0E-9";
        r.scope.delayPosition = "9.0E-9";

        QCOMPARE(r.queries.readHorizontal(), c.status);
        QCOMPARE(r.s.timeDiv, c.timeDiv);
        QCOMPARE(r.s.horPosition, c.horPosition);
        QCOMPARE(r.s.trigPoint, c.trigPoint);
        QCOMPARE(r.w.messageBoxes, box(c.status ? "Error[7] Data Error 0.0E0" : ""));
    }

    // The edge trigger's source is read although video and pulse triggers name theirs too.
    void trigger_data() {
        QTest::addColumn<QString>("edge");
        QTest::addColumn<QString>("level");
        QTest::addColumn<double>("trigLevel");
        QTest::newRow("level followed by items") << QString("CH1") << QString("1.20E0") << 1.2;
        QTest::newRow("edge source among others") << QString("EXT5") << QString("-3.5E-1") << -0.35;
        QTest::newRow("level not a number") << QString("CH4") << QString("HIGH") << 0.0;
    }
    void trigger() {
        QFETCH(QString, edge);
        QFETCH(QString, level);
        QFETCH(double, trigLevel);
        ProtocolRig& r = *rig;
        r.scope.edgeSource = edge.toStdString();
        r.scope.videoSource = "CH3";
        r.scope.pulseSource = "CH2";
        r.scope.trigLevel = level.toStdString();
        QCOMPARE(r.queries.readTrigger(), 0);
        QCOMPARE(r.s.trigSource, edge.toStdString());
        QCOMPARE(r.s.trigLevel, trigLevel);
        QVERIFY(r.w.messageBoxes.empty());
    }

    void channel_data() {
        QTest::addColumn<ChannelCase>("c");
        const auto row = [](const char* tag, const ChannelCase& c) { QTest::newRow(tag) << c; };
        using enum ChannelLayout;
        // clang-format off
        row("probe 10, position -25", {0, "1.0E1", "-1.02E0", "OFF", Standard, 10, -25, "OFF"});
        row("no INVERT item", {2, "1.0E0", "2.0E0", "ON", NoInvert, 1, 50, "OFF"});
        row("PROBE last, no INVERT", {1, "1.0E2", "0.0E0", "ON", ProbeLast, 100, 0, "OFF"});
        row("INVERT before YUNIT", {3, "1.0E0", "1.0E0", "ON", UnitAfterInvert, 1, 25, "ON"});
        row("INVERT last", {3, "1.0E0", "0.0E0", "ON", Standard, 1, 0, "ON"});
        row("probe half down to even", {0, "2.5E0", "0.0E0", "OFF", Standard, 2, 0, "OFF"});
        row("probe half up to even", {0, "3.5E0", "0.0E0", "OFF", Standard, 4, 0, "OFF"});
        row("huge position saturates", {0, "1.0E0", "1.0E9", "OFF", Standard, 1, kMax, "OFF"});
        row("huge negatives saturate", {0, "-1.0E20", "-1.0E300", "OFF", Standard, kMin, kMin,
                                        "OFF"});
        // clang-format on
    }
    void channel() {
        QFETCH(ChannelCase, c);
        ProtocolRig& r = *rig;
        r.s.chProbe.fill(-7);
        r.s.chPosition.fill(-7);
        r.s.chVoltDiv.fill(-7);
        r.s.chCoupling.fill("old");
        r.s.chBandwidth.fill("old");
        r.s.chInvert.fill("old");
        r.scope.channels[c.ch] = {true, true, c.probe,  "2.0E-2", c.position,
                                  "AC", "ON", c.invert, c.layout};

        QCOMPARE(r.queries.readChannel(c.ch), 0);
        QCOMPARE(r.device.lines, Texts{"CH" + std::to_string(c.ch + 1) + "?"});
        using namespace std::string_literals;
        const auto read = std::tuple{c.chProbe, c.chPosition, 2.0e-2, "AC"s, "ON"s, c.chInvert};
        const auto kept = std::tuple{-7, -7, -7.0, "old"s, "old"s, "old"s};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE((std::tuple{r.s.chProbe[i], r.s.chPosition[i], r.s.chVoltDiv[i],
                                 r.s.chCoupling[i], r.s.chBandwidth[i], r.s.chInvert[i]}),
                     i == c.ch ? read : kept);
        }
        QVERIFY(r.w.messageBoxes.empty());
    }

    void channelRefused_data() {
        QTest::addColumn<int>("present");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("result");
        QTest::newRow("demo mode returns the last status") << 0 << 0 << 3;
        QTest::newRow("demo mode, index above range") << 0 << 4 << 3;
        QTest::newRow("index 4") << 1 << 4 << 0;
        QTest::newRow("negative index") << 1 << -1 << 0;
    }
    void channelRefused() {
        QFETCH(int, present);
        QFETCH(int, index);
        QFETCH(int, result);
        rig->s.scopePresent = present;
        rig->s.rxStatus = 3;
        QCOMPARE(rig->queries.readChannel(index), result);
        QVERIFY(rig->device.written.empty());
        QVERIFY(rig->w.statusTexts.empty());
        QCOMPARE(rig->w.messageBoxes, box(present ? "" : " Can't found TDS2024 !"));
    }

    // Stray bytes after one reply must not end up in the next.
    void bytesAfterReplyDropped() {
        ProtocolRig& r = *rig;
        r.scope.setFault(Fault::TrailingBytes);
        r.scope.horScale = "2.0E-3";
        r.scope.edgeSource = "CH3";
        QCOMPARE(r.queries.readHorizontal(), 0);
        QTest::qWait(20);
        QCOMPARE(r.queries.readTrigger(), 0);
        QCOMPARE(r.s.timeDiv, 2.0e-3);
        QCOMPARE(r.s.trigSource, std::string("CH3"));
        QCOMPARE(r.s.rxText.substr(0, 14), std::string(":TRIGGER:MAIN:"));
    }
};

QTEST_GUILESS_MAIN(SettingsQueriesTest)
#include "test_settings_queries.moc"
