// The whole tool in its real main window over the simulated instrument, on virtual time: what
// the operator's keys, buttons and menus send, and what the window then shows.
#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QHeaderView>
#include <QInputDialog>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QScopeGuard>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>
#include <set>

#include "shell/scope_app.h"
#include "support/case_table.h"
#include "support/golden.h"
#include "support/qtest_strings.h"
#include "support/shell_rig.h"

using namespace curvalon;
using namespace curvalon::test;

namespace {

// A dark desktop's colours: light text on dark grey.
QPalette darkened(QPalette palette) {
    for (auto role : {QPalette::Window, QPalette::Button, QPalette::Base})
        palette.setColor(role, QColor(48, 48, 48));
    for (auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
        palette.setColor(role, Qt::white);
    return palette;
}

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

    // The picture that is copied and saved is the readout column, the marker strip and the plot
    // exactly as the screen shows them; on a screen with two device pixels per pixel (the run of
    // this program at scale 2), with every device pixel.
    void pictureIsWhatTheScreenShows() {
        Rig r;
        r.play("<Space>");
        const QImage picture = r.window.picture();
        QImage shown = picture.copy();
        shown.fill(r.window.palette().color(QPalette::Window));
        QPainter p(&shown);
        QWidget* client = r.window.centralWidget();
        for (QWidget* shownPart : {r.window.plotWidget(), r.window.stripWidget()})
            p.drawPixmap(shownPart->mapTo(client, QPoint()), shownPart->grab());
        const int left = r.window.stripWidget()->mapTo(client, QPoint()).x();
        p.drawPixmap(0, 0, client->grab(QRect(0, 0, left, r.window.stripWidget()->height())));
        p.end();
        QCOMPARE(picture, shown);
        // The screen follows a new picture after the first it showed (read back in the normal run
        // only: the offscreen screen reads a scaled window back wrongly).
        r.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&r.window));
        r.play("2");
        QTest::qWait(20);
        if (r.window.devicePixelRatioF() == 1)
            QCOMPARE(r.window.screen()->grabWindow(r.window.winId()).toImage(),
                     r.window.grab().toImage());
    }

    // The window's title, and every control under the kind and index the window's interface names
    // it by, whether the tool addresses it that way today or not.
    void controlNames() {
        MainWindow w;
        QString names = w.windowTitle() + '\n';
        for (int kind = 0; kind <= int(Menu::mnuHelp); ++kind)
            for (int i = 0; i <= 10; ++i) {  // one past the largest index: nothing there
                if (QPushButton* b =
                        kind <= int(Button::cbRefFlag) ? w.button(Button(kind), i) : nullptr)
                    names += QString::asprintf("button %d %d %s\n", kind, i, qPrintable(b->text()));
                if (QAction* m = w.menuItem(Menu(kind), i))
                    names += QString::asprintf("menu %d %d %s\n", kind, i, qPrintable(m->text()));
            }
        QCOMPARE(names, golden(names, "control-names"));
    }

    // The whole window after a scene, pixel for pixel: layout, texts, colours, traces, markers.
    void looks_data() { addCaseRows("shell-scenes", {"instrument", "script"}); }
    void looks() {
        auto [instrument, script] = caseFields("instrument", "script");
        const QPalette light = QApplication::palette();
        if (instrument == "on a dark desktop") QApplication::setPalette(darkened(light));
        Rig r(instrument != "silent");
        SimulatedInstrument& i = r.instrument;
        if (instrument == "references") i.refStored[2] = false, i.waveforms[5].fill(40);
        if (instrument == "other settings") {
            i.channels[2].present = i.channels[0].displayed = false, i.edgeSource = "EXT";
            i.channels[3].invert = i.channels[3].bandwidth = "ON";
            // A reply that looks like markup is shown as the characters it holds.
            i.channels[1].coupling = "<b>AC", i.channels[0].position = "2.5E0";
            i.horScale = "2.5E-8", i.horPosition = "-1.5E-7", i.trigLevel = "-5.0E-2";
        }
        r.play(script);
        r.looksAs(QTest::currentDataTag());
        QApplication::setPalette(light);
    }

    // On a screen too small for the zoom the window stops at the screen's edge, and the plot and
    // the strip scroll inside it to the record's last sample; the picture saved is the whole
    // plot, as on a large screen. Zoomed out again, the window is what it was.
    void windowFitsTheScreen() {
        Rig large, r, wide;
        r.window.screenArea = QRect(0, 24, 1366, 744);    // a laptop's, below a desktop panel
        wide.window.screenArea = QRect(0, 0, 9000, 600);  // wide enough: no horizontal bar
        for (Rig* rig : {&large, &r, &wide}) {
            rig->window.show();  // a scroll area sets its bars once it is laid out on a screen
            rig->play("<Space>[H  x10][V  x4]");
        }
        QCOMPARE(r.window.frameGeometry().size(), r.window.screenArea.size());
        for (QScrollBar* bar : wide.window.findChildren<QScrollBar*>())
            QCOMPARE(bar->maximum() > 0, bar->orientation() == Qt::Vertical);
        // Both reads' stamps made alike: the clock's second may change between them.
        for (Rig* rig : {&large, &r})
            rig->window.field(Field::dispTxD_str, 0)->setText("2026.01.02  03:04.05");
        QCOMPARE(r.window.picture(), large.window.picture());
        // The mouse wheel over the plot scrolls it, down and back up. Sent by hand, an event goes
        // to no parent: it is given to the port's view, which the plot's would reach.
        const auto wheel = [&r](int degrees) {
            QWidget* view = r.window.stripWidget()->parentWidget();
            const QPointF at(view->width() / 2, 100);
            QWheelEvent event(at, view->mapToGlobal(at), QPoint(), QPoint(0, degrees * 8),
                              Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(view, &event);
        };
        QScrollBar* vertical = nullptr;
        for (QScrollBar* bar : r.window.findChildren<QScrollBar*>())
            if (bar->orientation() == Qt::Vertical) vertical = bar;
        wheel(-15);
        QVERIFY(vertical->value() > 0);
        wheel(15);
        QCOMPARE(vertical->value(), 0);
        // Keys that type nothing are the tool's commands, never the scroll area's as well.
        for (Qt::Key key : {Qt::Key_PageDown, Qt::Key_End, Qt::Key_Down})
            QTest::keyClick(r.window.stripWidget()->parentWidget(), key);
        QCOMPARE(vertical->value(), 0);
        for (QScrollBar* bar : r.window.findChildren<QScrollBar*>())
            bar->setValue(bar->maximum());

        r.looksAs("small-screen-scrolled-to-the-end");
        r.play("[H  x1][V  x1]");
        r.looksAs("zoomed-in-and-out");
    }

    // Every switch goes both ways and back to where it started: each channel by its key and by
    // CH_Select, the reference display and each reference by key, button and menu item, a
    // reference the instrument loses and holds again, and the zoom up and down.
    void switchesBothWays() {
        Rig r;
        r.play(" ");
        // The strip and the plot: a channel switched shows "0.00" for its volts per division.
        const auto picture = [&r] {
            const QImage whole = r.window.picture();
            const int left = r.window.stripWidget()->mapTo(r.window.centralWidget(), QPoint()).x();
            return whole.copy(QRect(left, 0, whole.width() - left, whole.height()));
        };
        const QImage start = picture();
        const ScopeState& s = r.app.state();
        for (int ch = 0; ch < 4; ++ch) {
            const QString key = QString::number(ch + 1), item = QString("[CH%1(&%1)]").arg(ch + 1);
            for (const QString& control : {key, item}) {
                r.play(control);
                QCOMPARE(s.chEnable[ch], 0);
                QCOMPARE(r.window.field(Field::ChTtl, ch)->alignment() & Qt::AlignHCenter, 0);
                r.play(control);
                QCOMPARE(s.chEnable[ch], 1);
                QVERIFY(r.window.field(Field::ChTtl, ch)->alignment() & Qt::AlignHCenter);
            }
        }
        QCOMPARE(picture(), start);
        const auto shownRefs = [&r] {
            QString shown;
            for (int ref = 4; ref < 8; ++ref)
                shown += r.window.button(Button::cbRefFlag, ref)->isVisibleTo(&r.window) &&
                                 r.window.menuItem(Menu::mnuRef, ref)->isEnabled()
                             ? "ABCD"[ref - 4]
                             : '-';
            return shown;
        };
        QCOMPARE(shownRefs(), QString("----"));
        r.play("U");
        QCOMPARE(shownRefs(), QString("ABCD"));
        for (const QString control : {"B", "[B]", "[RefB]"}) {
            r.play(control);
            QCOMPARE(s.refShown[5], 1);
            r.play(control);
            QCOMPARE(s.refShown[5], 0);
        }
        r.instrument.refStored[1] = false;  // deleted on the instrument
        r.play(" ");
        QCOMPARE(shownRefs(), QString("A-CD"));
        QVERIFY(
            !r.window.menuItem(Menu::mnuRef, 5)->isEnabled());  // its item too, not only its button
        QVERIFY(r.window.menuItem(Menu::mnuRef, 4)->isEnabled());
        r.play("[RefB]");  // its item does not act
        QCOMPARE(s.refShown[5], 0);
        r.instrument.refStored[1] = true;  // stored again: back once the display is shown again
        r.play(" UU");
        QCOMPARE(shownRefs(), QString("ABCD"));
        r.play("U");
        QCOMPARE(shownRefs(), QString("----"));
        // The zoom up to the largest and down again, by key and by menu.
        const auto zoom = [&s] { return std::pair{s.magHIdx, s.magVIdx}; };
        r.play("HV");
        QCOMPARE(zoom(), std::pair(2, 2));
        r.play("[H  x10][V  x4]");
        QCOMPARE(zoom(), std::pair(9, 3));
        r.play("[H  x1][V  x1]");
        QCOMPARE(zoom(), std::pair(0, 0));
        r.play("[H  x2][V  x2]");
        QCOMPARE(picture(), start);
    }

    // What each control sends, and which channel it switches off.
    void controls_data() { addCaseRows("shell-controls", {"script", "lines", "channelOff"}); }
    void controls() {
        auto [script, lines, channelOff] = caseFields("script", "lines", "channelOff");
        Rig r;
        r.play(script);
        QByteArrayList sent;
        for (const std::string& line : r.device.lines)
            sent << QByteArray::fromStdString(line);
        QCOMPARE(sent.isEmpty() ? "-" : sent.join(", "), lines);
        QVERIFY(r.status().empty() && r.boxes.empty());
        for (int ch = 0; ch < 4; ++ch)
            QCOMPARE(r.app.state().chEnable[ch], ch == channelOff.toInt() ? 0 : 1);
    }

    // While a reply is awaited, what changes only the picture acts at once, and a command that
    // would talk to the instrument says why it does not run; the quit key cancels the wait, and
    // once idle it ends the tool, as Exit and closing the window do.
    void waitsAndQuitting() {
        Rig r;
        std::string refusal;
        r.clock.at(10, [&] {
            r.play("1[CH2(&2)]2[New Curve]");  // CH1 off; CH2 off and on again; a read
            refusal = r.status();
            r.play("<Esc>");
        });
        r.play(" ");
        QCOMPARE(r.app.state().chEnable, (std::array<std::int32_t, 8>{0, 1, 1, 1, 0, 0, 0, 0}));
        QCOMPARE(refusal, std::string("Busy: a read is in progress (Esc cancels it)"));
        QCOMPARE(r.device.lines, Lines{"SEL?"});  // the read cancelled, no other begun
        QVERIFY(r.exits.empty());
        QCOMPARE(r.boxes.front(), std::string("Curvalon: Error[9] Packet receive Error(SEL)"));
        {
            // Run chosen during a single read is refused the same way, and not left checked.
            Rig q;
            std::string refused;
            q.clock.at(10, [&] { q.play("[Run]"), refused = q.status(); });
            q.play(" ");
            QVERIFY(!q.app.run().running() && !q.action("Run")->isChecked());
            QCOMPARE(refused, std::string("Busy: a read is in progress (Esc cancels it)"));
        }
        r.play("<Esc>[Exit(&X)]");
        r.window.close();
        QCOMPARE(r.exits, (std::vector<int>{0, 0, 0}));
        QVERIFY(!r.app.link().portOpen());
    }

    // 5-8 read one channel and draw it over the picture as it is; the Page keys step only
    // through an opened recording and leave a live screen alone.
    void oneChannelReadDrawn() {
        Rig r;
        r.play(" ");
        const QRgb ch1 = QColor(255, 200, 0).rgb();
        const auto ch1Pixels = [&] {
            const QImage plot = r.window.surface().image().convertToFormat(QImage::Format_RGB32);
            int n = 0;
            for (int y = 0; y < plot.height(); ++y)
                for (int x = 0; x < plot.width(); ++x)
                    n += plot.pixel(x, y) == ch1;
            return n;
        };
        const int before = ch1Pixels();
        r.instrument.waveforms[0].fill(100);
        const std::string status = r.status();
        r.play("5");
        // The other sources are not of this read: nothing of them goes into its files.
        for (std::size_t src = 1; src < kSourceCount; ++src)
            QVERIFY(!r.app.measure().acquisition()->valid[src]);
        QVERIFY2(ch1Pixels() > before + 200,
                 qPrintable(QString("%1 -> %2").arg(before).arg(ch1Pixels())));
        r.play("6");
        QVERIFY(!r.app.measure().acquisition()->valid[0] &&
                r.app.measure().acquisition()->valid[1]);
        for (Qt::Key key : {Qt::Key_PageDown, Qt::Key_PageUp, Qt::Key_Home, Qt::Key_End})
            QTest::keyClick(&r.window, key);
        QCOMPARE(r.status(), status);
        QCOMPARE(r.window.windowTitle(), QString("Curvalon (v1.0a)"));
    }

    void helpWindow() {
        Rig r;
        r.play("<F1>");
        QPointer<HelpWindow> help = r.app.helpWindow();
        QVERIFY(help && help->isVisible());
        QCOMPARE(help->parentWidget(), static_cast<QWidget*>(&r.window));
        QCOMPARE(help->windowTitle(), QString("TDS2024  HELP"));
        QCOMPARE(help->size(), QSize(3600 / 15, 4755 / 15));
        QVERIFY(!help->helpMsg()->toPlainText().contains("LEFT"));
        QVERIFY(help->helpMsg()->toPlainText().startsWith(
            " ----- Key operation ----- 2005.09.28\n\n f1 : Help\n"));
        QCOMPARE(r.status(), std::string());
        QTest::keyClick(help->helpMsg(), Qt::Key_Down);  // no character: stays open
        QVERIFY(help->isVisible());
        QTest::keyClick(help->helpMsg(), 'x');
        QVERIFY(QTest::qWaitFor([&] { return help.isNull(); }, 1000));
        r.play("[Help]");
        help = r.app.helpWindow();
        QVERIFY(help && help->isVisible());
        r.play("?");
        QVERIFY(help == r.app.helpWindow() && help->isVisible());
        help->close();
        QVERIFY(QTest::qWaitFor([&] { return help.isNull(); }, 1000));
        r.play("?");  // opens it as F1 does
        QVERIFY(r.app.helpWindow() && r.app.helpWindow()->isVisible());
    }

    // Commands wait for the start-up. Without the instrument, reads are then refused with a box
    // while the status panel shows that a command runs, and nothing goes on the wire.
    void readsRefusedInDemoMode() {
        Rig r(false, false);
        r.play("5[S]");
        r.startUp();
        r.play("5[S]");
        QCOMPARE(r.boxes, Lines(2, "Curvalon:  Can't found TDS2024 !"));
        QCOMPARE(r.statusAtBoxes, Lines(2, "Stat:"));
        QVERIFY(r.device.lines.empty());
        QCOMPARE(r.app.timer1().interval(), 100);  // the start-up tick keeps ticking, gently
        // Refused reads read nothing: the demo waveforms are still all measured.
        r.play("05 [Measurements(&M)]");
        const QTableWidget* t = r.app.measurementWindow()->table();
        QCOMPARE(t->columnCount(), 4);
        for (int c = 0; c < 4; ++c)
            QVERIFY(!t->item(int(Measure::Max), c)->text().startsWith("\u2014"));
    }

    // File > Port lists the ports afresh each time it opens, the one in use checked. A port chosen
    // is opened and the instrument woken on it; a name that exists nowhere is refused and changes
    // nothing.
    void portMenu() {
        Rig r;
        const QString usb0 = "ttyUSB0 \u2014 FT232R USB UART (FTDI, A50285BI)";
        r.ports.listed = {{.name = "ttyS0", .location = "/dev/ttyS0"},
                          {"ttyUSB0", "/dev/ttyUSB0", "FT232R USB UART", "FTDI", "A50285BI"}};
        r.choosePort(usb0);
        QCOMPARE(r.popup, QStringList({"[x] ttyS0", usb0, "", "Other port\u2026"}));
        QCOMPARE(r.device.openedPort, std::string("/dev/ttyUSB0 19200,N,8,1"));
        QCOMPARE(r.device.lines, (Lines{"DAT:ENC RIB", "SEL?"}));
        // Pulled out, the adapter is watched for until it is back, here in another socket, known
        // by its serial number; an open that fails is tried again.
        const PortInfo adapter = r.ports.listed[1];
        r.ports.listed.pop_back();
        r.device.vanish();
        r.clock.advance(1000);
        r.ports.listed.push_back(adapter), r.ports.listed[1].location = "/dev/ttyUSB1";
        r.ports.listed[1].name = "ttyUSB1", r.device.openResult = OpenResult::Busy;
        r.clock.advance(1000);
        r.device.openResult = OpenResult::Ok;
        r.clock.advance(1000);
        QVERIFY(r.device.isOpen());
        QCOMPARE(r.device.openedPort, std::string("/dev/ttyUSB1 19200,N,8,1"));
        // Another device where the adapter was is left alone, and said so once, until the
        // adapter itself is back there.
        r.ports.listed[1] = {"ttyUSB1", "/dev/ttyUSB1", "CP2102", "Silicon Labs", "0001"};
        r.device.vanish();
        r.clock.advance(1000);
        QVERIFY(!r.device.isOpen());
        QCOMPARE(r.status(), std::string("ttyUSB1: another device, waiting for the adapter"));
        r.app.link().armStatusClear(0), r.clock.advance(3000);
        QVERIFY(!r.device.isOpen() && r.status().empty() && r.app.port().watching());
        r.ports.listed[1] = adapter, r.ports.listed[1].location = "/dev/ttyUSB1";
        r.ports.listed[1].name = "ttyUSB1";
        r.clock.advance(1000);
        QVERIFY(r.device.isOpen() && !r.app.port().watching());
        r.ports.listed.push_back(
            {.name = "ttyUSB2", .location = "/dev/ttyUSB2", .accessible = false});
        r.typed = "/dev/nothing";
        r.device.lines.clear();
        r.choosePort("Other port\u2026");
        QCOMPARE(r.popup, QStringList({"ttyS0", "[x] " + QString(usb0).replace("0 ", "1 "),
                                       "ttyUSB2 (no access: see README)", "", "Other port\u2026"}));
        QCOMPARE(r.boxes, Lines{"Curvalon: /dev/nothing: no such port. Nothing was changed."});
        QVERIFY(r.device.lines.empty() && r.device.isOpen());
        r.typed = "ttyS0";  // a name that exists is taken
        r.choosePort("Other port\u2026");
        QCOMPARE(r.device.openedPort, std::string("/dev/ttyS0 19200,N,8,1"));
    }

    // Beside the main window where the screen has room: right, else below, else left, slid
    // along the edge to stay on the screen; over the main window only when nothing else fits.
    void measurementWindowPlace_data() {
        QTest::addColumn<QRect>("main");
        QTest::addColumn<QRect>("screen");
        QTest::addColumn<QPoint>("at");
        const QRect large(0, 0, 1600, 1000), laptop(0, 0, 1366, 768);
        QTest::newRow("large, right") << QRect(100, 100, 505, 420) << large << QPoint(605, 100);
        QTest::newRow("1366x768, right") << QRect(0, 0, 505, 420) << laptop << QPoint(505, 0);
        QTest::newRow("slid up") << QRect(100, 500, 505, 420) << large << QPoint(605, 300);
        QTest::newRow("below") << QRect(0, 0, 1300, 300) << large << QPoint(0, 300);
        QTest::newRow("left") << QRect(1000, 100, 505, 420) << large << QPoint(580, 100);
        QTest::newRow("H x10 fills it") << laptop << laptop << QPoint(946, 68);
        QTest::newRow("panel on top")
            << QRect(0, 40, 505, 420) << QRect(0, 40, 1366, 728) << QPoint(505, 40);
    }
    void measurementWindowPlace() {
        QFETCH(QRect, main);
        QFETCH(QRect, screen);
        QFETCH(QPoint, at);
        QCOMPARE(placeBeside(main, QSize(420, 700), screen), at);
    }

    // Before a read it says so; after, it is as large as its table of four sources, no scroll
    // bar across and no empty room; moved and sized by the operator, it keeps that when opened
    // again.
    void measurementWindowSize() {
        Rig r(true, false);
        r.window.screenArea = QRect(0, 0, 1600, 1000);
        r.window.show();
        r.play("[Measurements(&M)]");
        MeasurementWindow* m = r.app.measurementWindow();
        QVERIFY(m->noReadText()->isVisible() && !m->table()->isVisible());
        QCOMPARE(m->noReadText()->text(), "No read yet");
        r.startUp();
        r.play(" ");
        QTableWidget* t = m->table();
        QVERIFY(t->isVisible() && !m->noReadText()->isVisible());
        QCOMPARE(t->columnCount(), 4);
        QVERIFY(!t->horizontalScrollBar()->isVisible());
        QVERIFY(!t->verticalScrollBar()->isVisible());
        QVERIFY(t->viewport()->width() - t->horizontalHeader()->length() < 4);
        QVERIFY(t->viewport()->height() - t->verticalHeader()->length() < 4);
        QCOMPARE(t->verticalScrollMode(), QAbstractItemView::ScrollPerItem);
        QVERIFY(m->x() >= r.window.frameGeometry().right());  // beside, not over the plot
        m->setGeometry(QRect(30, 40, 500, 300));
        r.play("1");  // fewer columns: the operator's size stays
        m->close();
        r.play("[Measurements(&M)]");
        QCOMPARE(m->geometry(), QRect(30, 40, 500, 300));
    }

    // Every copy says what it copied, until the next command; Ctrl+C in the measurement window
    // copies its selected cells, or all of it with its heads when none are selected.
    void copyFeedback() {
        Rig r;
        r.window.show();
        QVERIFY(QTest::qWaitForWindowActive(&r.window));
        r.play(" 3");
        QTest::keyClick(&r.window, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(r.status(), std::string("Copied: picture and data of CH1, CH2, CH4"));
        r.rightClickPlot("Copy picture");
        QCOMPARE(r.status(), std::string("Copied: picture of CH1, CH2, CH4"));
        r.play("[Copy measurements(&O)]");
        QCOMPARE(r.status(), std::string("Copied: measurements"));
        r.play("[Measurements(&M)]");
        QTableWidget* t = r.app.measurementWindow()->table();
        r.app.measurementWindow()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(r.app.measurementWindow()));
        t->setFocus();
        QTest::keyClick(t, Qt::Key_C, Qt::ControlModifier);
        const QStringList all = QApplication::clipboard()->text().split('\n');
        QCOMPARE(all.size(), kMeasureCount + 2);
        QCOMPARE(all[0], "measurement\tCH1\tCH2\tCH4");
        QVERIFY(all[2].startsWith("Min\t"));
        QCOMPARE(r.status(), std::string("Copied: measurement table"));
        t->setRangeSelected(QTableWidgetSelectionRange(1, 0, 2, 0), true);
        t->item(1, 2)->setSelected(true);
        QTest::keyClick(t, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), t->item(1, 0)->text() + "\t\t" +
                                                        t->item(1, 2)->text() + "\n" +
                                                        t->item(2, 0)->text() + "\t\t\n");
        QCOMPARE(r.status(), std::string("Copied: selected measurements"));
        r.play(" ");
        QVERIFY(r.status().find("Copied") == std::string::npos);
    }

    // Magnify checks the zoom in effect after the keys and the menu, both ways round.
    void zoomChecks() {
        Rig r;
        const auto checked = [&] {
            QStringList out;
            for (QAction* a : r.window.magnifyMenu()->actions())
                if (a->isChecked()) out << a->text();
            return out;
        };
        QCOMPARE(checked(), QStringList({"H  x2", "V  x2"}));
        r.play("HV");
        QCOMPARE(checked(), QStringList({"H  x3", "V  x3"}));
        r.play("[H  x1][V  x4]");
        QCOMPARE(checked(), QStringList({"H  x1", "V  x4"}));
        r.play("[V  x4]");  // chosen again: still checked
        QCOMPARE(checked(), QStringList({"H  x1", "V  x4"}));
        r.play("HHHHHHV");
        QCOMPARE(checked(), QStringList({"H  x2", "V  x2"}));
        QCOMPARE(r.action("Save(&S)")->shortcut(), QKeySequence(QKeySequence::Save));
        QCOMPARE(r.action("Copy picture and data(&C)")->shortcut(),
                 QKeySequence(QKeySequence::Copy));
    }

    // What needs an instrument is greyed out in demo mode and says why when pointed at; it
    // comes back with live mode.
    void demoModeGreys() {
        Rig r(false);
        const MainWindow::RunItems& items = r.window.runItems();
        for (QAction* item : {items.run, items.record, items.hold})
            QVERIFY(!item->isEnabled());
        r.play("[Run]");
        QVERIFY(!r.app.run().running() && r.boxes.empty());
        auto* curve = qobject_cast<QMenu*>(items.record->parent());
        emit curve->aboutToShow();
        QCOMPARE(r.status(),
                 std::string("Run, Record and Hold need an instrument: none answers (demo mode)"));
        emit curve->hovered(items.record);
        QCOMPARE(r.status(), std::string("Record needs an instrument: none answers (demo mode)"));
        r.instrument.clearFaults();
        r.play("[Initial TDS2024(&I)]");
        for (QAction* item : {items.run, items.record, items.hold})
            QVERIFY(item->isEnabled());
        emit curve->aboutToShow();
        emit curve->hovered(items.run);
        QVERIFY(r.status().find("needs") == std::string::npos);
    }

    // Save chosen before the first picture is drawn waits for it, then asks for a name.
    void saveWaitsForTheFirstPicture() {
        Rig r(true, false);
        QTemporaryDir dir;
        r.chooseFile = [&](QFileDialog& d) { d.setDirectory(dir.path()), d.selectFile("a.csv"); };
        r.play("[Save(&S)]");
        QCOMPARE(r.status(), std::string("Save: waiting for the first picture"));
        r.startUp();
        QVERIFY(QTest::qWaitFor([&] { return QFile::exists(dir.filePath("a.csv")); }, 3000));
    }

    // Measure: the window shows each shown source's measurements of the last read and follows
    // a channel switched off; the table is copied, and heads the data copied or saved.
    void measureMenu() {
        Rig r;
        r.play("<Space>[Measurements(&M)]");
        QPointer<MeasurementWindow> m = r.app.measurementWindow();
        QVERIFY(m && m->isVisible() && m->parentWidget() == &r.window);
        QTableWidget* t = m->table();
        QCOMPARE(t->columnCount(), 4);
        const QPoint cell = t->visualItemRect(t->item(0, 0)).center();
        QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, cell);
        QTest::mouseDClick(t->viewport(), Qt::LeftButton, {}, cell);
        QVERIFY(t->findChildren<QLineEdit*>().isEmpty());  // no value is to be typed over
        // Every byte value in a ramp of 256 samples: clipped, with its period kept.
        QCOMPARE(t->item(int(Measure::Frequency), 0)->text(), "1.953 kHz (9 cycles)");
        QCOMPARE(t->item(int(Measure::Max), 0)->text(), "\u2265 2.540 V");
        QCOMPARE(t->item(int(Measure::Min), 0)->text(), "\u2264 -2.560 V");
        QCOMPARE(t->item(int(Measure::Top), 0)->text(), "\u2014 clipped");
        r.play("1[Copy measurements(&O)]");
        QCOMPARE(t->columnCount(), 3);
        const QString copied = QApplication::clipboard()->text();
        QCOMPARE(copied, golden(copied, "measurements-copied"));
        r.play("[Copy data]");
        // A data file is one read: its header has the read's measurements, no statistics.
        const QString data = QApplication::clipboard()->text();
        QVERIFY(
            data.contains("\n# measurement\tunit\tCH2\tCH3\tCH4\n# Max\tV\t2.54\t2.54\t2.54\n"));
        QVERIFY(
            data.contains("\n# note CH4: clipped (a bound): Max / Min / Peak-to-peak; clipped: "
                          "Top / Base / Amplitude / Mean / RMS / Cycle mean / Cycle RMS / "
                          "Rise time / Fall time / Positive width / Negative width / Duty "
                          "cycle / Overshoot / Undershoot\nsample\t"));
        QVERIFY(!data.contains("CH2 mean"));
        QCOMPARE(r.status(), std::string("Copied: data of CH2, CH3, CH4"));
        // Read as pandas reads with comment="#": numbers only, from the sources' columns on.
        const auto numericFrom = [](const QString& text, int column) {
            QList<QStringList> rows;
            for (const QString& line : text.split('\n'))
                if (const QString kept = line.section('#', 0, 0); !kept.isEmpty())
                    rows << kept.split('\t');
            for (const QStringList& row : rows.mid(1))
                for (const QString& cell : row.mid(column))
                    if (bool ok = true; !cell.isEmpty() && (cell.toDouble(&ok), !ok)) return false;
            return rows.size() > 1 && rows[0].size() == rows[1].size();
        };
        QVERIFY(numericFrom(copied, 2));
        QVERIFY(numericFrom(QApplication::clipboard()->text(), 0));
        QVERIFY(!numericFrom(copied + "Frequency\tHz\t\u2014 no cycle\n", 2));  // the check bites
        r.window.close();
        QVERIFY(!m || !m->isVisible());
    }

    // Cursors: drawn over the plot and into the picture only while shown, taken and dragged with
    // the mouse, moved by a sample or a division with the arrow keys, kept at their time by a
    // read with another time base; the measurements may keep to the span between them.
    // Measuring between the time cursors is said wherever the values go: above the table, in
    // Copy measurements, in the data's header and in the recording's index; once unticked,
    // nowhere.
    void spanIsSaid() {
        Rig r;
        QTemporaryDir dir;
        r.chooseFile = [&](QFileDialog& dialog) { dialog.setDirectory(dir.path()); };
        r.play("<Space>[Measurements(&M)][Cursors(&C)][Record\u2026]");
        MeasurementWindow* m = r.app.measurementWindow();
        QVERIFY(!m->spanText()->isVisible());
        m->betweenCursorsBox()->setChecked(true);
        const QString said = "measured between the time cursors only: from -0.00125 s to 0.00125 s";
        QVERIFY(m->spanText()->isVisible());
        QCOMPARE(m->spanText()->text(), said);
        r.play("[Copy measurements(&O)]");
        QVERIFY(QApplication::clipboard()->text().startsWith("# " + said + "\nmeasurement\t"));
        r.play("[Copy data]");
        QVERIFY(QApplication::clipboard()->text().contains("\n# " + said + "\n# measurement\t"));
        r.play(" ");
        m->betweenCursorsBox()->setChecked(false);
        QVERIFY(!m->spanText()->isVisible());
        r.play(" [Copy measurements(&O)]");
        QVERIFY(QApplication::clipboard()->text().startsWith("measurement\t"));
        r.play("[Copy data]");
        QVERIFY(!QApplication::clipboard()->text().contains("between the time cursors"));
        QFile index(dir.filePath("index.csv"));
        QVERIFY(index.open(QIODevice::ReadOnly));
        const QStringList rows = QString::fromUtf8(index.readAll()).split('\n');
        QCOMPARE(rows[1].split(',').mid(12, 2), QStringList({"-0.00125", "0.00125"}));
        QCOMPARE(rows[2].split(',').mid(12, 2), QStringList({"", ""}));
    }

    // The whole record is measured, its first and last samples too.
    void wholeRecordMeasured() {
        Rig r;
        r.instrument.waveforms[0].fill(10);
        r.instrument.waveforms[0][0] = -50, r.instrument.waveforms[0][2499] = 60;
        r.play(" [Measurements(&M)]");
        const QTableWidget* t = r.app.measurementWindow()->table();
        QCOMPARE(t->item(int(Measure::Min), 0)->text(), QString("-1.000 V"));
        QCOMPARE(t->item(int(Measure::Max), 0)->text(), QString("1.200 V"));
    }

    // A channel switched on after a read that left it out did not come from that read: it is not
    // measured, copied or saved as if it had.
    void onlyWhatTheReadBrought() {
        Rig r;
        r.play(" 101[Measurements(&M)][Copy data]");  // CH1 off for the read without SEL?
        QVERIFY(QApplication::clipboard()->text().contains("\n# CH1 left out"));
        QTableWidget* t = r.app.measurementWindow()->table();
        QCOMPARE(t->horizontalHeaderItem(0)->text(), QString("CH1"));
        QVERIFY(t->item(0, 0)->text().startsWith("\u2014 "));
        QVERIFY(!t->item(0, 1)->text().startsWith("\u2014"));
        r.play(" [Copy data]");
        QVERIFY(!QApplication::clipboard()->text().contains("left out"));
    }

    void cursors() {
        Rig r;
        r.play("<Space>");
        const QImage plain = r.window.picture();
        r.play("[Cursors(&C)]");
        QVERIFY(r.window.picture() != plain);
        r.play("[Cursors(&C)]");
        QCOMPARE(r.window.picture(), plain);
        r.play("[Cursors(&C)][Measurements(&M)]");
        const CursorSet& c = r.app.cursors().cursors();
        QWidget* plot = r.window.plotWidget();
        const ScopeState& s = r.app.state();
        const auto dragTo = [&](QPoint to) {
            QMouseEvent move(QEvent::MouseMove, QPointF(to), plot->mapToGlobal(QPointF(to)),
                             Qt::NoButton, Qt::LeftButton, {});
            QApplication::sendEvent(plot, &move);
        };
        // Each kind taken with the mouse and dragged one way and back: it follows the mouse, onto
        // whole samples and counts.
        const int xA = (2350 + 625 * s.magH) / 15;  // A's column
        QTest::mousePress(plot, Qt::LeftButton, {}, QPoint(xA + 2, 100));
        for (int x : {300, xA - 40, xA + 25}) {
            dragTo(QPoint(x, 100));
            QCOMPARE(c.samples[0], std::round((x * 15.0 - 2350) / s.magH));
        }
        // Past either end of the record: on its first or last sample.
        dragTo(QPoint(-40, 100));
        QCOMPARE(c.samples[0], 0.0);
        dragTo(QPoint(plot->width() + 40, 100));
        QCOMPARE(c.samples[0], double(kSamples - 1));
        dragTo(QPoint(xA + 25, 100));
        const int y2 = (s.plotY0 + (s.gridYTbl[4] + 50) * s.magV) / 15;  // level 2's row
        QTest::mousePress(plot, Qt::LeftButton, {}, QPoint(200, y2 + 1));
        for (int y : {y2 + 30, y2 - 20}) {
            dragTo(QPoint(200, y));
            QCOMPARE(c.counts[1], std::round(s.gridYTbl[4] - (y * 15.0 - s.plotY0) / s.magV));
        }
        QTest::mousePress(plot, Qt::LeftButton, {}, QPoint(200, 5));  // near none: level 2 stays
        QTest::keyClick(&r.window, Qt::Key_Up);
        QCOMPARE(c.counts[1],
                 std::round(s.gridYTbl[4] - ((y2 - 20) * 15.0 - s.plotY0) / s.magV) + 1);
        r.looksAs("cursors");
        const double before = c.samples[1];
        r.instrument.horScale = "1.0E-3", r.instrument.horPosition = "5.0E-4";
        r.play("<Space>");  // 1 ms per division, half a division later: B keeps its time
        QCOMPARE(c.samples[1], std::round((before - 1250) / 2 + 1250 - 125));
        QCOMPARE(
            r.app.measurementWindow()->cursorText()->text().left(120),
            QString("t(A) -872.0 \u00b5s   t(B) 1.252 ms   \u0394t 2.124 ms   1/\u0394t 470.8 Hz\n"
                    "CH1   A 220.0 mV   B 600.0 mV   \u0394 380.0 mV\nCH2   A 960.0 mV"));
        QVERIFY(r.app.measurementWindow()->cursorText()->y() >
                r.app.measurementWindow()->table()->geometry().bottom());  // laid out below it
        const auto period = [&] {
            return r.app.measurementWindow()->table()->item(int(Measure::Period), 0)->text();
        };
        QCOMPARE(period(), "1.024 ms (9 cycles)");
        r.app.measurementWindow()->betweenCursorsBox()->click();
        QCOMPARE(period(), "1.024 ms (1 cycle)");
        r.play("<F1>");  // the cursor keys are listed while they act
        QVERIFY(r.app.helpWindow()->helpMsg()->toPlainText().contains(
            "ESC     : Quit Prog.\n F2 / SHIFT+F2 : Select Next / Previous Cursor\n"));
        // The level cursors given to the second source: the window's choice says so.
        QComboBox* levels = r.app.measurementWindow()->levelSourceBox();
        for (int source : {1, 0}) {
            r.app.cursors().chooseLevelSource(source);
            r.app.measure().refresh();
            QCOMPARE(levels->currentText(), QString("CH%1").arg(source + 1));
        }
    }

    // The keyboard alone: shown, the cursors start with A selected; F2 walks A, B, 1, 2 and back,
    // Shift+F2 the other way; each moves both ways by a sample or a count, by a division with
    // Shift, and its label on the plot says its value.
    void cursorKeys() {
        Rig r;
        r.play("<Space>[Cursors(&C)]");
        const CursorSet& c = r.app.cursors().cursors();
        const auto labels = [&] {
            QStringList out;
            for (const CursorLine& line : r.window.cursorLines())
                out << line.label + (line.selected ? "*" : "");
            return out;
        };
        QCOMPARE(labels(), QStringList({"t(A) = -1.250 ms*", "t(B) = 1.250 ms", "1 (CH1) = 1.000 V",
                                        "2 (CH1) = -1.000 V"}));
        const auto key = [&](Qt::Key k, Qt::KeyboardModifiers m = {}) {
            QTest::keyClick(&r.window, k, m);
        };
        key(Qt::Key_Right), key(Qt::Key_Right, Qt::ShiftModifier), key(Qt::Key_Up);
        QCOMPARE(c.samples[0], 625 + 1 + 250.0);  // up and down leave a time cursor
        key(Qt::Key_F2), key(Qt::Key_Left, Qt::ShiftModifier), key(Qt::Key_Left);
        QCOMPARE(c.samples[1], 1875 - 250 - 1.0);
        key(Qt::Key_F2), key(Qt::Key_Down), key(Qt::Key_Right);
        QCOMPARE(c.counts[0], 50 - 1.0);  // left and right leave a level cursor
        key(Qt::Key_F2), key(Qt::Key_Up, Qt::ShiftModifier), key(Qt::Key_Down);
        QCOMPARE(c.counts[1], -50 + 25 - 1.0);
        QCOMPARE(labels(), QStringList({"t(A) = -748.0 \u00b5s", "t(B) = 748.0 \u00b5s",
                                        "1 (CH1) = 980.0 mV", "2 (CH1) = -520.0 mV*"}));
        key(Qt::Key_F2);
        QCOMPARE(r.app.cursors().selected(), 0);
        key(Qt::Key_F2, Qt::ShiftModifier);
        QCOMPARE(r.app.cursors().selected(), 3);
        key(Qt::Key_Down, Qt::ShiftModifier), key(Qt::Key_Down, Qt::ShiftModifier);
        for (int i = 0; i < 200; ++i)
            key(Qt::Key_Down);
        QCOMPARE(c.counts[1], -128.0);  // kept on the record's range
        // The level cursors go with the source chosen in the measurement window while it is
        // shown, otherwise with the first source shown.
        r.play("[Measurements(&M)]");
        QComboBox* levels = r.app.measurementWindow()->levelSourceBox();
        QCOMPARE(levels->count(), 4);
        levels->setCurrentIndex(2);
        emit levels->activated(2);
        QCOMPARE(labels().at(2), "1 (CH3) = 980.0 mV");
        r.play("3");
        QCOMPARE(labels().at(2), "1 (CH1) = 980.0 mV");
        r.play("3");
        QCOMPARE(labels().at(2), "1 (CH3) = 980.0 mV");
        QVERIFY(r.action("Cursors(&C)")->isChecked());
        r.play("[Cursors(&C)]");
        QVERIFY(labels().isEmpty() && !r.action("Cursors(&C)")->isChecked());
    }

    // The initialisation opens a port that failed before and keeps its own last status text.
    void initialiseAgain() {
        Rig r;
        r.app.link().closePort();
        r.instrument.setFault(Fault::Silence, SimulatedInstrument::kBreak);
        r.play("[Initial TDS2024(&I)]");
        QVERIFY(r.app.link().portOpen());
        QCOMPARE(r.app.state().scopePresent, 0);
        QCOMPARE(r.status(), std::string(" Mode : Demo Mode  ( Can't found TDS2024 ! )"));
    }

    // Save asks for a name and a type, writes the file whole, and names it in the status panel;
    // the file holds the window's picture or what copying the data puts on the clipboard. A save
    // that fails, on a full disk too, says why, leaves no file and an old one as it was, and the
    // next Save does not offer its folder.
    void saveAndCopy_data() { addCaseRows("shell-save", {"type", "name", "outcome", "room"}); }
    void saveAndCopy() {
        auto [type, name, outcome, room] = caseFields("type", "name", "outcome", "room");
        Rig r;
        r.play(" ");
        r.device.lines.clear();
        QTemporaryDir dir;
        QStringList offered;
        r.chooseFile = [&](QFileDialog& dialog) {
            offered = dialog.nameFilters() << QFileInfo(dialog.selectedFiles().value(0)).fileName()
                                           << dialog.directory().absolutePath();
            dialog.selectNameFilter(type), dialog.setDirectory(dir.path()), dialog.selectFile(name);
        };
        const QByteArray old = "an older file of that name\n";
        if (!room.isEmpty()) {
            QFile f(dir.filePath(name));
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(old) == old.size());
        }
        const auto fullDisk = fileSizeLimit(room.toLongLong());
        r.play("[Save(&S)]");
        QCOMPARE(offered.mid(0, 2), QStringList({"Data (*.csv)", "Picture (*.png)"}));
        QCOMPARE(offered.value(3), QDir::homePath());
        // Named after the last read's time stamp, as the window shows it.
        const QString stamp = r.window.field(Field::dispTxD_str, 0)->text();
        QVERIFY(
            QRegularExpression(R"(^\d{4}\.\d\d\.\d\d  \d\d:\d\d\.\d\d$)").match(stamp).hasMatch());
        QCOMPARE(offered.value(2),
                 "curvalon-" + QString(stamp).remove(QRegularExpression("\\D")).insert(8, '-'));
        QVERIFY(r.device.lines.empty());
        const bool failed = outcome.startsWith("box: ");
        if (failed) {
            QCOMPARE(r.boxes, Lines{"Curvalon: Cannot save " + dir.filePath(name).toStdString() +
                                    ":\n" + outcome.mid(5).toStdString()});
            QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
                     room.isEmpty() ? QStringList() : QStringList(name));
            QFile f(dir.filePath(name));
            QVERIFY(room.isEmpty() || (f.open(QIODevice::ReadOnly) && f.readAll() == old));
            QCOMPARE(r.status(), std::string());
        } else {
            const QString path = dir.filePath(outcome);
            QCOMPARE(r.status(), "Saved " + path.toStdString());
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            if (outcome.endsWith(".png")) {
                QVERIFY(file.readAll().endsWith(QByteArray::fromHex("49454e44ae426082")));
                QCOMPARE(QImage(path).convertToFormat(QImage::Format_RGB32), r.window.picture());
            } else {
                r.play("[Copy data]");
                const QString data = QString::fromLatin1(file.readAll());
                QCOMPARE(data, QApplication::clipboard()->text().replace('\t', ','));
                // The read's own time, taken when it completed.
                const QString iso = data.section("# time (ISO 8601): ", 1).section('\n', 0, 0);
                const QDateTime at = QDateTime::fromString(iso, Qt::ISODate);
                QVERIFY(at.isValid() && std::abs(at.secsTo(QDateTime::currentDateTime())) < 60);
            }
        }
        // The next Save opens where the last file went, and only where one went.
        r.play("[Save(&S)]");
        QCOMPARE(offered.value(3), failed ? QDir::homePath() : dir.path());
    }

    // Copying and Save act at once, also while a reply is awaited, on the last completed read;
    // the plot's context menu copies one of the two.
    void copyOneOrNone() {
        Rig r;
        r.window.show();
        QVERIFY(QTest::qWaitForWindowActive(&r.window));
        const auto has = [](bool image) {
            const QMimeData* m = QApplication::clipboard()->mimeData();
            return m && (image ? m->hasImage() : m->hasText());
        };
        r.play(" ");
        QTest::keyClick(&r.window, Qt::Key_C, Qt::ControlModifier);
        QVERIFY(has(false) && has(true));
        const QString completed = QApplication::clipboard()->text();
        const QImage picture = QApplication::clipboard()->image();
        r.instrument.freshAcquisitions = true;
        QApplication::clipboard()->clear();
        int dialogs = 0;
        r.chooseFile = [&](QFileDialog& dialog) { ++dialogs, dialog.reject(); };
        r.clock.at(400, [&] {  // while CH3 is read; CH4's curve has been drawn
            QTest::keyClick(&r.window, Qt::Key_C, Qt::ControlModifier);
            QCOMPARE(QApplication::clipboard()->text(), completed);
            QCOMPARE(QApplication::clipboard()->image(), picture);
            r.play("[Save(&S)]");
        });
        r.play(" ");
        QCOMPARE(dialogs, 1);
        QVERIFY(has(false) && QApplication::clipboard()->text() == completed);
        r.chooseFile = {};
        // The plot's right-click menu.
        QApplication::clipboard()->clear();
        r.rightClickPlot("Copy data");
        QVERIFY(has(false) && !has(true));
        QCOMPARE(r.popup, QStringList({"Copy picture", "Copy data"}));
        r.rightClickPlot("Copy picture");
        QVERIFY(has(true) && !has(false));
        // CH1 read alone and failed: its old record is not copied as if it were new.
        r.play(" ");
        r.instrument.setFault(Fault::Silence, "CURV?");
        r.play("5[Copy data]");
        QVERIFY(QApplication::clipboard()->text().contains("\n# CH1 left out"));
        r.chooseFile = [](QFileDialog& dialog) { dialog.reject(); };  // Save given up
        r.play("[Save(&S)]");
        QCOMPARE(r.status(), std::string());
    }
};

QTEST_MAIN(ShellTest)
#include "test_shell.moc"
