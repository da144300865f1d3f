#include "support/fake_serial_device.h"

#include "link/comm_events.h"

namespace curvalon::test {

OpenResult FakeSerialDevice::open(const std::string& port, const std::string& settings) {
    openedPort = port;
    openedSettings = settings;
    open_ = openResult == OpenResult::Ok;
    return openResult;
}

void FakeSerialDevice::write(std::string_view bytes) {
    for (char c : bytes) {
        written.push_back(c);
        writeTimesMs.push_back(clock_.nowMs());
        if (c != '\r') {
            partialLine_.push_back(c);
            continue;
        }
        lines.push_back(std::exchange(partialLine_, std::string()));
        if (responder) responder(*this, lines.back());
    }
}

void FakeSerialDevice::setBreak(bool on) {
    breaks.push_back({on, clock_.nowMs()});
    if (onBreak) onBreak(*this, on);
}

void FakeSerialDevice::deliver(std::string_view bytes) {
    if (!open_) return;
    waiting_.append(bytes);
    raiseComm(comm::kReceive);
}

void FakeSerialDevice::later(int ms, std::function<void()> action) {
    scheduled_.push_back(clock_.makeTimer(ms, std::move(action)));
    scheduled_.back()->start(ms);
}

void FakeSerialDevice::deliverLater(int ms, std::string bytes) {
    later(ms, [this, bytes = std::move(bytes)] { deliver(bytes); });
}

void FakeSerialDevice::raiseLater(int ms, std::int32_t code) {
    later(ms, [this, code] { raise(code); });
}

void FakeSerialDevice::vanish() {
    open_ = false;
    raise(comm::kPortLost);
}

}  // namespace curvalon::test
