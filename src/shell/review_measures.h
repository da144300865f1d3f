// The statistics and the trend of what is opened: every read of a recording measured over its
// whole record, in time order, a few at a time so that the window keeps answering; an opened
// file is one read. Failed, missing and unreadable reads are the trend's gaps.
#pragma once

#include <QObject>
#include <QTimer>
#include <cstdint>
#include <vector>

#include "analysis/statistics.h"
#include "shell/review.h"

namespace curvalon {

class ReviewMeasures : public QObject {
    Q_OBJECT
  public:
    ReviewMeasures();

    // Begins measuring what review opened; review must stay open until stop().
    void start(const Review& review);
    void stop();
    bool measuring() const { return timer_.isActive(); }

    const MeasureStatistics& statistics() const { return statistics_; }
    const MeasureHistory& history() const { return history_; }
    // The recording's row that the history's read came from.
    std::size_t rowOf(std::size_t read) const { return rows_[read]; }

  signals:
    // After each batch of reads, and once all are measured.
    void progressed(std::size_t measured, std::size_t total);

  private:
    void measureSome();

    const Review* review_ = nullptr;
    QTimer timer_;
    std::vector<std::size_t> rows_;  // in time order
    std::size_t next_ = 0;
    MeasureStatistics statistics_{MeasureStatistics::Policy::PerSource};
    MeasureHistory history_;
};

// Every source a read brought, measured over its whole record.
std::vector<SourceReadings> measureRead(const Acquisition& read);

}  // namespace curvalon
