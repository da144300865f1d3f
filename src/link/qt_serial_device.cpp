#include "link/qt_serial_device.h"

#include <QByteArray>
#include <QString>
#include <cctype>
#include <sstream>
#include <stdexcept>
#include <string_view>
#include <utility>
#include <vector>

#include "link/comm_events.h"
#include "link/port_list.h"

#ifdef __linux__
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace curvalon {

namespace {

std::string trimmed(const std::string& s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

// The counters watched for errors, each with the code it raises when it grows.
constexpr std::array<std::int32_t, 5> kCounterCodes = {comm::kFrame, comm::kOverrun, comm::kParity,
                                                       comm::kBreak, comm::kRxOverflow};

// Where a port named by its bare name lives on Linux; elsewhere the question it serves is never
// asked of the file system.
std::string systemLocation(const std::string& port) {
    return port.rfind('/', 0) == 0 ? port : "/dev/" + port;
}

OpenResult openFailure(QSerialPort::SerialPortError error, const std::string& port) {
    switch (error) {
        case QSerialPort::DeviceNotFoundError:
            return OpenResult::NotFound;
        case QSerialPort::PermissionError:
            // The same error covers a locked or exclusively held port and missing rights; a
            // port we may read and write but cannot open is in use by someone else.
            return mayReadAndWrite(systemLocation(port)) ? OpenResult::Busy
                                                         : OpenResult::NoPermission;
        case QSerialPort::UnsupportedOperationError:
            return OpenResult::BadSettings;
        default:
            return OpenResult::Failed;
    }
}

using Setting = std::string_view;
constexpr std::pair<Setting, QSerialPort::Parity> kParities[] = {
    {"N", QSerialPort::NoParity},   {"E", QSerialPort::EvenParity},  {"O", QSerialPort::OddParity},
    {"M", QSerialPort::MarkParity}, {"S", QSerialPort::SpaceParity},
};
constexpr std::pair<Setting, QSerialPort::DataBits> kDataBits[] = {
    {"5", QSerialPort::Data5},
    {"6", QSerialPort::Data6},
    {"7", QSerialPort::Data7},
    {"8", QSerialPort::Data8},
};
constexpr std::pair<Setting, QSerialPort::StopBits> kStopBits[] = {
    {"1", QSerialPort::OneStop},
    {"1.5", QSerialPort::OneAndHalfStop},
    {"2", QSerialPort::TwoStop},
};

template <typename T, std::size_t N>
bool lookUp(const std::pair<Setting, T> (&table)[N], const std::string& key, T& out) {
    for (const auto& [name, value] : table) {
        if (name != key) continue;
        out = value;
        return true;
    }
    return false;
}

}  // namespace

bool parseLineSettings(const std::string& text, LineSettings& out) {
    std::vector<std::string> parts;
    std::istringstream in(text);
    for (std::string part; std::getline(in, part, ',');)
        parts.push_back(trimmed(part));
    if (parts.size() != 4) return false;

    LineSettings s;
    try {
        std::size_t used = 0;
        s.baudRate = std::stoi(parts[0], &used);
        if (used != parts[0].size() || s.baudRate <= 0) return false;
    } catch (const std::exception&) {
        return false;
    }
    std::string parity = parts[1];
    for (char& c : parity)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (!lookUp(kParities, parity, s.parity) || !lookUp(kDataBits, parts[2], s.dataBits) ||
        !lookUp(kStopBits, parts[3], s.stopBits))
        return false;
    out = s;
    return true;
}

QtSerialDevice::QtSerialDevice() {
    poll_.setInterval(kPollIntervalMs);
    QObject::connect(&port_, &QSerialPort::readyRead, &port_,
                     [this] { raiseComm(comm::kReceive); });
    QObject::connect(&port_, &QSerialPort::errorOccurred, &port_,
                     [this](QSerialPort::SerialPortError e) { onError(e); });
    QObject::connect(&poll_, &QTimer::timeout, &poll_, [this] { poll(); });
}

QtSerialDevice::~QtSerialDevice() {
    close();
}

OpenResult QtSerialDevice::open(const std::string& port, const std::string& settings) {
    close();
    LineSettings line;
    if (!parseLineSettings(settings, line)) return OpenResult::BadSettings;

    port_.setPortName(QString::fromStdString(port));
    port_.setBaudRate(line.baudRate);
    port_.setParity(line.parity);
    port_.setDataBits(line.dataBits);
    port_.setStopBits(line.stopBits);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    if (!port_.open(QIODevice::ReadWrite)) {
        const OpenResult result = openFailure(port_.error(), port);
        port_.clearError();
        return result;
    }
    lost_ = false;
    startPolling();
    return OpenResult::Ok;
}

void QtSerialDevice::close() {
    poll_.stop();
    if (port_.isOpen()) port_.close();
}

bool QtSerialDevice::isOpen() const {
    return port_.isOpen();
}

void QtSerialDevice::write(std::string_view bytes) {
    if (!port_.isOpen()) return;
    // Handed to the driver now, not on the event loop's next pass: the link's pacing pause starts
    // when this returns, and a byte left in QSerialPort's buffer would leave late and shorten
    // the gap after it. flush() does not wait for the line to drain.
    port_.write(bytes.data(), static_cast<qint64>(bytes.size()));
    port_.flush();
}

std::string QtSerialDevice::readAll() {
    if (!port_.isOpen()) return {};
    const QByteArray data = port_.readAll();
    return std::string(data.constData(), static_cast<std::size_t>(data.size()));
}

void QtSerialDevice::setBreak(bool on) {
    if (port_.isOpen() && !port_.setBreakEnabled(on)) port_.clearError();
}

bool QtSerialDevice::setDtr(bool on) {
    return port_.isOpen() && driveLine(QSerialPort::DataTerminalReadySignal, on);
}

bool QtSerialDevice::setRts(bool on) {
    return port_.isOpen() && driveLine(QSerialPort::RequestToSendSignal, on);
}

bool QtSerialDevice::driveLine(QSerialPort::PinoutSignal line, bool on) {
    const bool ok = line == QSerialPort::DataTerminalReadySignal ? port_.setDataTerminalReady(on)
                                                                 : port_.setRequestToSend(on);
    if (!ok) port_.clearError();
    return ok;
}

void QtSerialDevice::onError(QSerialPort::SerialPortError error) {
    if (!port_.isOpen()) return;
    switch (error) {
        case QSerialPort::ResourceError:
            // QSerialPort stops reading after this one; the port is of no further use.
            portLost();
            break;
        case QSerialPort::ReadError:
        case QSerialPort::WriteError:
            // A failed read or write on a port that still answers is passing trouble; one that
            // no longer answers has gone with its adapter or its other end (a hung-up terminal
            // reads as end of file, which QSerialPort reports as a read error, again and again).
            if (deviceGone()) portLost();
            break;
        default:
            break;
    }
}

// A port that no longer answers even a request for its settings, with an error that means the
// device itself (hung up, unplugged), not just one failed call.
bool QtSerialDevice::deviceGone() const {
#ifdef __linux__
    termios t{};
    if (::tcgetattr(port_.handle(), &t) == 0) return false;
    return errno == EIO || errno == ENODEV || errno == ENXIO;
#else
    return false;
#endif
}

// Reported once, then the port is closed, so a vanished device cannot flood the status panel
// with one error per failed read.
void QtSerialDevice::portLost() {
    if (lost_) return;
    lost_ = true;
    close();
    raiseComm(comm::kPortLost);
}

void QtSerialDevice::startPolling() {
    const std::optional<int> lines = modemLines();
    watchModemLines_ = lines.has_value();
    modemLines_ = lines.value_or(0);
    const std::optional<std::array<int, 5>> counts = errorCounters();
    watchErrorCounters_ = counts.has_value();
    errorCounts_ = counts.value_or(std::array<int, 5>{});
    // A pseudo-terminal and some adapters have neither; there is then nothing to watch.
    if (watchModemLines_ || watchErrorCounters_) poll_.start();
}

void QtSerialDevice::poll() {
    if (watchModemLines_ && !pollModemLines()) return;
    if (watchErrorCounters_ && !pollErrorCounters()) return;
    if (!watchModemLines_ && !watchErrorCounters_) poll_.stop();
}

std::optional<int> QtSerialDevice::modemLines() {
    const QSerialPort::PinoutSignals pins = port_.pinoutSignals();
    if (port_.error() != QSerialPort::NoError) {
        port_.clearError();
        return std::nullopt;
    }
    return static_cast<int>(pins);
}

std::optional<std::array<int, 5>> QtSerialDevice::errorCounters() {
#ifdef __linux__
    serial_icounter_struct c{};
    if (::ioctl(port_.handle(), TIOCGICOUNT, &c) != 0) return std::nullopt;
    return std::array<int, 5>{c.frame, c.overrun, c.parity, c.brk, c.buf_overrun};
#else
    return std::nullopt;
#endif
}

// Both return false when the port went away while they ran.
bool QtSerialDevice::pollModemLines() {
    const std::optional<int> read = modemLines();
    if (!read) {
        if (!port_.isOpen()) return false;
        if (deviceGone()) {
            portLost();
            return false;
        }
        watchModemLines_ = false;
        return true;
    }
    const int lines = *read;
    const int changed = lines ^ modemLines_;
    modemLines_ = lines;
    // A ring is reported when the ring indicator comes on, not again when it drops.
    const struct {
        bool raised;
        std::int32_t code;
    } events[] = {
        {(changed & QSerialPort::ClearToSendSignal) != 0, comm::kCtsChange},
        {(changed & QSerialPort::DataSetReadySignal) != 0, comm::kDsrChange},
        {(changed & QSerialPort::DataCarrierDetectSignal) != 0, comm::kCdChange},
        {(changed & lines & QSerialPort::RingIndicatorSignal) != 0, comm::kRing},
    };
    for (const auto& e : events) {
        if (!e.raised) continue;
        raiseComm(e.code);
        if (!port_.isOpen()) return false;
    }
    return true;
}

bool QtSerialDevice::pollErrorCounters() {
    const std::optional<std::array<int, 5>> now = errorCounters();
    if (!now) {
        if (deviceGone()) {
            portLost();
            return false;
        }
        watchErrorCounters_ = false;
        return true;
    }
    const std::array<int, 5> before = std::exchange(errorCounts_, *now);
    for (std::size_t i = 0; i < now->size(); ++i) {
        if ((*now)[i] == before[i]) continue;
        raiseComm(kCounterCodes[i]);
        if (!port_.isOpen()) return false;
    }
    return true;
}

}  // namespace curvalon
