// The serial port as the link needs it. The real one wraps QSerialPort; the tests script a fake.
// Everything the port reports comes through one handler with a comm-event code: 2 when received
// bytes are waiting, the line-event and error codes of comm_events.h otherwise.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace curvalon {

enum class OpenResult { Ok, NotFound, Busy, NoPermission, BadSettings, Failed };

class SerialDevice {
  public:
    using CommHandler = std::function<void(std::int32_t code)>;

    virtual ~SerialDevice() = default;

    // settings is "baud,parity,data bits,stop bits", e.g. "19200,N,8,1".
    virtual OpenResult open(const std::string& port, const std::string& settings) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    // Queues bytes for transmission.
    virtual void write(std::string_view bytes) = 0;
    // Returns every waiting byte and removes it from the port's buffer.
    virtual std::string readAll() = 0;

    // Holds the transmit line in the break state while on.
    virtual void setBreak(bool on) = 0;
    // False when the driver refused; callers treat that as harmless.
    virtual bool setDtr(bool on) = 0;
    virtual bool setRts(bool on) = 0;

    void setCommHandler(CommHandler handler) { handler_ = std::move(handler); }

  protected:
    void raiseComm(std::int32_t code) {
        if (handler_) handler_(code);
    }

  private:
    CommHandler handler_;
};

}  // namespace curvalon
