#include "support/fake_serial_device.h"

#include <QTimer>
#include <utility>

#include "link/comm_events.h"

namespace curvalon::test {

OpenResult FakeSerialDevice::open(const std::string& port, const std::string& settings) {
    ++opens;
    openedPort = port;
    openedSettings = settings;
    open_ = openResult == OpenResult::Ok;
    return openResult;
}

void FakeSerialDevice::write(std::string_view bytes) {
    for (char c : bytes) {
        written.push_back(c);
        writeTimesNs.push_back(nowNs());
        if (c != '\r') {
            partialLine_.push_back(c);
            continue;
        }
        const std::string line = std::exchange(partialLine_, std::string());
        lines.push_back(line);
        if (responder) responder(*this, line);
    }
}

void FakeSerialDevice::setBreak(bool on) {
    breaks.push_back({on, nowNs()});
    if (onBreak) onBreak(*this, on);
}

void FakeSerialDevice::deliver(std::string_view bytes) {
    if (!open_) return;  // nothing reaches a port that is not open
    waiting_.append(bytes);
    raiseComm(comm::kReceive);
}

void FakeSerialDevice::deliverLater(int ms, std::string bytes) {
    ++scheduled_;
    QTimer::singleShot(ms, Qt::PreciseTimer, &timerContext_, [this, bytes = std::move(bytes)] {
        --scheduled_;
        deliver(bytes);
    });
}

void FakeSerialDevice::raiseLater(int ms, std::int32_t code) {
    ++scheduled_;
    QTimer::singleShot(ms, Qt::PreciseTimer, &timerContext_, [this, code] {
        --scheduled_;
        raise(code);
    });
}

}  // namespace curvalon::test
