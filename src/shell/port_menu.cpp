// Choosing the serial port in the window, and taking a lost port back by itself once it returns.
// The first port stays the start-up default; a choice holds for this run only.
#include <QApplication>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>

#include "shell/scope_app.h"

namespace curvalon {

namespace {

// Two names of one device (a link and its target) are the same port.
bool samePort(const std::string& a, const std::string& b) {
    if (a == b) return true;
    const QString ca = QFileInfo(QString::fromStdString(a)).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(QString::fromStdString(b)).canonicalFilePath();
}

}  // namespace

void ScopeApp::fillPortMenu() {
    QMenu* menu = window_.portMenu();
    menu->clear();
    for (const PortInfo& port : ports_.ports()) {
        QAction* item = menu->addAction(QString::fromStdString(portCaption(port)));
        item->setCheckable(true);
        item->setChecked(link_.portOpen() && samePort(port.location, link_.portName()));
        const std::string location = port.location;
        QObject::connect(item, &QAction::triggered, menu,
                         [this, location] { choosePort(location); });
    }
    menu->addSeparator();
    QAction* other = menu->addAction(QStringLiteral("Other port\u2026"));
    QObject::connect(other, &QAction::triggered, menu, [this] { askForOtherPort(); });
}

void ScopeApp::askForOtherPort() {
    if (!mayStartCommand()) return;
    bool ok = false;
    const QString given = QInputDialog::getText(
        &window_, QStringLiteral("Other port"),
        QStringLiteral("Port name or device path (COM7, /dev/ttyUSB3, /dev/serial/by-id/\u2026):"),
        QLineEdit::Normal, QString::fromStdString(link_.portName()), &ok);
    if (!ok) return;
    const std::string location = ports_.locate(given.toStdString());
    if (location.empty()) {
        QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(QtWindowOps::kApplicationTitle),
                        QStringLiteral("%1: no such port. Nothing was changed.").arg(given),
                        QMessageBox::Ok, &window_);
        box.setTextFormat(Qt::PlainText);
        box.exec();
        return;
    }
    choosePort(location);
}

void ScopeApp::choosePort(const std::string& location) {
    if (!mayStartCommand()) return;
    watch_.stop();
    // The panel keeps the initialisation's last text, as with Initial TDS2024.
    ops_.setStatusText("Stat:");
    link_.closePort();
    openChosenPort(location);
    initInstrument();
}

// Opens the port and notes its serial number, by which it is known again if it comes back under
// another name.
void ScopeApp::openChosenPort(const std::string& location) {
    portSerial_.clear();
    for (const PortInfo& port : ports_.ports())
        if (samePort(port.location, location)) portSerial_ = port.serialNumber;
    link_.openPort(location);
}

void ScopeApp::portLost() {
    watch_.watch(link_.portName(), portSerial_);
}

// Taken only when no command runs and no box waits for the operator, so the wake-up never
// starts inside another exchange.
bool ScopeApp::portBack(const std::string& location) {
    if (!mayStartCommand() || QApplication::activeModalWidget()) return false;
    if (link_.portOpen()) return true;  // opened again meanwhile, by the operator
    link_.openPort(location);
    if (!link_.portOpen()) return false;
    initInstrument();
    // After the wake-up's own texts, so that it is the one the operator reads; a silent
    // instrument leaves the demo-mode text instead.
    if (state_.scopePresent == 1)
        ops_.setStatusText(link_.statusPrefix() + "Port back, TDS2024 ready");
    return true;
}

}  // namespace curvalon
