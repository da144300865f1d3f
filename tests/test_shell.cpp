// The whole tool in its real main window over the simulated instrument, on virtual time: what
// the operator's keys, buttons and menus send, and what the window then shows.
#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "shell/help_window.h"
#include "shell/main_window.h"
#include "shell/scope_app.h"
#include "support/fake_serial_device.h"
#include "support/qtest_strings.h"
#include "support/simulated_instrument.h"
#include "support/virtual_clock.h"

using namespace curvalon;
using namespace curvalon::test;
using Lines = std::vector<std::string>;

namespace {

const Lines kFullRead{"HOR?",  "TRIG?",       "CH4?",        "DAT:SOU CH4", "CURV?",
                      "CH3?",  "DAT:SOU CH3", "CURV?",       "CH2?",        "DAT:SOU CH2",
                      "CURV?", "CH1?",        "DAT:SOU CH1", "CURV?"};

Lines afterSelect(const Lines& lines) {
    Lines all{"SEL?"};
    all.insert(all.end(), lines.begin(), lines.end());
    return all;
}

struct Rig;
using Action = std::function<void(Rig&)>;

struct Rig {
    MainWindow window;
    VirtualClock clock;
    FakeSerialDevice device{clock};
    SimulatedInstrument instrument;
    std::vector<int> exits;
    ScopeApp app{window, device, clock, [this](int code) { exits.push_back(code); }};
    QTimer boxCloser;
    Lines boxes;

    explicit Rig(bool answering = true) {
        // Every message box is noted and accepted as soon as it opens.
        QObject::connect(&boxCloser, &QTimer::timeout, &boxCloser, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                boxes.push_back((box->windowTitle() + ": " + box->text()).toStdString());
                box->accept();
            }
        });
        boxCloser.start(2);
        instrument.attach(device);
        if (!answering) instrument.setFault(Fault::Silence);
        app.load();
        (void)QTest::qWaitFor([this] { return app.state().startupDone == 1; }, 5000);
        device.lines.clear();
    }
    std::string text(Field f, int i = 0) const { return window.field(f, i)->text().toStdString(); }
    std::string status() const { return window.statusPanel()->text().toStdString(); }
    void key(int k) {
        if (k < 256)
            QTest::keyClick(&window, char(k));
        else
            QTest::keyClick(&window, Qt::Key(k));
    }
    QColor buttonColour(Button b, int i) const {
        return window.button(b, i)->palette().color(QPalette::Button);
    }
    QColor colourOf(std::int32_t src) {
        const Rgb c = app.state().traceColor[std::size_t(src)];
        return QColor(redOf(c), greenOf(c), blueOf(c));
    }
    int pixelsOf(const QImage& image, std::int32_t src) {
        const QImage img = image.convertToFormat(QImage::Format_RGB32);
        const auto* p = reinterpret_cast<const QRgb*>(img.constBits());
        return int(std::count(p, p + img.width() * img.height(), colourOf(src).rgb()));
    }
};

}  // namespace

class ShellTest : public QObject {
    Q_OBJECT

  private slots:
    void startsLive() {
        Rig r;
        QCOMPARE(r.window.windowTitle(), QString("Curvalon (v1.0a)"));
        QCOMPARE(r.app.state().scopePresent, 1);
        QCOMPARE(r.instrument.received, (Lines{"DAT:ENC RIB", "SEL?"}));
        // The encoding message was replaced by the selection query's; the panel empties 3 s after
        // it.
        QCOMPARE(r.status(), std::string("Stat:"));
        r.clock.advance(3000);
        QCOMPARE(r.status(), std::string());
        QVERIFY(!r.window.field(Field::dispTxD_str, 0)->isVisibleTo(&r.window));
        QVERIFY(!r.window.button(Button::cbRefFlag, 4)->isVisibleTo(&r.window));
        for (int ch = 0; ch < 4; ++ch) {
            QCOMPARE(r.buttonColour(Button::cbCh, ch), r.colourOf(ch));
            QCOMPARE(r.window.field(Field::ChTtl, ch)->palette().color(QPalette::Window),
                     r.colourOf(ch));
        }
        QCOMPARE(r.window.centralWidget()->size(), QSize(505, 378));
    }

