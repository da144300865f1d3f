// Measure: the measurement window and copying its table. Both work from the last completed read
// and the sources shown now, without a word to the instrument.
#include <QApplication>
#include <QClipboard>

#include "shell/scope_app.h"

namespace curvalon {

std::vector<SourceReadings> ScopeApp::readings() const {
    std::vector<SourceReadings> out;
    if (!snapshot_) return out;
    for (int source : shownSources(state_))
        out.push_back(measureSource(*snapshot_, source));
    return out;
}

void ScopeApp::showMeasurements() {
    if (!measurements_) measurements_ = new MeasurementWindow(&window_);
    measurements_->show();
    measurements_->raise();
    refreshMeasurements();
}

void ScopeApp::refreshMeasurements() {
    if (measurements_ && measurements_->isVisible()) measurements_->showReadings(readings());
}

void ScopeApp::copyMeasurements() {
    QApplication::clipboard()->setText(QString::fromStdString(measurementTable(readings(), '\t')));
}

}  // namespace curvalon
