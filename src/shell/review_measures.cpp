#include "shell/review_measures.h"

#include <QDateTime>
#include <algorithm>
#include <numeric>

namespace curvalon {

namespace {

// Reads handed over to the window's thread at a time: few enough that the statistics grow
// steadily, enough that handing over costs nothing beside measuring.
constexpr std::size_t kBatch = 16;
// The windows follow the growing statistics at this pace: drawing them after every batch would
// cost more than the batch.
constexpr int kProgressMs = 500;

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

ReviewMeasures::~ReviewMeasures() {
    stop();
}

void ReviewMeasures::start(const Review& review) {
    stop();
    if (!review.recording()) {
        // One file, one read: measured at once.
        const Acquisition& a = *review.shown().read;
        const std::vector<SourceReadings> measured = measureRead(a);
        history_.add(msOf(a), measured);
        statistics_.add(measured);
        emit progressed(1, 1);
        return;
    }
    const std::vector<IndexRow>& rows = review.rows();
    rows_.resize(rows.size());
    std::iota(rows_.begin(), rows_.end(), std::size_t{0});
    std::stable_sort(rows_.begin(), rows_.end(), [&rows](std::size_t a, std::size_t b) {
        return rows[a].time.utcMilliseconds < rows[b].time.utcMilliseconds;
    });
    sinceProgress_.start();
    stopping_ = false;
    // The thread reads its own copy of the review, which the window's steps do not touch.
    thread_.reset(QThread::create([this, review, order = rows_, generation = generation_] {
        std::vector<Measured> batch;
        for (std::size_t row : order) {
            if (stopping_) return;
            Measured m;
            m.ms = review.rows()[row].time.utcMilliseconds;
            const auto read = review.readAt(row);
            if (const auto* why = std::get_if<QString>(&read))
                m.failure = why->toStdString();
            else
                m.readings = measureRead(*std::get<Snapshot>(read));
            batch.push_back(std::move(m));
            if (batch.size() == kBatch || row == order.back()) {
                QMetaObject::invokeMethod(
                    this,
                    [this, b = std::move(batch), generation]() mutable {
                        take(std::move(b), generation);
                    },
                    Qt::QueuedConnection);
                batch.clear();
            }
        }
    }));
    thread_->start(QThread::LowPriority);
}

void ReviewMeasures::take(std::vector<Measured> batch, int generation) {
    if (generation != generation_) return;
    for (Measured& m : batch) {
        if (m.failure.empty()) {
            history_.add(m.ms, m.readings);
            statistics_.add(m.readings);
        } else {
            history_.addFailed(m.ms);
            statistics_.addFailed(m.failure);
        }
    }
    measured_ += batch.size();
    if (!measuring() || sinceProgress_.elapsed() >= kProgressMs) {
        sinceProgress_.start();
        emit progressed(measured_, rows_.size());
    }
}

void ReviewMeasures::stop() {
    stopping_ = true;
    if (thread_) thread_->wait();
    thread_.reset();
    ++generation_;  // what the thread had handed over and not yet been taken
    rows_.clear();
    measured_ = 0;
    statistics_.reset();
    history_.clear();
}

}  // namespace curvalon
