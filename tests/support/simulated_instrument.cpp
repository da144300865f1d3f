#include "support/simulated_instrument.h"

#include <algorithm>

#include "support/fake_serial_device.h"

namespace curvalon::test {

namespace {

const std::array<std::string, 8> kSources = {"CH1",  "CH2",  "CH3",  "CH4",
                                             "REFA", "REFB", "REFC", "REFD"};

int indexOf(const std::string& name) {
    const auto it = std::find(kSources.begin(), kSources.end(), name);
    return it == kSources.end() ? -1 : int(it - kSources.begin());
}

}  // namespace

SimulatedInstrument::SimulatedInstrument() {
    // Every byte value occurs in every record, a carriage return among them, and no two
    // sources share a record.
    for (int s = 0; s < 8; ++s)
        for (int k = 0; k < kSamples; ++k)
            waveforms[s][k] = std::int8_t((k + 37 * s) % 256 - 128);
}

std::string SimulatedInstrument::answer(const std::string& line) {
    received.push_back(line);
    track(line);
    if (acquiring && freshAcquisitions) ++acquisition;
    return shape(line, replyBody(line));
}

std::string SimulatedInstrument::shape(const std::string& line, std::string body) const {
    auto fault = faults_.find(line);
    if (fault == faults_.end()) fault = faults_.find("");
    if (body.empty() || fault == faults_.end()) return body;
    if (fault->second == Fault::Silence) return {};
    body.back() = '\n';
    return body;
}

void SimulatedInstrument::track(const std::string& line) {
    if (line.starts_with("DAT:ENC ")) encoding = line.substr(8);
    if (line.starts_with("DAT:SOU ")) dataSource = line.substr(8);
    if (line.starts_with("ACQ:STATE ")) acquiring = line.ends_with(" RUN");
    if (!line.starts_with("SEL:")) return;
    // A reference memory that holds nothing cannot be displayed.
    const int r = indexOf(line.substr(4, line.find(' ') - 4)) - 4;
    if (r >= 0 && refStored[r]) refDisplayed[r] = line.ends_with(" ON");
}

std::string SimulatedInstrument::replyBody(const std::string& line) const {
    if (line == "SEL?") {
        std::string items;
        for (int ch = 0; ch < 4; ++ch)
            if (channels[ch].present)
                items += kSources[ch] + (channels[ch].displayed ? " 1;" : " 0;");
        items += "MATH 0";
        for (int r = 0; r < 4; ++r)
            if (refStored[r]) items += ";" + kSources[4 + r] + (refDisplayed[r] ? " 1" : " 0");
        return ":SELECT:" + items + "\r";
    }
    // The main time base comes first, the delayed one after it with the same keywords.
    if (line == "HOR?")
        return ":HORIZONTAL:VIEW MAIN;RECORDLENGTH 2500;MAIN:SCALE " + horScale + ";POSITION " +
               horPosition + ";:HORIZONTAL:DELAY:SCALE 5.0E-5;POSITION 0.0E0\r";
    // SOURCE occurs for the edge and for the video trigger.
    if (line == "TRIG?")
        return ":TRIGGER:MAIN:MODE AUTO;TYPE EDGE;LEVEL " + trigLevel +
               ";HOLDOFF:VALUE 5.0E-7;:TRIGGER:MAIN:EDGE:SOURCE " + edgeSource +
               ";COUPLING DC;SLOPE RISE;:TRIGGER:MAIN:VIDEO:SOURCE CH2;SYNC FIELD\r";
    if (line == "CURV?") return curveReply();
    if (line == "ACQ:STATE?") return std::string(":ACQUIRE:STATE ") + (acquiring ? "1" : "0") + "\r";
    const int ch = line.ends_with('?') ? indexOf(line.substr(0, line.size() - 1)) : -1;
    if (ch < 0 || ch > 3 || !channels[ch].present) return {};  // a command, or no such query
    const ChannelSetup& c = channels[ch];
    return ":" + kSources[ch] + ":PROBE " + c.probe + ";SCALE " + c.scale + ";POSITION " +
           c.position + ";COUPLING " + c.coupling + ";BANDWIDTH " + c.bandwidth + ";INVERT " +
           c.invert + "\r";
}

std::string SimulatedInstrument::curveReply() const {
    const int source = indexOf(dataSource);
    // Only what is on the instrument's screen can be transferred.
    const bool shown = source >= 4
                           ? refStored[source - 4] && refDisplayed[source - 4]
                           : source >= 0 && channels[source].present && channels[source].displayed;
    if (!shown) return {};
    std::string reply = ":CURVE #42500";
    for (std::int8_t v : waveforms[source])
        reply += char(v + acquisition + (encoding == "RIB" ? 0 : 128));
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
