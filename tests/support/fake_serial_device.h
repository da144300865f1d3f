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
#include <vector>

#include "link/serial_device.h"

namespace curvalon::test {

class FakeSerialDevice : public SerialDevice {
  public:
    using Responder = std::function<void(FakeSerialDevice&, const std::string& line)>;
    using BreakHandler = std::function<void(FakeSerialDevice&, bool on)>;

    FakeSerialDevice();

    OpenResult open(const std::string& port, const std::string& settings) override;
    void close() override;
    bool isOpen() const override { return open_; }
    // Every write is recorded, also on a closed port, so a write that should not happen shows.
    void write(std::string_view bytes) override;
    std::string readAll() override;
    std::int32_t bytesWaiting() const override;
    void setBreak(bool on) override;
    bool setDtr(bool on) override;
    bool setRts(bool on) override;

    // Queues bytes as one batch and reports them waiting (code 2).
    void deliver(std::string_view bytes);
    // The same from a single-shot timer, after ms milliseconds.
    void deliverLater(int ms, std::string bytes);
    // Reports a line event or error code.
    void raise(std::int32_t code);
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
    std::vector<std::int64_t> writeTimesNs;  // one per written byte
    std::vector<std::string> lines;          // complete lines written, without their CR
    struct BreakChange {
        bool on;
        std::int64_t atNs;
    };
    std::vector<BreakChange> breaks;
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
