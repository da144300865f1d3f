// Measure: the measurement window and copying its table. Both work from the last completed read
// and the sources shown now, without a word to the instrument.
#include <QApplication>
#include <QClipboard>
#include <cmath>

#include "analysis/exact_decimal.h"
#include "shell/scope_app.h"

namespace curvalon {

namespace {

// The whole samples between the time cursors, both included.
std::pair<int, int> samplesBetween(const CursorSet& c) {
    const auto [a, b] = std::minmax(c.samples[0], c.samples[1]);
    return {static_cast<int>(std::ceil(a)), static_cast<int>(std::floor(b))};
}

}  // namespace

bool ScopeApp::measuringSpan() const {
    return snapshot_ && cursors_.shown() && measurements_ && measurements_->betweenCursors();
}

std::vector<SourceReadings> ScopeApp::readings() const {
    std::vector<SourceReadings> out;
    if (!snapshot_) return out;
    int from = 0, to = kSamples;
    if (measuringSpan()) {
        const auto [first, last] = samplesBetween(cursors_.cursors());
        from = first, to = last + 1;
    }
    for (int source : shownSources(state_))
        out.push_back(measureSource(*snapshot_, source, from, to));
    return out;
}

// The first and last sample measured, as times in seconds where the time base was read, else as
// sample numbers; empty while the whole record is measured.
std::optional<std::pair<std::string, std::string>> ScopeApp::measuredSpan() const {
    if (!measuringSpan()) return std::nullopt;
    const auto [first, last] = samplesBetween(cursors_.cursors());
    const auto text = [this](int sample) {
        return snapshot_->timeDiv == 0 ? std::to_string(sample)
                                       : shortestText(timeAt(*snapshot_, sample));
    };
    return std::pair{text(first), text(last)};
}

// "measured between the time cursors only: from -0.000525 s to 0.0004 s".
std::string ScopeApp::spanNote() const {
    const auto span = measuredSpan();
    if (!span) return {};
    const std::string unit = snapshot_->timeDiv == 0 ? " (sample)" : " s";
    return "measured between the time cursors only: from " + span->first + unit + " to " +
           span->second + unit;
}

void ScopeApp::showMeasurements() {
    if (!measurements_) {
        measurements_ = new MeasurementWindow(&window_);
        QObject::connect(measurements_->betweenCursorsBox(), &QCheckBox::toggled, measurements_,
                         [this] { refreshMeasurements(); });
    }
    measurements_->show();
    measurements_->raise();
    refreshMeasurements();
}

// Cursor moves change the measurements only when they measure between the cursors; a drag need
// not measure every source again on every move otherwise.
void ScopeApp::refreshMeasurements(bool cursorsMoved) {
    // The level cursors belong to the first channel shown.
    const std::vector<int> shown = shownSources(state_);
    if (!shown.empty() && shown.front() <= kLastChannel) cursors_.setLevelSource(shown.front());
    cursors_.draw();
    if (!measurements_ || !measurements_->isVisible()) return;
    if (!cursorsMoved || measurements_->betweenCursors()) {
        measurements_->showReadings(readings());
        measurements_->showSpan(spanNote());
    }
    measurements_->showCursorText(cursors_.shown() && snapshot_
                                      ? cursorReadout(*snapshot_, cursors_.cursors(), shown)
                                      : std::string());
}

void ScopeApp::copyMeasurements() {
    const std::string span = spanNote();
    QApplication::clipboard()->setText(QString::fromStdString(
        (span.empty() ? "" : "# " + span + '\n') + measurementTable(readings(), '\t')));
}

}  // namespace curvalon
