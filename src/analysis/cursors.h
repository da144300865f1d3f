// Two time cursors, A and B, and two level cursors over the plot, and what they read off an
// acquisition. Time cursors stand at sample positions of the record, level cursors at counts of
// the channel they belong to.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "analysis/acquisition.h"

namespace curvalon {

struct CursorSet {
    std::array<double, 2> samples{625, 1875};  // A and B, a quarter in from each end
    std::array<double, 2> counts{50, -50};     // two divisions above and below the centre
    int levelSource = 0;                       // the source the level cursors belong to
};

// The source's record at a sample position between two samples, on the straight line between
// them, in its units (volts where its scale was read, else counts).
double valueAt(const Acquisition& a, int source, double sample);

// The time of a sample position, in seconds where the time base was read, else in samples; and
// the sample position of such a time. Positions are not limited to the record.
double timeAt(const Acquisition& a, double sample);
double sampleAt(const Acquisition& a, double time);

// The readout, one line each: t(A), t(B), Δt and 1/Δt; every shown source's value at A and at B
// and their difference; the level cursors' values and their difference.
std::string cursorReadout(const Acquisition& a, const CursorSet& c, const std::vector<int>& shown);

// The label one cursor carries on the plot: "t(A) = -525.0 µs", "1 (CH2) = 1.250 V"; cursor is
// 0 and 1 for A and B, 2 and 3 for the level cursors.
std::string cursorLabel(const Acquisition& a, const CursorSet& c, int cursor);

}  // namespace curvalon
