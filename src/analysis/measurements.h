// Automatic measurements of one source's record, from an acquisition alone: no instrument
// traffic. Channels read with their settings are measured in volts and seconds, references and
// channels whose settings were not read in counts and samples.
//
// Definitions, over the samples measured (the whole record, or the span between the time
// cursors), x[k] in counts:
// - Max, Min: the largest and smallest sample. Peak-to-peak: Max - Min.
// - Top, Base: the most frequent code above, and below, the middle (Max + Min) / 2 (of codes as
//   frequent, the one furthest out), taken as a flat level only when it holds at least twice the
//   mean count per code of its half, at least 5 % of the half's samples and at least 2 samples;
//   otherwise Max or Min (a sine, a triangle, a ramp, a short span on a slope). Flat levels that
//   span less than a quarter of Max - Min are not the signal's states (the middle samples of a
//   fast signal, the peak of noise): then Top and Base are Max and Min. Amplitude: Top - Base.
// - Mean, RMS: over every sample measured, summed in whole counts and scaled once, so that a
//   record whose counts sum to zero has a Mean of exactly 0. Cycle mean, Cycle RMS: the same
//   over the samples from the first rising crossing to the last, which hold whole cycles only.
// - Noise: sigma estimated from the median absolute second difference of the record (divided by
//   0.6745 × sqrt 6), which a signal slow against the sampling hardly moves.
// - Crossings: of the 50 % level Base + Amplitude / 2, with hysteresis h, the largest of 2 counts,
//   10 % of the amplitude and 3 sigma of the noise: a rising crossing counts once a sample, the
//   signal having been at or below the middle less h, reaches the middle plus h; falling ones the
//   other way round. It is decided on the samples behind that sample: its time is where the
//   straight line through the last pair of samples passing the 50 % level crosses it, so no edge
//   is lost however soon the signal turns back. Where 3 sigma would take more than 45 % of the
//   amplitude, the crossings are found with 2 counts or 10 % of the amplitude, and are kept only
//   when the rising ones come at regular intervals (their spread under 25 % of their mean, over
//   3 cycles at least): a fast periodic signal, not noise ("no cycle above the noise").
// - Period: the common slope of the rising and the falling crossings' times against their count
//   (least squares), over the complete cycles; its count is the cycles. Frequency: 1 / Period.
// - Rise time: for each rising crossing, from the last pass up through 10 % of the amplitude
//   before it to the first pass up through 90 % after it, each interpolated; the mean over the
//   edges whose both passes lie between the neighbouring opposite crossings (or record ends).
//   Fall time the same from 90 % down to 10 %. A mean under 2 samples cannot be resolved by
//   the sampling: it is given as the bound "< 2 samples".
// - Positive width: from each rising crossing to the next falling one, mean over all such pairs.
//   Negative width: from falling to rising. Duty cycle: Positive width / Period in %.
// - Overshoot: (Max - Top) / Amplitude in %, where Top is a flat level. Undershoot: (Base - Min)
//   / Amplitude in %, where Base is one. Without a flat level neither is given.
// A record with a sample at either end of the 8-bit range (-128, 127) is clipped there: Max, Min
// and Peak-to-peak become bounds, and everything that depends on the levels (all but Period and
// Frequency, whose crossings keep their times) says "clipped". An amplitude under 5 counts has no
// crossings: Period, Frequency, the cycle values, edges, widths, duty cycle, overshoot and
// undershoot say so, while Top, Base, Amplitude, Mean and RMS are given.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "analysis/acquisition.h"
#include "analysis/scale.h"

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

// A value, or a bound on it: at least (a clipped maximum), at most (a clipped minimum), or less
// than (an edge faster than the sampling resolves).
enum class Bound { Exact, AtLeast, AtMost, Below };

struct Reading {
    std::optional<double> value;  // in the unit of its kind, empty when it cannot be computed
    Bound bound = Bound::Exact;
    int count = 0;       // the cycles or edges it is the mean of, where it is a mean
    std::string reason;  // why there is no value
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
// seconds and hertz ("2.000 kHz", "≥ 5.080 V", "< 4.000 µs"), the cycles or edges averaged
// ("(4 cycles)"), or "—" and the reason.
std::string readingText(const Reading& r, Measure m, const Units& units);

// Six significant digits, which the record's 8 bits never justify more than, in plain decimal
// notation, never with an exponent: "0", "0.000002", "1953.12".
std::string tableNumber(double v);

// The table that is copied and written into a data file's header: a row "measurement", "unit"
// and one column per source, one row per measurement in plain decimal numbers, an empty cell
// where there is none; then a line "# note CH2: <reasons>" for each source with a value missing
// or bounded.
// extra adds columns after each source's, in the same units as its own.
struct ExtraColumns {
    std::function<std::vector<std::string>(const SourceReadings&)> heads;
    std::function<std::vector<std::string>(const SourceReadings&, Measure)> cells;
};
std::string measurementTable(const std::vector<SourceReadings>& sources, char separator,
                             const ExtraColumns* extra = nullptr);

}  // namespace curvalon
