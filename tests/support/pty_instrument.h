// The instrument's end of a pseudo-terminal pair: the tool opens the slave as its serial port,
// the test holds the master. Reads what the tool sends, as it comes, without ever blocking the
// thread the tool waits on, and hands each complete command line to onLine.
#pragma once

#include <QElapsedTimer>
#include <QSocketNotifier>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>

namespace curvalon::test {

class PtyInstrument {
  public:
    PtyInstrument();
    ~PtyInstrument() { hangUp(); }
    PtyInstrument(const PtyInstrument&) = delete;
    PtyInstrument& operator=(const PtyInstrument&) = delete;

    // Takes whatever has reached this end so far, without waiting and without the event loop.
    void read();
    void send(const std::string& bytes);
    // A pseudo-terminal carries no line break, so the answer to one is sent every 20 ms instead,
    // until the tool sends its first command.
    void answerBreaks(const std::string& bytes);
    // As the instrument answers: after a pause of its own (0: none), then at the line's 1920
    // bytes a second, so that the reply arrives while the tool already waits for it.
    void answerLater(std::string bytes, int pauseMs = 30);
    // The far end going away, as when the cable's other side or the adapter disappears.
    void hangUp();

    std::string slavePath;
    std::string received;
    std::function<void(const std::string& line)> onLine;

  private:
    int fd_ = -1;
    int slaveFd_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
    std::string line_;
    QTimer pacer_;
    QTimer breakAnswer_;
    std::string outgoing_;
    QElapsedTimer lineStart_;  // when the answer being sent was given
    qint64 pauseNs_ = 0;       // and the pause before its first byte
    std::size_t paced_ = 0;    // its bytes sent so far
};

}  // namespace curvalon::test
