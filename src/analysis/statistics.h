// What the measurements did across reads: last, mean, minimum, maximum, standard deviation and
// count of every measurement of every source, and the history a trend is drawn from. Only exact
// values count: a read that failed, a measurement with no value and a bound (a clipped maximum,
// an edge faster than the sampling) are left out, and why is kept.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "analysis/measurements.h"

namespace curvalon {

// Mean and variance updated one value at a time (Welford), which stays exact to the last digits
// where the textbook sum of squares loses everything: values near 1e6 that vary by 1e-3.
class RunningStatistics {
  public:
    void add(double x);
    int count() const { return count_; }
    double last() const { return last_; }
    double mean() const { return mean_; }
    double min() const { return min_; }
    double max() const { return max_; }
    // The sample standard deviation (n - 1); none under two values.
    std::optional<double> deviation() const;

  private:
    int count_ = 0;
    double last_ = 0, mean_ = 0, squares_ = 0, min_ = 0, max_ = 0;
};

// The value a reading gives statistics and trends, or none: bounds and missing values count as
// none.
std::optional<double> countedValue(const Reading& r);

// The statistics of one measurement of one source, and the reads that gave it no value.
struct MeasureCell {
    RunningStatistics values;
    int notCounted = 0;
    std::string reason;  // of the last read not counted
};

class MeasureStatistics {
  public:
    // Live statistics begin again when the sources measured or their units change, since one
    // mean over two units means nothing; a recording's keep each source apart, beginning a
    // source again only when its units change.
    enum class Policy { RestartOnChange, PerSource };
    explicit MeasureStatistics(Policy policy = Policy::RestartOnChange) : policy_(policy) {}

    // A completed read's measurements, one entry per source measured.
    void add(const std::vector<SourceReadings>& read);
    void addFailed(const std::string& why);
    void reset();

    // None where the source is not in the statistics.
    const MeasureCell* cell(int source, Measure m) const;
    Units unitsOf(int source) const;
    int reads() const { return reads_; }
    int failedReads() const { return failed_; }
    const std::string& lastFailure() const { return lastFailure_; }

  private:
    struct Source {
        int source = 0;
        Units units;
        std::array<MeasureCell, kMeasureCount> cells{};
    };
    Source* find(int source);
    const Source* find(int source) const;

    Policy policy_;
    std::vector<Source> sources_;
    int reads_ = 0, failed_ = 0;
    std::string lastFailure_;
};

// The table that Copy measurements gives: the measurement table with, after each source's
// column, its statistics "CH1 mean", "CH1 min", "CH1 max", "CH1 std", "CH1 count", in the same
// units; then the notes of the table and a line for what the statistics left out.
std::string measurementTable(const std::vector<SourceReadings>& sources,
                             const MeasureStatistics& statistics, char separator);

// Every read's measurements in little room, for trends over hours of reads: per read its time
// and, per source measured, each measurement as a float (a record of 8-bit samples has no more
// digits to give) or NaN where it has no counted value.
class MeasureHistory {
  public:
    void add(std::int64_t msSinceEpoch, const std::vector<SourceReadings>& read);
    void addFailed(std::int64_t msSinceEpoch);
    void clear();

    std::size_t size() const { return reads_.size(); }
    std::int64_t time(std::size_t read) const { return reads_[read].ms; }
    bool failed(std::size_t read) const { return reads_[read].failed; }
    // The sources that any read measured, in source order, and their names.
    std::vector<int> sources() const;
    const std::string& name(int source) const { return names_[std::size_t(source)]; }
    // The units of the source's latest read; counts and samples where it has none.
    Units unitsOf(int source) const;

    // One measurement of one source through every read: NaN where a read failed, did not measure
    // the source, gave it no value, or measured it in other units than its latest read.
    struct Series {
        std::string unit;
        std::vector<double> values;  // one per read
    };
    Series series(int source, Measure m) const;
    std::size_t bytes() const;

  private:
    struct Read {
        std::int64_t ms = 0;
        std::uint32_t first = 0;  // of its values
        std::uint8_t sources = 0, volts = 0, seconds = 0;
        bool failed = false;
    };
    std::vector<Read> reads_;
    std::vector<float> values_;
    std::array<std::string, kSourceCount> names_;
};

}  // namespace curvalon
