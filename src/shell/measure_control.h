// Measure: the measurements of the last completed read for the sources shown now, in the
// measurement window and on the clipboard, over the whole record or between the time cursors;
// and the data table that carries them in its header. Nothing here talks to the instrument.
#pragma once

#include <QByteArray>
#include <QPointer>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "analysis/acquisition.h"
#include "analysis/measurements.h"
#include "analysis/statistics.h"
#include "model/scope_state.h"
#include "shell/cursor_tool.h"
#include "shell/main_window.h"
#include "shell/measurement_window.h"

namespace curvalon {

class MeasureControl {
  public:
    MeasureControl(const ScopeState& state, MainWindow& window, CursorTool& cursors);

    // The last completed read, which everything here works from.
    void setAcquisition(Snapshot acquisition) { acquisition_ = std::move(acquisition); }
    // Once a read has completed (or failed) and its acquisition is set: into the statistics and
    // the history of the reads since the tool started, stamped msSinceEpoch.
    void readCompleted(std::int64_t msSinceEpoch);
    void readFailed(std::int64_t msSinceEpoch, const std::string& why);
    // An opened recording's statistics and history take the place of the live ones until
    // called with none.
    void reviewMeasures(const MeasureStatistics* statistics, const MeasureHistory* history);
    const MeasureStatistics& statistics() const {
        return reviewStatistics_ ? *reviewStatistics_ : live_;
    }
    const MeasureHistory& history() const {
        return reviewHistory_ ? *reviewHistory_ : liveHistory_;
    }
    // The live statistics begin again; a recording's stay what its reads give.
    void resetStatistics();
    const Snapshot& acquisition() const { return acquisition_; }

    // Measure > Measurements and Copy measurements.
    void showWindow();
    void copy();
    MeasurementWindow* window() const { return window_; }
    // After a read, a change of what is shown, or a cursor moved.
    void refresh(bool cursorsMoved = false);

    std::vector<SourceReadings> readings() const;
    // "CH1, CH2, REFA": the sources shown that the last read brought, which a copy carries.
    QString sourceNames() const;
    // The first and last sample measured, as times in seconds where the time base was read, else
    // as sample numbers; empty while the whole record is measured.
    std::optional<std::pair<std::string, std::string>> span() const;
    // The acquisition's data, the span and the measurements in its header.
    QByteArray table(char separator) const;

  private:
    bool measuringSpan() const;
    void showLevelSources();
    void fill(bool cursorsMoved);
    std::string spanNote() const;

    const ScopeState& state_;
    MainWindow& main_;
    CursorTool& cursors_;
    QPointer<MeasurementWindow> window_;
    Snapshot acquisition_;
    MeasureStatistics live_;
    MeasureHistory liveHistory_;
    const MeasureStatistics* reviewStatistics_ = nullptr;
    const MeasureHistory* reviewHistory_ = nullptr;
    // The last measurements, which a refresh without a change need not make again.
    struct Measured {
        Snapshot read;  // held, so that no later read can take its address
        int from = 0, to = 0;
        std::vector<int> sources;
        bool operator==(const Measured&) const = default;
    };
    mutable Measured measuredKey_;
    std::pair<int, int> statisticsSpan_{0, kSamples};  // what the live statistics measured
    mutable std::vector<SourceReadings> measured_;
};

}  // namespace curvalon
