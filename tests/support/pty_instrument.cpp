#include "support/pty_instrument.h"

#include <utility>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>

namespace curvalon::test {

PtyInstrument::PtyInstrument() {
    fd_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (fd_ < 0 || ::grantpt(fd_) != 0 || ::unlockpt(fd_) != 0) return;
    ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) | O_NONBLOCK);
    slavePath = ::ptsname(fd_);
    clock_.start();
}

void PtyInstrument::listen() {
    notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(),
                     [this] { readAvailable(); });
}

void PtyInstrument::send(const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size() && fd_ >= 0) {
        const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
        if (n > 0)
            done += static_cast<std::size_t>(n);
        else if (errno != EAGAIN && errno != EINTR)
            return;
    }
}

std::string PtyInstrument::readNow() {
    char buf[512];
    const ssize_t n = ::read(fd_, buf, sizeof buf);
    return n > 0 ? std::string(buf, std::size_t(n)) : std::string();
}

void PtyInstrument::hangUp() {
    // Possibly from inside the notifier's own signal, as an answer to a line.
    if (notifier_) notifier_.release()->deleteLater();
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

void PtyInstrument::readAvailable() {
    char buf[512];
    while (fd_ >= 0) {
        const ssize_t n = ::read(fd_, buf, sizeof buf);
        if (n < 0 && errno == EAGAIN) return;
        if (n <= 0) {  // the port side closed
            notifier_->setEnabled(false);
            return;
        }
        for (ssize_t i = 0; i < n && fd_ >= 0; ++i)
            take(buf[i]);
    }
}

void PtyInstrument::take(char c) {
    received.push_back(c);
    arrivalNs.push_back(clock_.nsecsElapsed());
    if (c != '\r') {
        line_.push_back(c);
        return;
    }
    const std::string line = std::exchange(line_, std::string());
    if (onLine) onLine(line);
}

}  // namespace curvalon::test
