// Channel and reference switches: every control effect, in order, and the index filtering.
#include <QTest>

#include "model/channel_selection.h"
#include "model/reference_selection.h"
#include "support/fake_window_ops.h"

using namespace curvalon;
using namespace std::string_literals;
using curvalon::test::FakeWindowOps;

namespace {

const Rgb kBack = rgb(240, 240, 240);
const std::string kWhite = "255,255,255";
const std::string kGrey = "196,196,196";
const std::string kBackText = "240,240,240";
const char* kChColour[] = {"255,200,0", "0,196,196", "208,0,208", "0,208,0"};
const char* kRefColour[] = {"",           "", "", "", "192,192,128", "128,192,192", "192,128,192",
                            "128,192,128"};

using Log = std::vector<std::string>;

Log onEffects(int ch) {
    const std::string i = std::to_string(ch);
    const std::string c = kChColour[ch];
    return {"enabled mnuCh " + i + " 1",      "back cbCh " + i + " " + c,
            "enabled cbCh " + i + " 1",       "align ChTtl " + i + " 2",
            "fore ChTtl " + i + " " + kWhite, "back ChTtl " + i + " " + c,
            "fore ChDivV " + i + " " + c,     "fore ChDivUnit " + i + " " + c};
}

Log offEffects(int ch) {
    const std::string i = std::to_string(ch);
    return {"align ChTtl " + i + " 0", "fore ChTtl " + i + " " + kGrey,
            "back ChTtl " + i + " " + kBackText, "fore ChDivV " + i + " " + kGrey,
            "fore ChDivUnit " + i + " " + kGrey};
}

Log unavailableEffects(int ch) {
    const std::string i = std::to_string(ch);
    return {"back cbCh " + i + " " + kGrey, "enabled cbCh " + i + " 0",
            "enabled mnuCh " + i + " 0"};
}

Log readoutReset(int ch) {
    const std::string i = std::to_string(ch);
    return {"text ChDivV " + i + " 0.00", "text ChDivUnit " + i + " V"};
}

Log operator+(Log a, const Log& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

}  // namespace

Q_DECLARE_METATYPE(Log)

class SelectionTest : public QObject {
    Q_OBJECT

    ScopeState s;
    FakeWindowOps w;

  private slots:
    void init() {
        s = ScopeState{};
        initTables(s, kBack);
        w = FakeWindowOps{};
    }

    void startUpLook() {
        ChannelSelection(s, w).initChannelButtons();
        const Log expected = {"back cbCh 0 255,200,0",   "back cbCh 1 0,196,196",
                              "back cbCh 2 208,0,208",   "back cbCh 3 0,208,0",
                              "visible dispTxD_str 0 0", "visible dispRxD_str 0 0",
                              "visible cbRefFlag 4 0",   "visible cbRefFlag 5 0",
                              "visible cbRefFlag 6 0",   "visible cbRefFlag 7 0"};
        QCOMPARE(w.log, expected);
    }

    // Effects of one channel operation, starting from the given flag.
    void channelOperations_data() {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<int>("ch");
        QTest::addColumn<int>("enabledBefore");
        QTest::addColumn<int>("enabledAfter");
        QTest::addColumn<Log>("effects");

        QTest::newRow("on CH1") << "on" << 0 << 0 << 1 << onEffects(0);
        QTest::newRow("on CH4 already on") << "on" << 3 << 1 << 1 << onEffects(3);
        QTest::newRow("off CH3 keeps button and menu") << "off" << 2 << 1 << 0 << offEffects(2);
        QTest::newRow("unavailable CH2 keeps flag")
            << "unavailable" << 1 << 1 << 1 << unavailableEffects(1);
        QTest::newRow("toggle CH2 on") << "toggle" << 1 << 0 << 1 << onEffects(1) + readoutReset(1);
        QTest::newRow("toggle CH4 off")
            << "toggle" << 3 << 1 << 0 << offEffects(3) + readoutReset(3);
        QTest::newRow("toggle CH5 does nothing") << "toggle" << 4 << 0 << 0 << Log{};
        QTest::newRow("toggle 5 does nothing") << "toggle" << 5 << 0 << 0 << Log{};
        QTest::newRow("toggle -1 does nothing") << "toggle" << -1 << 0 << 0 << Log{};
        QTest::newRow("on 4 does nothing") << "on" << 4 << 0 << 0 << Log{};
        QTest::newRow("on -1 does nothing") << "on" << -1 << 0 << 0 << Log{};
        QTest::newRow("off 4 does nothing") << "off" << 4 << 1 << 1 << Log{};
        QTest::newRow("off min does nothing") << "off" << int(INT32_MIN) << 1 << 1 << Log{};
        QTest::newRow("unavailable 7 does nothing") << "unavailable" << 7 << 1 << 1 << Log{};
        QTest::newRow("unavailable -2 does nothing") << "unavailable" << -2 << 1 << 1 << Log{};
    }
    void channelOperations() {
        QFETCH(QString, operation);
        QFETCH(int, ch);
        QFETCH(int, enabledBefore);
        QFETCH(int, enabledAfter);
        QFETCH(Log, effects);

        const bool inRange = ch >= 0 && ch <= 3;
        // Reference flags share the array; they must never be touched by a channel operation.
        s.chEnable.fill(enabledBefore);
        ChannelSelection channels(s, w);
        if (operation == "on") channels.channelOn(ch);
        if (operation == "off") channels.channelOff(ch);
        if (operation == "unavailable") channels.channelUnavailable(ch);
        if (operation == "toggle") channels.toggleChannel(ch);

        QCOMPARE(w.log, effects);
        for (int i = 0; i < kSourceCount; ++i) {
            QCOMPARE(s.chEnable[i], (inRange && i == ch) ? enabledAfter : enabledBefore);
        }
    }

