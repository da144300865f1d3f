// Measure: the measurement window and copying its table. Both work from the last completed read
// and the sources shown now, without a word to the instrument.
#include <QApplication>
#include <QClipboard>

#include "shell/scope_app.h"

namespace curvalon {

std::vector<SourceReadings> ScopeApp::readings() const {
    std::vector<SourceReadings> out;
    if (!snapshot_) return out;
    // Between the time cursors when the operator asks for it and they are shown.
    int from = 0, to = kSamples;
    if (cursorsShown_ && measurements_ && measurements_->betweenCursors()) {
        const auto [a, b] = std::minmax(cursors_.samples[0], cursors_.samples[1]);
        from = static_cast<int>(std::ceil(a)), to = static_cast<int>(std::floor(b)) + 1;
    }
    for (int source : shownSources(state_))
        out.push_back(measureSource(*snapshot_, source, from, to));
    return out;
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
void ScopeApp::refreshMeasurements(bool cursorsOnly) {
    // The level cursors belong to the first channel shown.
    const std::vector<int> shown = shownSources(state_);
    if (!shown.empty() && shown.front() <= kLastChannel) cursors_.levelSource = shown.front();
    showCursors();
    if (!measurements_ || !measurements_->isVisible()) return;
    if (!cursorsOnly || measurements_->betweenCursors()) measurements_->showReadings(readings());
    measurements_->showCursorText(
        cursorsShown_ && snapshot_ ? cursorReadout(*snapshot_, cursors_, shown) : std::string());
}

void ScopeApp::copyMeasurements() {
    QApplication::clipboard()->setText(QString::fromStdString(measurementTable(readings(), '\t')));
}

}  // namespace curvalon
