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
#include "support/golden.h"
#include "support/qtest_strings.h"
#include "support/simulated_instrument.h"
#include "support/virtual_clock.h"

using namespace curvalon;
using namespace curvalon::test;
using Lines = std::vector<std::string>;

namespace {

const char* const kDemoText = " Mode : Demo Mode  ( Can't found TDS2024 ! )";
const Lines kFullRead{"HOR?",  "TRIG?",       "CH4?",        "DAT:SOU CH4", "CURV?",
                      "CH3?",  "DAT:SOU CH3", "CURV?",       "CH2?",        "DAT:SOU CH2",
                      "CURV?", "CH1?",        "DAT:SOU CH1", "CURV?"};
const Lines kNewCurve = [] {
    Lines all{"SEL?"};
    all.insert(all.end(), kFullRead.begin(), kFullRead.end());
    return all;
}();

struct Rig {
    MainWindow window;
    VirtualClock clock;
    FakeSerialDevice device{clock};
    SimulatedInstrument instrument;
    std::vector<int> exits;
    ScopeApp app{window, device, clock, [this](int code) { exits.push_back(code); }};
    QTimer boxCloser;
    Lines boxes;

    explicit Rig(bool answering = true, bool awaitStartUp = true) {
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
        if (awaitStartUp) startUp();
    }
    void startUp() {
        (void)QTest::qWaitFor([this] { return app.state().startupDone == 1; }, 5000);
        device.lines.clear();
    }
    std::string status() const { return window.statusPanel()->text().toStdString(); }
    void key(int k) {
        k < 256 ? QTest::keyClick(&window, char(k)) : QTest::keyClick(&window, Qt::Key(k));
    }
    void menu(Menu m, int i = 0) { window.menuItem(m, i)->trigger(); }
    // An item of the plot's context menu.
    QAction* contextItem(const QString& text) const {
        for (QAction* a : window.findChildren<QAction*>())
            if (a->text() == text) return a;
        return nullptr;
    }
    void copy(const QString& item) { contextItem(item)->trigger(); }
    // The whole window, its time stamp set to a fixed one in place of the clock's.
    QImage picture() {
        window.field(Field::dispTxD_str, 0)->setText("2026.01.02  03:04.05");
        return window.grab().toImage();
    }
    // Pixels of a source's exact colour in the marker strip.
    int stripPixelsOf(std::int32_t src) {
        const QImage img = window.markerStrip().image();
        const Rgb c = app.state().traceColor[std::size_t(src)];
        const auto* p = reinterpret_cast<const QRgb*>(img.constBits());
        return int(
            std::count(p, p + img.width() * img.height(), qRgb(redOf(c), greenOf(c), blueOf(c))));
    }
};
using Action = std::function<void(Rig&)>;

}  // namespace

class ShellTest : public QObject {
    Q_OBJECT

  private slots:
    // A desktop font larger than the fields' own, so that a widget left in it shows.
    void initTestCase() {
        QFont font = QApplication::font();
        font.setPixelSize(15);
        QApplication::setFont(font);
    }

    // Texts the pictures do not show: the title, the zoom menu's items, the time stamp's form.
    void titlesAndTimeStamp() {
        Rig r;
        QCOMPARE(r.window.windowTitle(), QString("Curvalon (v1.0a)"));
        QCOMPARE(QStringList({r.window.menuItem(Menu::mnuMagH, 0)->text(),
                              r.window.menuItem(Menu::mnuMagH, 9)->text(),
                              r.window.menuItem(Menu::mnuMagV, 3)->text()}),
                 QStringList({"H  x1", "H  x10", "V  x4"}));
        r.key(' ');
        QVERIFY(QRegularExpression("^\\d{4}\\.\\d\\d\\.\\d\\d  \\d\\d:\\d\\d\\.\\d\\d$")
                    .match(r.window.field(Field::dispTxD_str, 0)->text())
                    .hasMatch());
    }

    void commandsWaitForTheStartUp() {
        Rig r(true, false);
        r.key('0');
        r.startUp();
        QCOMPARE(r.instrument.received, (Lines{"DAT:ENC RIB", "SEL?"}));
    }

