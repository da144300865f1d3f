// How one source's counts and samples become levels and times: volts and seconds for a channel
// whose settings the acquisition read, counts and samples otherwise. The data table, the
// measurements and the cursors all map through it, so a unit is chosen in one place.
#pragma once

#include <optional>
#include <string>

#include "analysis/acquisition.h"
#include "analysis/exact_decimal.h"

namespace curvalon {

// Units of one source: "V" and "s", or "counts" and "samples".
struct Units {
    std::string level, time;
};

class Scale {
  public:
    // A source's own scale: a reference is always in counts and samples.
    static Scale of(const Acquisition& a, int source);
    // The record's time axis, which every source shares: seconds where the time base was read.
    static Scale timeAxisOf(const Acquisition& a);

    const Units& units() const { return units_; }
    bool inVolts() const { return units_.level == "V"; }
    bool inSeconds() const { return units_.time == "s"; }

    // level = (counts / 25 - position) × volts per division, in this order, so that the level of
    // the count at the position is exactly 0; a difference has no position.
    double level(double counts) const;
    double levelDifference(double counts) const;
    // time = (sample - 1250) / 250 × time per division + position; a duration has no position.
    double time(double sample) const;
    double duration(double samples) const { return samples * perSample_; }
    double sampleAt(double time) const;

    // The exact decimal of a whole count's level and a whole sample's time, where the settings'
    // decimals allow it; empty otherwise, when the nearest double must do.
    std::optional<Decimal> exactLevel(int counts) const;
    std::optional<Decimal> exactTime(int sample) const;

  private:
    Units units_{"counts", "samples"};
    double voltDiv_ = 0, positionDiv_ = 0;
    double perSample_ = 1, position_ = 0;
    std::optional<Decimal> exactVoltDiv_, exactPositionDiv_, exactTimeDiv_, exactHorPosition_;
};

}  // namespace curvalon
