// Channel and reference switches: every control effect, in order, and the index filtering.
#include <QTest>

#include "model/channel_selection.h"
#include "model/reference_selection.h"
#include "support/fake_window_ops.h"

using namespace curvalon;
using curvalon::test::FakeWindowOps;

namespace {

using Log = std::vector<std::string>;

// Effect lines of one channel, "#" standing for its index and "@" for its colour.
const Log kOn = {
    "enabled mnuCh # 1",        "back cbCh # @",  "enabled cbCh # 1", "align ChTtl # 2",
    "fore ChTtl # 255,255,255", "back ChTtl # @", "fore ChDivV # @",  "fore ChDivUnit # @"};
const Log kOff = {"align ChTtl # 0", "fore ChTtl # 196,196,196", "back ChTtl # 240,240,240",
                  "fore ChDivV # 196,196,196", "fore ChDivUnit # 196,196,196"};
const Log kReset = {"text ChDivV # 0.00", "text ChDivUnit # V"};

Log effects(int ch, std::initializer_list<Log> parts) {
    const char* colours[] = {"255,200,0", "0,196,196", "208,0,208", "0,208,0"};
    Log out;
    for (const Log& part : parts) {
        for (std::string line : part) {
            for (std::size_t p; (p = line.find_first_of("#@")) != std::string::npos;)
                line.replace(p, 1, line[p] == '#' ? std::to_string(ch) : colours[ch]);
            out.push_back(line);
        }
    }
    return out;
}

// One operation on a channel (its flag in chEnable) or a reference (its flag in refShown).
struct Operation {
    std::string name;
    int index, flagBefore, flagAfter;
    Log effects;
};

}  // namespace

Q_DECLARE_METATYPE(Operation)

class SelectionTest : public QObject {
    Q_OBJECT

    ScopeState s;
    FakeWindowOps w;

  private slots:
    void init() {
        s = ScopeState{};
        initTables(s, rgb(240, 240, 240));
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

    void operations_data() {
        QTest::addColumn<Operation>("c");
        const std::string ref = "back cbRefFlag ";
        // clang-format off
        QTest::newRow("on CH1") << Operation{"on", 0, 0, 1, effects(0, {kOn})};
        QTest::newRow("on CH4 already on") << Operation{"on", 3, 1, 1, effects(3, {kOn})};
        QTest::newRow("off CH3, button kept") << Operation{"off", 2, 1, 0, effects(2, {kOff})};
        QTest::newRow("unavailable CH2 keeps flag") << Operation{"unavailable", 1, 1, 1,
            effects(1, {{"back cbCh # 196,196,196", "enabled cbCh # 0", "enabled mnuCh # 0"}})};
        QTest::newRow("toggle CH2 on") << Operation{"toggle", 1, 0, 1, effects(1, {kOn, kReset})};
        QTest::newRow("toggle CH4 off") << Operation{"toggle", 3, 1, 0, effects(3, {kOff, kReset})};
        QTest::newRow("REFA on") << Operation{"ref toggle", 4, 0, 1, {ref + "4 192,192,128"}};
        QTest::newRow("REFD off") << Operation{"ref toggle", 7, 1, 0, {ref + "7 196,196,196"}};
        QTest::newRow("on REFC") << Operation{"ref on", 6, 0, 1, {ref + "6 192,128,192"}};
        QTest::newRow("off REFB") << Operation{"ref off", 5, 1, 0, {ref + "5 196,196,196"}};
        QTest::newRow("unavailable REFB") << Operation{"ref unavailable", 5, 1, 0,
            {"visible cbRefFlag 5 0", "enabled cbRefFlag 5 0", ref + "5 196,196,196",
             "enabled mnuRef 5 0"}};
        // clang-format on
    }
    void operations() {
        QFETCH(Operation, c);
        // Channel and reference flags share their arrays with the other kind; an operation
        // touches its own element only.
        const bool ref = c.name.starts_with("ref");
        auto& flags = ref ? s.refShown : s.chEnable;
        flags.fill(c.flagBefore);
        ChannelSelection channels(s, w);
        ReferenceSelection refs(s, w);
        const std::string op = ref ? c.name.substr(4) : c.name;
        if (op == "on") ref ? refs.refOn(c.index) : channels.channelOn(c.index);
        if (op == "off") ref ? refs.refOff(c.index) : channels.channelOff(c.index);
        if (op == "unavailable")
            ref ? refs.refUnavailable(c.index) : channels.channelUnavailable(c.index);
        if (op == "toggle") ref ? refs.toggleRef(c.index) : channels.toggleChannel(c.index);

        QCOMPARE(w.log, c.effects);
        for (int i = 0; i < kSourceCount; ++i)
            QCOMPARE(flags[i], i == c.index ? c.flagAfter : c.flagBefore);
    }

    // Indexes outside the channels and outside the references change nothing at all.
    void outOfRangeIndexesDoNothing() {
        s.chEnable.fill(1);
        s.refShown.fill(1);
        ChannelSelection channels(s, w);
        ReferenceSelection refs(s, w);
        for (int i : {-1, 4, 5, 7, int(INT32_MIN)}) {
            channels.channelOn(i);
            channels.channelOff(i);
            channels.channelUnavailable(i);
            channels.toggleChannel(i);
        }
        for (int i : {-4, 0, 3, 8}) {
            refs.refOn(i);
            refs.refOff(i);
            refs.refUnavailable(i);
            refs.toggleRef(i);
        }
        QVERIFY(w.log.empty());
        QCOMPARE(s.chEnable, (decltype(s.chEnable){1, 1, 1, 1, 1, 1, 1, 1}));
        QCOMPARE(s.refShown, (decltype(s.refShown){1, 1, 1, 1, 1, 1, 1, 1}));
    }

    // On: the stored references only get their controls back. Off: all are hidden, and what
    // was shown stays shown, in its colour, for the next time.
    void referenceView() {
        ReferenceSelection refs(s, w);
        refs.toggleRefView();  // none stored
        QCOMPARE(s.refView, 1);
        QVERIFY(w.log.empty());
        refs.toggleRefView();
        s.refStored[5] = s.refStored[7] = 1;
        std::size_t mark = w.log.size();
        refs.toggleRefView();
        QCOMPARE(w.since(mark),
                 (Log{"visible cbRefFlag 5 1", "enabled cbRefFlag 5 1", "enabled mnuRef 5 1",
                      "visible cbRefFlag 7 1", "enabled cbRefFlag 7 1", "enabled mnuRef 7 1"}));
        refs.refOn(5);
        mark = w.log.size();
        refs.toggleRefView();
        Log expected;
        for (std::string i : {"4", "5", "6", "7"}) {
            for (std::string control :
                 {"enabled cbRefFlag ", "visible cbRefFlag ", "enabled mnuRef "})
                expected.push_back(control + i + " 0");
        }
        QCOMPARE(w.since(mark), expected);
        QCOMPARE(s.refView, 0);
        QCOMPARE(s.refShown[5], 1);
        refs.toggleRefView();
        QCOMPARE(s.refShown[5], 1);
        QCOMPARE(w.get("back cbRefFlag 5"), std::string("128,192,192"));
        QCOMPARE(w.get("visible cbRefFlag 5"), std::string("1"));
    }
};

QTEST_GUILESS_MAIN(SelectionTest)
#include "test_selection.moc"
