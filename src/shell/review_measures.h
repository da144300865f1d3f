// The statistics and the trend of what is opened: every read of a recording measured over its
// whole record, in time order, on a thread of its own so that the window keeps answering; an
// opened file is one read. Failed, missing and unreadable reads are the trend's gaps.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QThread>
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "analysis/statistics.h"
#include "shell/review.h"

namespace curvalon {

class ReviewMeasures : public QObject {
    Q_OBJECT
  public:
    ReviewMeasures() = default;
    ~ReviewMeasures() override;

    // Begins measuring what review opened; what was being measured is dropped.
    void start(const Review& review);
    void stop();
    bool measuring() const { return measured_ < rows_.size(); }

    const MeasureStatistics& statistics() const { return statistics_; }
    const MeasureHistory& history() const { return history_; }
    // The recording's row that the history's read came from.
    std::size_t rowOf(std::size_t read) const { return rows_[read]; }

  signals:
    // Every half second while reads are measured, and once all are.
    void progressed(std::size_t measured, std::size_t total);

  private:
    // One read as the thread measured it: its readings, or why there are none.
    struct Measured {
        std::int64_t ms = 0;
        std::vector<SourceReadings> readings;
        std::string failure;
    };
    void take(std::vector<Measured> batch, int generation);

    std::unique_ptr<QThread> thread_;
    std::atomic<bool> stopping_{false};
    int generation_ = 0;             // batches of a recording since closed are dropped
    std::vector<std::size_t> rows_;  // in time order
    std::size_t measured_ = 0;
    QElapsedTimer sinceProgress_;
    MeasureStatistics statistics_{MeasureStatistics::Policy::PerSource};
    MeasureHistory history_;
};

// Every source a read brought, measured over its whole record.
std::vector<SourceReadings> measureRead(const Acquisition& read);

}  // namespace curvalon
