#include "analysis/statistics.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

namespace curvalon {

void RunningStatistics::add(double x) {
    ++count_;
    last_ = x;
    const double delta = x - mean_;
    mean_ += delta / count_;
    squares_ += delta * (x - mean_);
    min_ = count_ == 1 ? x : std::min(min_, x);
    max_ = count_ == 1 ? x : std::max(max_, x);
}

std::optional<double> RunningStatistics::deviation() const {
    if (count_ < 2) return std::nullopt;
    return std::sqrt(std::max(squares_, 0.0) / (count_ - 1));
}

std::optional<double> countedValue(const Reading& r) {
    if (!r.value || r.bound != Bound::Exact || !std::isfinite(*r.value)) return std::nullopt;
    return r.value;
}

namespace {

// Why a reading is not counted, in the words of the measurement window.
std::string notCountedReason(const SourceReadings& s, const Reading& r) {
    if (!s.absent.empty()) return s.absent;
    if (!r.value) return r.reason;
    return r.bound == Bound::Below ? "faster than 2 samples (a bound)" : "clipped (a bound)";
}

// "1 read", "12 reads".
std::string reads(int n) {
    return std::to_string(n) + (n == 1 ? " read" : " reads");
}

bool sameUnits(const Units& a, const Units& b) {
    return a.level == b.level && a.time == b.time;
}

}  // namespace

MeasureStatistics::Source* MeasureStatistics::find(int source) {
    for (Source& s : sources_)
        if (s.source == source) return &s;
    return nullptr;
}

const MeasureStatistics::Source* MeasureStatistics::find(int source) const {
    return const_cast<MeasureStatistics*>(this)->find(source);
}

void MeasureStatistics::add(const std::vector<SourceReadings>& read) {
    if (policy_ == Policy::RestartOnChange) {
        bool same = read.size() == sources_.size();
        for (std::size_t i = 0; same && i < read.size(); ++i)
            same =
                read[i].source == sources_[i].source && sameUnits(read[i].units, sources_[i].units);
        if (!same) {
            reset();
            for (const SourceReadings& r : read)
                sources_.push_back({r.source, r.units, {}});
        }
    }
    for (const SourceReadings& r : read) {
        Source* s = find(r.source);
        if (!s) {
            s = &sources_.emplace_back(Source{r.source, r.units, {}});
        } else if (!sameUnits(s->units, r.units)) {
            *s = Source{r.source, r.units, {}};
        }
        for (int m = 0; m < kMeasureCount; ++m) {
            MeasureCell& cell = s->cells[std::size_t(m)];
            const Reading& reading = r.readings[std::size_t(m)];
            const auto value = r.absent.empty() ? countedValue(reading) : std::nullopt;
            if (value) {
                cell.values.add(*value);
            } else {
                ++cell.notCounted;
                cell.reason = notCountedReason(r, reading);
            }
        }
    }
    std::sort(sources_.begin(), sources_.end(),
              [](const Source& a, const Source& b) { return a.source < b.source; });
    ++reads_;
}

void MeasureStatistics::addFailed(const std::string& why) {
    ++failed_;
    lastFailure_ = why;
}

void MeasureStatistics::reset() {
    sources_.clear();
    reads_ = failed_ = 0;
    lastFailure_.clear();
}

const MeasureCell* MeasureStatistics::cell(int source, Measure m) const {
    const Source* s = find(source);
    return s ? &s->cells[std::size_t(m)] : nullptr;
}

Units MeasureStatistics::unitsOf(int source) const {
    const Source* s = find(source);
    return s ? s->units : Units{"counts", "samples"};
}

std::string measurementTable(const std::vector<SourceReadings>& sources,
                             const MeasureStatistics& statistics, char separator) {
    ExtraColumns extra;
    extra.heads = [](const SourceReadings& s) {
        std::vector<std::string> heads;
        for (const char* what : {" mean", " min", " max", " std", " count"})
            heads.push_back(s.name + what);
        return heads;
    };
    extra.cells = [&](const SourceReadings& s, Measure m) {
        const MeasureCell* cell = statistics.cell(s.source, m);
        // Statistics in other units than the read shown would not be of the same column.
        if (!cell || !sameUnits(statistics.unitsOf(s.source), s.units))
            return std::vector<std::string>(5);
        const RunningStatistics& v = cell->values;
        if (v.count() == 0) return std::vector<std::string>{"", "", "", "", "0"};
        const auto deviation = v.deviation();
        return std::vector<std::string>{
            tableNumber(v.mean()), tableNumber(v.min()), tableNumber(v.max()),
            deviation ? tableNumber(*deviation) : "", std::to_string(v.count())};
    };
    std::string out = measurementTable(sources, separator, &extra);
    out += "# statistics over " + reads(statistics.reads());
    if (statistics.failedReads() > 0)
        out += "; not counted: " + reads(statistics.failedReads()) +
               " that failed (the last: " + statistics.lastFailure() + ")";
    out += '\n';
    // One line per source, each count and reason once with the measurements it applies to.
    for (const SourceReadings& s : sources) {
        std::vector<std::pair<std::string, std::string>> groups;
        for (int m = 0; m < kMeasureCount; ++m) {
            const MeasureCell* cell = statistics.cell(s.source, Measure(m));
            if (!cell || cell->notCounted == 0) continue;
            const std::string why = reads(cell->notCounted) + " (the last: " + cell->reason + ")";
            auto it = std::find_if(groups.begin(), groups.end(),
                                   [&](const auto& g) { return g.first == why; });
            if (it == groups.end()) it = groups.insert(groups.end(), {why, {}});
            it->second += (it->second.empty() ? "" : " / ") + std::string(measureName(Measure(m)));
        }
        std::string line;
        for (const auto& [why, names] : groups)
            line += (line.empty() ? "" : "; ") + names + ": " + why;
        if (!line.empty()) out += "# not counted " + s.name + ": " + line + '\n';
    }
    return out;
}

namespace {

// Grown by a quarter rather than doubled: hours of reads would otherwise hold up to twice the
// memory they need.
template <typename T>
void makeRoom(std::vector<T>& v, std::size_t more) {
    if (v.size() + more > v.capacity()) v.reserve(v.capacity() + v.capacity() / 4 + more + 64);
}

}  // namespace

void MeasureHistory::add(std::int64_t msSinceEpoch, const std::vector<SourceReadings>& read) {
    makeRoom(reads_, 1);
    makeRoom(values_, read.size() * kMeasureCount);
    Read r;
    r.ms = msSinceEpoch;
    r.first = static_cast<std::uint32_t>(values_.size());
    std::vector<const SourceReadings*> ordered;
    for (const SourceReadings& s : read)
        if (s.source >= 0 && s.source < kSourceCount) ordered.push_back(&s);
    std::sort(ordered.begin(), ordered.end(),
              [](const auto* a, const auto* b) { return a->source < b->source; });
    for (const SourceReadings* s : ordered) {
        const auto bit = static_cast<std::uint8_t>(1u << s->source);
        if (r.sources & bit) continue;
        r.sources |= bit;
        if (s->units.level == "V") r.volts |= bit;
        if (s->units.time == "s") r.seconds |= bit;
        names_[std::size_t(s->source)] = s->name;
        for (const Reading& reading : s->readings) {
            const auto value = s->absent.empty() ? countedValue(reading) : std::nullopt;
            values_.push_back(value ? static_cast<float>(*value)
                                    : std::numeric_limits<float>::quiet_NaN());
        }
    }
    reads_.push_back(r);
}

void MeasureHistory::addFailed(std::int64_t msSinceEpoch) {
    makeRoom(reads_, 1);
    Read r;
    r.ms = msSinceEpoch;
    r.first = static_cast<std::uint32_t>(values_.size());
    r.failed = true;
    reads_.push_back(r);
}

void MeasureHistory::clear() {
    reads_.clear();
    values_.clear();
}

std::vector<int> MeasureHistory::sources() const {
    std::uint8_t any = 0;
    for (const Read& r : reads_)
        any |= r.sources;
    std::vector<int> out;
    for (int s = 0; s < kSourceCount; ++s)
        if (any & (1u << s)) out.push_back(s);
    return out;
}

Units MeasureHistory::unitsOf(int source) const {
    const auto bit = static_cast<std::uint8_t>(1u << source);
    for (auto r = reads_.rbegin(); r != reads_.rend(); ++r)
        if (r->sources & bit)
            return {r->volts & bit ? "V" : "counts", r->seconds & bit ? "s" : "samples"};
    return {"counts", "samples"};
}

MeasureHistory::Series MeasureHistory::series(int source, Measure m) const {
    const Units units = unitsOf(source);
    const auto bit = static_cast<std::uint8_t>(1u << source);
    const std::uint8_t volts = units.level == "V" ? bit : 0, seconds = units.time == "s" ? bit : 0;
    Series out{unitOf(m, units), {}};
    out.values.reserve(reads_.size());
    for (const Read& r : reads_) {
        double value = std::numeric_limits<double>::quiet_NaN();
        if ((r.sources & bit) && (r.volts & bit) == volts && (r.seconds & bit) == seconds) {
            // Values of the sources before this one come first.
            const int before = std::popcount(static_cast<unsigned>(r.sources & (bit - 1)));
            value = values_[r.first + std::size_t(before) * kMeasureCount + std::size_t(m)];
        }
        out.values.push_back(value);
    }
    return out;
}

std::size_t MeasureHistory::bytes() const {
    return reads_.capacity() * sizeof(Read) + values_.capacity() * sizeof(float);
}

}  // namespace curvalon
