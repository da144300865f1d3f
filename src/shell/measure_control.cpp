#include "shell/measure_control.h"

#include <QApplication>
#include <QClipboard>
#include <cmath>
#include <utility>

#include "analysis/cursors.h"
#include "analysis/data_table.h"
#include "analysis/exact_decimal.h"

namespace curvalon {

namespace {

// The whole samples between the time cursors, both included.
std::pair<int, int> samplesBetween(const CursorSet& c) {
    const auto [a, b] = std::minmax(c.samples[0], c.samples[1]);
    return {static_cast<int>(std::ceil(a)), static_cast<int>(std::floor(b))};
}

}  // namespace

MeasureControl::MeasureControl(const ScopeState& state, MainWindow& window, CursorTool& cursors)
    : state_(state), main_(window), cursors_(cursors) {}

bool MeasureControl::measuringSpan() const {
    return acquisition_ && cursors_.shown() && window_ && window_->betweenCursors();
}

std::vector<SourceReadings> MeasureControl::readings() const {
    if (!acquisition_) return {};
    int from = 0, to = kSamples;
    if (measuringSpan()) {
        const auto [first, last] = samplesBetween(cursors_.cursors());
        from = first, to = last + 1;
    }
    Measured key{acquisition_, from, to, shownSources(state_)};
    if (key == measuredKey_) return measured_;
    measured_.clear();
    for (int source : key.sources)
        measured_.push_back(measureSource(*acquisition_, source, from, to));
    measuredKey_ = std::move(key);
    return measured_;
}

void MeasureControl::readCompleted(std::int64_t msSinceEpoch) {
    if (!acquisition_) return;
    if (!acquisition_->failure.empty()) return readFailed(msSinceEpoch, acquisition_->failure);
    const std::vector<SourceReadings> measured = readings();
    // Values of the span between the cursors and of whole records are not one series.
    const std::pair span{measuredKey_.from, measuredKey_.to};
    if (span != std::exchange(statisticsSpan_, span)) live_.reset();
    // Every shown source, so that a read of one channel does not begin the statistics again:
    // the sources it did not bring are not counted, and say so.
    live_.add(measured);
    liveHistory_.add(msSinceEpoch, measured);
}

void MeasureControl::readFailed(std::int64_t msSinceEpoch, const std::string& why) {
    live_.addFailed(why);
    liveHistory_.addFailed(msSinceEpoch);
}

void MeasureControl::reviewMeasures(const MeasureStatistics* statistics,
                                    const MeasureHistory* history) {
    reviewStatistics_ = statistics;
    reviewHistory_ = history;
}

void MeasureControl::resetStatistics() {
    if (!reviewStatistics_) live_.reset();
    refresh();
}

std::optional<std::pair<std::string, std::string>> MeasureControl::span() const {
    if (!measuringSpan()) return std::nullopt;
    const auto [first, last] = samplesBetween(cursors_.cursors());
    const auto text = [this](int sample) {
        return acquisition_->timeDiv == 0 ? std::to_string(sample)
                                          : shortestText(timeAt(*acquisition_, sample));
    };
    return std::pair{text(first), text(last)};
}

// "measured between the time cursors only: from -0.000525 s to 0.0004 s".
std::string MeasureControl::spanNote() const {
    const auto measured = span();
    if (!measured) return {};
    const std::string unit = acquisition_->timeDiv == 0 ? " (sample)" : " s";
    return "measured between the time cursors only: from " + measured->first + unit + " to " +
           measured->second + unit;
}

QByteArray MeasureControl::table(char separator) const {
    const std::string note = spanNote();
    return QByteArray::fromStdString(
        dataTable(*acquisition_, shownSources(state_), separator,
                  (note.empty() ? "" : note + '\n') + measurementTable(readings(), separator)));
}

QString MeasureControl::sourceNames() const {
    QStringList names;
    for (int source : shownSources(state_))
        if (acquisition_ && acquisition_->valid[static_cast<std::size_t>(source)])
            names << QString::fromStdString(acquisition_->names[static_cast<std::size_t>(source)]);
    return names.join(QStringLiteral(", "));
}

void MeasureControl::showWindow() {
    if (!window_) {
        window_ = new MeasurementWindow(&main_);
        QObject::connect(window_->betweenCursorsBox(), &QCheckBox::toggled, window_,
                         [this] { refresh(); });
        QObject::connect(window_->statisticsBox(), &QCheckBox::toggled, window_,
                         [this] { refresh(); });
        QObject::connect(window_, &MeasurementWindow::levelSourceChosen, window_,
                         [this](int source) { cursors_.chooseLevelSource(source); });
        QObject::connect(window_, &MeasurementWindow::resetChosen, window_,
                         [this] { resetStatistics(); });
        QObject::connect(window_, &MeasurementWindow::copied, window_, [this](const QString& what) {
            main_.statusPanel()->setText(QStringLiteral("Copied: ") + what);
        });
    }
    // Filled first, so that it is placed at the size it shows with.
    fill(false);
    window_->showBeside(main_, main_.availableScreen());
}

void MeasureControl::refresh(bool cursorsMoved) {
    if (window_ && window_->isVisible()) fill(cursorsMoved);
}

// Cursor moves change the measurements only when they measure between the cursors; a drag need
// not measure every source again on every move otherwise.
void MeasureControl::fill(bool cursorsMoved) {
    if (!acquisition_) {
        window_->showNoRead();
    } else if (!cursorsMoved || window_->betweenCursors()) {
        window_->showReadings(readings(), statistics());
        window_->showSpan(spanNote());
    }
    showLevelSources();
    window_->showCursorText(
        cursors_.shown() && acquisition_
            ? cursorReadout(*acquisition_, cursors_.cursors(), shownSources(state_))
            : std::string());
}

void MeasureControl::showLevelSources() {
    std::vector<std::pair<int, std::string>> sources;
    for (int source : shownSources(state_))
        if (cursors_.shown() && acquisition_)
            sources.emplace_back(source, acquisition_->names[static_cast<std::size_t>(source)]);
    window_->showLevelSources(sources, cursors_.cursors().levelSource);
}

void MeasureControl::copy() {
    const std::string note = spanNote();
    QApplication::clipboard()->setText(
        QString::fromStdString((note.empty() ? "" : "# " + note + '\n') +
                               measurementTable(readings(), statistics(), '\t')));
    main_.statusPanel()->setText(QStringLiteral("Copied: measurements"));
}

}  // namespace curvalon
