// The whole tool in its real main window, headless, against the simulated instrument: start-up,
// keys, menus, buttons and the help window.
#include <QMessageBox>
#include <QtTest>
#include <memory>

#include "shell/main_window.h"
#include "shell/scope_app.h"
#include "support/fake_serial_device.h"
#include "support/qtest_strings.h"
#include "support/simulated_instrument.h"

using namespace curvalon;
using namespace curvalon::test;

namespace {

// Accepts every message box as soon as it opens and keeps its text.
class MessageBoxCloser {
  public:
    MessageBoxCloser() {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                texts.push_back(box->text().toStdString());
                titles.push_back(box->windowTitle().toStdString());
                box->accept();
            }
        });
        timer_.start();
    }
    std::vector<std::string> texts;
    std::vector<std::string> titles;

  private:
    QTimer timer_;
};

struct Rig {
    MainWindow window;
    FakeSerialDevice device;
    SimulatedInstrument instrument;
    MessageBoxCloser boxes;
    std::vector<int> exits;
    std::unique_ptr<ScopeApp> app;

    explicit Rig(bool answering = true) {
        instrument.attach(device);
        if (!answering) instrument.setFault(Fault::Silence, SimulatedInstrument::kBreak);
        app =
            std::make_unique<ScopeApp>(window, device, [this](int code) { exits.push_back(code); });
    }
    ScopeState& s() { return app->state(); }
    bool start(int timeoutMs = 5000) {
        app->load();
        return QTest::qWaitFor([this] { return s().startupDone == 1; }, timeoutMs);
    }
    std::string status() const { return window.statusPanel()->text().toStdString(); }
    void key(char c) { QTest::keyClick(&window, c); }
    bool idle(int timeoutMs = 15000) {
        return QTest::qWaitFor([this] { return !app->link().busy(); }, timeoutMs);
    }
    // Lines the instrument received since mark.
    std::vector<std::string> linesSince(std::size_t mark) const {
        return {instrument.received.begin() + static_cast<long>(mark), instrument.received.end()};
    }
    const QImage& picture() { return window.surface().image(); }
};

// How many pixels of this colour the picture holds.
int pixelsOf(const QImage& img, Rgb c) {
    const QRgb want = qRgb(redOf(c), greenOf(c), blueOf(c));
    int n = 0;
    for (int y = 0; y < img.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < img.width(); ++x)
            n += (row[x] | 0xFF000000) == want;
    }
    return n;
}

using Lines = std::vector<std::string>;

}  // namespace

class ShellTest : public QObject {
    Q_OBJECT
  private slots:
    void silentInstrumentGivesDemoMode() {
        Rig rig(false);
        QElapsedTimer clock;
        clock.start();
        QVERIFY(rig.start());
        QVERIFY(clock.elapsed() >= 2000);
        QCOMPARE(rig.status(), std::string(" Mode : Demo Mode  ( Can't found TDS2024 ! )"));
        QCOMPARE(rig.s().scopePresent, 0);
        for (int ch = 0; ch < 4; ++ch) {
            QCOMPARE(rig.s().chEnable[ch], 1);
            QVERIFY2(pixelsOf(rig.picture(), rig.s().traceColor[ch]) > 200,
                     qPrintable(QString::number(ch)));
        }
        QCOMPARE(rig.window.windowTitle(), QStringLiteral("Curvalon (v1.0a)"));
        QVERIFY(rig.window.field(Field::dispTxD_str, 0)->isHidden());
        QVERIFY(rig.window.button(Button::cbRefFlag, 4)->isHidden());
        QCOMPARE(rig.device.breaks.size(), size_t(2));
        QVERIFY(rig.device.breaks[1].atNs - rig.device.breaks[0].atNs >= 100'000'000);
    }

