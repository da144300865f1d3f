#include "protocol/acquisition_hold.h"

#include "protocol/error_report.h"

namespace curvalon {

std::optional<bool> acquisitionRunning(const std::string& reply) {
    // The value is the last word, before the terminator.
    const std::size_t end = reply.find_last_not_of("\r\n ");
    if (end == std::string::npos) return std::nullopt;
    const std::size_t start = reply.find_last_of(" :;", end);
    const std::string value = reply.substr(start == std::string::npos ? 0 : start + 1,
                                           end - (start == std::string::npos ? 0 : start + 1) + 1);
    for (const char* on : {"1", "ON", "RUN"})
        if (value == on) return true;
    for (const char* off : {"0", "OFF", "STOP"})
        if (value == off) return false;
    return std::nullopt;
}

AcquisitionHold::AcquisitionHold(ScopeState& state, WindowOps& window, SerialLink& link)
    : s_(state), w_(window), link_(link) {}

void AcquisitionHold::begin() {
    stopped_ = false;
    w_.setStatusText("reading... Acquisition_state from TDS2024");
    const std::int32_t status = link_.exchange("ACQ:STATE?", kReplyTimeoutMs);
    w_.setStatusText("Stat:");
    if (status != kStatusOk) {
        errorReport(s_, w_, "Packet receive Error(ACQ)");
        return;
    }
    w_.setVisible(Field::dispTxD_str, 0, false);
    w_.setVisible(Field::dispRxD_str, 0, false);
    if (acquisitionRunning(s_.rxText).value_or(false)) {
        s_.cmdText = "ACQ:STATE STOP";
        link_.sendCommand(s_.cmdText);
        stopped_ = true;
    }
}

void AcquisitionHold::end() {
    if (!stopped_) return;
    stopped_ = false;
    sendRun();
}

void AcquisitionHold::release() {
    if (stopped_) end();
}

void AcquisitionHold::settle() {
    if (owed_) sendRun();
}

// A lost port takes no characters: the RUN stays owed until the port is back.
void AcquisitionHold::sendRun() {
    owed_ = link_.portLost() || !link_.portOpen();
    if (owed_) return;
    s_.cmdText = "ACQ:STATE RUN";
    link_.sendCommand(s_.cmdText);
}

}  // namespace curvalon
