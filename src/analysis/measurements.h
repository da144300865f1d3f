// Automatic measurements of one source's record, from an acquisition alone: no instrument
// traffic. Channels read with their settings are measured in volts and seconds, references and
// channels whose settings were not read in counts and samples.
//
// Definitions, over the samples measured (the whole record, or the span between the time
// cursors), x[k] in counts:
// - Max, Min: the largest and smallest sample. Peak-to-peak: Max - Min.
// - Top, Base: the most frequent code above, and below, the middle (Max + Min) / 2; each is taken
//   only when its count is at least twice the mean count per code of its half, so that it marks a
//   flat level, and falls back to Max or Min otherwise (a sine, a triangle, a ramp).
//   Amplitude: Top - Base.
// - Mean, RMS: over every sample measured. Cycle mean, Cycle RMS: over the samples from the first
//   rising crossing to the last, which hold whole cycles only.
// - Crossings: of the 50 % level Base + Amplitude / 2, with hysteresis: a rising crossing counts
//   once the signal, having been at or below the middle less h, reaches the middle plus h, where
//   h is the larger of 2 counts and 10 % of the amplitude (ringing and noise smaller than that
//   are not edges); falling ones the other way round. Its time is where the straight line between
//   the two samples around the last pass through the 50 % level crosses it.
// - Period: (last rising crossing - first) / cycles, cycles being the rising crossings less one.
//   Frequency: 1 / Period.
// - Rise time: for each rising crossing, from the last pass up through 10 % of the amplitude
//   before it to the first pass up through 90 % after it, each interpolated; the mean over the
//   edges whose both passes lie between the neighbouring opposite crossings (or record ends).
//   Fall time the same from 90 % down to 10 %.
// - Positive width: from a rising crossing to the next falling one, mean over all such pairs.
//   Negative width: from falling to rising. Duty cycle: Positive width / Period in %.
// - Overshoot: (Max - Top) / Amplitude in %. Undershoot: (Base - Min) / Amplitude in %.
// A record with a sample at either end of the 8-bit range (-128, 127) is clipped there: Max, Min
// and Peak-to-peak become bounds, and everything that depends on the levels (all but Period and
// Frequency, whose crossings keep their times) says "clipped". An amplitude under 5 counts leaves
// every level-based value out.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "analysis/acquisition.h"

namespace curvalon {

enum class Measure {
    Max,
    Min,
    PeakToPeak,
    Top,
    Base,
    Amplitude,
    Mean,
    Rms,
    CycleMean,
    CycleRms,
    Period,
    Frequency,
    RiseTime,
    FallTime,
    PositiveWidth,
    NegativeWidth,
    DutyCycle,
    Overshoot,
    Undershoot,
};
constexpr int kMeasureCount = int(Measure::Undershoot) + 1;

// "Peak-to-peak", "Rise time", ...
const char* measureName(Measure m);

enum class Bound { Exact, AtLeast, AtMost };

struct Reading {
    std::optional<double> value;  // in the unit of its kind, empty when it cannot be computed
    Bound bound = Bound::Exact;
    int count = 0;       // the cycles or edges it is the mean of, where it is a mean
    std::string reason;  // why there is no value
};

// Units of one source: "V" and "s", or "counts" and "samples".
struct Units {
    std::string level, time;
};

struct SourceReadings {
    int source = 0;
    std::string name;
    Units units;
    std::string absent;  // set when nothing is measured, and why ("read failed")
    std::array<Reading, kMeasureCount> readings{};
    const Reading& operator[](Measure m) const { return readings[static_cast<std::size_t>(m)]; }
};

// The unit a measurement is given in, for a source with these units: "V", "s", "Hz", "%",
// "counts", "samples", "1/sample".
std::string unitOf(Measure m, const Units& units);

// Samples from..to - 1 of the source's record (the whole record by default).
SourceReadings measureSource(const Acquisition& a, int source, int from = 0, int to = kSamples);

// As the measurement window shows it: four significant digits with an SI prefix for volts,
// seconds and hertz ("2.000 kHz", "≥ 5.080 V"), the cycles or edges averaged ("(4 cycles)"), or
// "—" and the reason.
std::string readingText(const Reading& r, Measure m, const Units& units);

// Six significant digits, which the record's 8 bits never justify more than, in plain notation.
std::string tableNumber(double v);

// The table that is copied and written into a data file's header: a row "measurement", "unit"
// and one column per source, one row per measurement in plain decimal numbers, an empty cell
// where there is none, and a last row "note" with the reasons.
std::string measurementTable(const std::vector<SourceReadings>& sources, char separator);

}  // namespace curvalon