    void portThatCannotBeOpenedIsTriedAgainByTheInitialisation() {
        Rig rig;
        rig.device.openResult = OpenResult::NotFound;
        QVERIFY(rig.start());
        QCOMPARE(rig.device.opens, 2);  // at start-up, and again before the break
        QCOMPARE(rig.s().scopePresent, 0);
        QCOMPARE(rig.status(), std::string(" Mode : Demo Mode  ( Can't found TDS2024 ! )"));
        // The adapter is plugged in; the operator initialises again and the instrument answers.
        rig.device.openResult = OpenResult::Ok;
        rig.window.menuItem(Menu::mnuIniTDS2024, 0)->trigger();
        QVERIFY(rig.idle());
        QCOMPARE(rig.device.opens, 3);
        QCOMPARE(rig.s().scopePresent, 1);
        QCOMPARE(rig.instrument.received, (Lines{"DAT:ENC RIB", "SEL?"}));
    }

    void answeringInstrumentGoesLive() {
        Rig rig;
        rig.instrument.channels[1].displayed = false;
        rig.instrument.channels[3].present = false;
        QVERIFY(rig.start());
        QCOMPARE(rig.instrument.received, (Lines{"DAT:ENC RIB", "SEL?"}));
        QCOMPARE(rig.s().scopePresent, 1);
        QCOMPARE(rig.s().chEnable[0], 1);
        QCOMPARE(rig.s().chEnable[1], 0);
        QVERIFY(!rig.window.button(Button::cbCh, 3)->isEnabled());
        // The encoding message is cleared 3 s after it was written.
        QElapsedTimer clock;
        clock.start();
        QVERIFY(QTest::qWaitFor([&] { return rig.status().empty(); }, 4000));
        QVERIFY(clock.elapsed() >= 2500);
    }

    void wakeUpAnswerEndedByLineFeedIsStillFound() {
        Rig rig;
        rig.instrument.setFault(Fault::LineFeedTerminator, SimulatedInstrument::kBreak);
        QElapsedTimer clock;
        clock.start();
        QVERIFY(rig.start());
        QVERIFY(clock.elapsed() >= 2000);
        QCOMPARE(rig.s().scopePresent, 1);
    }

