#include "link/qt_port_list.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>

namespace curvalon {

std::vector<PortInfo> QtPortList::ports() const {
    std::vector<PortInfo> out;
    for (const QSerialPortInfo& p : QSerialPortInfo::availablePorts()) {
        out.push_back({p.portName().toStdString(), p.systemLocation().toStdString(),
                       p.description().toStdString(), p.manufacturer().toStdString(),
                       p.serialNumber().toStdString(),
                       mayReadAndWrite(p.systemLocation().toStdString())});
    }
    return out;
}

std::string QtPortList::locate(const std::string& nameOrPath) const {
    const QString given = QString::fromStdString(nameOrPath).trimmed();
    if (given.isEmpty()) return {};
    // A path, or a bare device name under /dev, names a device node or a link to one, listed
    // or not (a pseudo-terminal is never listed).
    for (const QString& path : {given, QStringLiteral("/dev/") + given}) {
        if (path.contains(QLatin1Char('/')) && QFileInfo::exists(path))
            return QFileInfo(path).absoluteFilePath().toStdString();
    }
    // "COM7" and the like exist only as the system lists them.
    for (const PortInfo& p : ports())
        if (QString::fromStdString(p.name).compare(given, Qt::CaseInsensitive) == 0)
            return p.location;
    return {};
}

std::string QtPortList::findAgain(const std::string& location,
                                  const std::string& serialNumber) const {
    // Asked about once a second while a port is away, so it looks only where it must: listing
    // every port of the system costs milliseconds each time.
    const QString path = QString::fromStdString(location);
    if (path.contains(QLatin1Char('/'))) {
        // A device node or a link to one is back when it exists again.
        if (QFileInfo::exists(path)) return location;
        if (serialNumber.empty()) return {};
#ifdef __linux__
        // An adapter plugged into another socket comes back under another name; udev names its
        // links here after the serial number.
        const QDir byId(QStringLiteral("/dev/serial/by-id"));
        const QString tag =
            QLatin1Char('_') + QString::fromStdString(serialNumber) + QLatin1Char('-');
        for (const QFileInfo& link : byId.entryInfoList(QDir::System | QDir::Files))
            if (link.fileName().contains(tag)) return link.canonicalFilePath().toStdString();
        return {};
#endif
    }
    // A port known only by its name ("COM3") is back when the system lists it again, or another
    // with its serial number.
    for (const PortInfo& p : ports())
        if (p.location == location || (!serialNumber.empty() && p.serialNumber == serialNumber))
            return p.location;
    return {};
}

// Asked only when something appears where a lost port was, so listing every port is affordable;
// a link (by-id, or one of the operator's) names the device it points to.
std::string QtPortList::serialNumberAt(const std::string& location) const {
    const QString device = QFileInfo(QString::fromStdString(location)).canonicalFilePath();
    for (const QSerialPortInfo& p : QSerialPortInfo::availablePorts())
        if (p.systemLocation().toStdString() == location ||
            (!device.isEmpty() && QFileInfo(p.systemLocation()).canonicalFilePath() == device))
            return p.serialNumber().toStdString();
    return {};
}

}  // namespace curvalon
