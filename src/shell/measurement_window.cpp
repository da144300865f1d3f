#include "shell/measurement_window.h"

#include <QHeaderView>
#include <QVBoxLayout>

namespace curvalon {

MeasurementWindow::MeasurementWindow(QWidget* owner)
    : QWidget(owner, Qt::Tool),
      spanText_(new QLabel(this)),
      table_(new QTableWidget(kMeasureCount, 0, this)),
      cursorText_(new QLabel(this)),
      betweenCursors_(
          new QCheckBox(QStringLiteral("Measure between the time cursors only"), this)) {
    setWindowTitle(QString::fromLatin1(kCaption));
    QStringList names;
    for (int m = 0; m < kMeasureCount; ++m)
        names << QString::fromLatin1(measureName(Measure(m)));
    table_->setVerticalHeaderLabels(names);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    cursorText_->setTextFormat(Qt::PlainText);
    cursorText_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    cursorText_->setFont(QFont(QStringLiteral("monospace")));
    spanText_->setTextFormat(Qt::PlainText);
    spanText_->hide();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(spanText_);
    layout->addWidget(table_);
    layout->addWidget(cursorText_);
    layout->addWidget(betweenCursors_);
    resize(800, 600);
}

void MeasurementWindow::showReadings(const std::vector<SourceReadings>& sources) {
    table_->setColumnCount(static_cast<int>(sources.size()));
    for (int c = 0; c < static_cast<int>(sources.size()); ++c) {
        const SourceReadings& s = sources[static_cast<std::size_t>(c)];
        table_->setHorizontalHeaderItem(c, new QTableWidgetItem(QString::fromStdString(s.name)));
        for (int m = 0; m < kMeasureCount; ++m) {
            // A source that was not measured says why once, in its first row.
            const std::string text = !s.absent.empty()
                                         ? (m == 0 ? "\u2014 " + s.absent : std::string())
                                         : readingText(s[Measure(m)], Measure(m), s.units);
            table_->setItem(m, c, new QTableWidgetItem(QString::fromStdString(text)));
        }
    }
}

void MeasurementWindow::showCursorText(const std::string& text) {
    cursorText_->setText(QString::fromStdString(text));
    cursorText_->setVisible(!text.empty());
}

void MeasurementWindow::showSpan(const std::string& text) {
    spanText_->setText(QString::fromStdString(text));
    spanText_->setVisible(!text.empty());
}

}  // namespace curvalon
