#include "protocol/settings_queries.h"

#include <cmath>
#include <limits>
#include <optional>

#include "model/array_fill.h"
#include "protocol/error_report.h"
#include "protocol/reply_scan.h"

namespace curvalon {

namespace {

constexpr std::int32_t kTriggerOffRecord = 9999;

// Whole numbers that the readout shows must never come from an undefined conversion: values
// beyond the 32-bit range stick at its ends.
std::int32_t saturate(double whole) {
    if (whole >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
    if (whole <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(whole);
}

std::int32_t roundHalfEven(double value) {
    if (auto l = toLong(value)) return *l;
    return saturate(value);
}

std::int32_t truncateTowardZero(double value) {
    return saturate(std::trunc(value));
}

// A keyword's value read as a number; empty when the keyword is missing or the number does not
// fit a double.
std::optional<double> numberItem(const std::string& reply, const char* keyword) {
    auto text = itemValue(reply, keyword);
    if (!text) return std::nullopt;
    return readNumber(*text);
}

std::int32_t rejectReply(ScopeState& s, WindowOps& window) {
    return dataError(s, window, replyHead(s.rxText));
}

}  // namespace

// The trigger point's sample within the record, or 9999 when the position puts it beyond the
// record's right half.
std::int32_t triggerPoint(double timeDiv, double horPosition) {
    if (timeDiv * 5 < horPosition) return kTriggerOffRecord;
    const double dt = timeDiv / kSamplesPerDiv;
    double offset = horPosition / dt;
    // Only a scale so small that its sample interval vanishes, with position 0, gets here: the
    // trigger then sits at the centre like any other zero position.
    if (std::isnan(offset)) offset = 0;
    return roundHalfEven(kRecordCentre - offset);
}

std::int32_t positionCounts(double positionDiv) {
    return truncateTowardZero(positionDiv * kCountsPerDiv);
}

std::int32_t parseSelect(ScopeState& s, WindowOps& window, ChannelSelection& channels,
                         ReferenceSelection& references) {
    const std::string& reply = s.rxText;
    bool namesAnySource = false;
    for (int i = 0; i <= kLastRef; ++i) {
        if (reply.find(s.srcName[i]) != std::string::npos) namesAnySource = true;
    }
    // An instrument with its headers switched off answers with bare values; reading that as
    // "nothing available" would grey out every control, so it is refused instead.
    if (!namesAnySource) return rejectReply(s, window);

    for (int i = 0; i <= kLastChannel; ++i) {
        const std::size_t p = reply.find(s.srcName[i]);
        if (p == std::string::npos) {
            channels.channelOff(i);
            channels.channelUnavailable(i);
            continue;
        }
        s.scopePresent = 1;
        if (charAt(reply, p + 4) == '1') {
            channels.channelOn(i);
        } else {
            channels.channelOff(i);
        }
    }
    for (int i = kFirstRef; i <= kLastRef; ++i) {
        const std::size_t p = reply.find(s.srcName[i]);
        if (p == std::string::npos) {
            s.refStored[i] = 0;
            s.chEnable[i] = 0;
            references.refUnavailable(i);
            continue;
        }
        s.refStored[i] = 1;
        s.chEnable[i] = charAt(reply, p + 5) == '1' ? 1 : 0;
    }
    return kStatusOk;
}

std::int32_t parseHorizontal(ScopeState& s, WindowOps& window) {
    const std::string& reply = s.rxText;
    auto scaleText = itemValue(reply, "SCALE");
    if (!scaleText) return rejectReply(s, window);
    auto scale = readNumber(*scaleText);
    if (!scale) return rejectReply(s, window);
    if (*scale == 0) {
        // Kept, so the readout shows the zero the instrument sent; the position and trigger
        // point cannot be worked out from it and stay as they were.
        s.timeDiv = *scale;
        return dataError(s, window, *scaleText);
    }
    auto position = numberItem(reply, "POSITION");
    if (!position) return rejectReply(s, window);

    s.timeDiv = *scale;
    s.horPosition = *position;
    s.trigPoint = triggerPoint(*scale, *position);
    return kStatusOk;
}

std::int32_t parseTrigger(ScopeState& s, WindowOps& window) {
    const std::string& reply = s.rxText;
    auto source = itemValue(reply, "EDGE:SOURCE");
    // The level runs to the end of the reply; the number stops at the ";" of the next item.
    auto levelText = tailValue(reply, "LEVEL");
    if (!source || !levelText) return rejectReply(s, window);
    auto level = readNumber(*levelText);
    if (!level) return rejectReply(s, window);

    s.trigSource = *source;
    s.trigLevel = *level;
    return kStatusOk;
}

std::int32_t parseChannel(ScopeState& s, WindowOps& window, std::int32_t i) {
    if (i < 0 || i > kLastChannel) return kStatusOk;
    const std::string& reply = s.rxText;
    // The reply must be about the channel asked for: ":CHn:..." with the name at 1..3.
    if (reply.size() < 4 || reply.compare(1, 3, s.srcName[i]) != 0) {
        return rejectReply(s, window);
    }
    auto probe = numberItem(reply, "PROBE");
    auto voltDiv = numberItem(reply, "SCALE");
    auto position = numberItem(reply, "POSITION");
    auto coupling = itemValue(reply, "COUPLING");
    auto bandwidth = itemValue(reply, "BANDWIDTH");
    if (!probe || !voltDiv || !position || !coupling || !bandwidth) {
        return rejectReply(s, window);
    }
    // Older firmware has no INVERT item: the channel is then not inverted.
    auto invert = itemValue(reply, "INVERT");

    s.chProbe[i] = roundHalfEven(*probe);
    s.chVoltDiv[i] = *voltDiv;
    s.chPosition[i] = positionCounts(*position);
    s.chPositionDiv[i] = *position;
    s.chCoupling[i] = *coupling;
    s.chBandwidth[i] = *bandwidth;
    s.chInvert[i] = invert ? *invert : "OFF";
    return kStatusOk;
}

SettingsQueries::SettingsQueries(ScopeState& state, WindowOps& window, SerialLink& link,
                                 ChannelSelection& channels, ReferenceSelection& references)
    : s_(state), w_(window), link_(link), channels_(channels), references_(references) {}

std::int32_t SettingsQueries::exchange(const std::string& readingText, const std::string& query,
                                       const std::function<void()>& onFailure,
                                       const std::function<std::int32_t()>& parse) {
    w_.setStatusText(readingText);
    std::int32_t status = link_.exchange(query, kReplyTimeoutMs);
    if (status != kStatusOk) {
        // The echo boxes stay up with the command and the tail of whatever came back.
        onFailure();
    } else {
        w_.setVisible(Field::dispTxD_str, 0, false);
        w_.setVisible(Field::dispRxD_str, 0, false);
        status = parse();
    }
    w_.setStatusText("Stat:");
    return status;
}

std::int32_t SettingsQueries::readSelect() {
    return exchange(
        "reading... Select-CH from TDS2024", "SEL?",
        [this] {
            // In demo mode no instrument is expected to answer, so silence is not news.
            if (s_.scopePresent != 1) return;
            s_.scopePresent = 0;
            errorReport(s_, w_, "Packet receive Error(SEL)");
        },
        [this] { return parseSelect(s_, w_, channels_, references_); });
}

std::int32_t SettingsQueries::readHorizontal() {
    return exchange(
        "reading... Time(Horizontal)_settings from TDS2024", "HOR?",
        [this] { errorReport(s_, w_, "Packet receive Error(HOR)"); },
        [this] { return parseHorizontal(s_, w_); });
}

std::int32_t SettingsQueries::readTrigger() {
    return exchange(
        "reading... Triger_settings from TDS2024", "TRIG?",
        [this] { errorReport(s_, w_, "Packet receive Error(TRIG)"); },
        [this] { return parseTrigger(s_, w_); });
}

std::int32_t SettingsQueries::readChannel(std::int32_t i) {
    if (s_.scopePresent != 1) {
        w_.messageBox(kAbsentText);
        return s_.rxStatus;
    }
    if (i < 0 || i > kLastChannel) return kStatusOk;
    const std::string& name = s_.srcName[i];
    return exchange(
        "reading... " + name + "_settings from TDS2024", name + "?",
        [this, i] { errorReport(s_, w_, "Packet receive Error(CH" + std::to_string(i) + ")"); },
        [this, i] { return parseChannel(s_, w_, i); });
}

}  // namespace curvalon
