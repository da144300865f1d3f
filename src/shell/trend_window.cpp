#include "shell/trend_window.h"

#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLegendMarker>
#include <QLineSeries>
#include <QMimeData>
#include <QPushButton>
#include <QScatterSeries>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <optional>

#include "analysis/quantity_text.h"
#include "shell/whole_file.h"

namespace curvalon {

namespace {

// Past this many unbroken stretches a series is drawn as points alone: a line per stretch
// would cost more than the picture gains.
constexpr int kMostStretches = 100;

QColor colourOf(int source) {
    const Rgb c = tables::kTraceColor[std::size_t(source)];
    return QColor(redOf(c), greenOf(c), blueOf(c));
}

// "2026-12-08T14:03:11.123+01:00", in the local time the reads were taken in.
QString isoText(std::int64_t ms) {
    return QDateTime::fromMSecsSinceEpoch(ms)
        .toOffsetFromUtc(QDateTime::fromMSecsSinceEpoch(ms).offsetFromUtc())
        .toString(Qt::ISODateWithMs);
}

// The unbroken stretches of a series between reads without a value, as points in axis units.
// More reads than twice the pixels across are drawn as each column's lowest and highest value,
// which paints the same picture in a fraction of the time; a gap then is a column without any.
std::vector<QList<QPointF>> stretchesOf(const MeasureHistory& history,
                                        const std::vector<double>& values, double factor,
                                        int pixels) {
    std::vector<QList<QPointF>> stretches(1);
    const std::size_t n = values.size();
    const std::size_t columns = std::max<std::size_t>(2 * std::size_t(std::max(pixels, 1)), 2);
    const auto point = [&](std::size_t i) {
        return QPointF(double(history.time(i)), values[i] * factor);
    };
    if (n <= columns) {
        for (std::size_t i = 0; i < n; ++i) {
            if (std::isnan(values[i])) {
                if (!stretches.back().isEmpty()) stretches.emplace_back();
            } else {
                stretches.back().append(point(i));
            }
        }
    } else {
        const double first = double(history.time(0)), span = double(history.time(n - 1)) - first;
        std::size_t i = 0;
        for (std::size_t c = 0; c < columns; ++c) {
            const double end = first + span * double(c + 1) / double(columns);
            std::optional<std::size_t> low, high;
            for (; i < n && (double(history.time(i)) <= end || c + 1 == columns); ++i) {
                if (std::isnan(values[i])) continue;
                if (!low || values[i] < values[*low]) low = i;
                if (!high || values[i] > values[*high]) high = i;
            }
            if (!low) {
                if (!stretches.back().isEmpty()) stretches.emplace_back();
                continue;
            }
            stretches.back().append(point(std::min(*low, *high)));
            if (*low != *high) stretches.back().append(point(std::max(*low, *high)));
        }
    }
    if (stretches.back().isEmpty()) stretches.pop_back();
    return stretches;
}

// The plotted sources' series and their statistics, with where their extremes lie.
std::vector<TrendWindow::Plotted> plottedOf(const MeasureHistory& history,
                                            const std::vector<int>& sources, Measure m) {
    std::vector<TrendWindow::Plotted> plots;
    for (int source : sources) {
        TrendWindow::Plotted p{source, history.series(source, m), {}};
        for (std::size_t i = 0; i < p.series.values.size(); ++i) {
            const double v = p.series.values[i];
            if (std::isnan(v)) continue;
            if (p.statistics.count() == 0 || v < p.statistics.min()) p.lowest = i;
            if (p.statistics.count() == 0 || v > p.statistics.max()) p.highest = i;
            p.statistics.add(v);
        }
        plots.push_back(std::move(p));
    }
    return plots;
}

// Clock time over the history's reads, with dates once they span more than a day.
QDateTimeAxis* timeAxisOf(const MeasureHistory& history) {
    auto* axis = new QDateTimeAxis;
    axis->setTitleText(QStringLiteral("Time"));
    if (history.size() == 0) return axis;
    std::int64_t first = history.time(0), last = history.time(history.size() - 1);
    axis->setFormat(last - first > 24LL * 3600 * 1000 ? QStringLiteral("MM-dd HH:mm")
                                                      : QStringLiteral("HH:mm:ss"));
    if (last - first < 1000) first -= 500, last += 500;  // one read still has a width
    axis->setRange(QDateTime::fromMSecsSinceEpoch(first), QDateTime::fromMSecsSinceEpoch(last));
    return axis;
}

// "CH1: last 2.078 kHz  mean …  count 58 of 60".
QString statisticsLine(const QString& name, const TrendWindow::Plotted& p, std::size_t reads) {
    const RunningStatistics& st = p.statistics;
    const auto text = [&p](double v) {
        return QString::fromStdString(quantityText(v, p.series.unit));
    };
    const auto deviation = st.deviation();
    return QStringLiteral("%1: last %2  mean %3  min %4  max %5  std %6  count %7 of %8")
        .arg(name, text(st.last()), text(st.mean()), text(st.min()), text(st.max()),
             deviation ? text(*deviation) : QStringLiteral("\u2014"))
        .arg(st.count())
        .arg(reads);
}

}  // namespace

TrendWindow::TrendWindow(QWidget* owner, std::function<const MeasureHistory&()> history)
    : QWidget(owner, Qt::Window),
      history_(std::move(history)),
      measureBox_(new QComboBox(this)),
      sourceRow_(new QWidget(this)),
      chart_(new QChart),
      view_(new QChartView(chart_, this)),
      statisticsText_(new QLabel(this)) {
    setWindowTitle(QString::fromLatin1(kCaption));
    for (int m = 0; m < kMeasureCount; ++m)
        measureBox_->addItem(QString::fromLatin1(measureName(Measure(m))), m);
    measureBox_->setCurrentIndex(int(Measure::Frequency));
    connect(measureBox_, &QComboBox::activated, this, [this] { refresh(); });
    auto* sourceLayout = new QHBoxLayout(sourceRow_);
    sourceLayout->setContentsMargins(0, 0, 0, 0);
    auto* copyButton = new QPushButton(QStringLiteral("Copy"), this);
    auto* saveButton = new QPushButton(QStringLiteral("Save\u2026"), this);
    copyButton->setToolTip(QKeySequence(QKeySequence::Copy).toString(QKeySequence::NativeText));
    saveButton->setToolTip(QKeySequence(QKeySequence::Save).toString(QKeySequence::NativeText));
    connect(copyButton, &QPushButton::clicked, this, &TrendWindow::copy);
    connect(saveButton, &QPushButton::clicked, this, &TrendWindow::save);
    auto* top = new QHBoxLayout;
    top->addWidget(measureBox_);
    top->addWidget(sourceRow_);
    top->addStretch();
    top->addWidget(copyButton);
    top->addWidget(saveButton);
    chart_->setTheme(QChart::ChartThemeDark);  // the trace colours read as on the plot
    chart_->legend()->setAlignment(Qt::AlignBottom);
    view_->setRenderHint(QPainter::Antialiasing, false);
    view_->setMinimumSize(560, 320);
    statisticsText_->setTextFormat(Qt::PlainText);
    statisticsText_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    statisticsText_->setFont(QFont(QStringLiteral("monospace")));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(view_, 1);
    layout->addWidget(statisticsText_);
    for (QWidget* w : {static_cast<QWidget*>(this), static_cast<QWidget*>(view_),
                       static_cast<QWidget*>(measureBox_)})
        w->installEventFilter(this);
}

QCheckBox* TrendWindow::sourceBox(int source) const {
    for (const auto& [s, box] : sourceBoxes_)
        if (s == source) return box;
    return nullptr;
}

Measure TrendWindow::measure() const {
    return Measure(measureBox_->currentData().toInt());
}

std::vector<int> TrendWindow::plotted() const {
    std::vector<int> out;
    for (const auto& [source, box] : sourceBoxes_)
        if (box->isChecked()) out.push_back(source);
    return out;
}

void TrendWindow::choose(Measure measure, const std::vector<int>& sources) {
    measureBox_->setCurrentIndex(int(measure));
    wanted_ = sources;
    sourceBoxes_.clear();  // made again with the choice checked
    refresh();
}

void TrendWindow::rebuildSourceBoxes(const std::vector<int>& sources) {
    std::vector<int> had;
    for (const auto& [source, box] : sourceBoxes_)
        had.push_back(source);
    if (had == sources) return;
    if (!sourceBoxes_.empty()) wanted_ = plotted();
    for (const auto& [source, box] : sourceBoxes_)
        delete box;
    sourceBoxes_.clear();
    const MeasureHistory& history = history_();
    for (int source : sources) {
        auto* box = new QCheckBox(QString::fromStdString(history.name(source)), sourceRow_);
        box->setChecked(std::find(wanted_.begin(), wanted_.end(), source) != wanted_.end());
        connect(box, &QCheckBox::toggled, this, [this] {
            wanted_ = plotted();
            refresh();
        });
        sourceRow_->layout()->addWidget(box);
        sourceBoxes_.emplace_back(source, box);
    }
}

void TrendWindow::refresh() {
    const MeasureHistory& history = history_();
    rebuildSourceBoxes(history.sources());
    chart_->removeAllSeries();
    for (QAbstractAxis* axis : chart_->axes())
        chart_->removeAxis(axis), delete axis;

    const Measure m = measure();
    const std::vector<Plotted> plots = plottedOf(history, plotted(), m);
    double largest = 0;
    for (const Plotted& p : plots)
        if (p.statistics.count() > 0)
            largest =
                std::max({largest, std::abs(p.statistics.min()), std::abs(p.statistics.max())});
    const AxisUnit unit =
        axisUnit(largest, plots.empty() ? unitOf(m, {"counts", "samples"}) : plots[0].series.unit);
    const Axes axes{timeAxisOf(history), new QValueAxis};
    axes.value->setTitleText(QStringLiteral("%1 (%2)").arg(QString::fromLatin1(measureName(m)),
                                                           QString::fromStdString(unit.unit)));
    chart_->addAxis(axes.time, Qt::AlignBottom);
    chart_->addAxis(axes.value, Qt::AlignLeft);

    std::optional<std::pair<double, double>> range;  // of every value plotted
    QStringList lines;
    for (const Plotted& p : plots) {
        const QString name = QString::fromStdString(history.name(p.source));
        drawStretches(history, p, name, unit.factor, axes);
        if (p.statistics.count() == 0) {
            lines << name + QStringLiteral(": no value in any read");
            continue;
        }
        drawMeanAndExtremes(history, p, name, unit.factor, axes);
        lines << statisticsLine(name, p, history.size());
        range = range ? std::pair{std::min(range->first, p.statistics.min()),
                                  std::max(range->second, p.statistics.max())}
                      : std::pair{p.statistics.min(), p.statistics.max()};
    }
    if (plots.empty()) lines << QStringLiteral("Choose a source to plot");
    statisticsText_->setText(lines.join('\n'));
    if (range) {
        const auto [low, high] = *range;
        const double margin =
            high > low ? (high - low) * 0.05 : std::max(std::abs(high) * 0.05, 1e-12);
        axes.value->setRange((low - margin) * unit.factor, (high + margin) * unit.factor);
        axes.value->applyNiceNumbers();
    }
}

void TrendWindow::attach(QXYSeries* series, const Axes& axes) {
    chart_->addSeries(series);
    series->attachAxis(axes.time);
    series->attachAxis(axes.value);
    connect(series, &QXYSeries::clicked, this, &TrendWindow::pointClicked);
}

// The source's values as lines between the reads without a value, or as points where the
// stretches are too many for lines; one entry in the legend.
void TrendWindow::drawStretches(const MeasureHistory& history, const Plotted& p,
                                const QString& name, double factor, const Axes& axes) {
    const QColor colour = colourOf(p.source);
    const std::vector<QList<QPointF>> stretches =
        stretchesOf(history, p.series.values, factor, view_->width());
    const bool asLines = int(stretches.size()) <= kMostStretches;
    bool named = false;
    for (const QList<QPointF>& points : stretches) {
        QXYSeries* s = asLines && points.size() > 1 ? static_cast<QXYSeries*>(new QLineSeries)
                                                    : new QScatterSeries;
        s->replace(points);
        s->setColor(colour);
        if (auto* scatter = qobject_cast<QScatterSeries*>(s)) {
            scatter->setMarkerSize(5);
            scatter->setBorderColor(colour);
        } else if (points.size() <= 200) {
            s->setPointsVisible(true);
        }
        s->setName(name);
        attach(s, axes);
        if (named)
            for (QLegendMarker* marker : chart_->legend()->markers(s))
                marker->setVisible(false);
        named = true;
    }
}

void TrendWindow::drawMeanAndExtremes(const MeasureHistory& history, const Plotted& p,
                                      const QString& name, double factor, const Axes& axes) {
    const QColor colour = colourOf(p.source);
    const RunningStatistics& st = p.statistics;
    auto* mean = new QLineSeries;
    mean->append(double(history.time(0)), st.mean() * factor);
    mean->append(double(history.time(history.size() - 1)), st.mean() * factor);
    mean->setPen(QPen(colour, 1, Qt::DashLine));
    mean->setName(name + QStringLiteral(" mean"));
    attach(mean, axes);
    auto* extremes = new QScatterSeries;
    extremes->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
    extremes->setMarkerSize(10);
    extremes->setColor(Qt::transparent);
    extremes->setBorderColor(colour);
    extremes->append(double(history.time(p.lowest)), st.min() * factor);
    extremes->append(double(history.time(p.highest)), st.max() * factor);
    extremes->setName(name + QStringLiteral(" min, max"));
    attach(extremes, axes);
}

void TrendWindow::pointClicked(const QPointF& point) {
    const MeasureHistory& history = history_();
    const std::vector<int> sources = plotted();
    std::vector<MeasureHistory::Series> series;
    for (int source : sources)
        series.push_back(history.series(source, measure()));
    std::optional<std::size_t> nearest;
    double distance = 0;
    for (std::size_t i = 0; i < history.size(); ++i) {
        const bool valued = std::any_of(series.begin(), series.end(),
                                        [i](const auto& s) { return !std::isnan(s.values[i]); });
        const double d = std::abs(double(history.time(i)) - point.x());
        if (valued && (!nearest || d < distance)) nearest = i, distance = d;
    }
    if (nearest) emit readChosen(*nearest);
}

QString TrendWindow::table() const {
    const MeasureHistory& history = history_();
    const Measure m = measure();
    QString out = QStringLiteral("time");
    std::vector<MeasureHistory::Series> series;
    for (int source : plotted()) {
        series.push_back(history.series(source, m));
        out += QStringLiteral("\t%1 %2 (%3)")
                   .arg(QString::fromStdString(history.name(source)),
                        QString::fromLatin1(measureName(m)),
                        QString::fromStdString(series.back().unit));
    }
    out += '\n';
    for (std::size_t i = 0; i < history.size(); ++i) {
        out += isoText(history.time(i));
        for (const auto& s : series) {
            out += '\t';
            if (!std::isnan(s.values[i])) out += QString::fromStdString(tableNumber(s.values[i]));
        }
        out += '\n';
    }
    return out;
}

QImage TrendWindow::picture() {
    return view_->grab().toImage();
}

bool TrendWindow::eventFilter(QObject* watched, QEvent* event) {
    const auto type = event->type();
    if (type != QEvent::ShortcutOverride && type != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool isCopy = key->matches(QKeySequence::Copy), isSave = key->matches(QKeySequence::Save);
    if (!isCopy && !isSave) return false;
    event->accept();
    if (type == QEvent::KeyPress) isCopy ? copy() : save();
    return true;
}

void TrendWindow::copy() {
    auto* data = new QMimeData;
    data->setText(table());
    data->setImageData(picture());
    QApplication::clipboard()->setMimeData(data);
    emit copied(QStringLiteral("trend table and picture"));
}

void TrendWindow::save() {
    const QString path =
        QFileDialog::getSaveFileName(this, QStringLiteral("Save trend"), folder_,
                                     QStringLiteral("Table (*.tsv *.txt *.csv);;Picture (*.png)"),
                                     nullptr, QFileDialog::DontUseNativeDialog);
    if (path.isEmpty()) return;
    folder_ = QFileInfo(path).absolutePath();
    const QString why = saveTo(path);
    why.isEmpty() ? emit saved(path) : emit saveFailed(why);
}

QString TrendWindow::saveTo(const QString& path) {
    const bool picturePath = path.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive);
    const QByteArray bytes = picturePath ? pngBytes(picture()) : table().toUtf8();
    return bytes.isEmpty() ? QStringLiteral("the picture could not be encoded")
                           : writeWholeFile(path, bytes);
}

}  // namespace curvalon