    void spaceReadsAndDrawsEverything() {
        Rig rig;
        QVERIFY(rig.start());
        rig.s().chEnable[0] = 1;
        const std::size_t mark = rig.instrument.received.size();
        std::vector<std::string> seen;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (seen.empty() || seen.back() != rig.status()) seen.push_back(rig.status());
        });
        watch.start(1);
        rig.key(' ');
        watch.stop();
        QVERIFY(rig.idle());
        QCOMPARE(
            rig.linesSince(mark),
            (Lines{"SEL?", "HOR?", "TRIG?", "CH4?", "DAT:SOU CH4", "CURV?", "CH3?", "DAT:SOU CH3",
                   "CURV?", "CH2?", "DAT:SOU CH2", "CURV?", "CH1?", "DAT:SOU CH1", "CURV?"}));
        QVERIFY(std::find(seen.begin(), seen.end(), "reading... CH1_Curve from TDS2024") !=
                seen.end());
        QCOMPARE(rig.status(), std::string(""));
        QVERIFY(rig.boxes.texts.empty());
        QVERIFY(rig.window.field(Field::dispTxD_str, 0)->text().contains(QStringLiteral("  ")));
    }

    void keyWithoutActionLeavesThePanelEmpty() {
        Rig rig;
        QVERIFY(rig.start());
        const std::size_t mark = rig.instrument.received.size();
        rig.key('x');
        QCOMPARE(rig.status(), std::string(""));
        QVERIFY(rig.linesSince(mark).empty());
    }

    void zeroReadsWithoutSelection() {
        Rig rig;
        QVERIFY(rig.start());
        rig.s().chEnable.fill(0);
        rig.s().chEnable[2] = 1;
        const std::size_t mark = rig.instrument.received.size();
        rig.key('0');
        QVERIFY(rig.idle());
        QCOMPARE(rig.linesSince(mark), (Lines{"HOR?", "TRIG?", "CH3?", "DAT:SOU CH3", "CURV?"}));
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
        QVERIFY(rig.start(6000));
        const int ch2Before = pixelsOf(rig.picture(), rig.s().traceColor[1]);
        rig.s().scopePresent = 1;  // an instrument that answers again, without a new start-up
        rig.instrument.clearFaults();
        rig.instrument.encoding = "RIB";
        rig.instrument.waveforms[0].fill(-100);
        const std::size_t mark = rig.instrument.received.size();
        rig.key('5');
        QVERIFY(rig.idle());
        QCOMPARE(rig.linesSince(mark), (Lines{"DAT:SOU CH1", "CURV?"}));
        QCOMPARE(pixelsOf(rig.picture(), rig.s().traceColor[1]), ch2Before);
        // The fresh CH1 curve lies on row 225 (value -100), where the demo had none.
        const int y = twipsToPixels(200 + 225 * 20);
        QCOMPARE(QColor(rig.picture().pixel(twipsToPixels(4000), y)), QColor(255, 200, 0));
    }

    void nineReadsTheSelectionAlone() {
        Rig rig;
        QVERIFY(rig.start());
        const std::size_t mark = rig.instrument.received.size();
        rig.key('9');
        QVERIFY(rig.idle());
        QCOMPARE(rig.linesSince(mark), (Lines{"SEL?"}));
    }

    void referenceKeysActOnlyInReferenceMode() {
        Rig rig(false);
        QVERIFY(rig.start(6000));
        const Rgb refA = rig.s().traceColor[4];
        rig.key('a');
        QCOMPARE(rig.s().refShown[4], 0);
        rig.key('u');
        QCOMPARE(rig.s().refView, 1);
        rig.key('a');
        QCOMPARE(rig.s().refShown[4], 1);
        QVERIFY(pixelsOf(rig.picture(), refA) > 100);  // a zero line, redrawn at once
        // The menu item switches the mode but leaves the picture until the next redraw.
        rig.window.menuItem(Menu::mnuViewRef, 0)->trigger();
        QCOMPARE(rig.s().refView, 0);
        QVERIFY(pixelsOf(rig.picture(), refA) > 100);
        rig.window.button(Button::cbReDraw, 0)->click();
        QCOMPARE(pixelsOf(rig.picture(), refA), 0);
    }

    void readReferencesKey() {
        Rig rig;
        rig.instrument.refDisplayed[1] = true;
        QVERIFY(rig.start());
        rig.key('u');
        const std::size_t mark = rig.instrument.received.size();
        rig.key('r');
        QVERIFY(rig.idle(30000));
        const Lines lines = rig.linesSince(mark);
        QCOMPARE(Lines(lines.begin(), lines.begin() + 9),
                 (Lines{"SEL:REFA OFF", "SEL:REFB OFF", "SEL:REFC OFF", "SEL:REFD OFF",
                        "SEL:REFA ON", "DAT:SOU REFA", "CURV?", "SEL:REFA OFF", "SEL:REFB ON"}));
        QCOMPARE(lines.back(), std::string("SEL:REFB ON"));
    }

    void zoomKeysCycle_data() {
        QTest::addColumn<char>("key");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::newRow("H from 4") << 'H' << 4 << 5;
        QTest::newRow("H from 5") << 'H' << 5 << 1;
        QTest::newRow("h from 8") << 'h' << 8 << 1;
        QTest::newRow("V from 0") << 'V' << 0 << 1;
        QTest::newRow("V from 2") << 'V' << 2 << 3;
        QTest::newRow("v from 3") << 'v' << 3 << 1;
    }
    void zoomKeysCycle() {
        QFETCH(char, key);
        QFETCH(int, from);
        QFETCH(int, to);
        Rig rig(false);
        QVERIFY(rig.start(6000));
        const bool horizontal = key == 'H' || key == 'h';
        auto& index = horizontal ? rig.s().magHIdx : rig.s().magVIdx;
        index = from;
        rig.key(key);
        QCOMPARE(index, to);
        QCOMPARE(horizontal ? rig.s().magH : rig.s().magV, horizontal ? to + 1 : 10 * (to + 1));
        QCOMPARE(rig.s().drawnMagH, rig.s().magH);  // redrawn at the new zoom
    }

    void menuZoomResizesTheWindow() {
        Rig rig(false);
        QVERIFY(rig.start(6000));
        const QSize before = rig.window.centralWidget()->size();
        QCOMPARE(before, QSize(505, 378));
        rig.window.menuItem(Menu::mnuMagH, 9)->trigger();
        rig.window.menuItem(Menu::mnuMagV, 3)->trigger();
        QCOMPARE(rig.s().magH, 10);
        QCOMPARE(rig.s().magV, 40);
        QCOMPARE(rig.window.centralWidget()->size(), QSize((27695 - 120) / 15, (11360 - 690) / 15));
        QCOMPARE(rig.window.stripWidget()->height(), 10355 / 15);
        rig.window.menuItem(Menu::mnuMagH, 0)->trigger();
        QCOMPARE(rig.window.centralWidget()->width(), 505);
    }

    void escapeCancelsAWaitThenQuits() {
        Rig rig;
        QVERIFY(rig.start());
        rig.instrument.setFault(Fault::Silence, "HOR?");
        rig.s().chEnable.fill(0);
        QTimer::singleShot(300, &rig.window, [&] { rig.key(27); });
        rig.key('0');
        QVERIFY(rig.idle());
        QCOMPARE(rig.boxes.texts.front(), std::string("Error[9] Packet receive Error(HOR)"));
        QCOMPARE(rig.boxes.titles.front(), std::string("Curvalon"));
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
        const std::size_t mark = rig.instrument.received.size();
        QTimer::singleShot(200, &rig.window, [&] {
            rig.key('0');  // ignored: no exchange starts inside another
            rig.window.button(Button::cbNewCurve, 0)->click();
        });
        rig.key('9');
        QVERIFY(rig.idle());
        QCOMPARE(rig.linesSince(mark), (Lines{"SEL?"}));
    }

    void initialiseKeepsItsLastStatusText() {
        Rig rig(false);
        QVERIFY(rig.start(6000));
        rig.window.menuItem(Menu::mnuIniTDS2024, 0)->trigger();
        QVERIFY(rig.idle());
        QCOMPARE(rig.status(), std::string(" Mode : Demo Mode  ( Can't found TDS2024 ! )"));
        QCOMPARE(rig.device.breaks.size(), size_t(4));
    }

    void exitAndFrameCloseQuit() {
        Rig rig(false);
        QVERIFY(rig.start(6000));
        rig.window.close();
        QCOMPARE(rig.exits, std::vector<int>{0});
        QVERIFY(!rig.device.isOpen());
        rig.window.menuItem(Menu::mnuEnd, 0)->trigger();
        QCOMPARE(rig.exits.size(), size_t(2));
    }

    void helpWindow() {
        Rig rig(false);
        QVERIFY(rig.start(6000));
        rig.key('?');
        QPointer<HelpWindow> help = rig.app->helpWindow();
        QVERIFY(help && help->isVisible());
        QCOMPARE(help->windowTitle(), QStringLiteral("TDS2024  HELP"));
        QCOMPARE(help->helpMsgText(), helpText());
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

    void helpTextIsExact() {
        const std::string text = helpText();
        QVERIFY(
            text.rfind(" ----- Key operation ----- 2005.09.28\r\n\r\n f1 : Help\r\n ? :  Help\r\n",
                       0) == 0);
        QVERIFY(text.find(" 5 :  CH1  Read & Draw (not Erace Screen)\r\n") != std::string::npos);
        QVERIFY(text.find(" ESC     : Quit Prog.\r\n\r\n       Hit any Key to close Help.\r\n") !=
                std::string::npos);
        QCOMPARE(std::count(text.begin(), text.end(), '\n'), 26L);
    }

    void pictureSurvivesBeingCovered() {
        Rig rig(false);
        QVERIFY(rig.start(6000));
        rig.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&rig.window));
        const QImage before = rig.window.centralWidget()->grab().toImage();
        rig.window.hide();
        rig.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&rig.window));
        QCOMPARE(rig.window.centralWidget()->grab().toImage(), before);
    }
};

QTEST_MAIN(ShellTest)
#include "test_shell.moc"
