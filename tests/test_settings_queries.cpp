// The settings queries against the simulated instrument, over the real link and a scripted port.
#include <QElapsedTimer>
#include <QTest>
#include <limits>
#include <memory>

#include "link/serial_link.h"
#include "model/channel_selection.h"
#include "model/reference_selection.h"
#include "protocol/error_report.h"
#include "protocol/settings_queries.h"
#include "support/fake_serial_device.h"
#include "support/fake_window_ops.h"
#include "support/simulated_instrument.h"

using namespace curvalon;
using namespace curvalon::test;

Q_DECLARE_METATYPE(std::string)
Q_DECLARE_METATYPE(Fault)
Q_DECLARE_METATYPE(ChannelLayout)

namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

struct Rig {
    ScopeState s;
    FakeWindowOps w;
    FakeSerialDevice device;
    SimulatedInstrument scope;
    SerialLink link{s, w, device};
    ChannelSelection channels{s, w};
    ReferenceSelection references{s, w};
    SettingsQueries queries{s, w, link, channels, references};

    Rig() {
        initTables(s, rgb(240, 240, 240));
        scope.attach(device);
        link.openPort();
        s.scopePresent = 1;
    }

    std::int32_t run(const QString& query) {
        if (query == "SEL") return queries.readSelect();
        if (query == "HOR") return queries.readHorizontal();
        if (query == "TRIG") return queries.readTrigger();
        return queries.readChannel(query.right(1).toInt() - 1);
    }
};

std::vector<std::string> flags(const std::array<std::int32_t, kSourceCount>& a, int from, int to) {
    std::vector<std::string> out;
    for (int i = from; i <= to; ++i) out.push_back(std::to_string(a[i]));
    return out;
}

std::string bits(const std::array<std::int32_t, kSourceCount>& a, int from, int to) {
    std::string out;
    for (const std::string& f : flags(a, from, to)) out += f;
    return out;
}

}  // namespace

class SettingsQueriesTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Rig> rig;

