#include "support/simulated_instrument.h"

#include <algorithm>

#include "support/fake_serial_device.h"

namespace curvalon::test {

namespace {

const std::array<std::string, 4> kChannelNames = {"CH1", "CH2", "CH3", "CH4"};
const std::array<std::string, 4> kRefNames = {"REFA", "REFB", "REFC", "REFD"};

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
    received.push_back(line);
    track(line);
    return shape(line, replyBody(line));
}

std::string SimulatedInstrument::onBreak() {
    return shape(kBreak, std::string("DCL\0\r", 5));
}

std::string SimulatedInstrument::shape(const std::string& line, std::string body) const {
    if (body.empty() || has(Fault::Silence, line)) return {};
    if (has(Fault::LineFeedTerminator, line)) body.back() = '\n';
    return body;
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
    // A reference memory that holds nothing cannot be displayed.
    if (int r = indexOf(kRefNames, sel.substr(0, sel.find(' '))); r >= 0 && refStored[r])
        refDisplayed[r] = on;
}

std::string SimulatedInstrument::replyBody(const std::string& line) {
    if (line == "SEL?") return selectReply();
    // The main time base comes first, the delayed one after it with the same keywords.
    if (line == "HOR?") {
        return ":HORIZONTAL:VIEW MAIN;RECORDLENGTH 2500;MAIN:SCALE " + horScale + ";POSITION " +
               horPosition + ";:HORIZONTAL:DELAY:SCALE 5.0E-5;POSITION 0.0E0\r";
    }
    // SOURCE occurs for the edge and for the video trigger.
    if (line == "TRIG?") {
        return ":TRIGGER:MAIN:MODE AUTO;TYPE EDGE;LEVEL " + trigLevel +
               ";HOLDOFF:VALUE 5.0E-7;:TRIGGER:MAIN:EDGE:SOURCE " + edgeSource +
               ";COUPLING DC;SLOPE RISE;:TRIGGER:MAIN:VIDEO:SOURCE CH2;SYNC FIELD\r";
    }
    if (line == "CURV?") return curveReply();
    if (line.size() == 4 && line.back() == '?') {
        const int ch = indexOf(kChannelNames, line.substr(0, 3));
        if (ch >= 0 && channels[ch].present) return channelReply(ch);
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

std::string SimulatedInstrument::channelReply(int ch) const {
    const ChannelSetup& c = channels[ch];
    return ":" + kChannelNames[ch] + ":PROBE " + c.probe + ";SCALE " + c.scale + ";POSITION " +
           c.position + ";COUPLING " + c.coupling + ";BANDWIDTH " + c.bandwidth + ";INVERT " +
           c.invert + "\r";
}

std::string SimulatedInstrument::curveReply() const {
    int source = indexOf(kChannelNames, dataSource);
    bool displayed = source >= 0 && channels[source].present && channels[source].displayed;
    if (int r = indexOf(kRefNames, dataSource); r >= 0) {
        source = 4 + r;
        displayed = refStored[r] && refDisplayed[r];
    }
    // Only what is on the instrument's screen can be transferred.
    if (!displayed) return {};
    std::string reply = ":CURVE #42500";
    for (int k = 0; k < kSamples; ++k)
        reply += static_cast<char>(waveforms[source][k] + (encoding == "RIB" ? 0 : 128));
    return reply + "\r";
}

void SimulatedInstrument::attach(FakeSerialDevice& device) {
    device.responder = [this](FakeSerialDevice& d, const std::string& line) {
        if (std::string reply = answer(line); !reply.empty()) d.deliverLater(2, std::move(reply));
    };
    // Answered once the line is released.
    device.onBreak = [this](FakeSerialDevice& d, bool on) {
        if (std::string reply = on ? "" : onBreak(); !reply.empty())
            d.deliverLater(2, std::move(reply));
    };
}

}  // namespace curvalon::test
