// The serial device on a real port, through QSerialPort. It also watches the modem lines, and on
// Linux the driver's error counters, which QSerialPort does not report as events, and turns their
// changes into line-event and error codes.
#pragma once

#include <QSerialPort>
#include <QTimer>
#include <array>
#include <optional>

#include "link/serial_device.h"

namespace curvalon {

class QtSerialDevice : public SerialDevice {
  public:
    QtSerialDevice();
    ~QtSerialDevice() override;
    QtSerialDevice(const QtSerialDevice&) = delete;
    QtSerialDevice& operator=(const QtSerialDevice&) = delete;

    OpenResult open(const std::string& port, const std::string& settings) override;
    void close() override;
    bool isOpen() const override;
    void write(std::string_view bytes) override;
    std::string readAll() override;
    void setBreak(bool on) override;
    bool setDtr(bool on) override;
    bool setRts(bool on) override;

    // How often the modem lines and error counters are read while the port is open.
    static constexpr int kPollIntervalMs = 20;

  protected:
    // What the driver does and tells beyond QSerialPort: it sets the DTR or RTS line (false when
    // it refuses); it reads the modem lines (QSerialPort::PinoutSignals) and the error counters
    // (frame, overrun, parity, break, buffer overrun), each empty when it refuses; and it knows
    // whether the device itself has gone. A test plays a real port's driver through these on a
    // pseudo-terminal, which has neither lines nor counters.
    virtual bool driveLine(QSerialPort::PinoutSignal line, bool on);
    virtual std::optional<int> modemLines();
    virtual std::optional<std::array<int, 5>> errorCounters();
    virtual bool deviceGone() const;

  private:
    void onError(QSerialPort::SerialPortError error);
    void portLost();
    void startPolling();
    void poll();
    bool pollModemLines();
    bool pollErrorCounters();

    QSerialPort port_;
    QTimer poll_;
    bool lost_ = false;
    bool watchModemLines_ = false;
    bool watchErrorCounters_ = false;
    int modemLines_ = 0;
    std::array<int, 5> errorCounts_{};
};

// Splits "baud,parity,data bits,stop bits" (e.g. "19200,N,8,1"); false when any part is not a
// setting a serial port has.
struct LineSettings {
    qint32 baudRate = 0;
    QSerialPort::Parity parity = QSerialPort::NoParity;
    QSerialPort::DataBits dataBits = QSerialPort::Data8;
    QSerialPort::StopBits stopBits = QSerialPort::OneStop;
};
bool parseLineSettings(const std::string& text, LineSettings& out);

}  // namespace curvalon