private slots:
    void init() { rig = std::make_unique<Rig>(); }
    void cleanup() { rig.reset(); }

    void errorReportText_data() {
        QTest::addColumn<int>("status");
        QTest::addColumn<std::string>("message");
        QTest::addColumn<std::string>("shown");
        QTest::newRow("cancelled curve") << 9 << std::string("Packet receive Error(CURV)") << std::string("Error[9] Packet receive Error(CURV)");
        QTest::newRow("timeout") << 1 << std::string("Packet receive Error(HOR)") << std::string("Error[1] Packet receive Error(HOR)");
        QTest::newRow("empty message") << 0 << std::string() << std::string("Error[0] ");
    }
    void errorReportText() {
        QFETCH(int, status);
        QFETCH(std::string, message);
        QFETCH(std::string, shown);
        rig->s.rxStatus = status;
        errorReport(rig->s, rig->w, message);
        QCOMPARE(rig->w.messageBoxes, std::vector<std::string>{shown});
    }

    // An accepted exchange: the line on the wire, the status texts around it, and the echo boxes
    // hidden only once the reply is in.
    void acceptedFrame_data() {
        QTest::addColumn<QString>("query");
        QTest::addColumn<std::string>("line");
        QTest::addColumn<std::string>("reading");
        QTest::newRow("SEL") << "SEL" << std::string("SEL?") << std::string("reading... Select-CH from TDS2024");
        QTest::newRow("HOR") << "HOR" << std::string("HOR?") << std::string("reading... Time(Horizontal)_settings from TDS2024");
        QTest::newRow("TRIG") << "TRIG" << std::string("TRIG?") << std::string("reading... Triger_settings from TDS2024");
        QTest::newRow("CH1") << "CH1" << std::string("CH1?") << std::string("reading... CH1_settings from TDS2024");
        QTest::newRow("CH4") << "CH4" << std::string("CH4?") << std::string("reading... CH4_settings from TDS2024");
    }
    void acceptedFrame() {
        QFETCH(QString, query);
        QFETCH(std::string, line);
        QFETCH(std::string, reading);
        QCOMPARE(rig->run(query), 0);
        QCOMPARE(rig->device.written, line + "\r");
        QCOMPARE(rig->w.statusTexts, (std::vector<std::string>{reading, "Stat:"}));
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

    void failures_data() {
        QTest::addColumn<QString>("query");
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<int>("presentBefore");
        QTest::addColumn<int>("status");
        QTest::addColumn<std::string>("shown");  // empty: no message box
        QTest::addColumn<int>("presentAfter");
        QTest::addColumn<int>("minMs");

        QTest::newRow("HOR silent") << "HOR" << Fault::Silence << 1 << 1 << std::string("Error[1] Packet receive Error(HOR)") << 1 << 2000;
        QTest::newRow("TRIG silent") << "TRIG" << Fault::Silence << 1 << 1 << std::string("Error[1] Packet receive Error(TRIG)") << 1 << 2000;
        QTest::newRow("CH1 silent reports index 0") << "CH1" << Fault::Silence << 1 << 1 << std::string("Error[1] Packet receive Error(CH0)") << 1 << 2000;
        QTest::newRow("CH4 line feed reports index 3") << "CH4" << Fault::LineFeedTerminator << 1 << 1 << std::string("Error[1] Packet receive Error(CH3)") << 1 << 2000;
        QTest::newRow("SEL silent while present") << "SEL" << Fault::Silence << 1 << 1 << std::string("Error[1] Packet receive Error(SEL)") << 0 << 2000;
        QTest::newRow("SEL silent in demo mode") << "SEL" << Fault::Silence << 0 << 1 << std::string() << 0 << 2000;
        QTest::newRow("HOR oversized") << "HOR" << Fault::OversizedReply << 1 << 2 << std::string("Error[2] Packet receive Error(HOR)") << 1 << 0;
        QTest::newRow("TRIG line error") << "TRIG" << Fault::LineError << 1 << 3 << std::string("Error[3] Packet receive Error(TRIG)") << 1 << 0;
        QTest::newRow("SEL line error") << "SEL" << Fault::LineError << 1 << 3 << std::string("Error[3] Packet receive Error(SEL)") << 0 << 0;
    }
    void failures() {
        QFETCH(QString, query);
        QFETCH(Fault, fault);
        QFETCH(int, presentBefore);
        QFETCH(int, status);
        QFETCH(std::string, shown);
        QFETCH(int, presentAfter);
        QFETCH(int, minMs);

        Rig& r = *rig;
        r.s.scopePresent = presentBefore;
        r.s.timeDiv = 123;
        r.s.trigSource = "old";
        r.s.chProbe = {-7, -7, -7, -7};
        r.s.chEnable = {1, 1, 1, 1, 1, 1, 1, 1};
        r.scope.setFault(fault);
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(r.run(query), status);
        const qint64 ms = clock.elapsed();

        QVERIFY2(ms >= minMs && ms < minMs + 1500, qPrintable(QString::number(ms)));
        QCOMPARE(r.w.messageBoxes, shown.empty() ? std::vector<std::string>{} : std::vector<std::string>{shown});
        QCOMPARE(r.s.scopePresent, presentAfter);
        QCOMPARE(r.w.status(), std::string("Stat:"));
        QVERIFY(r.w.visible(Field::dispTxD_str));
        QVERIFY(r.w.visible(Field::dispRxD_str));
        QCOMPARE(r.s.timeDiv, 123.0);
        QCOMPARE(r.s.trigSource, std::string("old"));
        QCOMPARE(r.s.chProbe, (std::array<std::int32_t, 4>{-7, -7, -7, -7}));
        QCOMPARE(bits(r.s.chEnable, 0, 7), std::string("11111111"));
    }

    void select_data() {
        QTest::addColumn<std::string>("present");
        QTest::addColumn<std::string>("displayed");
        QTest::addColumn<std::string>("stored");
        QTest::addColumn<std::string>("refDisplayed");
        QTest::addColumn<bool>("headers");
        QTest::addColumn<int>("status");
        QTest::addColumn<std::string>("chEnable");
        QTest::addColumn<std::string>("refStored");
        QTest::addColumn<std::string>("usable");  // channel button enabled
        QTest::addColumn<int>("presentAfter");
        QTest::addColumn<std::string>("shown");

        QTest::newRow("CH1 CH3 on, REFB displayed") << std::string("1111") << std::string("1010") << std::string("1111") << std::string("0100") << true
                                                    << 0 << std::string("10100100") << std::string("1111") << std::string("1111") << 1 << std::string();
        QTest::newRow("no CH3 in the reply") << std::string("1101") << std::string("1111") << std::string("1111") << std::string("0000") << true
                                             << 0 << std::string("11010000") << std::string("1111") << std::string("1101") << 1 << std::string();
        QTest::newRow("REFA REFD held, REFD displayed") << std::string("1111") << std::string("0001") << std::string("1001") << std::string("0001") << true
                                                        << 0 << std::string("00010001") << std::string("1001") << std::string("1111") << 1 << std::string();
        QTest::newRow("headers off") << std::string("1111") << std::string("1010") << std::string("1111") << std::string("0100") << false
                                     << 7 << std::string("11111111") << std::string("0000") << std::string("1111") << 0
                                     << std::string("Error[7] Data Error 1;0;1;0;0;0;1;");
    }
    void select() {
        QFETCH(std::string, present);
        QFETCH(std::string, displayed);
        QFETCH(std::string, stored);
        QFETCH(std::string, refDisplayed);
        QFETCH(bool, headers);
        QFETCH(int, status);
        QFETCH(std::string, chEnable);
        QFETCH(std::string, refStored);
        QFETCH(std::string, usable);
        QFETCH(int, presentAfter);
        QFETCH(std::string, shown);

        Rig& r = *rig;
        r.s.scopePresent = 0;  // a named channel brings the tool back to live mode
        r.s.chEnable.fill(1);
        for (std::size_t i = 0; i < 4; ++i) {
            r.scope.channels[i].present = present[i] == '1';
            r.scope.channels[i].displayed = displayed[i] == '1';
            r.scope.refStored[i] = stored[i] == '1';
            r.scope.refDisplayed[i] = refDisplayed[i] == '1';
        }
        r.scope.headers = headers;

        QCOMPARE(r.queries.readSelect(), status);
        QCOMPARE(r.device.lines, std::vector<std::string>{"SEL?"});
        QCOMPARE(bits(r.s.chEnable, 0, 7), chEnable);
        QCOMPARE(bits(r.s.refStored, 4, 7), refStored);
        std::string buttons;
        for (int ch = 0; ch < 4; ++ch) {
            const bool enabled = r.w.buttonEnabled(Button::cbCh, ch);
            QCOMPARE(r.w.menuEnabled(Menu::mnuCh, ch), enabled);
            buttons += enabled ? '1' : '0';
        }
        QCOMPARE(buttons, usable);
        for (int ref = 4; ref <= 7; ++ref) {
            // A reference the instrument does not hold loses its controls at once.
            const bool gone = status == 0 && refStored[std::size_t(ref - 4)] == '0';
            QCOMPARE(r.w.menuEnabled(Menu::mnuRef, ref), !gone);
            QCOMPARE(r.w.buttonVisible(Button::cbRefFlag, ref), !gone);
        }
        QCOMPARE(r.s.scopePresent, presentAfter);
        QCOMPARE(r.w.messageBoxes, shown.empty() ? std::vector<std::string>{} : std::vector<std::string>{shown});
    }

    void horizontal_data() {
        QTest::addColumn<std::string>("scale");
        QTest::addColumn<std::string>("position");
        QTest::addColumn<std::string>("reply");  // replaces the instrument's own when set
        QTest::addColumn<int>("status");
        QTest::addColumn<double>("timeDiv");
        QTest::addColumn<double>("horPosition");
        QTest::addColumn<int>("trigPoint");
        QTest::addColumn<std::string>("shown");
        const std::string none;

        QTest::newRow("trigger point 1200") << std::string("5.0E-4") << std::string("1.0E-4") << none << 0 << 5.0e-4 << 1.0e-4 << 1200 << none;
        QTest::newRow("beyond half the record") << std::string("5.0E-4") << std::string("3.0E-3") << none << 0 << 5.0e-4 << 3.0e-3 << 9999 << none;
        QTest::newRow("exactly half the record") << std::string("5.0E-4") << std::string("2.5E-3") << none << 0 << 5.0e-4 << 2.5e-3 << 0 << none;
        QTest::newRow("far left has no bound") << std::string("5.0E-4") << std::string("-3.0E-3") << none << 0 << 5.0e-4 << -3.0e-3 << 2750 << none;
        QTest::newRow("half down to even") << std::string("2.5E2") << std::string("2.5E0") << none << 0 << 250.0 << 2.5 << 1248 << none;
        QTest::newRow("half up to even") << std::string("2.5E2") << std::string("3.5E0") << none << 0 << 250.0 << 3.5 << 1246 << none;
        QTest::newRow("extreme position saturates") << std::string("1.0E-300") << std::string("-1.0E10") << none << 0 << 1.0e-300 << -1.0e10 << int(kMax) << none;
        QTest::newRow("zero scale kept") << std::string("0.0E0") << std::string("1.0E-4") << none << 7 << 0.0 << 456.0 << 777
                                         << std::string("Error[7] Data Error 0.0E0");
        QTest::newRow("scale beyond a double") << std::string("1.0E999") << std::string("0.0E0") << none << 7 << 123.0 << 456.0 << 777
                                               << std::string("Error[7] Data Error :HORIZONTAL:VI");
        QTest::newRow("position beyond a double") << std::string("5.0E-4") << std::string("-1.0E999") << none << 7 << 123.0 << 456.0 << 777
                                                  << std::string("Error[7] Data Error :HORIZONTAL:VI");
        QTest::newRow("no position") << none << none << std::string(":HORIZONTAL:MAIN:SCALE 5.0E-4\r") << 7 << 123.0 << 456.0 << 777
                                     << std::string("Error[7] Data Error :HORIZONTAL:MA");
        QTest::newRow("headers off") << none << none << std::string("MAIN;2500;5.0E-4;1.0E-4\r") << 7 << 123.0 << 456.0 << 777
                                     << std::string("Error[7] Data Error MAIN;2500;5.0E");
    }
    void horizontal() {
        QFETCH(std::string, scale);
        QFETCH(std::string, position);
        QFETCH(std::string, reply);
        QFETCH(int, status);
        QFETCH(double, timeDiv);
        QFETCH(double, horPosition);
        QFETCH(int, trigPoint);
        QFETCH(std::string, shown);

        Rig& r = *rig;
        r.s.timeDiv = 123;
        r.s.horPosition = 456;
        r.s.trigPoint = 777;
        r.scope.horScale = scale;
        r.scope.horPosition = position;
        // The delayed time base comes second and must never be the one read.
        r.scope.delayScale = "9.0E-9";
        r.scope.delayPosition = "9.0E-9";
        if (!reply.empty()) r.scope.setReply("HOR?", reply);

        QCOMPARE(r.queries.readHorizontal(), status);
        QCOMPARE(r.s.rxStatus, status);
        QCOMPARE(r.s.timeDiv, timeDiv);
        QCOMPARE(r.s.horPosition, horPosition);
        QCOMPARE(r.s.trigPoint, trigPoint);
        QCOMPARE(r.w.messageBoxes, shown.empty() ? std::vector<std::string>{} : std::vector<std::string>{shown});
    }

    void trigger_data() {
        QTest::addColumn<std::string>("edge");
        QTest::addColumn<std::string>("level");
        QTest::addColumn<bool>("headers");
        QTest::addColumn<int>("status");
        QTest::addColumn<std::string>("source");
        QTest::addColumn<double>("trigLevel");
        QTest::addColumn<std::string>("shown");

        QTest::newRow("level followed by items") << std::string("CH1") << std::string("1.20E0") << true << 0 << std::string("CH1") << 1.2 << std::string();
        QTest::newRow("edge source among others") << std::string("EXT5") << std::string("-3.5E-1") << true << 0 << std::string("EXT5") << -0.35 << std::string();
        QTest::newRow("level not a number") << std::string("CH4") << std::string("HIGH") << true << 0 << std::string("CH4") << 0.0 << std::string();
        QTest::newRow("level beyond a double") << std::string("CH2") << std::string("1.0E999") << true << 7 << std::string("old") << -9.0
                                               << std::string("Error[7] Data Error :TRIGGER:MAIN:");
        QTest::newRow("headers off") << std::string("CH2") << std::string("1.0E0") << false << 7 << std::string("old") << -9.0
                                     << std::string("Error[7] Data Error AUTO;EDGE;1.0E");
    }
    void trigger() {
        QFETCH(std::string, edge);
        QFETCH(std::string, level);
        QFETCH(bool, headers);
        QFETCH(int, status);
        QFETCH(std::string, source);
        QFETCH(double, trigLevel);
        QFETCH(std::string, shown);

        Rig& r = *rig;
        r.s.trigSource = "old";
        r.s.trigLevel = -9;
        r.scope.edgeSource = edge;
        r.scope.videoSource = "CH3";
        r.scope.pulseSource = "CH2";
        r.scope.trigLevel = level;
        r.scope.headers = headers;

        QCOMPARE(r.queries.readTrigger(), status);
        QCOMPARE(r.s.trigSource, source);
        QCOMPARE(r.s.trigLevel, trigLevel);
        QCOMPARE(r.w.messageBoxes, shown.empty() ? std::vector<std::string>{} : std::vector<std::string>{shown});
    }

    void channel_data() {
        QTest::addColumn<int>("ch");
        QTest::addColumn<std::string>("probe");
        QTest::addColumn<std::string>("position");
        QTest::addColumn<std::string>("invert");
        QTest::addColumn<ChannelLayout>("layout");
        QTest::addColumn<bool>("wrongHeader");
        QTest::addColumn<bool>("headers");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("chProbe");
        QTest::addColumn<int>("chPosition");
        QTest::addColumn<std::string>("chInvert");
        QTest::addColumn<std::string>("shown");
        const auto std = ChannelLayout::Standard;
        const std::string none;

        QTest::newRow("probe 10, position -25") << 0 << std::string("1.0E1") << std::string("-1.02E0") << std::string("OFF") << std << false << true
                                                << 0 << 10 << -25 << std::string("OFF") << none;
        QTest::newRow("no INVERT item") << 2 << std::string("1.0E0") << std::string("2.0E0") << std::string("ON") << ChannelLayout::NoInvert << false << true
                                        << 0 << 1 << 50 << std::string("OFF") << none;
        QTest::newRow("PROBE last, no INVERT") << 1 << std::string("1.0E2") << std::string("0.0E0") << std::string("ON") << ChannelLayout::ProbeLast << false << true
                                               << 0 << 100 << 0 << std::string("OFF") << none;
        QTest::newRow("INVERT before YUNIT") << 3 << std::string("1.0E0") << std::string("1.0E0") << std::string("ON") << ChannelLayout::UnitAfterInvert << false << true
                                             << 0 << 1 << 25 << std::string("ON") << none;
        QTest::newRow("INVERT last") << 3 << std::string("1.0E0") << std::string("0.0E0") << std::string("ON") << std << false << true
                                     << 0 << 1 << 0 << std::string("ON") << none;
        QTest::newRow("probe half down to even") << 0 << std::string("2.5E0") << std::string("0.0E0") << std::string("OFF") << std << false << true
                                                 << 0 << 2 << 0 << std::string("OFF") << none;
        QTest::newRow("probe half up to even") << 0 << std::string("3.5E0") << std::string("0.0E0") << std::string("OFF") << std << false << true
                                               << 0 << 4 << 0 << std::string("OFF") << none;
        QTest::newRow("huge position saturates") << 0 << std::string("1.0E0") << std::string("1.0E9") << std::string("OFF") << std << false << true
                                                 << 0 << 1 << int(kMax) << std::string("OFF") << none;
        QTest::newRow("huge probes saturate") << 0 << std::string("-1.0E20") << std::string("-1.0E300") << std::string("OFF") << std << false << true
                                              << 0 << int(kMin) << int(kMin) << std::string("OFF") << none;
        QTest::newRow("CH2 answered as CH1") << 1 << std::string("1.0E1") << std::string("0.0E0") << std::string("OFF") << std << true << true
                                             << 7 << -7 << -7 << std::string("old") << std::string("Error[7] Data Error :CH1:PROBE 1.0");
        QTest::newRow("position beyond a double") << 0 << std::string("1.0E1") << std::string("1.0E999") << std::string("OFF") << std << false << true
                                                  << 7 << -7 << -7 << std::string("old") << std::string("Error[7] Data Error :CH1:PROBE 1.0");
        QTest::newRow("headers off") << 0 << std::string("1.0E1") << std::string("0.0E0") << std::string("OFF") << std << false << false
                                     << 7 << -7 << -7 << std::string("old") << std::string("Error[7] Data Error 1.0E1;2.0E-2;0");
    }
    void channel() {
        QFETCH(int, ch);
        QFETCH(std::string, probe);
        QFETCH(std::string, position);
        QFETCH(std::string, invert);
        QFETCH(ChannelLayout, layout);
        QFETCH(bool, wrongHeader);
        QFETCH(bool, headers);
        QFETCH(int, status);
        QFETCH(int, chProbe);
        QFETCH(int, chPosition);
        QFETCH(std::string, chInvert);
        QFETCH(std::string, shown);

        Rig& r = *rig;
        r.s.chProbe.fill(-7);
        r.s.chPosition.fill(-7);
        r.s.chVoltDiv.fill(-7);
        r.s.chCoupling.fill("old");
        r.s.chBandwidth.fill("old");
        r.s.chInvert.fill("old");
        ChannelSetup& setup = r.scope.channels[std::size_t(ch)];
        setup.probe = probe;
        setup.position = position;
        setup.invert = invert;
        setup.layout = layout;
        setup.scale = "2.0E-2";
        setup.coupling = "AC";
        setup.bandwidth = "ON";
        if (wrongHeader) r.scope.setFault(Fault::WrongChannelHeader);
        r.scope.headers = headers;

        QCOMPARE(r.queries.readChannel(ch), status);
        QCOMPARE(r.device.lines, std::vector<std::string>{"CH" + std::to_string(ch + 1) + "?"});
        const bool accepted = status == 0;
        for (int i = 0; i < 4; ++i) {
            const bool changed = accepted && i == ch;
            QCOMPARE(r.s.chProbe[i], changed ? chProbe : -7);
            QCOMPARE(r.s.chPosition[i], changed ? chPosition : -7);
            QCOMPARE(r.s.chVoltDiv[i], changed ? 2.0e-2 : -7.0);
            QCOMPARE(r.s.chCoupling[i], std::string(changed ? "AC" : "old"));
            QCOMPARE(r.s.chBandwidth[i], std::string(changed ? "ON" : "old"));
            QCOMPARE(r.s.chInvert[i], changed ? chInvert : std::string("old"));
        }
        QCOMPARE(r.w.messageBoxes, shown.empty() ? std::vector<std::string>{} : std::vector<std::string>{shown});
    }

    void channelRefused_data() {
        QTest::addColumn<int>("present");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("result");
        QTest::addColumn<bool>("refusedBox");
        QTest::newRow("demo mode returns the last status") << 0 << 0 << 3 << true;
        QTest::newRow("demo mode, index above range") << 0 << 4 << 3 << true;
        QTest::newRow("index 4") << 1 << 4 << 0 << false;
        QTest::newRow("negative index") << 1 << -1 << 0 << false;
    }
    void channelRefused() {
        QFETCH(int, present);
        QFETCH(int, index);
        QFETCH(int, result);
        QFETCH(bool, refusedBox);
        rig->s.scopePresent = present;
        rig->s.rxStatus = 3;
        QCOMPARE(rig->queries.readChannel(index), result);
        QVERIFY(rig->device.written.empty());
        QVERIFY(rig->w.statusTexts.empty());
        QCOMPARE(rig->w.messageBoxes,
                 refusedBox ? std::vector<std::string>{" Can't found TDS2024 !"} : std::vector<std::string>{});
    }

    // Stray bytes after one reply must not end up in the next.
    void bytesAfterReplyDropped() {
        Rig& r = *rig;
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

    // At the instrument's own pace the replies arrive in many small batches.
    void pacedAt19200() {
        Rig& r = *rig;
        r.scope.paced = true;
        r.scope.batchBytes = 8;
        r.scope.channels[1].position = "4.0E-1";
        QCOMPARE(r.queries.readSelect(), 0);
        QCOMPARE(r.queries.readChannel(1), 0);
        QCOMPARE(r.s.chPosition[1], 10);
        QCOMPARE(r.device.lines, (std::vector<std::string>{"SEL?", "CH2?"}));
    }
};

QTEST_GUILESS_MAIN(SettingsQueriesTest)
#include "test_settings_queries.moc"
