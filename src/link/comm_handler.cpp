// The port's event handler: collecting reply bytes and deciding when a reply is finished, and
// turning line events and errors into status texts.
#include <string>

#include "link/comm_events.h"
#include "link/serial_link.h"

namespace curvalon {

namespace {

constexpr int kLineEventClearMs = 2000;
constexpr int kErrorClearMs = 3000;
constexpr const char* kCurveQuery = "CURV?";

}  // namespace

void SerialLink::onComm(std::int32_t code) {
    if (code == comm::kReceive) {
        receive();
        return;
    }
    reportEvent(code);
}

void SerialLink::receive() {
    // A finished reply takes nothing more: the bytes stay in the port until the next command
    // throws them away, so they can never be mistaken for part of its reply.
    if (s_.rxDone == 1) return;

    const std::string data = device_.readAll();
    for (char c : data) {
        // One large batch can outrun the buffer before the overflow test below sees it; what
        // does not fit is dropped, and the test then ends the reply as an overflow.
        if (s_.rxCount >= kRxBufferSize) break;
        s_.rxBytes[static_cast<std::size_t>(s_.rxCount)] = static_cast<std::uint8_t>(c);
        ++s_.rxCount;
        s_.rxText.push_back(c);
    }

    const std::size_t size = s_.rxText.size();
    const std::size_t tail = static_cast<std::size_t>(kEchoTail);
    w_.setText(Field::dispRxD_str, 0, s_.rxText.substr(size > tail ? size - tail : 0));

    if (s_.rxCount > kOverflowLimit) finishReply(kStatusOverflow);
    // Both tests run on purpose: a batch that overflows and also ends the reply keeps status 2.
    // A curve's data bytes may hold any value, carriage return included, so only its length
    // ends it; every other reply ends at a carriage return that is the last byte received.
    if (s_.lastCommand != kCurveQuery) {
        if (!s_.rxText.empty() && s_.rxText.back() == '\r') finishReply(s_.rxStatus);
    } else if (s_.rxCount >= kCurveReplyLength) {
        finishReply(s_.rxStatus);
    }
}

void SerialLink::finishReply(std::int32_t status) {
    timer3_->stop();
    s_.rxDone = 1;
    s_.rxStatus = status;
    clock_.wake();
}

void SerialLink::reportEvent(std::int32_t code) {
    const comm::EventText event = comm::describe(code);
    w_.setStatusText(statusPrefix() + std::string(event.message));
    if (event.lineEvent) {
        armStatusClear(kLineEventClearMs);
        return;
    }
    w_.beep();
    armStatusClear(kErrorClearMs);
    // A port that closed itself on this error has gone; later exchanges fail at once.
    const bool lostNow = !device_.isOpen() && !portLost_;
    if (!device_.isOpen()) portLost_ = true;
    // The reply timer keeps running; the wait that this ends stops it.
    s_.rxStatus = kStatusLineError;
    s_.rxDone = 1;
    clock_.wake();
    if (lostNow && onPortLost_) onPortLost_();
}

}  // namespace curvalon
