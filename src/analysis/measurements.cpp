#include "analysis/measurements.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "analysis/exact_decimal.h"
#include "analysis/quantity_text.h"

namespace curvalon {

namespace {

constexpr int kLowestCode = -128, kHighestCode = 127;
constexpr int kCodes = 256;
constexpr double kLeastAmplitude = 5;  // counts
// The hysteresis in sigmas of the noise: a slow edge lingers near the middle for tens of
// samples, long enough for noise of 3 sigma to cross back.
constexpr double kNoiseBand = 4;

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

// The samples measured, in counts, with what every family of measurements starts from.
struct Record {
    std::vector<int> x;
    std::array<int, kCodes> histogram{};
    int max = 0, min = 0;
    bool clippedHigh = false, clippedLow = false;
    int size() const { return static_cast<int>(x.size()); }
    int countOf(int code) const { return histogram[static_cast<std::size_t>(code - kLowestCode)]; }
};

struct Levels {
    int top = 0, base = 0;
    bool flatTop = false, flatBase = false;
    double amplitude() const { return top - base; }
    double middle() const { return base + amplitude() / 2; }
    bool tooSmall() const { return amplitude() < kLeastAmplitude; }
};

// The crossings, or why there are none.
struct Edges {
    std::vector<Crossing> crossings;
    std::string reason;
};

Record recordOf(const Acquisition& a, int source, int from, int to) {
    Record r;
    const auto& samples = a.samples[static_cast<std::size_t>(source)];
    r.x.assign(samples.begin() + from, samples.begin() + to);
    for (int v : r.x)
        ++r.histogram[static_cast<std::size_t>(v - kLowestCode)];
    r.max = *std::max_element(r.x.begin(), r.x.end());
    r.min = *std::min_element(r.x.begin(), r.x.end());
    r.clippedHigh = r.max >= kHighestCode, r.clippedLow = r.min <= kLowestCode;
    return r;
}

// The most frequent code from first to last, when it marks a flat level: see the header. Of
// codes as frequent, the one furthest out (toward last) is taken.
std::optional<int> flatLevel(const Record& r, int first, int last) {
    if (first == last + 1) return std::nullopt;
    const int step = first <= last ? 1 : -1;
    int best = last, total = 0;
    for (int c = last; c != first - step; c -= step) {
        total += r.countOf(c);
        if (r.countOf(c) > r.countOf(best)) best = c;
    }
    const int count = r.countOf(best), codes = std::abs(last - first) + 1;
    if (count < 2 || count * codes < 2 * total || count * 20 < total) return std::nullopt;
    return best;
}

// Flat levels that span less than a quarter of the record's range are not its two states (the
// middle samples of a fast signal, the peak of noise): then the extremes are.
Levels levelsOf(const Record& r) {
    Levels l;
    // The halves meet at the middle; a code exactly on it belongs to neither.
    const double middle = (r.max + r.min) / 2.0;
    const auto top = flatLevel(r, static_cast<int>(std::floor(middle)) + 1, r.max);
    const auto base = flatLevel(r, static_cast<int>(std::ceil(middle)) - 1, r.min);
    l.top = top.value_or(r.max), l.flatTop = top.has_value();
    l.base = base.value_or(r.min), l.flatBase = base.has_value();
    if (4 * (l.top - l.base) < r.max - r.min) l = {r.max, r.min, false, false};
    return l;
}

double noiseOf(const std::vector<int>& x) {
    if (x.size() < 3) return 0;
    std::vector<int> d(x.size() - 2);
    for (std::size_t k = 0; k + 2 < x.size(); ++k)
        d[k] = std::abs(x[k + 2] - 2 * x[k + 1] + x[k]);
    const auto middle = d.begin() + static_cast<std::ptrdiff_t>(d.size() / 2);
    std::nth_element(d.begin(), middle, d.end());
    return *middle / (0.6745 * std::sqrt(6.0));
}

// Where the line from sample k to k + 1 passes through level.
double passAt(const std::vector<int>& x, int k, double level) {
    const double dx = x[k + 1] - x[k];
    return dx == 0 ? k : k + (level - x[k]) / dx;
}

// The 50 % crossings with hysteresis h, each decided on the samples behind the one that
// completes the band.
std::vector<Crossing> crossingsOf(const std::vector<int>& x, double mid, double h) {
    std::vector<Crossing> out;
    int state = 0;      // -1 armed for a rising crossing (was low), +1 for a falling one
    int lastPass = -1;  // the last k where x passes through mid between k and k + 1
    for (int k = 0; k < static_cast<int>(x.size()); ++k) {
        if (k > 0 && (x[k - 1] < mid) != (x[k] < mid)) lastPass = k - 1;
        if (x[k] <= mid - h) {
            if (state == 1 && lastPass >= 0) out.push_back({passAt(x, lastPass, mid), false});
            state = -1;
        } else if (x[k] >= mid + h) {
            if (state == -1 && lastPass >= 0) out.push_back({passAt(x, lastPass, mid), true});
            state = 1;
        }
    }
    return out;
}

std::vector<double> timesOf(const std::vector<Crossing>& crossings, bool rising) {
    std::vector<double> out;
    for (const Crossing& c : crossings)
        if (c.rising == rising) out.push_back(c.at);
    return out;
}

// Whether the rising crossings come at regular intervals, as a periodic signal's do and noise's
// do not.
bool regular(const std::vector<Crossing>& crossings) {
    const std::vector<double> rises = timesOf(crossings, true);
    if (rises.size() < 4) return false;
    double sum = 0, squares = 0;
    const double n = static_cast<double>(rises.size() - 1);
    for (std::size_t i = 1; i < rises.size(); ++i) {
        const double interval = rises[i] - rises[i - 1];
        sum += interval, squares += interval * interval;
    }
    const double mean = sum / n;
    return std::sqrt(std::max(squares / n - mean * mean, 0.0)) < 0.25 * mean;
}

Edges edgesOf(const Record& r, const Levels& l) {
    if (l.tooSmall()) return {{}, "amplitude under 5 counts"};
    const double least = std::max(2.0, 0.1 * l.amplitude());
    const double h = std::max(least, kNoiseBand * noiseOf(r.x));
    if (h <= 0.45 * l.amplitude()) return {crossingsOf(r.x, l.middle(), h), {}};
    Edges fast{crossingsOf(r.x, l.middle(), least), {}};
    if (!regular(fast.crossings)) return {{}, "no cycle above the noise"};
    return fast;
}

// The least-squares slope of crossing times against their order: the period, with every
// crossing's jitter weighed, not only the first and the last.
double slopeOf(const std::vector<double>& t) {
    // Against centred indexes, whose sum is zero, the times need no centring of their own.
    const double meanIndex = (static_cast<double>(t.size()) - 1) / 2;
    double xy = 0, xx = 0;
    for (std::size_t i = 0; i < t.size(); ++i) {
        const double di = static_cast<double>(i) - meanIndex;
        xy += di * t[i], xx += di * di;
    }
    return xy / xx;
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
    return valueOf(sum / static_cast<double>(values.size()), static_cast<int>(values.size()));
}

// Rise or fall time of the edge at a crossing, from the 10 % pass before it to the 90 % pass
// after it, both between lo and hi; empty when either is not there.
std::optional<double> edgeTime(const std::vector<int>& x, const Crossing& c, double p10, double p90,
                               int lo, int hi) {
    const double start = c.rising ? p10 : p90, end = c.rising ? p90 : p10;
    const auto short_ = [&c](double v, double level) { return c.rising ? v <= level : v >= level; };
    const int k0 = static_cast<int>(std::floor(c.at));
    int a = k0;
    while (a >= lo && !short_(x[a], start))
        --a;
    int b = k0 + 1;
    while (b <= hi && short_(x[b], end))
        ++b;
    if (a < lo || b > hi || a + 1 >= static_cast<int>(x.size())) return std::nullopt;
    return passAt(x, b - 1, end) - passAt(x, a, start);
}

class Measurer {
  public:
    Measurer(const Record& r, const Scale& scale, SourceReadings& out)
        : r_(r), scale_(scale), out_(out), levels_(levelsOf(r)), edges_(edgesOf(r, levels_)) {}

