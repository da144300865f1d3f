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
using Texts = std::vector<std::string>;

namespace {

constexpr int kMax = std::numeric_limits<std::int32_t>::max();
constexpr int kMin = std::numeric_limits<std::int32_t>::min();

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

    std::int32_t run(const std::string& query) {
        if (query == "SEL") return queries.readSelect();
        if (query == "HOR") return queries.readHorizontal();
        if (query == "TRIG") return queries.readTrigger();
        return queries.readChannel(query.back() - '1');
    }

    Texts boxes() const { return w.messageBoxes; }
};

Texts box(const std::string& text) {
    return text.empty() ? Texts{} : Texts{text};
}

std::string bits(const std::array<std::int32_t, kSourceCount>& a, int from, int to) {
    std::string out;
    for (int i = from; i <= to; ++i)
        out += std::to_string(a[i]);
    return out;
}

struct FailureCase {
    std::string query;
    Fault fault;
    int presentBefore, status;
    std::string shown;
    int presentAfter, minMs;
};

struct SelectCase {
    std::string present, displayed, stored, refDisplayed;  // instrument, CH1..4 / REFA..D
    bool headers;
    int status;
    std::string chEnable, refStored, usable;  // usable: channel button and menu enabled
    int presentAfter;
    std::string shown;
};

struct HorizontalCase {
    std::string scale, position, reply;  // reply replaces the instrument's own when set
    int status;
    double timeDiv, horPosition;
    int trigPoint;
    std::string shown;
};

struct TriggerCase {
    std::string edge, level;
    bool headers;
    int status;
    std::string source;
    double trigLevel;
    std::string shown;
};

struct ChannelCase {
    int ch;
    std::string probe, position, invert;
    ChannelLayout layout;
    bool wrongHeader, headers;
    int status, chProbe, chPosition;
    std::string chInvert, shown;
};

}  // namespace

Q_DECLARE_METATYPE(FailureCase)
Q_DECLARE_METATYPE(SelectCase)
Q_DECLARE_METATYPE(HorizontalCase)
Q_DECLARE_METATYPE(TriggerCase)
Q_DECLARE_METATYPE(ChannelCase)

class SettingsQueriesTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Rig> rig;

  private slots:
    void init() { rig = std::make_unique<Rig>(); }
    void cleanup() { rig.reset(); }

    void errorReportText_data() {
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("cancelled") << 9 << "Packet receive Error(CURV)"
                                   << "Error[9] Packet receive Error(CURV)";
        QTest::newRow("empty message") << 0 << ""
                                       << "Error[0] ";
    }
    void errorReportText() {
        QFETCH(int, status);
        QFETCH(QString, message);
        QFETCH(QString, shown);
        rig->s.rxStatus = status;
        errorReport(rig->s, rig->w, message.toStdString());
        QCOMPARE(rig->boxes(), Texts{shown.toStdString()});
    }

    // An accepted exchange: the line on the wire, the status texts around it, and the echo
    // boxes hidden only once the reply is in.
    void acceptedFrame_data() {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QString>("reading");
        QTest::newRow("SEL?") << "SEL"
                              << "reading... Select-CH from TDS2024";
        QTest::newRow("HOR?") << "HOR"
                              << "reading... Time(Horizontal)_settings from TDS2024";
        QTest::newRow("TRIG?") << "TRIG"
                               << "reading... Triger_settings from TDS2024";
        QTest::newRow("CH1?") << "CH1"
                              << "reading... CH1_settings from TDS2024";
        QTest::newRow("CH4?") << "CH4"
                              << "reading... CH4_settings from TDS2024";
    }
    void acceptedFrame() {
        QFETCH(QString, query);
        QFETCH(QString, reading);
        QCOMPARE(rig->run(query.toStdString()), 0);
        QCOMPARE(rig->device.written, std::string(QTest::currentDataTag()) + "\r");
        QCOMPARE(rig->w.statusTexts, (Texts{reading.toStdString(), "Stat:"}));
        QVERIFY(rig->boxes().empty());
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
        QTest::addColumn<FailureCase>("c");
        const char* hor = "Error[1] Packet receive Error(HOR)";
        QTest::newRow("HOR silent") << FailureCase{"HOR", Fault::Silence, 1, 1, hor, 1, 2000};
        QTest::newRow("TRIG silent") << FailureCase{
            "TRIG", Fault::Silence, 1, 1, "Error[1] Packet receive Error(TRIG)", 1, 2000};
        QTest::newRow("CH1 silent reports index 0") << FailureCase{
            "CH1", Fault::Silence, 1, 1, "Error[1] Packet receive Error(CH0)", 1, 2000};
        QTest::newRow("CH4 line feed reports index 3") << FailureCase{
            "CH4", Fault::LineFeedTerminator, 1, 1, "Error[1] Packet receive Error(CH3)", 1, 2000};
        QTest::newRow("SEL silent while present") << FailureCase{
            "SEL", Fault::Silence, 1, 1, "Error[1] Packet receive Error(SEL)", 0, 2000};
        QTest::newRow("SEL silent in demo mode")
            << FailureCase{"SEL", Fault::Silence, 0, 1, "", 0, 2000};
        QTest::newRow("HOR oversized") << FailureCase{
            "HOR", Fault::OversizedReply, 1, 2, "Error[2] Packet receive Error(HOR)", 1, 0};
        QTest::newRow("TRIG line error") << FailureCase{
            "TRIG", Fault::LineError, 1, 3, "Error[3] Packet receive Error(TRIG)", 1, 0};
        QTest::newRow("SEL line error") << FailureCase{
            "SEL", Fault::LineError, 1, 3, "Error[3] Packet receive Error(SEL)", 0, 0};
    }
    void failures() {
        QFETCH(FailureCase, c);
        Rig& r = *rig;
        r.s.scopePresent = c.presentBefore;
        r.s.timeDiv = 123;
        r.s.trigSource = "old";
        r.s.chProbe.fill(-7);
        r.s.chEnable.fill(1);
        r.scope.setFault(c.fault);
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(r.run(c.query), c.status);
        const qint64 ms = clock.elapsed();

        QVERIFY2(ms >= c.minMs && ms < c.minMs + 1500, qPrintable(QString::number(ms)));
        QCOMPARE(r.boxes(), box(c.shown));
        QCOMPARE(r.s.scopePresent, c.presentAfter);
        QCOMPARE(r.w.status(), std::string("Stat:"));
        QVERIFY(r.w.visible(Field::dispTxD_str));
        QVERIFY(r.w.visible(Field::dispRxD_str));
        QCOMPARE(r.s.timeDiv, 123.0);
        QCOMPARE(r.s.trigSource, std::string("old"));
        QCOMPARE(r.s.chProbe, (std::array<std::int32_t, 4>{-7, -7, -7, -7}));
        QCOMPARE(bits(r.s.chEnable, 0, 7), std::string("11111111"));
    }

    void select_data() {
        QTest::addColumn<SelectCase>("c");
        QTest::newRow("CH1 CH3 on, REFB displayed") << SelectCase{
            "1111", "1010", "1111", "0100", true, 0, "10100100", "1111", "1111", 1, ""};
        QTest::newRow("no CH3 in the reply") << SelectCase{
            "1101", "1111", "1111", "0000", true, 0, "11010000", "1111", "1101", 1, ""};
        QTest::newRow("REFA REFD held, REFD displayed") << SelectCase{
            "1111", "0001", "1001", "0001", true, 0, "00010001", "1001", "1111", 1, ""};
        QTest::newRow("headers off") << SelectCase{"1111",
                                                   "1010",
                                                   "1111",
                                                   "0100",
                                                   false,
                                                   7,
                                                   "11111111",
                                                   "0000",
                                                   "1111",
                                                   0,
                                                   "Error[7] Data Error 1;0;1;0;0;0;1;"};
    }
    void select() {
        QFETCH(SelectCase, c);
        Rig& r = *rig;
        r.s.scopePresent = 0;  // a named channel brings the tool back to live mode
        r.s.chEnable.fill(1);
        for (std::size_t i = 0; i < 4; ++i) {
            r.scope.channels[i].present = c.present[i] == '1';
            r.scope.channels[i].displayed = c.displayed[i] == '1';
            r.scope.refStored[i] = c.stored[i] == '1';
            r.scope.refDisplayed[i] = c.refDisplayed[i] == '1';
        }
        r.scope.headers = c.headers;

        QCOMPARE(r.queries.readSelect(), c.status);
        QCOMPARE(r.device.lines, Texts{"SEL?"});
        QCOMPARE(bits(r.s.chEnable, 0, 7), c.chEnable);
        QCOMPARE(bits(r.s.refStored, 4, 7), c.refStored);
        std::string usable;
        for (int ch = 0; ch < 4; ++ch) {
            const bool enabled = r.w.buttonEnabled(Button::cbCh, ch);
            QCOMPARE(r.w.menuEnabled(Menu::mnuCh, ch), enabled);
            usable += enabled ? '1' : '0';
        }
        QCOMPARE(usable, c.usable);
        for (int ref = 4; ref <= 7; ++ref) {
            // A reference the instrument does not hold loses its controls at once.
            const bool gone = c.status == 0 && c.refStored[std::size_t(ref - 4)] == '0';
            QCOMPARE(r.w.menuEnabled(Menu::mnuRef, ref), !gone);
            QCOMPARE(r.w.buttonVisible(Button::cbRefFlag, ref), !gone);
        }
        QCOMPARE(r.s.scopePresent, c.presentAfter);
        QCOMPARE(r.boxes(), box(c.shown));
    }

    void horizontal_data() {
        QTest::addColumn<HorizontalCase>("c");
        const char* head = "Error[7] Data Error :HORIZONTAL:VI";
        QTest::newRow("trigger point 1200")
            << HorizontalCase{"5.0E-4", "1.0E-4", "", 0, 5.0e-4, 1.0e-4, 1200, ""};
        QTest::newRow("beyond half the record")
            << HorizontalCase{"5.0E-4", "3.0E-3", "", 0, 5.0e-4, 3.0e-3, 9999, ""};
        QTest::newRow("exactly half the record")
            << HorizontalCase{"5.0E-4", "2.5E-3", "", 0, 5.0e-4, 2.5e-3, 0, ""};
        QTest::newRow("far left has no bound")
            << HorizontalCase{"5.0E-4", "-3.0E-3", "", 0, 5.0e-4, -3.0e-3, 2750, ""};
        QTest::newRow("half down to even")
            << HorizontalCase{"2.5E2", "2.5E0", "", 0, 250, 2.5, 1248, ""};
        QTest::newRow("half up to even")
            << HorizontalCase{"2.5E2", "3.5E0", "", 0, 250, 3.5, 1246, ""};
        QTest::newRow("extreme position saturates")
            << HorizontalCase{"1.0E-300", "-1.0E10", "", 0, 1.0e-300, -1.0e10, kMax, ""};
        QTest::newRow("zero scale kept")
            << HorizontalCase{"0.0E0", "1.0E-4", "", 7, 0, 456, 777, "Error[7] Data Error 0.0E0"};
        QTest::newRow("scale beyond a double")
            << HorizontalCase{"1.0E999", "0.0E0", "", 7, 123, 456, 777, head};
        QTest::newRow("position beyond a double")
            << HorizontalCase{"5.0E-4", "-1.0E999", "", 7, 123, 456, 777, head};
        QTest::newRow("no position")
            << HorizontalCase{"",  "",  ":HORIZONTAL:MAIN:SCALE 5.0E-4\r",   7, 123,
                              456, 777, "Error[7] Data Error :HORIZONTAL:MA"};
        QTest::newRow("headers off")
            << HorizontalCase{"",  "",  "MAIN;2500;5.0E-4;1.0E-4\r",         7, 123,
                              456, 777, "Error[7] Data Error MAIN;2500;5.0E"};
    }
    void horizontal() {
        QFETCH(HorizontalCase, c);
        Rig& r = *rig;
        r.s.timeDiv = 123;
        r.s.horPosition = 456;
        r.s.trigPoint = 777;
        r.scope.horScale = c.scale;
        r.scope.horPosition = c.position;
        // The delayed time base comes second and must never be the one read.
        r.scope.delayScale = "9.0E-9";
        r.scope.delayPosition = "9.0E-9";
        if (!c.reply.empty()) r.scope.setReply("HOR?", c.reply);

        QCOMPARE(r.queries.readHorizontal(), c.status);
        QCOMPARE(r.s.rxStatus, c.status);
        QCOMPARE(r.s.timeDiv, c.timeDiv);
        QCOMPARE(r.s.horPosition, c.horPosition);
        QCOMPARE(r.s.trigPoint, c.trigPoint);
        QCOMPARE(r.boxes(), box(c.shown));
    }

    void trigger_data() {
        QTest::addColumn<TriggerCase>("c");
        QTest::newRow("level followed by items")
            << TriggerCase{"CH1", "1.20E0", true, 0, "CH1", 1.2, ""};
        QTest::newRow("edge source among others")
            << TriggerCase{"EXT5", "-3.5E-1", true, 0, "EXT5", -0.35, ""};
        QTest::newRow("level not a number") << TriggerCase{"CH4", "HIGH", true, 0, "CH4", 0, ""};
        QTest::newRow("level beyond a double") << TriggerCase{
            "CH2", "1.0E999", true, 7, "old", -9, "Error[7] Data Error :TRIGGER:MAIN:"};
        QTest::newRow("headers off") << TriggerCase{
            "CH2", "1.0E0", false, 7, "old", -9, "Error[7] Data Error AUTO;EDGE;1.0E"};
    }
    void trigger() {
        QFETCH(TriggerCase, c);
        Rig& r = *rig;
        r.s.trigSource = "old";
        r.s.trigLevel = -9;
        r.scope.edgeSource = c.edge;
        r.scope.videoSource = "CH3";
        r.scope.pulseSource = "CH2";
        r.scope.trigLevel = c.level;
        r.scope.headers = c.headers;

        QCOMPARE(r.queries.readTrigger(), c.status);
        QCOMPARE(r.s.trigSource, c.source);
        QCOMPARE(r.s.trigLevel, c.trigLevel);
        QCOMPARE(r.boxes(), box(c.shown));
    }

    void channel_data() {
        QTest::addColumn<ChannelCase>("c");
        const auto std = ChannelLayout::Standard;
        const char* ch1Head = "Error[7] Data Error :CH1:PROBE 1.0";
        QTest::newRow("probe 10, position -25")
            << ChannelCase{0, "1.0E1", "-1.02E0", "OFF", std, false, true, 0, 10, -25, "OFF", ""};
        QTest::newRow("no INVERT item") << ChannelCase{
            2, "1.0E0", "2.0E0", "ON", ChannelLayout::NoInvert, false, true, 0, 1, 50, "OFF", ""};
        QTest::newRow("PROBE last, no INVERT") << ChannelCase{
            1, "1.0E2", "0.0E0", "ON", ChannelLayout::ProbeLast, false, true, 0, 100, 0, "OFF", ""};
        QTest::newRow("INVERT before YUNIT") << ChannelCase{
            3, "1.0E0", "1.0E0", "ON", ChannelLayout::UnitAfterInvert, false, true, 0,
            1, 25,      "ON",    ""};
        QTest::newRow("INVERT last")
            << ChannelCase{3, "1.0E0", "0.0E0", "ON", std, false, true, 0, 1, 0, "ON", ""};
        QTest::newRow("probe half down to even")
            << ChannelCase{0, "2.5E0", "0.0E0", "OFF", std, false, true, 0, 2, 0, "OFF", ""};
        QTest::newRow("probe half up to even")
            << ChannelCase{0, "3.5E0", "0.0E0", "OFF", std, false, true, 0, 4, 0, "OFF", ""};
        QTest::newRow("huge position saturates")
            << ChannelCase{0, "1.0E0", "1.0E9", "OFF", std, false, true, 0, 1, kMax, "OFF", ""};
        QTest::newRow("huge negatives saturate") << ChannelCase{
            0, "-1.0E20", "-1.0E300", "OFF", std, false, true, 0, kMin, kMin, "OFF", ""};
        QTest::newRow("CH2 answered as CH1")
            << ChannelCase{1, "1.0E1", "0.0E0", "OFF", std, true, true, 7, -7, -7, "old", ch1Head};
        QTest::newRow("position beyond a double") << ChannelCase{
            0, "1.0E1", "1.0E999", "OFF", std, false, true, 7, -7, -7, "old", ch1Head};
        QTest::newRow("headers off") << ChannelCase{
            0,     "1.0E1", "0.0E0", "OFF", std,   false,
            false, 7,       -7,      -7,    "old", "Error[7] Data Error 1.0E1;2.0E-2;0"};
    }
    void channel() {
        QFETCH(ChannelCase, c);
        Rig& r = *rig;
        r.s.chProbe.fill(-7);
        r.s.chPosition.fill(-7);
        r.s.chVoltDiv.fill(-7);
        r.s.chCoupling.fill("old");
        r.s.chBandwidth.fill("old");
        r.s.chInvert.fill("old");
        ChannelSetup& setup = r.scope.channels[std::size_t(c.ch)];
        setup = {true, true, c.probe, "2.0E-2", c.position, "AC", "ON", c.invert, c.layout};
        if (c.wrongHeader) r.scope.setFault(Fault::WrongChannelHeader);
        r.scope.headers = c.headers;

        QCOMPARE(r.queries.readChannel(c.ch), c.status);
        QCOMPARE(r.device.lines, Texts{"CH" + std::to_string(c.ch + 1) + "?"});
        for (int i = 0; i < 4; ++i) {
            const bool changed = c.status == 0 && i == c.ch;
            QCOMPARE(r.s.chProbe[i], changed ? c.chProbe : -7);
            QCOMPARE(r.s.chPosition[i], changed ? c.chPosition : -7);
            QCOMPARE(r.s.chVoltDiv[i], changed ? 2.0e-2 : -7.0);
            QCOMPARE(r.s.chCoupling[i], std::string(changed ? "AC" : "old"));
            QCOMPARE(r.s.chBandwidth[i], std::string(changed ? "ON" : "old"));
            QCOMPARE(r.s.chInvert[i], changed ? c.chInvert : std::string("old"));
        }
        QCOMPARE(r.boxes(), box(c.shown));
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
        QCOMPARE(rig->boxes(), box(refusedBox ? " Can't found TDS2024 !" : ""));
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
        QCOMPARE(r.device.lines, (Texts{"SEL?", "CH2?"}));
    }
};

QTEST_GUILESS_MAIN(SettingsQueriesTest)
#include "test_settings_queries.moc"
