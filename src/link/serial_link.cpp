#include "link/serial_link.h"

#include <QEventLoop>
#include <algorithm>

namespace curvalon {

namespace {

const char* openFailureText(OpenResult r) {
    switch (r) {
        case OpenResult::NotFound:
            return "Port not found !";
        case OpenResult::Busy:
            return "Port busy !";
        case OpenResult::NoPermission:
            return "Permission denied !";
        case OpenResult::BadSettings:
            return "Port settings error !";
        case OpenResult::Ok:
        case OpenResult::Failed:
            break;
    }
    return "Port open error !";
}

}  // namespace

const char* firstSerialPort() {
#ifdef _WIN32
    return "COM1";
#else
    return "/dev/ttyS0";
#endif
}

SerialLink::SerialLink(ScopeState& state, WindowOps& window, SerialDevice& device)
    : s_(state), w_(window), device_(device) {
    timer2_.setInterval(3000);
    timer3_.setInterval(2000);
    // A coarse timer may fire up to 5 % early, which would cut the 5 ms character pacing short
    // and end reply waits before their time.
    timer3_.setTimerType(Qt::PreciseTimer);
    timer4_.setTimerType(Qt::PreciseTimer);

    QObject::connect(&timer2_, &QTimer::timeout, &timer2_, [this] {
        timer2_.stop();
        w_.setStatusText("");
    });
    QObject::connect(&timer3_, &QTimer::timeout, &timer3_, [this] {
        timer3_.stop();
        s_.rxDone = 1;
        s_.rxStatus = kStatusTimeout;
        wakeWaiters();
    });
    QObject::connect(&timer4_, &QTimer::timeout, &timer4_, [this] {
        timer4_.stop();
        s_.delayDone = 1;
        wakeWaiters();
    });
    device_.setCommHandler([this](std::int32_t code) { onComm(code); });
}

SerialLink::~SerialLink() {
    device_.setCommHandler({});
}

void SerialLink::openPort() {
    openPort(portName_);
}

void SerialLink::openPort(const std::string& port) {
    portName_ = port;
    const OpenResult result = device_.open(port, kLineSettings);
    if (result != OpenResult::Ok) {
        // Without a port the tool still runs: the instrument check then finds no answer.
        w_.setStatusText(std::string(kStatusPrefix) + openFailureText(result));
        w_.beep();
        return;
    }
    // Many adapters and every pseudo-terminal refuse the modem lines; the instrument does not
    // need them to talk, so a refusal is not an error.
    device_.setDtr(true);
    device_.setRts(true);
}

void SerialLink::closePort() {
    if (device_.isOpen()) device_.close();
}

bool SerialLink::portOpen() const {
    return device_.isOpen();
}

void SerialLink::sendCommand(const std::string& text) {
    s_.lastCommand = text;
    const std::string line = text + '\r';
    w_.setText(Field::dispRxD_str, 0, "");
    clearRxBytes();
    s_.rxText.clear();
    s_.rxCount = 0;
    s_.rxStatus = kStatusOk;
    s_.rxDone = 0;
    // Whatever arrived after the previous reply ended belongs to no reply; dropping it here
    // keeps it out of the one this command asks for.
    if (portOpen()) device_.readAll();
    for (char c : line) {
        if (portOpen()) device_.write(std::string_view(&c, 1));
        delay(kPacingMs);
    }
    w_.setVisible(Field::dispTxD_str, 0, true);
    w_.setVisible(Field::dispRxD_str, 0, true);
    w_.setText(Field::dispTxD_str, 0, line);
}

void SerialLink::waitReply() {
    waitUntil([this] { return s_.rxDone == 1; });
    timer3_.stop();
}

void SerialLink::delay(int milliseconds) {
    s_.delayDone = 0;
    timer4_.setInterval(std::max(milliseconds, 0));
    timer4_.start();
    waitUntil([this] { return s_.delayDone == 1; });
}

void SerialLink::clearRxBytes() {
    s_.rxBytes.fill(0);
}

void SerialLink::armReplyTimer(int milliseconds) {
    timer3_.setInterval(std::max(milliseconds, 0));
    timer3_.start();
}

bool SerialLink::replyTimerActive() const {
    return timer3_.isActive();
}

void SerialLink::armStatusClear(int milliseconds) {
    timer2_.setInterval(std::max(milliseconds, 0));
    timer2_.start();
}

int SerialLink::statusClearInterval() const {
    return timer2_.interval();
}

bool SerialLink::statusClearActive() const {
    return timer2_.isActive();
}

void SerialLink::cancelWait() {
    s_.rxDone = 1;
    s_.rxStatus = kStatusCancelled;
    wakeWaiters();
}

bool SerialLink::busy() const {
    return !waiters_.empty();
}

// A nested event loop per wait: the thread sleeps until a timer or the port has news, and each
// piece of news that can end a wait calls wakeWaiters. Waits nest when a key starts a command
// inside a running one; every loop then checks its own condition.
void SerialLink::waitUntil(const std::function<bool()>& done) {
    QEventLoop loop;
    waiters_.push_back({&loop, done});
    while (!done()) {
        // A negative result means the application is quitting: every loop must give way then,
        // even with its condition unmet.
        if (loop.exec() < 0) break;
    }
    std::erase_if(waiters_, [&loop](const Waiter& w) { return w.loop == &loop; });
}

void SerialLink::wakeWaiters() {
    for (const Waiter& w : waiters_) {
        if (w.done()) w.loop->quit();
    }
}

}  // namespace curvalon
