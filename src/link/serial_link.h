// The transport to the instrument: opens the first serial port, sends one paced command line at
// a time, collects the reply in the scope state's link members and lets the caller wait for it.
// Waiting keeps timers, port events and keys flowing (see link_clock.h).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "link/link_clock.h"
#include "link/serial_device.h"
#include "model/scope_state.h"
#include "model/window_ops.h"

namespace curvalon {

// The first serial port of this platform.
const char* firstSerialPort();

class SerialLink {
  public:
    static constexpr const char* kLineSettings = "19200,N,8,1";
    // Status texts name the first port as the operator knows it, whatever device stands behind
    // it; any other port by its own name.
    static constexpr const char* kStatusPrefix = "COM1: ";
    static constexpr int kPacingMs = 5;
    static constexpr int kOverflowLimit = 2597;
    static constexpr int kCurveReplyLength = 2514;
    static constexpr int kEchoTail = 15;

    SerialLink(ScopeState& state, WindowOps& window, SerialDevice& device, LinkClock& clock);
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
    // The port last named, open or not.
    const std::string& portName() const { return portName_; }
    // "COM1: " for the first port, "ttyUSB0: " for /dev/ttyUSB0.
    std::string statusPrefix() const;
    // Told once each time the open port is reported gone.
    void setOnPortLost(std::function<void()> onLost) { onPortLost_ = std::move(onLost); }
    // True from the moment the open port is reported gone until it is opened again. Exchanges
    // then end at once with a line error instead of waiting out their reply timer.
    bool portLost() const { return portLost_; }

    // One exchange with a reply, in the order the instrument expects: reply timer armed first,
    // the command put in cmdText and sent, the reply awaited. Returns rxStatus.
    std::int32_t exchange(const std::string& command, int replyTimeoutMs);
    // The presence check's exchange: instead of a command line the line is held in the break
    // state for breakMs. Returns rxStatus.
    std::int32_t breakExchange(int breakMs, int replyTimeoutMs);
    // Forgets the last reply and drops whatever arrived after it ended, so that nothing of it is
    // taken for the next one.
    void resetReply();

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
    int replyTimerInterval() const;
    // Timer2: empties the status panel once this interval has passed.
    void armStatusClear(int milliseconds);
    int statusClearInterval() const;

    // The quit key while a reply is awaited: the wait ends at once with rxStatus 9.
    void cancelWait();
    // True while a reply wait or a delay is running.
    bool busy() const;

    // The port's event handler: received bytes (code 2), line events and errors.
    void onComm(std::int32_t code);

  private:
    void receive();
    void reportEvent(std::int32_t code);
    void finishReply(std::int32_t status);

    ScopeState& s_;
    WindowOps& w_;
    SerialDevice& device_;
    LinkClock& clock_;
    std::string portName_ = firstSerialPort();
    bool portLost_ = false;
    std::function<void()> onPortLost_;
    std::unique_ptr<LinkTimer> timer2_;  // status clear
    std::unique_ptr<LinkTimer> timer3_;  // reply timer
    std::unique_ptr<LinkTimer> timer4_;  // delay
};

}  // namespace curvalon