    // Without an answer: demo mode with the four generated traces, and every read refused.
    void startsInDemoMode() {
        Rig r(false);
        QCOMPARE(r.status(), std::string(" Mode : Demo Mode  ( Can't found TDS2024 ! )"));
        for (int ch = 0; ch < 4; ++ch) {
            QVERIFY(r.pixelsOf(r.window.surface().image(), ch) > 200);
            QVERIFY(r.pixelsOf(r.window.markerStrip().image(), ch) > 0);
        }
        r.key(Qt::Key_Space);
        QCOMPARE(r.device.lines, Lines{"SEL?"});
        QCOMPARE(r.boxes, Lines{"Curvalon:  Can't found TDS2024 !"});
    }

    void fullRead() {
        Rig r;
        r.key(Qt::Key_Space);
        QCOMPARE(r.device.lines, afterSelect(kFullRead));
        QVERIFY(r.boxes.empty());
        QCOMPARE(r.status(), std::string());
        QCOMPARE(r.text(Field::TimeDivTim) + r.text(Field::TimeDivUnit), std::string("500uS"));
        QCOMPARE(r.text(Field::TrigLevV) + r.text(Field::TrigLevUnit), std::string("1.2V"));
        QCOMPARE(r.text(Field::TrigerCH), std::string("CH1"));
        QCOMPARE(r.window.field(Field::TrigerCH, 0)->palette().color(QPalette::WindowText),
                 r.colourOf(0));
        QCOMPARE(r.text(Field::Probe, 3) + r.text(Field::Coupling, 3), std::string("10DC"));
        QCOMPARE(r.window.field(Field::ChDivV, 2)->palette().color(QPalette::WindowText),
                 r.colourOf(2));
        QVERIFY(QRegularExpression("^\\d{4}\\.\\d\\d\\.\\d\\d  \\d\\d:\\d\\d\\.\\d\\d$")
                    .match(r.window.field(Field::dispTxD_str, 0)->text())
                    .hasMatch());
        for (int ch = 0; ch < 4; ++ch)
            QVERIFY(r.pixelsOf(r.window.surface().image(), ch) > 200);
    }

    // What each control sends, and the channel it switches.
    void controls_data() {
        QTest::addColumn<Action>("act");
        QTest::addColumn<Lines>("lines");
        QTest::addColumn<int>("channelOff");
        QTest::addColumn<bool>("markers");
        auto click = [](Button b, int i) -> Action {
            return [b, i](Rig& r) { r.window.button(b, i)->click(); };
        };
        auto menu = [](Menu m, int i) -> Action {
            return [m, i](Rig& r) { r.window.menuItem(m, i)->trigger(); };
        };
        auto key = [](int k) -> Action { return [k](Rig& r) { r.key(k); }; };
        QTest::newRow("S button") << click(Button::cbSelCurve, 0) << kFullRead << -1 << true;
        QTest::newRow("0 key") << key('0') << kFullRead << -1 << true;
        QTest::newRow("New Curve button")
            << click(Button::cbNewCurve, 0) << afterSelect(kFullRead) << -1 << true;
        QTest::newRow("New Curve menu")
            << menu(Menu::mnuNewCurve, 0) << afterSelect(kFullRead) << -1 << true;
        QTest::newRow("9 key") << key('9') << Lines{"SEL?"} << -1 << false;
        QTest::newRow("5 key") << key('5') << Lines{"DAT:SOU CH1", "CURV?"} << -1 << false;
        QTest::newRow("8 key") << key('8') << Lines{"DAT:SOU CH4", "CURV?"} << -1 << false;
        QTest::newRow("2 key") << key('2') << Lines{} << 1 << true;
        QTest::newRow("channel button") << click(Button::cbCh, 2) << Lines{} << 2 << true;
        QTest::newRow("channel menu") << menu(Menu::mnuCh, 3) << Lines{} << 3 << true;
        QTest::newRow("Re Draw menu") << menu(Menu::mnuReDraw, 0) << Lines{} << -1 << true;
    }
    void controls() {
        QFETCH(Action, act);
        QFETCH(Lines, lines);
        QFETCH(int, channelOff);
        QFETCH(bool, markers);
        Rig r;
        act(r);
        QCOMPARE(r.device.lines, lines);
        QCOMPARE(r.status(), std::string());
        for (int ch = 0; ch < 4; ++ch) {
            const bool on = ch != channelOff;
            QCOMPARE(r.app.state().chEnable[ch], on ? 1 : 0);
            QCOMPARE(r.window.field(Field::ChTtl, ch)->palette().color(QPalette::Window) ==
                         r.colourOf(ch),
                     on);
            QVERIFY(r.window.button(Button::cbCh, ch)->isEnabled());
            QCOMPARE(r.pixelsOf(r.window.markerStrip().image(), ch) > 0, on && markers);
        }
    }

