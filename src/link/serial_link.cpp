#include "link/serial_link.h"

#include <algorithm>
#include <string_view>

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

SerialLink::SerialLink(ScopeState& state, WindowOps& window, SerialDevice& device, LinkClock& clock)
    : s_(state), w_(window), device_(device), clock_(clock) {
    timer2_ = clock_.makeTimer(3000, [this] { w_.setStatusText(""); });
    timer3_ = clock_.makeTimer(2000, [this] {
        s_.rxDone = 1;
        s_.rxStatus = kStatusTimeout;
        clock_.wake();
    });
    timer4_ = clock_.makeTimer(0, [this] {
        s_.delayDone = 1;
        clock_.wake();
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
        w_.setStatusText(statusPrefix() + openFailureText(result));
        w_.beep();
        return;
    }
    portLost_ = false;
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

std::string SerialLink::statusPrefix() const {
    if (portName_ == firstSerialPort()) return kStatusPrefix;
    // A device under /dev by its name there ("ttyUSB0", "pts/3"), anything else by its file name.
    constexpr std::string_view dev = "/dev/";
    if (portName_.starts_with(dev)) return portName_.substr(dev.size()) + ": ";
    const std::size_t slash = portName_.find_last_of("/\\");
    return portName_.substr(slash == std::string::npos ? 0 : slash + 1) + ": ";
}

std::int32_t SerialLink::exchange(const std::string& command, int replyTimeoutMs) {
    armReplyTimer(replyTimeoutMs);
    s_.cmdText = command;
    sendCommand(s_.cmdText);
    waitReply();
    return s_.rxStatus;
}

std::int32_t SerialLink::breakExchange(int breakMs, int replyTimeoutMs) {
    armReplyTimer(replyTimeoutMs);
    if (!portLost_) {
        device_.setBreak(true);
        delay(breakMs);
        device_.setBreak(false);
    }
    waitReply();
    return s_.rxStatus;
}

void SerialLink::resetReply() {
    s_.rxText.clear();
    s_.rxCount = 0;
    s_.rxStatus = kStatusOk;
    s_.rxDone = 0;
    // Whatever arrived after the previous reply ended belongs to no reply; dropping it here
    // keeps it out of the one about to be asked for.
    if (portOpen()) device_.readAll();
}

void SerialLink::sendCommand(const std::string& text) {
    s_.lastCommand = text;
    const std::string line = text + '\r';
    w_.setText(Field::dispRxD_str, 0, "");
    clearRxBytes();
    resetReply();
    // A lost port takes no characters, so there is nothing to pace.
    for (char c : line) {
        if (portOpen()) device_.write(std::string_view(&c, 1));
        if (!portLost_) delay(kPacingMs);
    }
    w_.setVisible(Field::dispTxD_str, 0, true);
    w_.setVisible(Field::dispRxD_str, 0, true);
    w_.setText(Field::dispTxD_str, 0, line);
}

void SerialLink::waitReply() {
    if (portLost_ && s_.rxDone == 0) finishReply(kStatusLineError);
    clock_.waitUntil([this] { return s_.rxDone == 1; });
    timer3_->stop();
}

void SerialLink::delay(int milliseconds) {
    s_.delayDone = 0;
    timer4_->start(std::max(milliseconds, 0));
    clock_.waitUntil([this] { return s_.delayDone == 1; });
}

void SerialLink::clearRxBytes() {
    s_.rxBytes.fill(0);
}

void SerialLink::armReplyTimer(int milliseconds) {
    timer3_->start(std::max(milliseconds, 0));
}

bool SerialLink::replyTimerActive() const {
    return timer3_->isActive();
}

int SerialLink::replyTimerInterval() const {
    return timer3_->interval();
}

void SerialLink::armStatusClear(int milliseconds) {
    timer2_->start(std::max(milliseconds, 0));
}

int SerialLink::statusClearInterval() const {
    return timer2_->interval();
}

void SerialLink::cancelWait() {
    s_.rxDone = 1;
    s_.rxStatus = kStatusCancelled;
    clock_.wake();
}

bool SerialLink::busy() const {
    return clock_.waiting();
}

}  // namespace curvalon
