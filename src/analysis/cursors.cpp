#include "analysis/cursors.h"

#include <algorithm>
#include <cmath>

#include "analysis/measurements.h"
#include "analysis/quantity_text.h"
#include "analysis/scale.h"

namespace curvalon {

namespace {

std::string shown(double v, const std::string& unit) {
    return quantityText(v, unit);
}

int levelSourceOf(const CursorSet& c) {
    return std::clamp(c.levelSource, 0, kSourceCount - 1);
}

}  // namespace

double valueAt(const Acquisition& a, int source, double sample) {
    const auto& record = a.samples[static_cast<std::size_t>(source)];
    const double k = std::clamp(sample, 0.0, double(kSamples - 1));
    const int lo = std::min(static_cast<int>(k), kSamples - 2);
    return Scale::of(a, source).level(record[lo] + (k - lo) * (record[lo + 1] - record[lo]));
}

double timeAt(const Acquisition& a, double sample) {
    return Scale::timeAxisOf(a).time(sample);
}

double sampleAt(const Acquisition& a, double time) {
    return Scale::timeAxisOf(a).sampleAt(time);
}

std::string cursorReadout(const Acquisition& a, const CursorSet& c,
                          const std::vector<int>& shownSources) {
    const Scale axis = Scale::timeAxisOf(a);
    const std::string& timeUnit = axis.units().time;
    const double ta = axis.time(c.samples[0]), tb = axis.time(c.samples[1]);
    std::string out = "t(A) " + shown(ta, timeUnit) + "   t(B) " + shown(tb, timeUnit) +
                      "   \u0394t " + shown(tb - ta, timeUnit);
    if (tb != ta)
        out += "   1/\u0394t " + shown(1 / (tb - ta), unitOf(Measure::Frequency, axis.units()));
    out += '\n';
    for (int source : shownSources) {
        const auto i = static_cast<std::size_t>(source);
        if (!a.valid[i]) continue;
        const std::string unit = Scale::of(a, source).units().level;
        const double va = valueAt(a, source, c.samples[0]), vb = valueAt(a, source, c.samples[1]);
        out += a.names[i] + "   A " + shown(va, unit) + "   B " + shown(vb, unit) + "   \u0394 " +
               shown(vb - va, unit) + '\n';
    }
    const int ch = levelSourceOf(c);
    const Scale level = Scale::of(a, ch);
    const std::string& unit = level.units().level;
    const double l1 = level.level(c.counts[0]), l2 = level.level(c.counts[1]);
    out += "Levels (" + a.names[static_cast<std::size_t>(ch)] + ")   1 " + shown(l1, unit) +
           "   2 " + shown(l2, unit) + "   \u0394 " + shown(l2 - l1, unit);
    return out;
}

}  // namespace curvalon

namespace curvalon {

std::string cursorLabel(const Acquisition& a, const CursorSet& c, int cursor) {
    if (cursor < 2) {
        const Scale axis = Scale::timeAxisOf(a);
        return std::string(cursor == 0 ? "t(A) = " : "t(B) = ") +
               shown(axis.time(c.samples[static_cast<std::size_t>(cursor)]), axis.units().time);
    }
    const int source = levelSourceOf(c);
    const Scale scale = Scale::of(a, source);
    return std::string(cursor == 2 ? "1 (" : "2 (") + a.names[static_cast<std::size_t>(source)] +
           ") = " +
           shown(scale.level(c.counts[static_cast<std::size_t>(cursor - 2)]), scale.units().level);
}

}  // namespace curvalon
