// The measurement window: a tool window beside the main window with one row per measurement and
// one column per shown source, and the cursor readouts below. It only shows what it is given.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRect>
#include <QTableWidget>
#include <QWidget>
#include <string>
#include <vector>

#include "analysis/measurements.h"
#include "analysis/statistics.h"

namespace curvalon {

// Where a window of size goes beside the main window's frame on the screen's available area:
// right of it, else below it, else left of it; where none has room, over the main window's
// lower right corner, inside the screen.
QPoint placeBeside(const QRect& mainFrame, const QSize& size, const QRect& available);

class MeasurementWindow : public QWidget {
    Q_OBJECT
  public:
    static constexpr const char* kCaption = "Measurements";
    static constexpr const char* kNoRead = "No read yet";

    // A window of its own that owner owns, so that it closes with it.
    explicit MeasurementWindow(QWidget* owner);
    // With the statistics' columns after each source's while the Statistics box is checked.
    void showReadings(const std::vector<SourceReadings>& sources,
                      const MeasureStatistics& statistics);
    // Before the first read: no table, the words kNoRead.
    void showNoRead();
    // The cursor readouts as lines of text; empty while the cursors are hidden.
    void showCursorText(const std::string& text);
    // The span measured, above the table; empty while the whole record is.
    void showSpan(const std::string& text);
    // The sources the level cursors may go with, and the one they go with; hidden while the
    // cursors are.
    void showLevelSources(const std::vector<std::pair<int, std::string>>& sources, int current);

    // Beside the main window the first time, on the screen's available area, then where the
    // operator leaves it.
    void showBeside(const QWidget& main, const QRect& available);
    // The selected cells as tab-separated text, or the whole table with its heads when none are.
    QString selectedText() const;

    QTableWidget* table() const { return table_; }
    QLabel* noReadText() const { return noRead_; }
    QLabel* cursorText() const { return cursorText_; }
    QLabel* spanText() const { return spanText_; }
    QComboBox* levelSourceBox() const { return levelSource_; }
    // Whether to measure only the samples between the time cursors.
    QCheckBox* betweenCursorsBox() const { return betweenCursors_; }
    bool betweenCursors() const { return betweenCursors_->isChecked(); }
    QCheckBox* statisticsBox() const { return statisticsBox_; }
    QPushButton* resetButton() const { return reset_; }
    QLabel* statisticsText() const { return statisticsText_; }

  signals:
    // Ctrl+C: text went to the clipboard; what says what it was.
    void copied(const QString& what);
    void levelSourceChosen(int source);
    void resetChosen();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void setUpTable();
    void layOut();
    // As large as the table, unless the operator has sized the window since it was last fitted.
    void fitToTable();
    void copySelection();

    QLabel* spanText_;
    QLabel* noRead_;
    QTableWidget* table_;
    QLabel* cursorText_;
    QWidget* levelRow_;
    QComboBox* levelSource_;
    QCheckBox* betweenCursors_;
    QCheckBox* statisticsBox_;
    QPushButton* reset_;
    QLabel* statisticsText_;
    QSize fitted_;
    std::vector<std::pair<int, std::string>> levelSources_;
    QRect available_;
    bool placed_ = false;
};

}  // namespace curvalon