    void stripClearedWhenTheLastChannelGoesOff() {
        Rig r(false);
        for (int k : {'1', '2', '3', '4'})
            r.key(k);
        for (int ch = 0; ch < 4; ++ch)
            QCOMPARE(r.pixelsOf(r.window.markerStrip().image(), ch), 0);
    }

    void zoomGrowsTheWindow_data() {
        QTest::addColumn<Action>("act");
        QTest::addColumn<QSize>("client");
        auto keys = [](std::string ks) -> Action {
            return [ks](Rig& r) {
                for (char k : ks)
                    r.key(k);
            };
        };
        auto menu = [](Menu m, int i) -> Action {
            return [m, i](Rig& r) { r.window.menuItem(m, i)->trigger(); };
        };
        QTest::newRow("H steps to x3") << keys("H") << QSize(10075, 5670);
        QTest::newRow("H wraps after x6 to x2") << keys("HHHHH") << QSize(7575, 5670);
        QTest::newRow("V steps to x3") << keys("v") << QSize(7575, 8170);
        QTest::newRow("V wraps after x4 to x2") << keys("VVV") << QSize(7575, 5670);
        QTest::newRow("menu H x10") << menu(Menu::mnuMagH, 9) << QSize(27575, 5670);
        QTest::newRow("menu V x1") << menu(Menu::mnuMagV, 0) << QSize(7575, 5670);
    }
    void zoomGrowsTheWindow() {
        QFETCH(Action, act);
        QFETCH(QSize, client);
        Rig r(false);
        act(r);
        QCOMPARE(r.window.centralWidget()->size(),
                 QSize(twipsToPixels(client.width()), twipsToPixels(client.height())));
        QCOMPARE(r.pixelsOf(r.window.surface().image(), 0) > 200, true);
    }

