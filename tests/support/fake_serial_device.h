// A serial port under the tests' control. It records what the link writes, with the time of every
// byte, and hands the link whatever the test delivers, at once or after a pause so that it
// arrives inside a running wait. A responder sees every complete command line, so a simulated
// instrument can answer from it.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "link/serial_device.h"

namespace curvalon::test {

class FakeSerialDevice : public SerialDevice {
  public:
    using Responder = std::function<void(FakeSerialDevice&, const std::string& line)>;
    using BreakHandler = std::function<void(FakeSerialDevice&, bool on)>;

    FakeSerialDevice() { clock_.start(); }

    OpenResult open(const std::string& port, const std::string& settings) override;
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    // Every write is recorded, also on a closed port, so a write that should not happen shows.
    void write(std::string_view bytes) override;
    std::string readAll() override { return std::exchange(waiting_, std::string()); }
    std::int32_t bytesWaiting() const override { return std::int32_t(waiting_.size()); }
    void setBreak(bool on) override;
    // A refused modem line keeps its state.
    bool setDtr(bool on) override { return !refuseModemLines && (dtr = on, true); }
    bool setRts(bool on) override { return !refuseModemLines && (rts = on, true); }

    // Queues bytes as one batch and reports them waiting (code 2).
    void deliver(std::string_view bytes);
    // The same from a single-shot timer, after ms milliseconds.
    void deliverLater(int ms, std::string bytes);
    // Reports a line event or error code.
    void raise(std::int32_t code) { raiseComm(code); }
    void raiseLater(int ms, std::int32_t code);
    // Deliveries and raises still waiting for their timer.
    int scheduled() const { return scheduled_; }

    // Nanoseconds since the device was made; the clock of every recorded time.
    std::int64_t nowNs() const { return clock_.nsecsElapsed(); }

    // Script.
    OpenResult openResult = OpenResult::Ok;
    bool refuseModemLines = false;
    Responder responder;
    BreakHandler onBreak;

    // Record.
    int opens = 0;
    std::string openedPort;
    std::string openedSettings;
    std::string written;
    std::vector<std::int64_t> writeTimesNs;             // one per written byte
    std::vector<std::string> lines;                     // complete lines written, without their CR
    std::vector<std::pair<bool, std::int64_t>> breaks;  // on or off, and when (ns)
    bool dtr = false;
    bool rts = false;

  private:
    QElapsedTimer clock_;
    QObject timerContext_;  // pending timers die with the device
    std::string waiting_;
    std::string partialLine_;
    bool open_ = false;
    int scheduled_ = 0;
};

}  // namespace curvalon::test