    // The whole window after a scene, pixel for pixel: layout, texts, colours, traces, markers.
    void looks_data() {
        QTest::addColumn<bool>("answering");
        QTest::addColumn<Action>("act");
        const auto keys = [](std::string ks) -> Action {
            return [ks](Rig& r) {
                for (char k : ks)
                    r.key(k);
            };
        };
        // clang-format off
        QTest::newRow("demo-mode") << false << keys("");
        QTest::newRow("demo-mode-every-channel-off") << false << keys("1234");
        QTest::newRow("live-start") << true << keys("");
        QTest::newRow("live-read") << true << keys(" ");
        QTest::newRow("channel-off-zoomed") << true << keys(" 2HHHHHHVVVv");  // both wrap once
        QTest::newRow("zoomed-largest") << true << Action([](Rig& r) {
            r.key(' '), r.menu(Menu::mnuMagH, 9), r.menu(Menu::mnuMagV, 3); });
        QTest::newRow("zoomed-in-and-out") << true << Action([](Rig& r) {
            r.key(' '), r.menu(Menu::mnuMagH, 9), r.menu(Menu::mnuMagV, 3), r.menu(Menu::mnuMagH, 0), r.menu(Menu::mnuMagV, 0); });
        // Before U shows the references, A does nothing; shown, hidden and shown again, the
        // buttons work; REFD goes on and off again.
        const Action references = [](Rig& r) {
            r.instrument.refStored[2] = false, r.instrument.waveforms[5].fill(40);
            r.key(' '), r.key('A'), r.key('U'), r.key('U'), r.key('U'), r.key('a');
            r.window.button(Button::cbRefFlag, 5)->click();
            r.menu(Menu::mnuRef, 7), r.key('d'), r.key('R'), r.window.button(Button::cbReDraw, 0)->click(); };
        QTest::newRow("references") << true << references;
        QTest::newRow("references-hidden-again") << true << Action([references](Rig& r) {
            references(r), r.menu(Menu::mnuViewRef), r.window.button(Button::cbReDraw, 0)->click(); });
        QTest::newRow("other-settings") << true << Action([](Rig& r) {
            r.instrument.channels[2].present = false, r.instrument.edgeSource = "EXT";
            r.instrument.channels[0].displayed = false;
            r.instrument.channels[3].invert = r.instrument.channels[3].bandwidth = "ON";
            r.instrument.channels[1].coupling = "AC", r.instrument.channels[0].position = "2.5E0";
            r.instrument.horScale = "2.5E-8", r.instrument.horPosition = "-1.5E-7";
            r.key(' '); });
        // clang-format on
    }
    void looks() {
        QFETCH(bool, answering);
        QFETCH(Action, act);
        Rig r(answering);
        act(r);
        const QImage picture = r.picture();
        QCOMPARE(picture, golden(picture, QTest::currentDataTag()));
    }

