#include "shell/measurement_window.h"

#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScreen>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>

#include "analysis/quantity_text.h"

namespace curvalon {

QPoint placeBeside(const QRect& mainFrame, const QSize& size, const QRect& available) {
    const QRect right(QPoint(mainFrame.right() + 1, mainFrame.top()), size);
    const QRect below(QPoint(mainFrame.left(), mainFrame.bottom() + 1), size);
    const QRect left(QPoint(mainFrame.left() - size.width(), mainFrame.top()), size);
    for (QRect place : {right, below, left}) {
        // Slid along the main window's edge to stay on the screen, never onto the main window.
        if (place.left() == mainFrame.right() + 1 || place.right() == mainFrame.left() - 1)
            place.moveTop(
                std::clamp(place.top(), available.top(),
                           std::max(available.bottom() - size.height() + 1, available.top())));
        else
            place.moveLeft(
                std::clamp(place.left(), available.left(),
                           std::max(available.right() - size.width() + 1, available.left())));
        if (available.contains(place)) return place.topLeft();
    }
    // The screen is too small for both: the corner away from the readout column.
    return {std::max(available.right() - size.width() + 1, available.left()),
            std::max(available.bottom() - size.height() + 1, available.top())};
}

MeasurementWindow::MeasurementWindow(QWidget* owner)
    : QWidget(owner, Qt::Tool),
      spanText_(new QLabel(this)),
      noRead_(new QLabel(QString::fromLatin1(kNoRead), this)),
      table_(new QTableWidget(kMeasureCount, 0, this)),
      cursorText_(new QLabel(this)),
      levelRow_(new QWidget(this)),
      levelSource_(new QComboBox(levelRow_)),
      betweenCursors_(new QCheckBox(QStringLiteral("Measure between the time cursors only"), this)),
      statisticsBox_(new QCheckBox(QStringLiteral("Statistics"), this)),
      reset_(new QPushButton(QStringLiteral("Reset statistics"), this)),
      statisticsText_(new QLabel(this)) {
    setWindowTitle(QString::fromLatin1(kCaption));
    setUpTable();
    auto* levelLayout = new QHBoxLayout(levelRow_);
    levelLayout->setContentsMargins(0, 0, 0, 0);
    levelLayout->addWidget(new QLabel(QStringLiteral("Level cursors on"), levelRow_));
    levelLayout->addWidget(levelSource_);
    levelLayout->addStretch();
    levelRow_->hide();
    connect(levelSource_, &QComboBox::activated, this,
            [this](int index) { emit levelSourceChosen(levelSource_->itemData(index).toInt()); });
    statisticsText_->setTextFormat(Qt::PlainText);
    statisticsText_->setWordWrap(true);
    statisticsText_->hide();
    connect(reset_, &QPushButton::clicked, this, &MeasurementWindow::resetChosen);
    layOut();
    // The main window's copy shortcut would take Ctrl+C here too; the window claims it first.
    for (QWidget* w : {static_cast<QWidget*>(this), static_cast<QWidget*>(table_),
                       static_cast<QWidget*>(levelSource_), static_cast<QWidget*>(betweenCursors_),
                       static_cast<QWidget*>(statisticsBox_), static_cast<QWidget*>(reset_)})
        w->installEventFilter(this);
    showNoRead();
}

// One row per measurement, read only, scrolled by whole rows; the texts around it plain.
void MeasurementWindow::setUpTable() {
    QStringList names;
    for (int m = 0; m < kMeasureCount; ++m)
        names << QString::fromLatin1(measureName(Measure(m)));
    table_->setVerticalHeaderLabels(names);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    // A window kept wider than the table by its other rows gives the room to the last column.
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    cursorText_->setTextFormat(Qt::PlainText);
    cursorText_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    cursorText_->setFont(QFont(QStringLiteral("monospace")));
    spanText_->setTextFormat(Qt::PlainText);
    spanText_->hide();
    noRead_->setAlignment(Qt::AlignCenter);
    noRead_->setMinimumSize(240, 80);
}

// From the top: the span, the table (or "No read yet"), the statistics' line, the cursor
// readouts, the level cursors' source, the span box, and the statistics' box and button.
void MeasurementWindow::layOut() {
    auto* statisticsRow = new QHBoxLayout;
    statisticsRow->addWidget(statisticsBox_);
    statisticsRow->addWidget(reset_);
    statisticsRow->addStretch();
    auto* layout = new QVBoxLayout(this);
    for (QWidget* w :
         {static_cast<QWidget*>(spanText_), static_cast<QWidget*>(noRead_),
          static_cast<QWidget*>(table_), static_cast<QWidget*>(statisticsText_),
          static_cast<QWidget*>(cursorText_), levelRow_, static_cast<QWidget*>(betweenCursors_)})
        layout->addWidget(w);
    layout->addLayout(statisticsRow);
}

bool MeasurementWindow::eventFilter(QObject* watched, QEvent* event) {
    const auto type = event->type();
    if (type != QEvent::ShortcutOverride && type != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    if (!static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) return false;
    event->accept();
    if (type == QEvent::KeyPress) copySelection();
    return true;
}

void MeasurementWindow::showNoRead() {
    table_->hide();
    noRead_->show();
    fitToTable();
}

namespace {

constexpr int kStatisticsColumns = 5;  // mean, min, max, std, count

// "1 read", "12 reads".
QString reads(int n) {
    return QString::number(n) + (n == 1 ? QStringLiteral(" read") : QStringLiteral(" reads"));
}

// The statistics' cells of one measurement of one source, in the reading's units; blank where
// the statistics are in others (they begin again with the next read).
QStringList statisticsCells(const SourceReadings& s, Measure m, const MeasureStatistics& stats) {
    const MeasureCell* cell = stats.cell(s.source, m);
    const Units units = stats.unitsOf(s.source);
    QStringList cells;
    for (int i = 0; i < kStatisticsColumns; ++i)
        cells << QString();
    if (!cell || units.level != s.units.level || units.time != s.units.time) return cells;
    const RunningStatistics& v = cell->values;
    const std::string unit = unitOf(m, units);
    const auto text = [&unit](double x) { return QString::fromStdString(quantityText(x, unit)); };
    if (v.count() > 0) {
        cells[0] = text(v.mean()), cells[1] = text(v.min()), cells[2] = text(v.max());
        if (const auto deviation = v.deviation()) cells[3] = text(*deviation);
    } else if (cell->notCounted > 0) {
        cells[0] = QStringLiteral("\u2014");  // the reason is the count's tip, and the reading's
    }
    cells[4] = QString::number(v.count());
    return cells;
}

}  // namespace

void MeasurementWindow::showReadings(const std::vector<SourceReadings>& sources,
                                     const MeasureStatistics& statistics) {
    noRead_->hide();
    table_->show();
    const bool withStatistics = statisticsBox_->isChecked();
    const int perSource = withStatistics ? 1 + kStatisticsColumns : 1;
    table_->setColumnCount(static_cast<int>(sources.size()) * perSource);
    for (int c = 0; c < static_cast<int>(sources.size()); ++c) {
        const SourceReadings& s = sources[static_cast<std::size_t>(c)];
        const int column = c * perSource;
        const QString name = QString::fromStdString(s.name);
        table_->setHorizontalHeaderItem(column, new QTableWidgetItem(name));
        if (withStatistics)
            for (int i = 0; const char* what : {" mean", " min", " max", " std", " count"})
                table_->setHorizontalHeaderItem(column + 1 + i++,
                                                new QTableWidgetItem(name + what));
        for (int m = 0; m < kMeasureCount; ++m) {
            // A source that was not measured says why once, in its first row.
            const std::string text = !s.absent.empty()
                                         ? (m == 0 ? "\u2014 " + s.absent : std::string())
                                         : readingText(s[Measure(m)], Measure(m), s.units);
            table_->setItem(m, column, new QTableWidgetItem(QString::fromStdString(text)));
            if (!withStatistics) continue;
            const QStringList cells = statisticsCells(s, Measure(m), statistics);
            for (int i = 0; i < kStatisticsColumns; ++i)
                table_->setItem(m, column + 1 + i, new QTableWidgetItem(cells[i]));
            const MeasureCell* cell = statistics.cell(s.source, Measure(m));
            if (cell && cell->notCounted > 0)
                table_->item(m, column + kStatisticsColumns)
                    ->setToolTip(
                        QStringLiteral("%1 not counted (the last: %2)")
                            .arg(reads(cell->notCounted), QString::fromStdString(cell->reason)));
        }
    }
    QString summary = QStringLiteral("Statistics over ") + reads(statistics.reads());
    if (statistics.failedReads() > 0)
        summary += QStringLiteral("; not counted: %1 failed (the last: %2)")
                       .arg(statistics.failedReads())
                       .arg(QString::fromStdString(statistics.lastFailure()));
    statisticsText_->setText(summary);
    statisticsText_->setVisible(withStatistics);
    table_->resizeColumnsToContents();
    fitToTable();
}

void MeasurementWindow::showCursorText(const std::string& text) {
    cursorText_->setText(QString::fromStdString(text));
    cursorText_->setVisible(!text.empty());
}

void MeasurementWindow::showSpan(const std::string& text) {
    spanText_->setText(QString::fromStdString(text));
    spanText_->setVisible(!text.empty());
}

void MeasurementWindow::showLevelSources(const std::vector<std::pair<int, std::string>>& sources,
                                         int current) {
    // Unchanged on most calls (every cursor move makes one): the list is left alone then.
    if (sources == levelSources_ && levelSource_->currentData().toInt() == current) return;
    levelSources_ = sources;
    levelSource_->clear();
    for (const auto& [source, name] : sources) {
        levelSource_->addItem(QString::fromStdString(name), source);
        if (source == current) levelSource_->setCurrentIndex(levelSource_->count() - 1);
    }
    levelRow_->setVisible(!sources.empty());
}

void MeasurementWindow::fitToTable() {
    const QRect avail =
        available_.isValid() ? available_ : QGuiApplication::primaryScreen()->availableGeometry();
    if (fitted_.isValid() && size() != fitted_) return;  // sized by the operator: theirs
    layout()->activate();
    QSize want = minimumSizeHint().expandedTo(sizeHint());
    if (!table_->isHidden()) {
        const int frame = 2 * table_->frameWidth();
        const QSize tableSize(table_->verticalHeader()->sizeHint().width() +
                                  table_->horizontalHeader()->length() + frame,
                              table_->horizontalHeader()->sizeHint().height() +
                                  table_->verticalHeader()->length() + frame);
        const QSize around = size() - table_->size();
        want = (tableSize + around).expandedTo(minimumSizeHint());
    }
    const QSize most = avail.size() * 9 / 10;
    // Too wide for the screen: the scroll bar along the bottom takes a row's room of its own.
    if (!table_->isHidden() && want.width() > most.width())
        want.rheight() += table_->horizontalScrollBar()->sizeHint().height();
    fitted_ = want.boundedTo(most);
    resize(fitted_);
}

void MeasurementWindow::showBeside(const QWidget& main, const QRect& available) {
    if (!placed_) {
        available_ = available;
        fitted_ = {};
        fitToTable();
        // The main window's frame, taken as this window's too until it has one.
        const QSize frame = size() + (main.frameGeometry().size() - main.size());
        move(placeBeside(main.frameGeometry(), frame, available));
        placed_ = true;
    }
    show();
    raise();
}

QString MeasurementWindow::selectedText() const {
    const QList<QTableWidgetSelectionRange> ranges = table_->selectedRanges();
    QString out;
    if (ranges.isEmpty()) {
        out = QStringLiteral("measurement");
        for (int c = 0; c < table_->columnCount(); ++c)
            out += '\t' + table_->horizontalHeaderItem(c)->text();
        out += '\n';
    }
    int top = 0, bottom = table_->rowCount() - 1, left = 0, right = table_->columnCount() - 1;
    if (!ranges.isEmpty()) {
        top = bottom = ranges.front().topRow(), left = right = ranges.front().leftColumn();
        for (const QTableWidgetSelectionRange& r : ranges) {
            top = std::min(top, r.topRow()), bottom = std::max(bottom, r.bottomRow());
            left = std::min(left, r.leftColumn()), right = std::max(right, r.rightColumn());
        }
    }
    for (int row = top; row <= bottom; ++row) {
        QStringList cells;
        if (ranges.isEmpty()) cells << table_->verticalHeaderItem(row)->text();
        for (int c = left; c <= right; ++c) {
            const QTableWidgetItem* item = table_->item(row, c);
            cells << (item && (ranges.isEmpty() || item->isSelected()) ? item->text() : QString());
        }
        out += cells.join('\t') + '\n';
    }
    return out;
}

void MeasurementWindow::copySelection() {
    if (table_->isHidden()) return;
    QApplication::clipboard()->setText(selectedText());
    emit copied(table_->selectedRanges().isEmpty() ? QStringLiteral("measurement table")
                                                   : QStringLiteral("selected measurements"));
}

}  // namespace curvalon