    void all() {
        extremes();
        period();
        if (r_.clippedHigh || r_.clippedLow) {
            for (Measure m : kLevelBased)
                set(m, none("clipped"));
            return;
        }
        levels();
        means();
        edges();
        widths();
    }

  private:
    static constexpr Measure kLevelBased[] = {
        Measure::Top,       Measure::Base,          Measure::Amplitude,     Measure::Mean,
        Measure::Rms,       Measure::CycleMean,     Measure::CycleRms,      Measure::RiseTime,
        Measure::FallTime,  Measure::PositiveWidth, Measure::NegativeWidth, Measure::DutyCycle,
        Measure::Overshoot, Measure::Undershoot};

    void set(Measure m, Reading r) { out_.readings[static_cast<std::size_t>(m)] = std::move(r); }

    void extremes() {
        const bool clipped = r_.clippedHigh || r_.clippedLow;
        set(Measure::Max,
            {scale_.level(r_.max), r_.clippedHigh ? Bound::AtLeast : Bound::Exact, 0, {}});
        set(Measure::Min,
            {scale_.level(r_.min), r_.clippedLow ? Bound::AtMost : Bound::Exact, 0, {}});
        set(Measure::PeakToPeak, {scale_.levelDifference(r_.max - r_.min),
                                  clipped ? Bound::AtLeast : Bound::Exact,
                                  0,
                                  {}});
    }

