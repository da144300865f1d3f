#include "analysis/measurements.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "analysis/exact_decimal.h"

namespace curvalon {

namespace {

constexpr int kLowestCode = -128, kHighestCode = 127;
constexpr int kCodes = 256;
constexpr double kLeastAmplitude = 5;  // counts

const char* const kNames[kMeasureCount] = {
    "Max",        "Min",       "Peak-to-peak",   "Top",
    "Base",       "Amplitude", "Mean",           "RMS",
    "Cycle mean", "Cycle RMS", "Period",         "Frequency",
    "Rise time",  "Fall time", "Positive width", "Negative width",
    "Duty cycle", "Overshoot", "Undershoot",
};

enum class Kind { Level, Difference, Time, Rate, Percent };

Kind kindOf(Measure m) {
    switch (m) {
        case Measure::PeakToPeak:
        case Measure::Amplitude:
            return Kind::Difference;
        case Measure::Period:
        case Measure::RiseTime:
        case Measure::FallTime:
        case Measure::PositiveWidth:
        case Measure::NegativeWidth:
            return Kind::Time;
        case Measure::Frequency:
            return Kind::Rate;
        case Measure::DutyCycle:
        case Measure::Overshoot:
        case Measure::Undershoot:
            return Kind::Percent;
        default:
            return Kind::Level;
    }
}

// A pass of the record through a level, at a fractional sample index.
struct Crossing {
    double at;
    bool rising;
};

// Where the line from sample k to k + 1 passes through level.
double passAt(const std::vector<double>& x, int k, double level) {
    const double dx = x[k + 1] - x[k];
    return dx == 0 ? k : k + (level - x[k]) / dx;
}

// The 50 % crossings, with hysteresis: see the header.
std::vector<Crossing> crossings(const std::vector<double>& x, double mid, double h) {
    std::vector<Crossing> out;
    int state = 0;      // -1 armed for a rising crossing (was low), +1 for a falling one
    int lastPass = -1;  // the last k where x passes through mid between k and k + 1
    const int n = static_cast<int>(x.size());
    for (int k = 0; k < n; ++k) {
        if (k + 1 < n && (x[k] < mid) != (x[k + 1] < mid)) lastPass = k;
        if (x[k] <= mid - h) {
            if (state == 1 && lastPass >= 0 && lastPass < k)
                out.push_back({passAt(x, lastPass, mid), false});
            state = -1;
        } else if (x[k] >= mid + h) {
            if (state == -1 && lastPass >= 0 && lastPass < k)
                out.push_back({passAt(x, lastPass, mid), true});
            state = 1;
        }
    }
    return out;
}

// Rise or fall time of the edge at crossing c, from the 10 % pass before it to the 90 % pass after
// it, both between the neighbouring crossings (lo and hi bound the search); empty when either is
// not in the record.
std::optional<double> edgeTime(const std::vector<double>& x, double at, bool rising, double p10,
                               double p90, int lo, int hi) {
    const int k0 = static_cast<int>(std::floor(at));
    const double start = rising ? p10 : p90, end = rising ? p90 : p10;
    const auto below = [rising](double v, double level) {
        return rising ? v <= level : v >= level;
    };
    int a = k0;
    while (a >= lo && !below(x[a], start))
        --a;
    int b = k0 + 1;
    while (b <= hi && below(x[b], end))
        ++b;
    if (a < lo || b > hi || a + 1 >= static_cast<int>(x.size())) return std::nullopt;
    // The last pass through the start level before the edge, and the first through the end level.
    const double tStart = passAt(x, a, start);
    const double tEnd = passAt(x, b - 1, end);
    return tEnd - tStart;
}

Reading valueOf(double v, int count = 0) {
    return Reading{v, Bound::Exact, count, {}};
}

Reading none(const std::string& reason) {
    return Reading{std::nullopt, Bound::Exact, 0, reason};
}

// A mean over edges or pairs, or why there is none.
Reading meanOf(const std::vector<double>& values, const char* reason) {
    if (values.empty()) return none(reason);
    double sum = 0;
    for (double v : values)
        sum += v;
    return valueOf(sum / values.size(), static_cast<int>(values.size()));
}

// Counts and samples turned into the source's units.
struct Scale {
    double volts = 1, offset = 0;  // level = (counts / 25 - position) × volts per division
    double seconds = 1;            // per sample
    double level(double counts) const { return counts * volts - offset; }
};

Scale scaleOf(const Acquisition& a, int source) {
    Scale s;
    if (inVolts(a, source)) {
        const auto i = static_cast<std::size_t>(source);
        s.volts = a.voltDiv[i] / kCountsPerDiv;
        s.offset = a.positionDiv[i] * a.voltDiv[i];
    }
    if (source <= kLastChannel && a.timeDiv != 0) s.seconds = a.timeDiv / kSamplesPerDiv;
    return s;
}

}  // namespace

const char* measureName(Measure m) {
    return kNames[static_cast<int>(m)];
}

std::string unitOf(Measure m, const Units& units) {
    switch (kindOf(m)) {
        case Kind::Time:
            return units.time;
        case Kind::Rate:
            return units.time == "s" ? "Hz" : "1/" + units.time.substr(0, units.time.size() - 1);
        case Kind::Percent:
            return "%";
        default:
            return units.level;
    }
}

SourceReadings measureSource(const Acquisition& a, int source, int from, int to) {
    SourceReadings out;
    const auto src = static_cast<std::size_t>(source);
    out.source = source;
    out.name = a.names[src];
    out.units = {inVolts(a, source) ? "V" : "counts",
                 source <= kLastChannel && a.timeDiv != 0 ? "s" : "samples"};
    from = std::clamp(from, 0, kSamples);
    to = std::clamp(to, from, kSamples);
    if (!a.valid[src]) {
        out.absent = "not read or its last read failed";
        return out;
    }
    if (to - from < 2) {
        out.absent = "fewer than 2 samples between the cursors";
        return out;
    }
    std::vector<double> x(a.samples[src].begin() + from, a.samples[src].begin() + to);
    const int n = static_cast<int>(x.size());
    const Scale scale = scaleOf(a, source);
    auto set = [&out](Measure m, Reading r) { out.readings[static_cast<std::size_t>(m)] = r; };

    // Extremes and the histogram of codes.
    std::array<int, kCodes> histogram{};
    double sum = 0, squares = 0;
    for (double v : x) {
        ++histogram[static_cast<std::size_t>(static_cast<int>(v) - kLowestCode)];
        const double level = scale.level(v);
        sum += level, squares += level * level;
    }
    const double max = *std::max_element(x.begin(), x.end());
    const double min = *std::min_element(x.begin(), x.end());
    const bool clippedHigh = max >= kHighestCode, clippedLow = min <= kLowestCode;
    const bool clipped = clippedHigh || clippedLow;
    set(Measure::Max, {scale.level(max), clippedHigh ? Bound::AtLeast : Bound::Exact, 0, {}});
    set(Measure::Min, {scale.level(min), clippedLow ? Bound::AtMost : Bound::Exact, 0, {}});
    set(Measure::PeakToPeak,
        {(max - min) * scale.volts, clipped ? Bound::AtLeast : Bound::Exact, 0, {}});

    // The flat levels: see the header.
    const double middle = (max + min) / 2;
    const auto modeOf = [&](double lo, double hi, double fallback) {
        const auto countOf = [&](int code) {
            return histogram[static_cast<std::size_t>(code - kLowestCode)];
        };
        const int first = static_cast<int>(std::ceil(lo)), last = static_cast<int>(std::floor(hi));
        if (first > last) return fallback;
        int best = first, total = 0;
        for (int c = first; c <= last; ++c) {
            total += countOf(c);
            if (countOf(c) > countOf(best)) best = c;
        }
        return countOf(best) * (last - first + 1) >= 2 * total ? double(best) : fallback;
    };
    const double top = modeOf(std::nextafter(middle, max), max, max);
    const double base = modeOf(min, std::nextafter(middle, min), min);
    const double amplitude = top - base;

    // Crossings of the 50 % level, which keep their times however the levels are clipped.
    const double mid = base + amplitude / 2;
    const double h = std::max(2.0, 0.1 * amplitude);
    const bool flat = amplitude < kLeastAmplitude;
    const std::vector<Crossing> cross = flat ? std::vector<Crossing>{} : crossings(x, mid, h);
    std::vector<double> rises;
    for (const Crossing& c : cross)
        if (c.rising) rises.push_back(c.at);
    const int cycles = static_cast<int>(rises.size()) - 1;
    if (flat) {
        set(Measure::Period, none("amplitude under 5 counts"));
        set(Measure::Frequency, none("amplitude under 5 counts"));
    } else if (cycles < 1) {
        set(Measure::Period, none("no complete cycle"));
        set(Measure::Frequency, none("no complete cycle"));
    } else {
        const double period = (rises.back() - rises.front()) / cycles * scale.seconds;
        set(Measure::Period, valueOf(period, cycles));
        set(Measure::Frequency, valueOf(1 / period, cycles));
    }

    // Everything else depends on the levels.
    const Measure levelBased[] = {
        Measure::Top,       Measure::Base,          Measure::Amplitude,     Measure::Mean,
        Measure::Rms,       Measure::CycleMean,     Measure::CycleRms,      Measure::RiseTime,
        Measure::FallTime,  Measure::PositiveWidth, Measure::NegativeWidth, Measure::DutyCycle,
        Measure::Overshoot, Measure::Undershoot};
    if (clipped) {
        for (Measure m : levelBased)
            set(m, none("clipped"));
        return out;
    }
    set(Measure::Mean, valueOf(sum / n));
    set(Measure::Rms, valueOf(std::sqrt(squares / n)));
    set(Measure::Top, valueOf(scale.level(top)));
    set(Measure::Base, valueOf(scale.level(base)));
    set(Measure::Amplitude, valueOf(amplitude * scale.volts));
    if (cycles >= 1) {
        const int first = static_cast<int>(std::ceil(rises.front()));
        const int last = static_cast<int>(std::ceil(rises.back()));
        double cycleSum = 0, cycleSquares = 0;
        for (int k = first; k < last; ++k) {
            const double level = scale.level(x[k]);
            cycleSum += level, cycleSquares += level * level;
        }
        set(Measure::CycleMean, valueOf(cycleSum / (last - first), cycles));
        set(Measure::CycleRms, valueOf(std::sqrt(cycleSquares / (last - first)), cycles));
    } else {
        const char* why = flat ? "amplitude under 5 counts" : "no complete cycle";
        set(Measure::CycleMean, none(why));
        set(Measure::CycleRms, none(why));
    }
    if (flat) {
        for (Measure m :
             {Measure::RiseTime, Measure::FallTime, Measure::PositiveWidth, Measure::NegativeWidth,
              Measure::DutyCycle, Measure::Overshoot, Measure::Undershoot})
            set(m, none("amplitude under 5 counts"));
        return out;
    }
    set(Measure::Overshoot, valueOf((max - top) / amplitude * 100));
    set(Measure::Undershoot, valueOf((base - min) / amplitude * 100));

    // Edges and widths, each between its neighbouring crossings.
    const double p10 = base + 0.1 * amplitude, p90 = base + 0.9 * amplitude;
    std::vector<double> riseTimes, fallTimes, positive, negative;
    for (std::size_t i = 0; i < cross.size(); ++i) {
        const int lo = i == 0 ? 0 : static_cast<int>(std::floor(cross[i - 1].at)) + 1;
        const int hi = i + 1 == cross.size() ? n - 1 : static_cast<int>(std::ceil(cross[i + 1].at));
        if (const auto t = edgeTime(x, cross[i].at, cross[i].rising, p10, p90, lo, hi))
            (cross[i].rising ? riseTimes : fallTimes).push_back(*t * scale.seconds);
        if (i + 1 < cross.size())
            (cross[i].rising ? positive : negative)
                .push_back((cross[i + 1].at - cross[i].at) * scale.seconds);
    }
    set(Measure::RiseTime, meanOf(riseTimes, "edge not complete"));
    set(Measure::FallTime, meanOf(fallTimes, "edge not complete"));
    set(Measure::PositiveWidth, meanOf(positive, "no complete pulse"));
    set(Measure::NegativeWidth, meanOf(negative, "no complete pulse"));
    const Reading& period = out[Measure::Period];
    const Reading& width = out[Measure::PositiveWidth];
    if (period.value && width.value)
        set(Measure::DutyCycle, valueOf(*width.value / *period.value * 100, period.count));
    else
        set(Measure::DutyCycle, none(period.value ? "no complete pulse" : "no complete cycle"));
    return out;
}

namespace {

// A source's reasons, each once with the measurements it applies to:
// "no complete cycle: Period, Frequency; clipped: Top, Base".
std::string reasonsOf(const SourceReadings& s) {
    if (!s.absent.empty()) return s.absent;
    std::vector<std::pair<std::string, std::string>> reasons;
    for (int m = 0; m < kMeasureCount; ++m) {
        const Reading& r = s.readings[static_cast<std::size_t>(m)];
        const std::string reason =
            r.value ? (r.bound == Bound::Exact ? "" : "clipped (a bound)") : r.reason;
        if (reason.empty()) continue;
        auto it = std::find_if(reasons.begin(), reasons.end(),
                               [&](const auto& p) { return p.first == reason; });
        if (it == reasons.end()) it = reasons.insert(reasons.end(), {reason, {}});
        it->second += (it->second.empty() ? "" : " / ") + std::string(kNames[m]);
    }
    std::string out;
    for (const auto& [reason, names] : reasons)
        out += (out.empty() ? "" : "; ") + reason + ": " + names;
    return out;
}

}  // namespace

// Six significant digits, which the record's 8 bits never justify more than, in plain notation.
std::string tableNumber(double v) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, v, std::chars_format::general, 6).ptr;
    double rounded = v;
    std::from_chars(text, end, rounded);
    return shortestText(rounded);
}

