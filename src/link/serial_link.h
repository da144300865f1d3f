// The transport to the instrument: opens the first serial port, sends one paced command line at
// a time, collects the reply in the scope state's link members and lets the caller wait for it.
// All waiting runs a nested event loop, so timers, port events and keys keep being delivered.
#pragma once

#include <QTimer>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "link/serial_device.h"
#include "model/scope_state.h"
#include "shell/window_ops.h"

class QEventLoop;

namespace curvalon {

// The first serial port of this platform.
const char* firstSerialPort();

class SerialLink {
  public:
    static constexpr const char* kLineSettings = "19200,N,8,1";
    // Status texts name the port as the operator knows it, whatever device stands behind it.
    static constexpr const char* kStatusPrefix = "COM1: ";
    static constexpr int kPacingMs = 5;
    static constexpr int kOverflowLimit = 2597;
    static constexpr int kCurveReplyLength = 2514;
    static constexpr int kEchoTail = 15;

    SerialLink(ScopeState& state, WindowOps& window, SerialDevice& device);
    ~SerialLink();
    SerialLink(const SerialLink&) = delete;
    SerialLink& operator=(const SerialLink&) = delete;

    // Opens the port with the fixed line settings and raises DTR and RTS. A port that cannot be
    // opened is named in the status panel; the tool goes on without it. Without a name, the port
    // last named, at first the platform's first serial port.
    void openPort();
    // The same for a named port (a device path on Linux, "COMn" on Windows).
    void openPort(const std::string& port);
    void closePort();
    bool portOpen() const;

    // Sends text and a carriage return, one character every 5 ms, after dropping whatever the
    // instrument sent since the last reply. Neither arms the reply timer nor waits.
    void sendCommand(const std::string& text);
    // Returns once rxDone is 1, then stops the reply timer.
    void waitReply();
    // Returns after the delay timer has fired once with this interval.
    void delay(int milliseconds);
    void clearRxBytes();

    // Timer3, the reply timer: when it fires, rxDone = 1 and rxStatus = 1.
    void armReplyTimer(int milliseconds);
    bool replyTimerActive() const;
    // Timer2: empties the status panel once this interval has passed.
    void armStatusClear(int milliseconds);
    int statusClearInterval() const;
    bool statusClearActive() const;

    // The quit key while a reply is awaited: the wait ends at once with rxStatus 9.
    void cancelWait();
    // True while a reply wait or a delay is running.
    bool busy() const;

    // The port's event handler: received bytes (code 2), line events and errors.
    void onComm(std::int32_t code);

    SerialDevice& device() { return device_; }

  private:
    void receive();
    void reportEvent(std::int32_t code);
    void finishReply(std::int32_t status);
    void waitUntil(const std::function<bool()>& done);
    void wakeWaiters();

    ScopeState& s_;
    WindowOps& w_;
    SerialDevice& device_;
    std::string portName_ = firstSerialPort();
    QTimer timer2_;  // status clear
    QTimer timer3_;  // reply timer
    QTimer timer4_;  // delay
    struct Waiter {
        QEventLoop* loop;
        std::function<bool()> done;
    };
    std::vector<Waiter> waiters_;
};

}  // namespace curvalon