    void levels() {
        set(Measure::Top, valueOf(scale_.level(levels_.top)));
        set(Measure::Base, valueOf(scale_.level(levels_.base)));
        set(Measure::Amplitude, valueOf(scale_.levelDifference(levels_.amplitude())));
        const double a = levels_.amplitude();
        if (levels_.tooSmall()) {
            set(Measure::Overshoot, none(edges_.reason));
            set(Measure::Undershoot, none(edges_.reason));
            return;
        }
        set(Measure::Overshoot,
            levels_.flatTop ? valueOf((r_.max - levels_.top) / a * 100) : none("no flat top"));
        set(Measure::Undershoot,
            levels_.flatBase ? valueOf((levels_.base - r_.min) / a * 100) : none("no flat base"));
    }

    // Mean and RMS of samples first..last - 1, from whole-count sums scaled once.
    std::pair<double, double> meanAndRms(int first, int last) const {
        std::int64_t sum = 0, squares = 0;
        for (int k = first; k < last; ++k)
            sum += r_.x[k], squares += std::int64_t(r_.x[k]) * r_.x[k];
        const double n = last - first, mean = static_cast<double>(sum) / n;
        // The count where the level is zero: the RMS is of the level, so about it.
        const double zero = -scale_.level(0) / scale_.levelDifference(1);
        const double meanSquare = static_cast<double>(squares) / n - 2 * zero * mean + zero * zero;
        return {scale_.level(mean),
                std::abs(scale_.levelDifference(1)) * std::sqrt(std::max(meanSquare, 0.0))};
    }

    void means() {
        const auto [mean, rms] = meanAndRms(0, r_.size());
        set(Measure::Mean, valueOf(mean));
        set(Measure::Rms, valueOf(rms));
        const std::vector<double> rises = timesOf(edges_.crossings, true);
        if (rises.size() < 2) {
            const std::string why = edges_.reason.empty() ? "no complete cycle" : edges_.reason;
            set(Measure::CycleMean, none(why));
            set(Measure::CycleRms, none(why));
            return;
        }
        const int cycles = static_cast<int>(rises.size()) - 1;
        const auto [cycleMean, cycleRms] = meanAndRms(static_cast<int>(std::ceil(rises.front())),
                                                      static_cast<int>(std::ceil(rises.back())));
        set(Measure::CycleMean, valueOf(cycleMean, cycles));
        set(Measure::CycleRms, valueOf(cycleRms, cycles));
    }

    // From the rising crossings, or the falling ones where fewer than two rise: pulses of
    // alternating widths rise at regular intervals while they fall at irregular ones.
    void period() {
        std::vector<double> times = timesOf(edges_.crossings, true);
        if (times.size() < 2) times = timesOf(edges_.crossings, false);
        const int cycles = static_cast<int>(times.size()) - 1;
        if (cycles < 1) {
            const std::string why = edges_.reason.empty() ? "no complete cycle" : edges_.reason;
            set(Measure::Period, none(why));
            set(Measure::Frequency, none(why));
            return;
        }
        const double period = scale_.duration(slopeOf(times));
        set(Measure::Period, valueOf(period, cycles));
        set(Measure::Frequency, valueOf(1 / period, cycles));
    }

    void edges() {
        if (!edges_.reason.empty()) {
            set(Measure::RiseTime, none(edges_.reason));
            set(Measure::FallTime, none(edges_.reason));
            return;
        }
        const double a = levels_.amplitude(), p10 = levels_.base + 0.1 * a;
        const double p90 = levels_.base + 0.9 * a;
        const std::vector<Crossing>& c = edges_.crossings;
        std::vector<double> rise, fall;
        for (std::size_t i = 0; i < c.size(); ++i) {
            const int lo = i == 0 ? 0 : static_cast<int>(std::floor(c[i - 1].at)) + 1;
            const int hi =
                i + 1 == c.size() ? r_.size() - 1 : static_cast<int>(std::ceil(c[i + 1].at));
            if (const auto t = edgeTime(r_.x, c[i], p10, p90, lo, hi))
                (c[i].rising ? rise : fall).push_back(*t);
        }
        set(Measure::RiseTime, edgeReading(rise));
        set(Measure::FallTime, edgeReading(fall));
    }

