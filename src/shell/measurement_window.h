// The measurement window: a tool window beside the main window with one row per measurement and
// one column per shown source, and the cursor readouts below. It only shows what it is given.
#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QTableWidget>
#include <QWidget>
#include <string>
#include <vector>

#include "analysis/measurements.h"

namespace curvalon {

class MeasurementWindow : public QWidget {
    Q_OBJECT
  public:
    static constexpr const char* kCaption = "Measurements";

    // A window of its own that owner owns, so that it closes with it.
    explicit MeasurementWindow(QWidget* owner);
    void showReadings(const std::vector<SourceReadings>& sources);
    // The cursor readouts as lines of text; empty while the cursors are hidden.
    void showCursorText(const std::string& text);
    // The span measured, above the table; empty while the whole record is.
    void showSpan(const std::string& text);

    QTableWidget* table() const { return table_; }
    QLabel* cursorText() const { return cursorText_; }
    QLabel* spanText() const { return spanText_; }
    // Whether to measure only the samples between the time cursors.
    QCheckBox* betweenCursorsBox() const { return betweenCursors_; }
    bool betweenCursors() const { return betweenCursors_->isChecked(); }

  private:
    QLabel* spanText_;
    QTableWidget* table_;
    QLabel* cursorText_;
    QCheckBox* betweenCursors_;
};

}  // namespace curvalon
