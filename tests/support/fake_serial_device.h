// A serial port under the tests' control, on the link's clock. It records what the link writes and
// when, and hands the link whatever the test delivers, at once or later on the clock so that it
// arrives inside a running wait. A responder sees every complete command line, so a simulated
// instrument can answer from it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "link/comm_events.h"
#include "link/link_clock.h"
#include "link/serial_device.h"

namespace curvalon::test {

class FakeSerialDevice : public SerialDevice {
  public:
    explicit FakeSerialDevice(LinkClock& clock) : clock_(clock) {}

    OpenResult open(const std::string& port, const std::string& settings) override {
        openedPort = port + ' ' + settings;
        open_ = openResult == OpenResult::Ok;
        return openResult;
    }
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    // Every write is recorded, also on a closed port, so a write that should not happen shows.
    void write(std::string_view bytes) override;
    std::string readAll() override { return std::exchange(waiting_, std::string()); }
    void setBreak(bool on) override {
        ++breaks;
        if (onBreak) onBreak(*this, on);
    }
    bool setDtr(bool on) override { return dtr = on, true; }
    bool setRts(bool on) override { return rts = on, true; }

    // Queues bytes as one batch and reports them waiting; a closed port gets nothing.
    void deliver(std::string_view bytes) {
        if (open_) waiting_.append(bytes), raise(comm::kReceive);
    }
    void deliverLater(int ms, std::string bytes);
    // Reports a line event or error code.
    void raise(std::int32_t code) { raiseComm(code); }
    // The adapter pulled out: the port closes and reports an error of no known kind.
    void vanish() { open_ = false, raise(comm::kPortLost); }

    // Script.
    OpenResult openResult = OpenResult::Ok;
    std::function<void(FakeSerialDevice&, const std::string& line)> responder;
    std::function<void(FakeSerialDevice&, bool on)> onBreak;

    // Record.
    std::string openedPort;  // the port's name, then its settings
    std::string written;
    std::vector<std::int64_t> writeTimesMs;  // one per written byte, on the clock
    std::vector<std::string> lines;          // complete lines written, without their CR
    int breaks = 0;                          // break states set, on and off
    bool dtr = false, rts = false;

  private:
    LinkClock& clock_;
    std::vector<std::unique_ptr<LinkTimer>> scheduled_;
    std::string waiting_;
    std::string partialLine_;
    bool open_ = false;
};

}  // namespace curvalon::test