    // Edges faster than two samples are a bound: the sampling cannot tell how much faster.
    Reading edgeReading(const std::vector<double>& spans) const {
        Reading r = meanOf(spans, "edge not complete");
        if (r.value && *r.value < kLeastEdge) r.value = kLeastEdge, r.bound = Bound::Below;
        if (r.value) r.value = scale_.duration(*r.value);
        return r;
    }

    void widths() {
        if (!edges_.reason.empty()) {
            for (Measure m : {Measure::PositiveWidth, Measure::NegativeWidth, Measure::DutyCycle})
                set(m, none(edges_.reason));
            return;
        }
        const std::vector<Crossing>& c = edges_.crossings;
        std::vector<double> positive, negative;
        for (std::size_t i = 0; i + 1 < c.size(); ++i)
            (c[i].rising ? positive : negative).push_back(scale_.duration(c[i + 1].at - c[i].at));
        set(Measure::PositiveWidth, meanOf(positive, "no complete pulse"));
        set(Measure::NegativeWidth, meanOf(negative, "no complete pulse"));
        const Reading& period = out_[Measure::Period];
        const Reading& width = out_[Measure::PositiveWidth];
        if (period.value && width.value)
            set(Measure::DutyCycle, valueOf(*width.value / *period.value * 100, period.count));
        else
            set(Measure::DutyCycle, none(period.value ? "no complete pulse" : "no complete cycle"));
    }

    static constexpr double kLeastEdge = 2;  // samples

    const Record& r_;
    const Scale& scale_;
    SourceReadings& out_;
    const Levels levels_;
    const Edges edges_;
};

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
    const Scale scale = Scale::of(a, source);
    out.source = source;
    out.name = a.names[src];
    out.units = scale.units();
    from = std::clamp(from, 0, kSamples);
    to = std::clamp(to, from, kSamples);
    if (!a.valid[src]) {
        out.absent = "not read or its last read failed";
    } else if (to - from < 2) {
        out.absent = "fewer than 2 samples between the cursors";
    } else {
        Measurer(recordOf(a, source, from, to), scale, out).all();
    }
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
        const std::string reason = !r.value                  ? r.reason
                                   : r.bound == Bound::Exact ? ""
                                   : r.bound == Bound::Below
                                       ? "< (an upper bound: faster than 2 samples)"
                                       : "clipped (a bound)";
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
    const auto d = decimalOf(rounded);
    return d ? decimalText(*d) : shortestText(rounded);
}

std::string readingText(const Reading& r, Measure m, const Units& units) {
    if (!r.value) return "\u2014 " + r.reason;
    std::string out = r.bound == Bound::AtLeast  ? "\u2265 "
                      : r.bound == Bound::AtMost ? "\u2264 "
                      : r.bound == Bound::Below  ? "< "
                                                 : "";
    out += quantityText(*r.value, unitOf(m, units));
    if (r.count > 0) {
        const std::string what = m == Measure::RiseTime || m == Measure::FallTime ? "edge"
                                 : m == Measure::PositiveWidth || m == Measure::NegativeWidth
                                     ? "pulse"
                                     : "cycle";
        out += " (" + std::to_string(r.count) + " " + what + (r.count == 1 ? ")" : "s)");
    }
    return out;
}

std::string measurementTable(const std::vector<SourceReadings>& sources, char separator,
                             const ExtraColumns* extra) {
    // Levels in volts where any source has them; a source in other units says so in its head.
    Units main{"counts", "samples"};
    for (const SourceReadings& s : sources)
        if (s.units.level == "V") main = s.units;
    std::string out = "measurement" + std::string(1, separator) + "unit";
    for (const SourceReadings& s : sources) {
        out += separator + s.name;
        if (s.units.level != main.level || s.units.time != main.time)
            out += " (" + s.units.level + " " + s.units.time + ")";
        if (extra)
            for (const std::string& head : extra->heads(s))
                out += separator + head;
    }
    out += '\n';
    for (int m = 0; m < kMeasureCount; ++m) {
        const auto measure = static_cast<Measure>(m);
        out += std::string(kNames[m]) + separator + unitOf(measure, main);
        for (const SourceReadings& s : sources) {
            out += separator;
            if (s.absent.empty() && s[measure].value) out += tableNumber(*s[measure].value);
            if (extra)
                for (const std::string& cell : extra->cells(s, measure))
                    out += separator + cell;
        }
        out += '\n';
    }
    // After the table, so that its source columns hold numbers only and a reader that skips
    // "#" lines gets numeric columns.
    for (const SourceReadings& s : sources)
        if (const std::string reasons = reasonsOf(s); !reasons.empty())
            out += "# note " + s.name + ": " + reasons + '\n';
    return out;
}

}  // namespace curvalon
