// The whole tool in its real main window, headless, against the simulated instrument: keys,
// menus, buttons and the help window. Start-up itself is shown over a pseudo-terminal.
#include <QMessageBox>
#include <QtTest>
#include <memory>

#include "link/qt_link_clock.h"
#include "shell/main_window.h"
#include "shell/scope_app.h"
#include "support/fake_serial_device.h"
#include "support/qtest_strings.h"
#include "support/simulated_instrument.h"

using namespace curvalon;
using namespace curvalon::test;

namespace {

using Lines = std::vector<std::string>;
const std::string kDemoText = " Mode : Demo Mode  ( Can't found TDS2024 ! )";

struct Rig {
    MainWindow window;
    FakeSerialDevice device;
    QtLinkClock clock;
    SimulatedInstrument instrument;
    std::vector<int> exits;
    std::unique_ptr<ScopeApp> app;
    QTimer boxCloser;
    Lines boxes;  // "title: text" of each message box

    // A silent instrument leaves the tool in demo mode after the 2 s wake-up wait.
    explicit Rig(bool answering = true) {
        // Every message box is accepted as soon as it opens.
        QObject::connect(&boxCloser, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                boxes.push_back((box->windowTitle() + ": " + box->text()).toStdString());
                box->accept();
            }
        });
        boxCloser.start(10);
        instrument.attach(device);
        if (!answering) instrument.setFault(Fault::Silence, SimulatedInstrument::kBreak);
        app = std::make_unique<ScopeApp>(window, device, clock,
                                         [this](int code) { exits.push_back(code); });
    }
    ScopeState& s() { return app->state(); }
    bool start() {
        app->load();
        return QTest::qWaitFor([this] { return s().startupDone == 1; }, 6000);
    }
    std::string status() const { return window.statusPanel()->text().toStdString(); }
    void key(char c) { QTest::keyClick(&window, c); }
    bool idle(int timeoutMs = 15000) {
        return QTest::qWaitFor([this] { return !app->link().busy(); }, timeoutMs);
    }
    int pixelsOf(Rgb c) {
        const QImage img = window.surface().image().convertToFormat(QImage::Format_RGB32);
        const auto* p = reinterpret_cast<const QRgb*>(img.constBits());
        return int(std::count(p, p + img.sizeInBytes() / 4, qRgb(redOf(c), greenOf(c), blueOf(c))));
    }
};

}  // namespace

class ShellTest : public QObject {
    Q_OBJECT
  private slots:
    // The initialisation tries again to open a port that failed, keeps its last status text,
    // and finds the instrument once the port opens.
    void initialiseAgain() {
        Rig rig;
        rig.device.openResult = OpenResult::NotFound;
        QVERIFY(rig.start());
        QCOMPARE(rig.device.opens, 2);  // at start-up, and again before the break
        QCOMPARE(rig.s().scopePresent, 0);
        QCOMPARE(rig.status(), kDemoText);
        QVERIFY(rig.device.breaks.at(1).second - rig.device.breaks.at(0).second >= 100'000'000);
        rig.window.menuItem(Menu::mnuIniTDS2024, 0)->trigger();
        QVERIFY(rig.idle());
        QCOMPARE(rig.device.opens, 3);
        QCOMPARE(rig.device.breaks.size(), size_t(4));
        QCOMPARE(rig.status(), kDemoText);
        // The adapter is plugged in; the operator initialises again and the instrument answers.
        rig.device.openResult = OpenResult::Ok;
        rig.window.menuItem(Menu::mnuIniTDS2024, 0)->trigger();
        QVERIFY(rig.idle());
        QCOMPARE(rig.device.opens, 4);
        QCOMPARE(rig.s().scopePresent, 1);
        QCOMPARE(rig.instrument.received, (Lines{"DAT:ENC RIB", "SEL?"}));
    }

