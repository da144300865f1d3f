#include "support/simulated_instrument.h"

#include <algorithm>
#include <cctype>

#include "link/comm_events.h"
#include "support/fake_serial_device.h"

namespace curvalon::test {

namespace {

const std::array<std::string, 4> kChannelNames = {"CH1", "CH2", "CH3", "CH4"};
const std::array<std::string, 4> kRefNames = {"REFA", "REFB", "REFC", "REFD"};

// 10 bits per byte on the line (start, 8 data, stop).
constexpr double kMsPerByteAt19200 = 10.0 * 1000.0 / 19200.0;
constexpr std::size_t kOversizedLength = 3000;

std::string upper(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::string joined(const std::vector<std::string>& items) {
    std::string out;
    for (const std::string& item : items)
        out += (out.empty() ? "" : ";") + item;
    return out;
}

int indexOf(const std::array<std::string, 4>& names, const std::string& name) {
    auto it = std::find(names.begin(), names.end(), name);
    return it == names.end() ? -1 : static_cast<int>(it - names.begin());
}

}  // namespace

SimulatedInstrument::SimulatedInstrument() {
    // Every byte value occurs in every record, a carriage return among them, and no two
    // sources share a record.
    for (std::size_t s = 0; s < waveforms.size(); ++s) {
        for (int k = 0; k < kSamples; ++k) {
            waveforms[s][static_cast<std::size_t>(k)] =
                static_cast<std::int8_t>((k + 37 * static_cast<int>(s)) % 256 - 128);
        }
    }
}

void SimulatedInstrument::setFault(Fault fault, const std::string& line) {
    faults_[line].push_back(fault);
}

bool SimulatedInstrument::has(Fault fault, const std::string& line) const {
    for (const std::string& key : {std::string(), line}) {
        auto it = faults_.find(key);
        if (it == faults_.end()) continue;
        if (std::find(it->second.begin(), it->second.end(), fault) != it->second.end()) return true;
    }
    return false;
}

std::string SimulatedInstrument::answer(const std::string& line) {
    Reply reply = respond(line);
    return reply.bytes + reply.trailing;
}

std::string SimulatedInstrument::onBreak() {
    ++breaks;
    Reply reply = shape(kBreak, std::string("DCL\0\r", 5));
    return reply.bytes + reply.trailing;
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
            body += headers ? ";FILLER 0" : ";0";
        body += terminator;
    }
    if (has(Fault::LineFeedTerminator, line)) body.back() = '\n';
    Reply reply{std::move(body), {}, has(Fault::LineError, line)};
    if (has(Fault::TrailingBytes, line)) reply.trailing = "STRAY\r";
    return reply;
}

void SimulatedInstrument::track(const std::string& line) {
    const std::string command = upper(line);
    auto argument = [&](const std::string& prefix) -> std::string {
        return command.rfind(prefix, 0) == 0 ? command.substr(prefix.size()) : std::string();
    };
    if (auto enc = argument("DAT:ENC "); !enc.empty()) encoding = enc;
    if (auto src = argument("DAT:SOU "); !src.empty()) dataSource = src;
    if (auto sel = argument("SEL:"); !sel.empty()) {
        const std::size_t blank = sel.find(' ');
        if (blank == std::string::npos) return;
        const std::string name = sel.substr(0, blank);
        const std::string state = sel.substr(blank + 1);
        if (state != "ON" && state != "OFF") return;
        const bool on = state == "ON";
        if (int r = indexOf(kRefNames, name); r >= 0) {
            // A reference memory that holds nothing cannot be displayed.
            if (refStored[static_cast<std::size_t>(r)])
                refDisplayed[static_cast<std::size_t>(r)] = on;
        } else if (int ch = indexOf(kChannelNames, name); ch >= 0) {
            channels[static_cast<std::size_t>(ch)].displayed = on;
        }
    }
}

std::string SimulatedInstrument::replyBody(const std::string& line) {
    const std::string query = upper(line);
    if (query == "SEL?") return selectReply();
    if (query == "HOR?") return horizontalReply();
    if (query == "TRIG?") return triggerReply();
    if (query == "CURV?") return curveReply(has(Fault::ShortRecord, line));
    if (query.size() == 4 && query.back() == '?') {
        const int ch = indexOf(kChannelNames, query.substr(0, 3));
        if (ch >= 0 && channels[static_cast<std::size_t>(ch)].present) {
            return channelReply(ch, has(Fault::WrongChannelHeader, line));
        }
    }
    return {};  // a command, or a query this instrument does not know: no reply
}

std::string SimulatedInstrument::selectReply() const {
    std::vector<std::string> items;
    for (std::size_t ch = 0; ch < channels.size(); ++ch) {
        if (!channels[ch].present) continue;
        items.push_back(kChannelNames[ch] + " " + (channels[ch].displayed ? "1" : "0"));
    }
    items.push_back("MATH 0");
    for (std::size_t r = 0; r < refStored.size(); ++r) {
        if (!refStored[r]) continue;
        items.push_back(kRefNames[r] + " " + (refDisplayed[r] ? "1" : "0"));
    }
    if (!headers) {
        for (std::string& item : items)
            item = item.substr(item.find(' ') + 1);
        return joined(items) + "\r";
    }
    return ":SELECT:" + joined(items) + "\r";
}

std::string SimulatedInstrument::horizontalReply() const {
    if (!headers) {
        return joined({"MAIN", "2500", horScale, horPosition, delayScale, delayPosition}) + "\r";
    }
    return ":HORIZONTAL:VIEW MAIN;RECORDLENGTH 2500;MAIN:SCALE " + horScale + ";POSITION " +
           horPosition + ";:HORIZONTAL:DELAY:SCALE " + delayScale + ";POSITION " + delayPosition +
           "\r";
}

std::string SimulatedInstrument::triggerReply() const {
    if (!headers) {
        return joined({"AUTO", "EDGE", trigLevel, "5.0E-7", edgeSource, "DC", "RISE", videoSource,
                       "FIELD", "NORMAL", pulseSource, "POSITIVE", "EQUAL", "1.0E-3"}) +
               "\r";
    }
    return ":TRIGGER:MAIN:MODE AUTO;TYPE EDGE;LEVEL " + trigLevel +
           ";HOLDOFF:VALUE 5.0E-7;:TRIGGER:MAIN:EDGE:SOURCE " + edgeSource +
           ";COUPLING DC;SLOPE RISE;:TRIGGER:MAIN:VIDEO:SOURCE " + videoSource +
           ";SYNC FIELD;POLARITY NORMAL;:TRIGGER:MAIN:PULSE:SOURCE " + pulseSource +
           ";WIDTH:POLARITY POSITIVE;WHEN EQUAL;WIDTH 1.0E-3\r";
}

std::string SimulatedInstrument::channelReply(int ch, bool wrongHeader) const {
    const ChannelSetup& c = channels[static_cast<std::size_t>(ch)];
    std::vector<std::pair<std::string, std::string>> items;
    if (c.layout != ChannelLayout::ProbeLast) items.emplace_back("PROBE", c.probe);
    items.emplace_back("SCALE", c.scale);
    items.emplace_back("POSITION", c.position);
    items.emplace_back("COUPLING", c.coupling);
    items.emplace_back("BANDWIDTH", c.bandwidth);
    if (c.layout == ChannelLayout::ProbeLast) items.emplace_back("PROBE", c.probe);
    if (c.layout == ChannelLayout::Standard || c.layout == ChannelLayout::UnitAfterInvert) {
        items.emplace_back("INVERT", c.invert);
    }
    if (c.layout == ChannelLayout::UnitAfterInvert) items.emplace_back("YUNIT", "\"V\"");

    std::vector<std::string> texts;
    for (const auto& [keyword, value] : items)
        texts.push_back(headers ? keyword + " " + value : value);
    if (!headers) return joined(texts) + "\r";
    const std::string& name =
        kChannelNames[static_cast<std::size_t>(wrongHeader ? (ch == 0 ? 1 : 0) : ch)];
    return ":" + name + ":" + joined(texts) + "\r";
}

std::string SimulatedInstrument::curveReply(bool shortRecord) const {
    int source = indexOf(kChannelNames, dataSource);
    bool displayed = source >= 0 && channels[static_cast<std::size_t>(source)].present &&
                     channels[static_cast<std::size_t>(source)].displayed;
    if (int r = indexOf(kRefNames, dataSource); r >= 0) {
        source = 4 + r;
        displayed =
            refStored[static_cast<std::size_t>(r)] && refDisplayed[static_cast<std::size_t>(r)];
    }
    // Only what is on the instrument's screen can be transferred.
    if (!displayed) return {};

    const int points = shortRecord ? 1000 : kSamples;
    std::string reply = (headers ? ":CURVE #4" : "#4") + std::to_string(points);
    const bool signedBytes = encoding == "RIB";
    for (int k = 0; k < points; ++k) {
        const int sample = waveforms[static_cast<std::size_t>(source)][static_cast<std::size_t>(k)];
        reply += static_cast<char>(signedBytes ? sample : sample + 128);
    }
    return reply + "\r";
}

void SimulatedInstrument::attach(FakeSerialDevice& device) {
    device.responder = [this](FakeSerialDevice& d, const std::string& line) {
        send(d, respond(line));
    };
    device.onBreak = [this](FakeSerialDevice& d, bool on) {
        if (on) return;  // answered once the line is released
        ++breaks;
        send(d, shape(kBreak, std::string("DCL\0\r", 5)));
    };
}

void SimulatedInstrument::send(FakeSerialDevice& device, const Reply& reply) const {
    if (reply.bytes.empty()) return;
    auto arrival = [this](std::size_t bytesSent) {
        return latencyMs + static_cast<int>(paced ? bytesSent * kMsPerByteAt19200 + 0.999 : 0);
    };
    // Pieces of the reply: the first half and the rest when a line error falls between them.
    std::vector<std::pair<std::size_t, std::size_t>> pieces;
    const std::size_t size = reply.bytes.size();
    if (reply.lineError) {
        pieces = {{0, size / 2}, {size / 2, size}};
    } else {
        pieces = {{0, size}};
    }
    int lastMs = latencyMs;
    for (std::size_t p = 0; p < pieces.size(); ++p) {
        auto [begin, end] = pieces[p];
        const std::size_t step = paced ? std::max<std::size_t>(batchBytes, 1) : end - begin;
        for (std::size_t at = begin; at < end; at += step) {
            const std::size_t stop = std::min(end, at + step);
            lastMs = std::max(lastMs, arrival(stop));
            device.deliverLater(lastMs, reply.bytes.substr(at, stop - at));
        }
        if (reply.lineError && p == 0) device.raiseLater(++lastMs, comm::kFrame);
    }
    if (!reply.trailing.empty()) device.deliverLater(lastMs + 5, reply.trailing);
}

}  // namespace curvalon::test
