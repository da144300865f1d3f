// The whole tool in its real main window over the simulated instrument, on virtual time, as the
// operator drives it: keys, buttons, menus, and every box and dialog answered as it opens.
#pragma once

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QtTest>
#include <functional>

#include "shell/scope_app.h"
#include "support/fake_port_list.h"
#include "support/fake_serial_device.h"
#include "support/golden.h"
#include "support/simulated_instrument.h"
#include "support/virtual_clock.h"

#include <sys/resource.h>

#include <csignal>

namespace curvalon::test {

using Lines = std::vector<std::string>;

// The main window on a screen of the test's choosing, at first one with room for every zoom.
class ScreenWindow : public MainWindow {
  public:
    QRect screenArea{0, 0, 4000, 3000};

    QRect availableScreen() const override { return screenArea; }
};

struct Rig {
    ScreenWindow window;
    VirtualClock clock;
    FakeSerialDevice device{clock};
    SimulatedInstrument instrument;
    FakePortList ports;
    std::vector<int> exits;
    ScopeApp app{
        window, device, clock, [this](int code) { exits.push_back(code); }, firstSerialPort(),
        &ports};
    QTimer boxCloser;
    Lines boxes;
    Lines statusAtBoxes;  // what the status panel showed while each box was open
    QStringList popup;    // the items of the last pop-up menu
    QString popupChoice;  // the item to choose in it
    QString typed;        // the answer to a dialog that asks for a text
    std::function<void(QFileDialog&)> chooseFile;

    explicit Rig(bool answering = true, bool awaitStartUp = true) {
        // Every message box is noted and accepted as soon as it opens, and its text must show as
        // the characters it holds; a file dialog is filled in by chooseFile and accepted; a
        // pop-up menu is noted and popupChoice chosen.
        QObject::connect(&boxCloser, &QTimer::timeout, &boxCloser, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* box = qobject_cast<QMessageBox*>(modal); box && box->button(QMessageBox::Yes))
                box->button(QMessageBox::Yes)->click();  // the file dialog's "replace it?"
            else if (box) {
                boxes.push_back((box->windowTitle() + ": " + box->text()).toStdString());
                statusAtBoxes.push_back(status());
                if (box->textFormat() != Qt::PlainText) boxes.back() += " (as markup)";
                box->accept();
            }
            if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                popup.clear();
                for (QAction* a : menu->actions())
                    if (popup << (a->isChecked() ? "[x] " : "") + a->text();
                        a->text() == popupChoice)
                        menu->setActiveAction(a);
                // Chosen once this returns, so that a dialog the choice opens can be answered.
                QMetaObject::invokeMethod(
                    menu, [menu] { QTest::keyClick(menu, Qt::Key_Return); }, Qt::QueuedConnection);
            }
            // Accepted once this returns: accepting may ask "replace it?", which this timer must
            // be free to answer.
            if (auto* dialog = qobject_cast<QFileDialog*>(modal); dialog && chooseFile) {
                chooseFile(*dialog);
                QMetaObject::invokeMethod(dialog, &QDialog::accept, Qt::QueuedConnection);
            }
            if (auto* dialog = qobject_cast<QInputDialog*>(modal))
                dialog->setTextValue(typed), dialog->accept();
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
    // What the operator does: a character is its key, <Esc>, <F1> and <Space> are keys by name, and
    // [caption] clicks the button or chooses the menu item of that caption.
    void play(const QString& script) {
        static const QRegularExpression step("\\[(.+?)\\]|<(\\w+)>|(.)");
        for (const QRegularExpressionMatch& m : step.globalMatch(script)) {
            if (m.hasCaptured(3)) QTest::keyClick(&window, m.captured(3)[0].toLatin1());
            if (m.hasCaptured(2))
                QTest::keyClick(&window, m.captured(2) == "Esc"  ? Qt::Key_Escape
                                         : m.captured(2) == "F1" ? Qt::Key_F1
                                                                 : Qt::Key_Space);
            if (!m.hasCaptured(1)) continue;
            QPushButton* button = nullptr;
            for (QPushButton* b : window.findChildren<QPushButton*>())
                button = b->text() == m.captured(1) ? b : button;
            button ? button->click() : action(m.captured(1))->trigger();
        }
    }
    QAction* action(const QString& caption) const {
        for (QAction* a : window.findChildren<QAction*>())
            if (a->text() == caption) return a;
        qFatal("no control %s", qPrintable(caption));
    }
    // The whole window, its time stamp set to a fixed one in place of the clock's, against the
    // stored picture of that name.
    void looksAs(const QString& name) {
        window.field(Field::dispTxD_str, 0)->setText("2026.01.02  03:04.05");
        const QImage picture = window.grab().toImage();
        QCOMPARE(picture, golden(picture, name));
    }
    // The operator's right click on the plot, choosing the item of that caption.
    void rightClickPlot(const QString& caption) {
        popupChoice = caption;
        QWidget* plot = window.plotWidget();
        QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(300, 100),
                                plot->mapToGlobal(QPoint(300, 100)));
        QApplication::sendEvent(plot, &click);
    }
    // File > Port opened, and the item of that caption chosen.
    void choosePort(const QString& caption) {
        popupChoice = caption;
        window.portMenu()->exec(QPoint(0, 0));
    }
};

// A disk with this many bytes of room for each file this process writes (no limit for 0): writes
// past it are cut short and then refused, as on a full disk; until the returned guard goes.
auto fileSizeLimit(qint64 bytes) {
    rlimit before{};
    ::getrlimit(RLIMIT_FSIZE, &before);
    ::signal(SIGXFSZ, SIG_IGN);  // a refused write, not the end of the process
    const rlimit limit{bytes > 0 ? rlim_t(bytes) : before.rlim_cur, before.rlim_max};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    return qScopeGuard([before] { ::setrlimit(RLIMIT_FSIZE, &before); });
}

}  // namespace curvalon::test
