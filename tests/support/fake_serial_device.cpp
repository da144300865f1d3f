#include "support/fake_serial_device.h"

namespace curvalon::test {

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

void FakeSerialDevice::deliverLater(int ms, std::string bytes) {
    scheduled_.push_back(
        clock_.makeTimer(ms, [this, bytes = std::move(bytes)] { deliver(bytes); }));
    scheduled_.back()->start(ms);
}

}  // namespace curvalon::test
