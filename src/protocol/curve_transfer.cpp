#include "protocol/curve_transfer.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "protocol/error_report.h"

namespace curvalon {

namespace {

constexpr std::string_view kCurveHeader = ":CURVE #42500";
constexpr std::size_t kHeaderLength = kCurveHeader.size();

bool isSource(std::int32_t i) {
    return i >= 0 && i <= kLastRef;
}
bool isReference(std::int32_t i) {
    return i >= kFirstRef && i <= kLastRef;
}

void hideEcho(WindowOps& window) {
    window.setVisible(Field::dispTxD_str, 0, false);
    window.setVisible(Field::dispRxD_str, 0, false);
}

}  // namespace

std::int32_t acceptCurve(ScopeState& s, WindowOps& window, std::int32_t i) {
    if (!isSource(i)) return kStatusOk;
    const std::string header = s.rxText.substr(0, kHeaderLength);
    // A reply that does not hold the whole record is refused like a wrong header, so that no
    // sample comes from an earlier reply left in the buffer.
    const bool complete = s.rxCount >= static_cast<std::int32_t>(kHeaderLength) + kSamples;
    if (header != kCurveHeader || !complete) {
        return dataError(s, window, "(CH" + std::to_string(i) + ")" + header);
    }
    auto& samples = s.curve[static_cast<std::size_t>(i)];
    for (std::size_t k = 0; k < kSamples; ++k) {
        // Two's complement, one byte per sample.
        samples[k] = static_cast<std::int8_t>(s.rxBytes[kHeaderLength + k]);
    }
    s.curveValid[static_cast<std::size_t>(i)] = 1;
    return kStatusOk;
}

CurveTransfer::CurveTransfer(ScopeState& state, WindowOps& window, SerialLink& link)
    : s_(state), w_(window), link_(link) {}

std::int32_t CurveTransfer::readCurve(std::int32_t i) {
    if (!isSource(i)) return kStatusOk;
    if (s_.scopePresent != 1) {
        w_.messageBox(kAbsentText);
        return kStatusRefused;
    }
    s_.curveValid[i] = 0;  // until the whole record has come
    w_.setStatusText("reading... " + s_.srcName[i] + "_Curve from TDS2024");
    setDataSource(i);
    // The instrument needs a moment to switch its data source before it is asked for the curve.
    link_.delay(kSourceSettleMs);
    std::int32_t status = link_.exchange("CURV?", kReplyTimeoutMs);
    if (status != kStatusOk) {
        errorReport(s_, w_, "Packet receive Error(CURV)");
    } else {
        hideEcho(w_);
        status = acceptCurve(s_, w_, i);
    }
    w_.setStatusText("Stat:");
    return status;
}

void CurveTransfer::setDataSource(std::int32_t i) {
    if (!isSource(i)) return;
    s_.cmdText = "DAT:SOU " + s_.srcName[i];
    link_.sendCommand(s_.cmdText);
}

void CurveTransfer::select(std::int32_t i, const char* state) {
    if (!isReference(i)) return;
    s_.cmdText = "SEL:" + s_.srcName[i] + state;
    link_.sendCommand(s_.cmdText);
}

void CurveTransfer::selectOn(std::int32_t i) {
    select(i, " ON");
}

void CurveTransfer::selectOff(std::int32_t i) {
    select(i, " OFF");
}

void CurveTransfer::hideReferences() {
    for (int i = kFirstRef; i <= kLastRef; ++i)
        selectOff(i);
}

void CurveTransfer::clearCurve(std::int32_t i) {
    if (!isSource(i)) return;
    auto& samples = s_.curve[static_cast<std::size_t>(i)];
    std::fill(samples.begin(), samples.begin() + kSamples, 0);
    s_.curveValid[static_cast<std::size_t>(i)] = 0;
}

std::int32_t CurveTransfer::readReferences() {
    if (s_.scopePresent != 1) {
        w_.messageBox(kAbsentText);
        return kStatusRefused;
    }
    if (s_.refView == 0) return kStatusOk;
    // The instrument sends only the curve of a displayed source: each reference is displayed
    // alone for its own transfer.
    hideReferences();
    std::int32_t status = kStatusOk;
    for (int i = kFirstRef; i <= kLastRef; ++i) {
        selectOn(i);
        // Taken from the transfer itself: the display command after it starts a new exchange
        // and clears the link's status.
        status = readCurve(i);
        selectOff(i);
    }
    for (int i = kFirstRef; i <= kLastRef; ++i) {
        if (s_.chEnable[i] != 0) selectOn(i);
    }
    hideEcho(w_);
    return status;
}

}  // namespace curvalon
