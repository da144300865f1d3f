#include "support/pty_instrument.h"

#include <algorithm>
#include <utility>

#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

namespace curvalon::test {

PtyInstrument::PtyInstrument() {
    fd_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (fd_ < 0 || ::grantpt(fd_) != 0 || ::unlockpt(fd_) != 0) return;
    ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) | O_NONBLOCK);
    slavePath = ::ptsname(fd_);
    // Held open here too, so that this end can listen before the tool opens its port and while
    // the tool has it closed: a master without any slave open reads only errors.
    slaveFd_ = ::open(slavePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    termios raw{};  // no echo of what this end sends before the tool sets the line up
    ::tcgetattr(slaveFd_, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(slaveFd_, TCSANOW, &raw);
    // 1920 bytes a second is the line's pace at 19200 baud with a start and a stop bit: each tick
    // sends what the line has carried in full since the pause ended, by the clock, so that late
    // ticks do not slow the line down.
    pacer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&pacer_, &QTimer::timeout, &pacer_, [this] {
        const qint64 onLine = std::max<qint64>(0, lineStart_.nsecsElapsed() - pauseNs_);
        const auto due = static_cast<std::size_t>(onLine * 1920 / 1'000'000'000) - paced_;
        send(outgoing_.substr(0, due));
        outgoing_.erase(0, due);
        paced_ += due;
        if (outgoing_.empty()) pacer_.stop();
    });
    notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(),
                     [this] { read(); });
}

void PtyInstrument::answerLater(std::string bytes, int pauseMs) {
    outgoing_ = std::move(bytes);
    paced_ = 0;
    pauseNs_ = qint64(pauseMs) * 1'000'000;
    lineStart_.start();
    pacer_.start(1);
}

void PtyInstrument::answerBreaks(const std::string& bytes) {
    QObject::connect(&breakAnswer_, &QTimer::timeout, &breakAnswer_,
                     [this, bytes] { send(bytes); });
    breakAnswer_.start(20);
}

void PtyInstrument::send(const std::string& bytes) {
    for (std::size_t done = 0; done < bytes.size() && fd_ >= 0;) {
        const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
        if (n > 0)
            done += static_cast<std::size_t>(n);
        else if (errno != EAGAIN && errno != EINTR)
            return;
    }
}

void PtyInstrument::hangUp() {
    // Possibly from inside the notifier's own signal, as an answer to a line.
    if (notifier_) notifier_.release()->deleteLater();
    for (int* fd : {&slaveFd_, &fd_}) {
        if (*fd >= 0) ::close(*fd);
        *fd = -1;
    }
}

void PtyInstrument::read() {
    char buf[512];
    while (fd_ >= 0) {
        const ssize_t n = ::read(fd_, buf, sizeof buf);
        if (n <= 0) {
            // Nothing more for now, or the port side closed: then nothing more will come.
            if ((n == 0 || errno != EAGAIN) && notifier_) notifier_->setEnabled(false);
            return;
        }
        for (ssize_t i = 0; i < n && fd_ >= 0; ++i) {  // an answer to a line may hang up
            received.push_back(buf[i]);
            breakAnswer_.stop();
            if (buf[i] != '\r')
                line_.push_back(buf[i]);
            else if (onLine)
                onLine(std::exchange(line_, std::string()));
        }
    }
}

}  // namespace curvalon::test
