#include "shell/port_control.h"

#include <QApplication>
#include <QFileInfo>
#include <QInputDialog>

namespace curvalon {

namespace {

// Two names of one device (a link and its target) are the same port.
bool samePort(const std::string& a, const std::string& b) {
    if (a == b) return true;
    const QString ca = QFileInfo(QString::fromStdString(a)).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(QString::fromStdString(b)).canonicalFilePath();
}

}  // namespace

PortControl::PortControl(MainWindow& window, QtWindowOps& ops, SerialLink& link, LinkClock& clock,
                         const PortList& ports, Hooks hooks)
    : window_(window),
      ops_(ops),
      link_(link),
      ports_(ports),
      hooks_(std::move(hooks)),
      watch_(clock, ports, [this](const std::string& location) { return back(location); }) {
    watch_.setOnStranger([this] {
        ops_.setStatusText(link_.statusPrefix() + "another device, waiting for the adapter");
    });
    link_.setOnPortLost([this] { lost(); });
}

void PortControl::fillMenu() {
    QMenu* menu = window_.portMenu();
    menu->clear();
    for (const PortInfo& port : ports_.ports()) {
        QAction* item = menu->addAction(QString::fromStdString(portCaption(port)));
        item->setCheckable(true);
        item->setChecked(link_.portOpen() && samePort(port.location, link_.portName()));
        const std::string location = port.location;
        QObject::connect(item, &QAction::triggered, menu, [this, location] {
            hooks_.instrumentCommand([this, location] { choose(location); });
        });
    }
    menu->addSeparator();
    QAction* other = menu->addAction(QStringLiteral("Other port\u2026"));
    QObject::connect(other, &QAction::triggered, menu,
                     [this] { hooks_.instrumentCommand([this] { askForOther(); }); });
}

void PortControl::askForOther() {
    bool ok = false;
    const QString given = QInputDialog::getText(
        &window_, QStringLiteral("Other port"),
        QStringLiteral("Port name or device path (COM7, /dev/ttyUSB3, /dev/serial/by-id/\u2026):"),
        QLineEdit::Normal, QString::fromStdString(link_.portName()), &ok);
    if (!ok) return;
    const std::string location = ports_.locate(given.toStdString());
    if (location.empty()) {
        ops_.notice(QStringLiteral("%1: no such port. Nothing was changed.").arg(given));
        return;
    }
    choose(location);
}

void PortControl::choose(const std::string& location) {
    watch_.stop();
    // The panel keeps the initialisation's last text, as with Initial TDS2024.
    ops_.setStatusText("Stat:");
    link_.closePort();
    open(location);
    hooks_.wake();
}

void PortControl::open(const std::string& location) {
    serial_.clear();
    for (const PortInfo& port : ports_.ports())
        if (samePort(port.location, location)) serial_ = port.serialNumber;
    link_.openPort(location);
}

void PortControl::lost() {
    watch_.watch(link_.portName(), serial_);
}

// Taken only when no command runs and no box waits for the operator, so the wake-up never
// starts inside another exchange.
bool PortControl::back(const std::string& location) {
    if (!hooks_.idle() || QApplication::activeModalWidget()) return false;
    if (link_.portOpen()) return true;  // opened again meanwhile, by the operator
    link_.openPort(location);
    if (!link_.portOpen()) return false;
    // After the wake-up's own texts, so that it is the one the operator reads; a silent
    // instrument leaves the demo-mode text instead.
    if (hooks_.wake()) ops_.setStatusText(link_.statusPrefix() + "Port back, TDS2024 ready");
    return true;
}

}  // namespace curvalon