std::string readingText(const Reading& r, Measure m, const Units& units) {
    if (!r.value) return "\u2014 " + r.reason;
    const std::string unit = unitOf(m, units);
    // Sums of inexact doubles leave dust where the value is zero.
    double v = std::abs(*r.value) < 1e-15 ? 0.0 : *r.value;
    std::string prefix;
    if (unit == "V" || unit == "s" || unit == "Hz") {
        static const std::pair<int, const char*> kPrefixes[] = {
            {-12, "p"}, {-9, "n"}, {-6, "\u00b5"}, {-3, "m"}, {0, ""}, {3, "k"}, {6, "M"}};
        double scale = 1;
        const int exponent =
            v == 0 ? 0 : static_cast<int>(std::floor(std::log10(std::abs(v)) / 3)) * 3;
        for (const auto& [e, p] : kPrefixes)
            if (e <= exponent || e == -12) scale = std::pow(10.0, e), prefix = p;
        v /= scale;
    }
    // Four significant digits: three decimals below 10, two below 100, one above.
    const double size = std::abs(v);
    const int decimals = size < 9.9995 ? 3 : size < 99.995 ? 2 : size < 999.95 ? 1 : 0;
    char text[48];
    const auto end =
        std::to_chars(text, text + sizeof text, v, std::chars_format::fixed, decimals).ptr;
    std::string out = r.bound == Bound::AtLeast  ? "\u2265 "
                      : r.bound == Bound::AtMost ? "\u2264 "
                                                 : "";
    out += std::string(text, end) + " " + prefix + unit;
    if (r.count > 0) {
        const std::string what = m == Measure::RiseTime || m == Measure::FallTime ? "edge"
                                 : m == Measure::PositiveWidth || m == Measure::NegativeWidth
                                     ? "pulse"
                                     : "cycle";
        out += " (" + std::to_string(r.count) + " " + what + (r.count == 1 ? ")" : "s)");
    }
    return out;
}

std::string measurementTable(const std::vector<SourceReadings>& sources, char separator) {
    // Levels in volts where any source has them; a source in other units says so in its head.
    Units main{"counts", "samples"};
    for (const SourceReadings& s : sources)
        if (s.units.level == "V") main = s.units;
    std::string out = "measurement" + std::string(1, separator) + "unit";
    for (const SourceReadings& s : sources) {
        out += separator + s.name;
        if (s.units.level != main.level || s.units.time != main.time)
            out += " (" + s.units.level + " " + s.units.time + ")";
    }
    out += '\n';
    for (int m = 0; m < kMeasureCount; ++m) {
        const auto measure = static_cast<Measure>(m);
        out += std::string(kNames[m]) + separator + unitOf(measure, main);
        for (const SourceReadings& s : sources) {
            out += separator;
            if (s.absent.empty() && s[measure].value) out += tableNumber(*s[measure].value);
        }
        out += '\n';
    }
    out += std::string("note") + separator;
    for (const SourceReadings& s : sources)
        out += separator + reasonsOf(s);
    return out + '\n';
}

}  // namespace curvalon
