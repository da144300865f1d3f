// One completed read as it stood when it ended: its settings, every source's record and whether
// that record came whole from the read, and when. Save, copy and the measurements work from it,
// so a file never mixes two reads and nothing a later read overwrites shows up half new.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/scope_state.h"
#include "model/window_ops.h"

namespace curvalon {

struct Acquisition {
    bool live = false;      // read from the instrument, not generated in demo mode
    std::string stampText;  // as the window shows it; empty before the first read
    std::optional<LocalDateTime> stamp;

    // The settings as last read; 0 or empty where never read.
    double timeDiv = 0;
    double horPosition = 0;
    std::string trigSource;
    double trigLevel = 0;
    std::array<std::int32_t, kChannelCount> probe{};
    std::array<double, kChannelCount> voltDiv{};
    std::array<double, kChannelCount> positionDiv{};
    std::array<std::string, kChannelCount> coupling, bandwidth, invert;

    std::array<std::string, kSourceCount> names;
    std::array<bool, kSourceCount> valid{};  // the record came whole from the last read
    std::array<std::array<std::int8_t, kSamples>, kSourceCount> samples{};

    // A read of one channel or of the references reads no settings: those it holds come from
    // the read stamped so (empty when this read read them, or none ever did).
    std::string settingsStampText;
    // The text of the failure box that the read showed; empty for a read that completed.
    std::string failure;
};

using Snapshot = std::shared_ptr<const Acquisition>;

Snapshot takeSnapshot(const ScopeState& s, const std::string& stampText,
                      std::optional<LocalDateTime> stamp);

// The sources the operator sees, CH1 first: the channels switched on, and the references shown
// while reference display is on.
std::vector<int> shownSources(const ScopeState& s);

// A channel whose volts per division was read is given in volts, anything else in counts.
bool inVolts(const Acquisition& a, int source);

// "2026-12-07T19:13:13".
std::string isoTime(const LocalDateTime& t);

}  // namespace curvalon
