#include "support/simulated_instrument.h"

#include <algorithm>

#include "link/comm_events.h"
#include "support/fake_serial_device.h"

namespace curvalon::test {

namespace {

const std::array<std::string, 4> kChannelNames = {"CH1", "CH2", "CH3", "CH4"};
const std::array<std::string, 4> kRefNames = {"REFA", "REFB", "REFC", "REFD"};

// 10 bits per byte on the line (start, 8 data, stop).
constexpr double kMsPerByteAt19200 = 10.0 * 1000.0 / 19200.0;
constexpr std::size_t kOversizedLength = 3000;

int indexOf(const std::array<std::string, 4>& names, const std::string& name) {
    auto it = std::find(names.begin(), names.end(), name);
    return it == names.end() ? -1 : static_cast<int>(it - names.begin());
}

}  // namespace

SimulatedInstrument::SimulatedInstrument() {
    // Every byte value occurs in every record, a carriage return among them, and no two
    // sources share a record.
    for (int s = 0; s < 8; ++s) {
        for (int k = 0; k < kSamples; ++k)
            waveforms[s][k] = static_cast<std::int8_t>((k + 37 * s) % 256 - 128);
    }
}

bool SimulatedInstrument::has(Fault fault, const std::string& line) const {
    return faults_.count({"", fault}) || faults_.count({line, fault});
}

std::string SimulatedInstrument::answer(const std::string& line) {
    Reply reply = respond(line);
    return reply.bytes + reply.trailing;
}

std::string SimulatedInstrument::onBreak() {
    Reply reply = wake();
    return reply.bytes + reply.trailing;
}

SimulatedInstrument::Reply SimulatedInstrument::wake() {
    ++breaks;
    return shape(kBreak, std::string("DCL\0\r", 5));
}

SimulatedInstrument::Reply SimulatedInstrument::respond(const std::string& line) {
    received.push_back(line);
    track(line);
    auto it = replies_.find(line);
    if (it != replies_.end()) return {it->second, {}, has(Fault::LineError, line)};
    return shape(line, replyBody(line));
}

SimulatedInstrument::Reply SimulatedInstrument::shape(const std::string& line, std::string body) {
    if (body.empty() || has(Fault::Silence, line)) return {};
    if (has(Fault::OversizedReply, line)) {
        const char terminator = body.back();
        body.pop_back();
        while (body.size() < kOversizedLength)
            body += ";FILLER 0";
        body += terminator;
    }
    if (has(Fault::LineFeedTerminator, line)) body.back() = '\n';
    Reply reply{std::move(body), {}, has(Fault::LineError, line)};
    if (has(Fault::TrailingBytes, line)) reply.trailing = "STRAY\r";
    return reply;
}

void SimulatedInstrument::track(const std::string& line) {
    auto argument = [&](const std::string& prefix) -> std::string {
        return line.rfind(prefix, 0) == 0 ? line.substr(prefix.size()) : std::string();
    };
    if (auto enc = argument("DAT:ENC "); !enc.empty()) encoding = enc;
    if (auto src = argument("DAT:SOU "); !src.empty()) dataSource = src;
    const std::string sel = argument("SEL:");
    const bool on = sel.ends_with(" ON");
    if (!on && !sel.ends_with(" OFF")) return;
    const std::string name = sel.substr(0, sel.find(' '));
    // A reference memory that holds nothing cannot be displayed.
    if (int r = indexOf(kRefNames, name); r >= 0 && refStored[r]) refDisplayed[r] = on;
    if (int ch = indexOf(kChannelNames, name); ch >= 0) channels[ch].displayed = on;
}

std::string SimulatedInstrument::replyBody(const std::string& line) {
    if (line == "SEL?") return selectReply();
    // The main time base comes first, the delayed one after it with the same keywords.
    if (line == "HOR?") {
        return ":HORIZONTAL:VIEW MAIN;RECORDLENGTH 2500;MAIN:SCALE " + horScale + ";POSITION " +
               horPosition + ";:HORIZONTAL:DELAY:SCALE " + delayScale + ";POSITION " +
               delayPosition + "\r";
    }
    // SOURCE occurs for the edge, the video and the pulse trigger.
    if (line == "TRIG?") {
        return ":TRIGGER:MAIN:MODE AUTO;TYPE EDGE;LEVEL " + trigLevel +
               ";HOLDOFF:VALUE 5.0E-7;:TRIGGER:MAIN:EDGE:SOURCE " + edgeSource +
               ";COUPLING DC;SLOPE RISE;:TRIGGER:MAIN:VIDEO:SOURCE " + videoSource +
               ";SYNC FIELD;POLARITY NORMAL;:TRIGGER:MAIN:PULSE:SOURCE " + pulseSource +
               ";WIDTH:POLARITY POSITIVE;WHEN EQUAL;WIDTH 1.0E-3\r";
    }
    if (line == "CURV?") return curveReply(has(Fault::ShortRecord, line));
    if (line.size() == 4 && line.back() == '?') {
        const int ch = indexOf(kChannelNames, line.substr(0, 3));
        if (ch >= 0 && channels[ch].present)
            return channelReply(ch, has(Fault::WrongChannelHeader, line));
    }
    return {};  // a command, or a query this instrument does not know: no reply
}

std::string SimulatedInstrument::selectReply() const {
    std::string items;
    for (int ch = 0; ch < 4; ++ch) {
        if (channels[ch].present)
            items += kChannelNames[ch] + (channels[ch].displayed ? " 1;" : " 0;");
    }
    items += "MATH 0";
    for (int r = 0; r < 4; ++r) {
        if (refStored[r]) items += ";" + kRefNames[r] + (refDisplayed[r] ? " 1" : " 0");
    }
    return ":SELECT:" + items + "\r";
}

std::string SimulatedInstrument::channelReply(int ch, bool wrongHeader) const {
    const ChannelSetup& c = channels[ch];
    const bool probeLast = c.layout == ChannelLayout::ProbeLast;
    std::string items = probeLast ? "" : "PROBE " + c.probe + ";";
    items += "SCALE " + c.scale + ";POSITION " + c.position + ";COUPLING " + c.coupling +
             ";BANDWIDTH " + c.bandwidth;
    if (probeLast) items += ";PROBE " + c.probe;
    if (c.layout == ChannelLayout::Standard || c.layout == ChannelLayout::UnitAfterInvert)
        items += ";INVERT " + c.invert;
    if (c.layout == ChannelLayout::UnitAfterInvert) items += ";YUNIT \"V\"";
    // The wrong header names CH2 in place of CH1, and CH1 in place of any other.
    return ":" + kChannelNames[wrongHeader ? (ch == 0 ? 1 : 0) : ch] + ":" + items + "\r";
}

std::string SimulatedInstrument::curveReply(bool shortRecord) const {
    int source = indexOf(kChannelNames, dataSource);
    bool displayed = source >= 0 && channels[source].present && channels[source].displayed;
    if (int r = indexOf(kRefNames, dataSource); r >= 0) {
        source = 4 + r;
        displayed = refStored[r] && refDisplayed[r];
    }
    // Only what is on the instrument's screen can be transferred.
    if (!displayed) return {};

    const int points = shortRecord ? 1000 : kSamples;
    std::string reply = ":CURVE #4" + std::to_string(points);
    for (int k = 0; k < points; ++k)
        reply += static_cast<char>(waveforms[source][k] + (encoding == "RIB" ? 0 : 128));
    return reply + "\r";
}

void SimulatedInstrument::attach(FakeSerialDevice& device) {
    device.responder = [this](FakeSerialDevice& d, const std::string& line) {
        send(d, respond(line));
    };
    // Answered once the line is released.
    device.onBreak = [this](FakeSerialDevice& d, bool on) {
        if (!on) send(d, wake());
    };
}

void SimulatedInstrument::send(FakeSerialDevice& device, const Reply& reply) const {
    const std::size_t size = reply.bytes.size();
    auto arrival = [this](std::size_t bytesSent) {
        return latencyMs + static_cast<int>(paced ? bytesSent * kMsPerByteAt19200 + 0.999 : 0);
    };
    // A line error falls halfway through the reply; no batch spans it.
    const std::size_t errorAt = reply.lineError ? std::max<std::size_t>(size / 2, 1) : size;
    const std::size_t step = paced ? std::max<std::size_t>(batchBytes, 1) : size;
    int lastMs = latencyMs;
    for (std::size_t at = 0, stop; at < size; at = stop) {
        stop = std::min({size, at + step, at < errorAt ? errorAt : size});
        lastMs = std::max(lastMs, arrival(stop));
        device.deliverLater(lastMs, reply.bytes.substr(at, stop - at));
        if (reply.lineError && stop == errorAt) device.raiseLater(++lastMs, comm::kFrame);
    }
    if (!reply.trailing.empty()) device.deliverLater(lastMs + 5, reply.trailing);
}

}  // namespace curvalon::test
