#include "analysis/cursors.h"

#include <algorithm>
#include <cmath>

#include "analysis/measurements.h"

namespace curvalon {

namespace {

bool timed(const Acquisition& a) {
    return a.timeDiv != 0;
}

// A value with its unit as the measurement window shows values.
std::string shown(double v, const std::string& unit) {
    Reading r;
    r.value = v;
    return readingText(r, Measure::Max, {unit, unit});
}

}  // namespace

double valueAt(const Acquisition& a, int source, double sample) {
    const auto& record = a.samples[static_cast<std::size_t>(source)];
    const double k = std::clamp(sample, 0.0, double(kSamples - 1));
    const int lo = std::min(static_cast<int>(k), kSamples - 2);
    const double counts = record[lo] + (k - lo) * (record[lo + 1] - record[lo]);
    if (!inVolts(a, source)) return counts;
    const auto ch = static_cast<std::size_t>(source);
    return (counts / kCountsPerDiv - a.positionDiv[ch]) * a.voltDiv[ch];
}

double timeAt(const Acquisition& a, double sample) {
    if (!timed(a)) return sample;
    return (sample - kRecordCentre) * a.timeDiv / kSamplesPerDiv + a.horPosition;
}

double sampleAt(const Acquisition& a, double time) {
    if (!timed(a)) return time;
    return (time - a.horPosition) * kSamplesPerDiv / a.timeDiv + kRecordCentre;
}

std::string cursorReadout(const Acquisition& a, const CursorSet& c,
                          const std::vector<int>& shownSources) {
    const std::string timeUnit = timed(a) ? "s" : "samples";
    const double ta = timeAt(a, c.samples[0]), tb = timeAt(a, c.samples[1]);
    std::string out = "t(A) " + shown(ta, timeUnit) + "   t(B) " + shown(tb, timeUnit) +
                      "   \u0394t " + shown(tb - ta, timeUnit);
    if (tb != ta) out += "   1/\u0394t " + shown(1 / (tb - ta), timed(a) ? "Hz" : "1/sample");
    out += '\n';
    for (int source : shownSources) {
        const auto i = static_cast<std::size_t>(source);
        if (!a.valid[i]) continue;
        const std::string unit = inVolts(a, source) ? "V" : "counts";
        const double va = valueAt(a, source, c.samples[0]), vb = valueAt(a, source, c.samples[1]);
        out += a.names[i] + "   A " + shown(va, unit) + "   B " + shown(vb, unit) + "   \u0394 " +
               shown(vb - va, unit) + '\n';
    }
    const int ch = std::clamp(c.levelSource, 0, kLastChannel);
    const std::string unit = inVolts(a, ch) ? "V" : "counts";
    const auto level = [&](double counts) {
        if (!inVolts(a, ch)) return counts;
        const auto i = static_cast<std::size_t>(ch);
        return (counts / kCountsPerDiv - a.positionDiv[i]) * a.voltDiv[i];
    };
    const double l1 = level(c.counts[0]), l2 = level(c.counts[1]);
    out += "Levels (" + a.names[static_cast<std::size_t>(ch)] + ")   1 " + shown(l1, unit) +
           "   2 " + shown(l2, unit) + "   \u0394 " + shown(l2 - l1, unit);
    return out;
}

}  // namespace curvalon