    void unavailableChannelComesBackOnItsKey() {
        ChannelSelection channels(s, w);
        channels.channelOff(2);
        channels.channelUnavailable(2);
        QVERIFY(!w.buttonEnabled(Button::cbCh, 2));
        channels.toggleChannel(2);
        QCOMPARE(s.chEnable[2], 1);
        QVERIFY(w.buttonEnabled(Button::cbCh, 2));
        QVERIFY(w.menuEnabled(Menu::mnuCh, 2));
        QCOMPARE(w.buttonBackColor(Button::cbCh, 2), s.traceColor[2]);
    }

    void referenceModeOnShowsStoredOnly_data() {
        QTest::addColumn<QList<int>>("stored");
        QTest::addColumn<Log>("effects");
        QTest::newRow("none stored") << QList<int>{} << Log{};
        QTest::newRow("REFB and REFD")
            << QList<int>{5, 7}
            << Log{"visible cbRefFlag 5 1", "enabled cbRefFlag 5 1", "enabled mnuRef 5 1",
                   "visible cbRefFlag 7 1", "enabled cbRefFlag 7 1", "enabled mnuRef 7 1"};
    }
    void referenceModeOnShowsStoredOnly() {
        QFETCH(QList<int>, stored);
        QFETCH(Log, effects);
        for (int r : stored)
            s.refStored[r] = 1;
        ReferenceSelection(s, w).toggleRefView();
        QCOMPARE(s.refView, 1);
        QCOMPARE(w.log, effects);
    }

    void referenceModeOffHidesAllAndKeepsShown() {
        ReferenceSelection refs(s, w);
        s.refStored[5] = 1;
        refs.toggleRefView();
        refs.refOn(5);
        const std::size_t mark = w.log.size();
        refs.toggleRefView();
        Log expected;
        for (int r = 4; r <= 7; ++r) {
            const std::string i = std::to_string(r);
            expected =
                expected + Log{"enabled cbRefFlag " + i + " 0", "visible cbRefFlag " + i + " 0",
                               "enabled mnuRef " + i + " 0"};
        }
        QCOMPARE(w.since(mark), expected);
        QCOMPARE(s.refView, 0);
        QCOMPARE(s.refShown[5], 1);

        // Back on: the same reference, in the same colour, without repainting it.
        refs.toggleRefView();
        QCOMPARE(s.refShown[5], 1);
        QCOMPARE(w.buttonBackColor(Button::cbRefFlag, 5), s.traceColor[5]);
        QVERIFY(w.buttonVisible(Button::cbRefFlag, 5));
    }

    void referenceOperations_data() {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<int>("r");
        QTest::addColumn<int>("shownBefore");
        QTest::addColumn<int>("shownAfter");
        QTest::addColumn<Log>("effects");

        QTest::newRow("toggle REFA on")
            << "toggle" << 4 << 0 << 1 << Log{std::string("back cbRefFlag 4 ") + kRefColour[4]};
        QTest::newRow("toggle REFD off")
            << "toggle" << 7 << 1 << 0 << Log{"back cbRefFlag 7 " + kGrey};
        QTest::newRow("on REFC") << "on" << 6 << 0 << 1
                                 << Log{std::string("back cbRefFlag 6 ") + kRefColour[6]};
        QTest::newRow("off REFB") << "off" << 5 << 1 << 0 << Log{"back cbRefFlag 5 " + kGrey};
        QTest::newRow("unavailable REFB") << "unavailable" << 5 << 1 << 0
                                          << Log{"visible cbRefFlag 5 0", "enabled cbRefFlag 5 0",
                                                 "back cbRefFlag 5 " + kGrey, "enabled mnuRef 5 0"};
        QTest::newRow("toggle 3 does nothing") << "toggle" << 3 << 0 << 0 << Log{};
        QTest::newRow("toggle 8 does nothing") << "toggle" << 8 << 0 << 0 << Log{};
        QTest::newRow("toggle -4 does nothing") << "toggle" << -4 << 0 << 0 << Log{};
        QTest::newRow("on 0 does nothing") << "on" << 0 << 0 << 0 << Log{};
        QTest::newRow("off 8 does nothing") << "off" << 8 << 1 << 1 << Log{};
        QTest::newRow("unavailable 3 does nothing") << "unavailable" << 3 << 1 << 1 << Log{};
    }
    void referenceOperations() {
        QFETCH(QString, operation);
        QFETCH(int, r);
        QFETCH(int, shownBefore);
        QFETCH(int, shownAfter);
        QFETCH(Log, effects);

        s.refShown.fill(shownBefore);
        ReferenceSelection refs(s, w);
        if (operation == "toggle") refs.toggleRef(r);
        if (operation == "on") refs.refOn(r);
        if (operation == "off") refs.refOff(r);
        if (operation == "unavailable") refs.refUnavailable(r);

        QCOMPARE(w.log, effects);
        for (int i = 0; i < kSourceCount; ++i) {
            QCOMPARE(s.refShown[i], i == r ? shownAfter : shownBefore);
        }
    }

    void referencesToggleWhileNoneStored() {
        ReferenceSelection refs(s, w);
        refs.toggleRefView();
        refs.toggleRef(6);
        QCOMPARE(s.refView, 1);
        QCOMPARE(s.refShown[6], 1);
        QCOMPARE(w.log, Log{std::string("back cbRefFlag 6 ") + kRefColour[6]});
    }
};

QTEST_GUILESS_MAIN(SelectionTest)
#include "test_selection.moc"