    void references() {
        Rig r;
        r.instrument.refStored[2] = false;
        r.key('9');
        r.key('A');  // reference display is off: the key does nothing
        QCOMPARE(r.app.state().refShown[4], 0);
        r.key('U');
        QVERIFY(r.window.button(Button::cbRefFlag, 4)->isVisibleTo(&r.window));
        QVERIFY(!r.window.button(Button::cbRefFlag, 6)->isVisibleTo(&r.window));
        QVERIFY(r.window.menuItem(Menu::mnuRef, 5)->isEnabled());
        r.key('a');
        r.window.button(Button::cbRefFlag, 5)->click();
        r.window.menuItem(Menu::mnuRef, 5)->trigger();
        QCOMPARE(r.buttonColour(Button::cbRefFlag, 4), r.colourOf(4));
        QCOMPARE(r.app.state().refShown[5], 0);
        r.device.lines.clear();
        r.key('R');
        QCOMPARE(r.device.lines.size(), std::size_t(4 + 4 * 4));
        QCOMPARE(r.app.state().curve[4][100], std::int32_t(r.instrument.waveforms[4][100]));
        r.window.button(Button::cbReDraw, 0)->click();
        QVERIFY(r.pixelsOf(r.window.surface().image(), 4) > 200);
        QCOMPARE(r.pixelsOf(r.window.surface().image(), 5), 0);
        r.window.menuItem(Menu::mnuViewRef, 0)->trigger();
        QVERIFY(!r.window.button(Button::cbRefFlag, 4)->isVisibleTo(&r.window));
        r.window.button(Button::cbReDraw, 0)->click();
        QCOMPARE(r.pixelsOf(r.window.surface().image(), 4), 0);
    }

    // While a reply is awaited only the quit key acts: it cancels the wait, and once idle it
    // ends the tool, as Exit and closing the window do.
    void waitsAndQuitting() {
        Rig r;
        r.clock.at(10, [&] {
            r.key('1');
            r.window.button(Button::cbNewCurve, 0)->click();
            r.window.menuItem(Menu::mnuCh, 1)->trigger();
            r.key(Qt::Key_Escape);
        });
        r.key(Qt::Key_Space);
        QCOMPARE(r.app.state().chEnable, (std::array<std::int32_t, 8>{1, 1, 1, 1, 0, 0, 0, 0}));
        QVERIFY(r.exits.empty());
        QCOMPARE(r.boxes.front(), std::string("Curvalon: Error[9] Packet receive Error(SEL)"));
        r.key(Qt::Key_Escape);
        r.window.menuItem(Menu::mnuEnd, 0)->trigger();
        r.window.close();
        QCOMPARE(r.exits, (std::vector<int>{0, 0, 0}));
        QVERIFY(!r.app.link().portOpen());
    }

    void helpWindow() {
        Rig r;
        r.key(Qt::Key_F1);
        QPointer<HelpWindow> help = r.app.helpWindow();
        QVERIFY(help && help->isVisible());
        QCOMPARE(help->parentWidget(), static_cast<QWidget*>(&r.window));
        QCOMPARE(help->windowTitle(), QString("TDS2024  HELP"));
        QVERIFY(help->helpMsg()->toPlainText().startsWith(
            " ----- Key operation ----- 2005.09.28\n\n f1 : Help\n"));
        QCOMPARE(r.status(), std::string());
        QTest::keyClick(help->helpMsg(), Qt::Key_Down);  // no character: stays open
        QVERIFY(help->isVisible());
        QTest::keyClick(help->helpMsg(), 'x');
        QVERIFY(QTest::qWaitFor([&] { return help.isNull(); }, 1000));
        r.key('?');
        help = r.app.helpWindow();
        QVERIFY(help->isVisible());
        r.window.menuItem(Menu::mnuHelp, 0)->trigger();
        QCOMPARE(r.app.helpWindow(), help.data());
    }

    // The initialisation opens a port that failed before and keeps its own last status text.
    void initialiseAgain() {
        Rig r;
        r.app.link().closePort();
        r.instrument.setFault(Fault::Silence, SimulatedInstrument::kBreak);
        r.window.menuItem(Menu::mnuIniTDS2024, 0)->trigger();
        QVERIFY(r.app.link().portOpen());
        QCOMPARE(r.app.state().scopePresent, 0);
        QCOMPARE(r.status(), std::string(" Mode : Demo Mode  ( Can't found TDS2024 ! )"));
    }

