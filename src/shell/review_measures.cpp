#include "shell/review_measures.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <algorithm>
#include <numeric>

namespace curvalon {

namespace {

// Long enough to measure a few dozen reads, short enough that keys and paints come between.
constexpr int kBatchMs = 20;

std::int64_t msOf(const Acquisition& a) {
    if (!a.stamp) return QDateTime::currentMSecsSinceEpoch();
    const LocalDateTime& t = *a.stamp;
    return QDateTime(QDate(t.year, t.month, t.day), QTime(t.hour, t.minute, t.second))
        .toMSecsSinceEpoch();
}

}  // namespace

std::vector<SourceReadings> measureRead(const Acquisition& read) {
    std::vector<SourceReadings> out;
    for (int source = 0; source < kSourceCount; ++source)
        if (read.valid[std::size_t(source)]) out.push_back(measureSource(read, source));
    return out;
}

ReviewMeasures::ReviewMeasures() {
    timer_.setInterval(0);
    connect(&timer_, &QTimer::timeout, this, &ReviewMeasures::measureSome);
}

void ReviewMeasures::start(const Review& review) {
    stop();
    review_ = &review;
    if (!review.recording()) {
        // One file, one read: measured at once.
        const Acquisition& a = *review.shown().read;
        history_.add(msOf(a), measureRead(a));
        statistics_.add(measureRead(a));
        emit progressed(1, 1);
        return;
    }
    const std::vector<IndexRow>& rows = review.rows();
    rows_.resize(rows.size());
    std::iota(rows_.begin(), rows_.end(), std::size_t{0});
    std::stable_sort(rows_.begin(), rows_.end(), [&rows](std::size_t a, std::size_t b) {
        return rows[a].time.utcMilliseconds < rows[b].time.utcMilliseconds;
    });
    timer_.start();
}

void ReviewMeasures::stop() {
    timer_.stop();
    review_ = nullptr;
    rows_.clear();
    next_ = 0;
    statistics_.reset();
    history_.clear();
}

void ReviewMeasures::measureSome() {
    QElapsedTimer batch;
    batch.start();
    const std::vector<IndexRow>& rows = review_->rows();
    while (next_ < rows_.size() && batch.elapsed() < kBatchMs) {
        const IndexRow& row = rows[rows_[next_++]];
        const auto read = review_->readAt(&row - rows.data());
        if (const auto* why = std::get_if<QString>(&read)) {
            history_.addFailed(row.time.utcMilliseconds);
            statistics_.addFailed(why->toStdString());
            continue;
        }
        const std::vector<SourceReadings> measured = measureRead(*std::get<Snapshot>(read));
        history_.add(row.time.utcMilliseconds, measured);
        statistics_.add(measured);
    }
    if (next_ == rows_.size()) timer_.stop();
    emit progressed(next_, rows_.size());
}

}  // namespace curvalon
