// Measure > Trend…: one measurement of one or more sources against clock time, one point per
// read, over the reads since the tool started or those of an opened recording; with the
// statistics of what is plotted, its mean as a line and its extremes marked. Its table and
// picture are copied and saved as the main window's are.
#pragma once

#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeAxis>
#include <QImage>
#include <QLabel>
#include <QValueAxis>
#include <QWidget>
#include <QXYSeries>
#include <functional>
#include <vector>

#include "analysis/statistics.h"

namespace curvalon {

class TrendWindow : public QWidget {
    Q_OBJECT
  public:
    static constexpr const char* kCaption = "Trend";

    // history gives the reads to plot, asked afresh on every refresh; owner owns the window.
    TrendWindow(QWidget* owner, std::function<const MeasureHistory&()> history);

    // Plots measure of these sources (those the history has).
    void choose(Measure measure, const std::vector<int>& sources);
    // Draws what the history holds now, keeping the choice.
    void refresh();

    Measure measure() const;
    std::vector<int> plotted() const;
    // A header row, then one row per read: its ISO 8601 time and one column per plotted series,
    // in plain decimals of the unit's base; empty where a read has no value.
    QString table() const;
    // The chart as it shows, axes and all.
    QImage picture();
    // Ctrl+C: the table and the picture together. Save: the picture into a name ending in
    // .png, the table into any other, whole or not at all; the system's reason on failure.
    void copy();
    QString saveTo(const QString& path);
    // The read nearest to a clicked point of a plotted series.
    void pointClicked(const QPointF& point);

    QChart* chart() const { return chart_; }
    QChartView* view() const { return view_; }
    QComboBox* measureBox() const { return measureBox_; }
    QCheckBox* sourceBox(int source) const;
    QLabel* statisticsText() const { return statisticsText_; }

    // One plotted source: its series, their statistics and the reads of its extremes.
    struct Plotted {
        int source = 0;
        MeasureHistory::Series series;
        RunningStatistics statistics;
        std::size_t lowest = 0, highest = 0;
    };

  signals:
    // The history's read at this index was clicked.
    void readChosen(std::size_t read);
    // Ctrl+C or Save: what was copied or written, for the status panel.
    void copied(const QString& what);
    void saved(const QString& path);
    void saveFailed(const QString& why);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct Axes {
        QDateTimeAxis* time;
        QValueAxis* value;
    };
    void rebuildSourceBoxes(const std::vector<int>& sources);
    void attach(QXYSeries* series, const Axes& axes);
    void drawStretches(const MeasureHistory& history, const Plotted& p, const QString& name,
                       double factor, const Axes& axes);
    void drawMeanAndExtremes(const MeasureHistory& history, const Plotted& p, const QString& name,
                             double factor, const Axes& axes);
    void save();

    std::function<const MeasureHistory&()> history_;
    QComboBox* measureBox_;
    QWidget* sourceRow_;
    std::vector<std::pair<int, QCheckBox*>> sourceBoxes_;
    QChart* chart_;
    QChartView* view_;
    QLabel* statisticsText_;
    std::vector<int> wanted_;  // chosen, kept while the history lacks them
    QString folder_;           // where the last save went
};

}  // namespace curvalon