    // Save asks for a name and a type, writes the file whole, and names it in the status panel;
    // the file holds what the copy key puts on the clipboard.
    void saveAndCopy_data() {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("written");
        QTest::newRow("data, extension added") << "Data (*.csv)"
                                               << "run"
                                               << "run.csv";
        QTest::newRow("picture, extension added") << "Picture (*.png)"
                                                  << "shot"
                                                  << "shot.png";
        QTest::newRow("the name's own extension") << "Data (*.csv)"
                                                  << "shot.png"
                                                  << "shot.png";
        QTest::newRow("folder missing") << "Data (*.csv)"
                                        << "gone/run.csv"
                                        << "";
    }
    void saveAndCopy() {
        QFETCH(QString, type);
        QFETCH(QString, name);
        QFETCH(QString, written);
        Rig r;
        r.key(' ');
        r.device.lines.clear();
        QTemporaryDir dir;
        QStringList offered;
        QTimer chooser;
        QObject::connect(&chooser, &QTimer::timeout, &chooser, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog) return;
            offered = dialog->nameFilters()
                      << QFileInfo(dialog->selectedFiles().value(0)).fileName();
            dialog->selectNameFilter(type);
            dialog->setDirectory(dir.path());
            dialog->selectFile(name);
            static_cast<QDialog*>(dialog)->accept();
        });
        chooser.start(2);
        r.window.menuItem(Menu::mnuSave, 0)->trigger();
        QCOMPARE(offered.mid(0, 2), QStringList({"Data (*.csv)", "Picture (*.png)"}));
        QVERIFY(QRegularExpression("^curvalon-\\d{8}-\\d{6}$").match(offered.value(2)).hasMatch());
        QVERIFY(r.device.lines.empty());
        const QString path = dir.filePath(written);
        if (written.isEmpty()) {
            QCOMPARE(r.boxes.size(), std::size_t(1));
            QVERIFY(r.boxes[0].starts_with("Curvalon: Cannot save " +
                                           dir.filePath(name).toStdString() + ":\n"));
            QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
                     QStringList());
            QCOMPARE(r.status(), std::string());
            return;
        }
        QCOMPARE(r.status(), "Saved " + path.toStdString());
        // The copy key is a shortcut of the active window.
        r.window.show();
        QVERIFY(QTest::qWaitForWindowActive(&r.window));
        QTest::keyClick(&r.window, Qt::Key_C, Qt::ControlModifier);
        const QMimeData* clip = QApplication::clipboard()->mimeData();
        QVERIFY(clip && clip->hasImage() && clip->hasText());
        QCOMPARE(clip->imageData().value<QImage>(), r.window.picture());
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        if (written.endsWith(".png")) {
            QCOMPARE(QImage(path).convertToFormat(QImage::Format_RGB32), r.window.picture());
        } else {
            QCOMPARE(QString::fromLatin1(file.readAll()), clip->text().replace('\t', ','));
        }
    }

    // The plot's context menu copies one of the two; nothing is copied or saved during a wait.
    void copyOneOrNone() {
        Rig r;
        QApplication::clipboard()->clear();
        for (QAction* a : r.window.findChildren<QAction*>())
            if (a->text() == "Copy data") a->trigger();
        const auto has = [](bool image) {
            const QMimeData* m = QApplication::clipboard()->mimeData();
            return m && (image ? m->hasImage() : m->hasText());
        };
        QVERIFY(has(false) && !has(true));
        QApplication::clipboard()->clear();
        r.window.show();
        QVERIFY(QTest::qWaitForWindowActive(&r.window));
        bool dialog = false;
        r.clock.at(10, [&] {
            QTest::keyClick(&r.window, Qt::Key_C, Qt::ControlModifier);
            dialog = true;
            r.window.menuItem(Menu::mnuSave, 0)->trigger();  // would block the test
            dialog = false;
        });
        r.key('9');
        QVERIFY(!dialog);
        QVERIFY(!has(false));
        QTest::keyClick(&r.window, Qt::Key_C, Qt::ControlModifier);
        QVERIFY(has(false) && has(true));
    }
};

QTEST_MAIN(ShellTest)
#include "test_shell.moc"