    // What each key sends, with only CH3 selected beforehand; the panel is empty afterwards.
    void keysOnTheWire_data() {
        QTest::addColumn<char>("key");
        QTest::addColumn<Lines>("lines");
        QTest::addColumn<QString>("shownMeanwhile");
        // clang-format off
        QTest::newRow("space reads the selection first") << ' '
            << Lines{"SEL?", "HOR?", "TRIG?", "CH4?", "DAT:SOU CH4", "CURV?", "CH3?", "DAT:SOU CH3",
                     "CURV?", "CH2?", "DAT:SOU CH2", "CURV?", "CH1?", "DAT:SOU CH1", "CURV?"}
            << "reading... CH1_Curve from TDS2024";
        // clang-format on
        QTest::newRow("0 reads the chosen channels")
            << '0' << Lines{"HOR?", "TRIG?", "CH3?", "DAT:SOU CH3", "CURV?"}
            << "reading... CH3_Curve from TDS2024";
        QTest::newRow("9 reads the selection alone") << '9' << Lines{"SEL?"} << "";
        QTest::newRow("a key without action") << 'x' << Lines{} << "";
    }
    void keysOnTheWire() {
        QFETCH(char, key);
        QFETCH(Lines, lines);
        QFETCH(QString, shownMeanwhile);
        Rig rig;
        QVERIFY(rig.start());
        rig.s().chEnable = {0, 0, 1, 0};
        rig.instrument.received.clear();
        QStringList seen;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout,
                         [&] { seen << rig.window.statusPanel()->text(); });
        watch.start(1);
        rig.key(key);
        watch.stop();
        QVERIFY(rig.idle());
        QCOMPARE(rig.instrument.received, lines);
        if (!shownMeanwhile.isEmpty()) QVERIFY(seen.contains(shownMeanwhile));
        QCOMPARE(rig.status(), std::string(""));
        QVERIFY(rig.boxes.empty());
        // A read stamps its time into the command echo box, date and time two blanks apart.
        if (key == '0' || key == ' ')
            QVERIFY(rig.window.field(Field::dispTxD_str, 0)->text().contains(QStringLiteral("  ")));
    }

    void channelKeysToggleAndBringBackAnUnavailableChannel() {
        Rig rig;
        rig.instrument.channels[2].present = false;
        QVERIFY(rig.start());
        QVERIFY(!rig.window.button(Button::cbCh, 2)->isEnabled());
        QVERIFY(!rig.window.menuItem(Menu::mnuCh, 2)->isEnabled());
        rig.key('3');
        QCOMPARE(rig.s().chEnable[2], 1);
        QVERIFY(rig.window.button(Button::cbCh, 2)->isEnabled());
        QVERIFY(rig.window.menuItem(Menu::mnuCh, 2)->isEnabled());
        rig.key('1');
        QCOMPARE(rig.s().chEnable[0], 0);
        rig.key('1');
        QCOMPARE(rig.s().chEnable[0], 1);
    }

    void curveKeyDrawsOverThePictureWithoutErasing() {
        Rig rig(false);
        QVERIFY(rig.start());
        const int ch2Before = rig.pixelsOf(rig.s().traceColor[1]);
        rig.s().scopePresent = 1;  // an instrument that answers again, without a new start-up
        rig.instrument.clearFaults();
        rig.instrument.encoding = "RIB";
        rig.instrument.waveforms[0].fill(-100);
        rig.instrument.received.clear();
        rig.key('5');
        QVERIFY(rig.idle());
        QCOMPARE(rig.instrument.received, (Lines{"DAT:SOU CH1", "CURV?"}));
        QCOMPARE(rig.pixelsOf(rig.s().traceColor[1]), ch2Before);
        // The fresh CH1 curve lies on row 225 (value -100), where the demo had none.
        const QImage& img = rig.window.surface().image();
        QCOMPARE(QColor(img.pixel(twipsToPixels(4000), twipsToPixels(200 + 225 * 20))),
                 QColor(255, 200, 0));
    }

    void referenceKeysActOnlyInReferenceMode() {
        Rig rig;
        for (auto& c : rig.instrument.channels)
            c.displayed = false;  // no channel line to cover the reference's
        QVERIFY(rig.start());
        const Rgb refA = rig.s().traceColor[4];
        rig.key('a');
        QCOMPARE(rig.s().refShown[4], 0);
        rig.key('u');
        QCOMPARE(rig.s().refView, 1);
        rig.key('a');
        QCOMPARE(rig.s().refShown[4], 1);
        QVERIFY(rig.pixelsOf(refA) > 100);  // a zero line, redrawn at once
        // The menu item switches the mode but leaves the picture until the next redraw.
        rig.window.menuItem(Menu::mnuViewRef, 0)->trigger();
        QCOMPARE(rig.s().refView, 0);
        QVERIFY(rig.pixelsOf(refA) > 100);
        rig.window.button(Button::cbReDraw, 0)->click();
        QCOMPARE(rig.pixelsOf(refA), 0);
    }

    void readReferencesKey() {
        Rig rig;
        rig.instrument.refDisplayed[1] = true;
        QVERIFY(rig.start());
        rig.key('u');
        rig.instrument.received.clear();
        rig.key('r');
        QVERIFY(rig.idle(30000));
        const Lines lines = rig.instrument.received;
        QCOMPARE(Lines(lines.begin(), lines.begin() + 9),
                 (Lines{"SEL:REFA OFF", "SEL:REFB OFF", "SEL:REFC OFF", "SEL:REFD OFF",
                        "SEL:REFA ON", "DAT:SOU REFA", "CURV?", "SEL:REFA OFF", "SEL:REFB ON"}));
        QCOMPARE(lines.back(), std::string("SEL:REFB ON"));
    }

    // The menu items resize the window; the keys step through their cycles and redraw.
    void zoom() {
        Rig rig;
        QVERIFY(rig.start());
        QCOMPARE(rig.window.centralWidget()->size(), QSize(505, 378));
        rig.window.menuItem(Menu::mnuMagH, 9)->trigger();
        rig.window.menuItem(Menu::mnuMagV, 3)->trigger();
        QCOMPARE((std::pair{rig.s().magH, rig.s().magV}), (std::pair{10, 40}));
        QCOMPARE(rig.window.centralWidget()->size(), QSize((27695 - 120) / 15, (11360 - 690) / 15));
        QCOMPARE(rig.window.stripWidget()->height(), 10355 / 15);
        rig.window.menuItem(Menu::mnuMagH, 0)->trigger();
        QCOMPARE(rig.window.centralWidget()->width(), 505);

        const std::tuple<char, int, int> steps[] = {{'H', 4, 5}, {'H', 5, 1}, {'h', 8, 1},
                                                    {'V', 0, 1}, {'V', 2, 3}, {'v', 3, 1}};
        for (auto [key, from, to] : steps) {
            const bool horizontal = key == 'H' || key == 'h';
            auto& index = horizontal ? rig.s().magHIdx : rig.s().magVIdx;
            index = from;
            rig.key(key);
            QCOMPARE(index, to);
            QCOMPARE(horizontal ? rig.s().magH : rig.s().magV, horizontal ? to + 1 : 10 * (to + 1));
            QCOMPARE(horizontal ? rig.s().drawnMagH : rig.s().drawnMagV,
                     horizontal ? rig.s().magH : rig.s().magV);
        }
    }

    void escapeCancelsAWaitThenQuits() {
        Rig rig;
        QVERIFY(rig.start());
        rig.instrument.setFault(Fault::Silence, "HOR?");
        rig.s().chEnable.fill(0);
        QTimer::singleShot(300, &rig.window, [&] { rig.key(27); });
        rig.key('0');
        QVERIFY(rig.idle());
        QCOMPARE(rig.boxes, Lines{"Curvalon: Error[9] Packet receive Error(HOR)"});
        QVERIFY(rig.exits.empty());
        // The command went on after the cancel: the trigger was still read.
        QCOMPARE(rig.instrument.received.back(), std::string("TRIG?"));
        rig.key(27);
        QCOMPARE(rig.exits, std::vector<int>{0});
        QVERIFY(!rig.device.isOpen());
    }

    void commandsWaitForARunningExchange() {
        Rig rig;
        QVERIFY(rig.start());
        rig.instrument.setFault(Fault::Silence, "SEL?");
        rig.instrument.received.clear();
        QTimer::singleShot(200, &rig.window, [&] {
            rig.key('0');  // ignored: no exchange starts inside another
            rig.window.button(Button::cbNewCurve, 0)->click();
        });
        rig.key('9');
        QVERIFY(rig.idle());
        QCOMPARE(rig.instrument.received, (Lines{"SEL?"}));
    }

    void exitAndFrameCloseQuit() {
        Rig rig;
        QVERIFY(rig.start());
        rig.window.close();
        QCOMPARE(rig.exits, std::vector<int>{0});
        QVERIFY(!rig.device.isOpen());
        rig.window.menuItem(Menu::mnuEnd, 0)->trigger();
        QCOMPARE(rig.exits.size(), size_t(2));
    }

    void helpWindow() {
        const std::string text = helpText();
        QVERIFY(text.starts_with(
            " ----- Key operation ----- 2005.09.28\r\n\r\n f1 : Help\r\n ? :  Help\r\n"));
        QVERIFY(text.find(" 5 :  CH1  Read & Draw (not Erace Screen)\r\n") != std::string::npos);
        QVERIFY(
            text.ends_with(" ESC     : Quit Prog.\r\n\r\n       Hit any Key to close Help.\r\n"));
        QCOMPARE(std::count(text.begin(), text.end(), '\n'), 26L);

        Rig rig;
        QVERIFY(rig.start());
        rig.key('?');
        QPointer<HelpWindow> help = rig.app->helpWindow();
        QVERIFY(help && help->isVisible());
        QCOMPARE(help->windowTitle(), QStringLiteral("TDS2024  HELP"));
        QCOMPARE(help->helpMsgText(), text);
        QCOMPARE(help->helpMsg()->document()->blockCount(), 27);  // 26 lines and the last break
        rig.key('?');
        QCOMPARE(rig.app->helpWindow(), help.data());
        // Keys without a character code leave it open; any other key closes it, and only it.
        QTest::keyClick(help->helpMsg(), Qt::Key_Down);
        QTest::keyClick(help->helpMsg(), Qt::Key_F5);
        QVERIFY(help && help->isVisible());
        QTest::keyClick(help->helpMsg(), Qt::Key_Escape);
        QVERIFY(QTest::qWaitFor([&] { return help.isNull(); }, 1000));
        QVERIFY(rig.exits.empty());
        QTest::keyClick(&rig.window, Qt::Key_F1);
        QVERIFY(rig.app->helpWindow() && rig.app->helpWindow()->isVisible());
    }
};

QTEST_MAIN(ShellTest)
#include "test_shell.moc"
