// A stand-in for the oscilloscope at the far end of the serial line. It answers the queries the
// tool sends in the instrument's long form (headers on, items joined by ";", a new header path
// after ";:", a carriage return at the end), keeps the state the tool's commands change, and
// misbehaves on request. answer() and onBreak() are pure byte-in, byte-out, so the same
// instrument sits behind a pseudo-terminal; attach() plugs it into a FakeSerialDevice. Malformed
// replies of every other kind are the reply parsers' own tests.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace curvalon::test {

class FakeSerialDevice;

enum class Fault {
    Silence,             // no answer at all
    LineFeedTerminator,  // the reply ends with a line feed instead of a carriage return
};

struct ChannelSetup {
    bool present = true;    // a two-channel model has no CH3, CH4
    bool displayed = true;  // shown on the instrument; only displayed sources send curves
    std::string probe = "1.0E1", scale = "5.0E-1", position = "0.0E0";
    std::string coupling = "DC", bandwidth = "OFF", invert = "OFF";
};

class SimulatedInstrument {
  public:
    static constexpr int kSamples = 2500;
    // Fault key for the answer to a line break.
    static constexpr const char* kBreak = "<break>";

    SimulatedInstrument();

    // The reply to one command line (without its carriage return), trailing bytes included;
    // empty when the instrument stays silent. Updates the instrument's state.
    std::string answer(const std::string& line);
    // The reply to a line break: "DCL", NUL, carriage return.
    std::string onBreak() { return shape(kBreak, std::string("DCL\0\r", 5)); }
    // Answers through the device: each reply whole, 2 ms after the command's carriage return.
    void attach(FakeSerialDevice& device);

    // Settings, in the text the instrument prints.
    std::array<ChannelSetup, 4> channels;
    std::array<bool, 4> refStored{true, true, true, true};  // REFA..REFD held in memory
    std::array<bool, 4> refDisplayed{};
    std::string horScale = "5.0E-4", horPosition = "0.0E0";
    std::string trigLevel = "1.20E0", edgeSource = "CH1";
    // Signed samples per source 0..7 (CH1..CH4, REFA..REFD).
    std::array<std::array<std::int8_t, kSamples>, 8> waveforms{};
    std::string encoding = "RPB";  // the power-on default; "DAT:ENC RIB" makes it signed
    // Acquiring (ACQ:STATE RUN) or held; while acquiring with freshAcquisitions, every command
    // line finds a new acquisition, whose number is added to every sample sent.
    bool acquiring = true, freshAcquisitions = false;
    int acquisition = 0;
    std::string dataSource = "CH1";

    // A fault for one command line ("CURV?", "CH2?", kBreak), or for every one with ""; a line's
    // own fault comes before the one for every line.
    void setFault(Fault fault, const std::string& line = "") { faults_[line] = fault; }
    void clearFaults() { faults_.clear(); }

    // Every command line received, in order, without its carriage return.
    std::vector<std::string> received;

  private:
    std::string shape(const std::string& line, std::string body) const;
    std::string replyBody(const std::string& line) const;
    std::string curveReply() const;
    void track(const std::string& line);

    std::map<std::string, Fault> faults_;
};

}  // namespace curvalon::test
