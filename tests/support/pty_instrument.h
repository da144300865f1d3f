// The instrument's end of a pseudo-terminal pair: the tool opens the slave as its serial port,
// the test holds the master. Reads what the tool sends without ever blocking the thread the tool
// waits on, and hands each complete command line to onLine.
#pragma once

#include <QElapsedTimer>
#include <QSocketNotifier>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace curvalon::test {

class PtyInstrument {
  public:
    PtyInstrument();
    ~PtyInstrument() { hangUp(); }
    PtyInstrument(const PtyInstrument&) = delete;
    PtyInstrument& operator=(const PtyInstrument&) = delete;

    // Reads as bytes come, once the port is open: before that the master has nothing to read.
    void listen();
    // Takes whatever has reached this end so far, without waiting and without the event loop.
    void read();
    void send(const std::string& bytes);
    // The far end going away, as when the cable's other side or the adapter disappears.
    void hangUp();

    std::string slavePath;
    std::string received;
    std::vector<qint64> arrivalNs;  // one per received byte
    std::function<void(const std::string& line)> onLine;

  private:
    int fd_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
    std::string line_;
    QElapsedTimer clock_;
};

}  // namespace curvalon::test