    // On a dark desktop the fields keep their black on white; the rest follows the desktop.
    void looksOnADarkDesktop() {
        const QPalette light = QApplication::palette();
        QPalette dark = light;
        for (auto role : {QPalette::Window, QPalette::Button, QPalette::Base})
            dark.setColor(role, QColor(48, 48, 48));
        for (auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
            dark.setColor(role, Qt::white);
        QApplication::setPalette(dark);
        Rig r;
        r.key(' ');
        const QImage picture = r.picture();
        QApplication::setPalette(light);
        QCOMPARE(picture, golden(picture, "dark-desktop"));
    }

    // What each control sends, which channel it switches off, and whether markers are drawn.
    void controls_data() {
        QTest::addColumn<Action>("act");
        QTest::addColumn<Lines>("lines");
        QTest::addColumn<int>("channelOff");
        QTest::addColumn<bool>("markers");
        auto click = [](Button b, int i) -> Action {
            return [b, i](Rig& r) { r.window.button(b, i)->click(); };
        };
        auto menu = [](Menu m, int i) -> Action { return [m, i](Rig& r) { r.menu(m, i); }; };
        auto key = [](int k) -> Action { return [k](Rig& r) { r.key(k); }; };
        // clang-format off
        QTest::newRow("space key") << key(' ') << kNewCurve << -1 << true;
        QTest::newRow("S button") << click(Button::cbSelCurve, 0) << kFullRead << -1 << true;
        QTest::newRow("0 key") << key('0') << kFullRead << -1 << true;
        QTest::newRow("New Curve button") << click(Button::cbNewCurve, 0) << kNewCurve << -1 << true;
        QTest::newRow("New Curve menu") << menu(Menu::mnuNewCurve, 0) << kNewCurve << -1 << true;
        QTest::newRow("9 key") << key('9') << Lines{"SEL?"} << -1 << false;
        QTest::newRow("5 key") << key('5') << Lines{"DAT:SOU CH1", "CURV?"} << -1 << false;
        QTest::newRow("8 key") << key('8') << Lines{"DAT:SOU CH4", "CURV?"} << -1 << false;
        QTest::newRow("2 key") << key('2') << Lines{} << 1 << true;
        QTest::newRow("channel button") << click(Button::cbCh, 2) << Lines{} << 2 << true;
        QTest::newRow("channel menu") << menu(Menu::mnuCh, 3) << Lines{} << 3 << true;
        QTest::newRow("Re Draw menu") << menu(Menu::mnuReDraw, 0) << Lines{} << -1 << true;
        QTest::newRow("a key without action") << key('x') << Lines{} << -1 << false;
        // clang-format on
    }
    void controls() {
        QFETCH(Action, act);
        QFETCH(Lines, lines);
        QFETCH(int, channelOff);
        QFETCH(bool, markers);
        Rig r;
        act(r);
        QCOMPARE(r.device.lines, lines);
        QVERIFY(r.status().empty() && r.boxes.empty());
        for (int ch = 0; ch < 4; ++ch) {
            QCOMPARE(r.app.state().chEnable[ch], ch == channelOff ? 0 : 1);
            QCOMPARE(r.stripPixelsOf(ch) > 0, ch != channelOff && markers);
        }
    }

    // While a reply is awaited only the quit key acts: it cancels the wait, and once idle it
    // ends the tool, as Exit and closing the window do.
    void waitsAndQuitting() {
        Rig r;
        r.clock.at(10, [&] {
            r.key('1');
            r.window.button(Button::cbNewCurve, 0)->click();
            r.menu(Menu::mnuCh, 1);
            r.key(Qt::Key_Escape);
        });
        r.key(' ');
        QCOMPARE(r.app.state().chEnable, (std::array<std::int32_t, 8>{1, 1, 1, 1, 0, 0, 0, 0}));
        QVERIFY(r.exits.empty());
        QCOMPARE(r.boxes.front(), std::string("Curvalon: Error[9] Packet receive Error(SEL)"));
        r.key(Qt::Key_Escape);
        r.menu(Menu::mnuEnd);
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
        r.menu(Menu::mnuHelp);
        QVERIFY(help && help == r.app.helpWindow() && help->isVisible());
    }

    // The initialisation opens a port that failed before and keeps its own last status text.
    void initialiseAgain() {
        Rig r;
        r.app.link().closePort();
        r.instrument.setFault(Fault::Silence, SimulatedInstrument::kBreak);
        r.menu(Menu::mnuIniTDS2024);
        QVERIFY(r.app.link().portOpen());
        QCOMPARE(r.app.state().scopePresent, 0);
        QCOMPARE(r.status(), std::string(kDemoText));
    }

    // Save asks for a name and a type, writes the file whole, and names it in the status panel;
    // the file holds the window's picture or what copying the data puts on the clipboard.
    void saveAndCopy_data() {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("written");
        // clang-format off
        QTest::newRow("data, extension added") << "Data (*.csv)" << "run" << "run.csv";
        QTest::newRow("picture, extension added") << "Picture (*.png)" << "shot" << "shot.png";
        QTest::newRow("the name's own extension") << "Data (*.csv)" << "shot.png" << "shot.png";
        QTest::newRow("folder missing") << "Data (*.csv)" << "gone/run.csv" << "";
        // clang-format on
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
        r.menu(Menu::mnuSave);
        QCOMPARE(offered.mid(0, 2), QStringList({"Data (*.csv)", "Picture (*.png)"}));
        // Named after the last read's time stamp.
        const QString stamp = r.window.field(Field::dispTxD_str, 0)->text().remove(' ');
        QCOMPARE(offered.value(2), "curvalon-" + stamp.left(10).remove('.') + '-' +
                                       stamp.mid(10).remove(':').remove('.'));
        QVERIFY(r.device.lines.empty());
        if (written.isEmpty()) {
            QCOMPARE(r.boxes.size(), std::size_t(1));
            QVERIFY(r.boxes[0].starts_with("Curvalon: Cannot save " +
                                           dir.filePath(name).toStdString() + ":\n"));
            QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
                     QStringList());
            QCOMPARE(r.status(), std::string());
            return;
        }
        const QString path = dir.filePath(written);
        QCOMPARE(r.status(), "Saved " + path.toStdString());
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        if (written.endsWith(".png")) {
            QVERIFY(file.readAll().endsWith(QByteArray::fromHex("49454e44ae426082")));  // PNG only
            QCOMPARE(QImage(path).convertToFormat(QImage::Format_RGB32), r.window.picture());
            return;
        }
        r.copy("Copy data");
        QCOMPARE(QString::fromLatin1(file.readAll()),
                 QApplication::clipboard()->text().replace('\t', ','));
    }

    // The plot's context menu copies one of the two; nothing is copied or saved during a wait.
    void copyOneOrNone() {
        Rig r;
        r.window.show();
        QVERIFY(QTest::qWaitForWindowActive(&r.window));
        const auto has = [](bool image) {
            const QMimeData* m = QApplication::clipboard()->mimeData();
            return m && (image ? m->hasImage() : m->hasText());
        };
        QApplication::clipboard()->clear();
        r.copy("Copy data");
        QVERIFY(has(false) && !has(true));
        QCOMPARE(qobject_cast<QWidget*>(r.contextItem("Copy data")->parent())->contextMenuPolicy(),
                 Qt::ActionsContextMenu);  // the plot's right-click menu
        QApplication::clipboard()->clear();
        r.clock.at(10, [&] {
            QTest::keyClick(&r.window, Qt::Key_C, Qt::ControlModifier);
            r.menu(Menu::mnuSave);  // a dialog would block the test here
        });
        r.key('9');
        QVERIFY(!has(false));
        QTest::keyClick(&r.window, Qt::Key_C, Qt::ControlModifier);
        QVERIFY(has(false) && has(true));
    }
};

QTEST_MAIN(ShellTest)
#include "test_shell.moc"
