// Curve > Run and Record…, and what every read leaves behind: the acquisition that files,
// copies and measurements work from, and the recording's file and index row.
#include <QDateTime>
#include <QDir>
#include <QFileDialog>

#include "analysis/exact_decimal.h"
#include "shell/scope_app.h"

namespace curvalon {

namespace {

QString exact(double x) {
    const auto d = decimalOf(x);
    return x == 0 || !d ? QString() : QString::fromStdString(decimalText(*d));
}

}  // namespace

namespace {

QString needsInstrument(const QAction* item) {
    return item->text().section(QChar(0x2026), 0, 0) +
           QStringLiteral(" needs an instrument: none answers (demo mode)");
}

}  // namespace

// Run, Record and Hold do nothing without an instrument: greyed out in demo mode, each says so
// when pointed at. One that is on stays available, to be switched off.
void ScopeApp::showInstrumentItems() {
    const MainWindow::RunItems& items = window_.runItems();
    for (QAction* item : {items.run, items.record, items.hold})
        item->setEnabled(state_.scopePresent == 1 || item->isChecked());
}

// item: the one pointed at, where the style lets a greyed item be pointed at; none when the
// Curve menu opens, which says it for all three.
void ScopeApp::sayWhyGreyed(QAction* item) {
    const MainWindow::RunItems& items = window_.runItems();
    if (!item && !items.run->isEnabled())
        window_.statusPanel()->setText(
            QStringLiteral("Run, Record and Hold need an instrument: none answers (demo mode)"));
    else if (item && !item->isEnabled() &&
             (item == items.run || item == items.record || item == items.hold))
        window_.statusPanel()->setText(needsInstrument(item));
}

void ScopeApp::toggleRun() {
    if (!run_.running() && state_.scopePresent != 1) {
        window_.runItems().run->setChecked(false);
        window_.statusPanel()->setText(needsInstrument(window_.runItems().run));
        return;
    }
    if (!run_.running() && (state_.startupDone != 1 || link_.busy())) {
        window_.runItems().run->setChecked(false);
        ops_.setStatusText("Busy: a read is in progress (Esc cancels it)");
        return;
    }
    leaveReview();
    run_.toggle();
}

// One read of a run: the plot holds the last completed read until this one is whole, and the
// status panel tells how far the run has come.
bool ScopeApp::runRead() {
    window_.holdPlot(true);
    ops_.statusFilter = [this](const std::string& text) { return run_.progressText(text); };
    bool completed = false;
    wrapped([&] { completed = fullRead(Command::NewCurve); });
    ops_.statusFilter = {};
    return completed;
}

void ScopeApp::showRunStatus() {
    showInstrumentItems();
    if (run_.reading()) {
        window_.statusPanel()->setText(QString::fromStdString(run_.progress()));
        return;
    }
    QStringList parts;
    if (run_.running() || run_.reads() > 0)
        parts << QStringLiteral("Run: %1 reads").arg(run_.reads());
    if (recorder_.active()) parts << QStringLiteral("Recorded %1").arg(recorder_.recorded());
    if (!parts.isEmpty()) window_.statusPanel()->setText(parts.join(QStringLiteral("   ")));
}

void ScopeApp::toggleRecord() {
    QAction* item = window_.runItems().record;
    if (recorder_.active()) {
        recorder_.stop();
        item->setChecked(false);
        return;
    }
    item->setChecked(false);
    if (state_.scopePresent != 1) {
        window_.statusPanel()->setText(needsInstrument(item));
        return;
    }
    QFileDialog dialog(&window_, QStringLiteral("Record into"),
                       export_.folder().isEmpty() ? QDir::homePath() : export_.folder());
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    recorder_.start(dialog.selectedFiles().front());
    item->setChecked(true);
    showRunStatus();
}

// A partial read (one channel, the references) brings only its own sources; the settings it
// did not read are those of the last full read, and the data file says so.
void ScopeApp::readDone(const ReadScope& scope) {
    // Without an instrument (demo mode, or one that stopped answering SEL?) a read is refused and
    // reads nothing: the last acquisition, the demo waveforms or an earlier read, stays.
    if (scope.kind != ReadScope::Generated && state_.scopePresent != 1 && measure_.acquisition()) {
        if (window_.plotHeld() || redrawAfterRead_) composer_.reDraw();
        window_.holdPlot(false);
        redrawAfterRead_ = false;
        const std::string failure = ops_.readFailure().value_or("");
        if (!failure.empty()) {
            measure_.readFailed(QDateTime::currentMSecsSinceEpoch(), failure);
            refreshTrend();
        }
        recordRead(scope, failure);
        return;
    }
    const bool partial = scope.kind == ReadScope::OneChannel || scope.kind == ReadScope::References;
    const LocalDateTime now = ops_.now();
    auto a = std::make_shared<Acquisition>(
        partial ? *takeSnapshot(state_, timeStamp(now), now)
                : *takeSnapshot(state_, composer_.stampText(),
                                composer_.stampText().empty()
                                    ? std::nullopt
                                    : std::optional<LocalDateTime>(composer_.stamp())));
    for (int src = 0; partial && src < kSourceCount; ++src) {
        const bool brought =
            scope.kind == ReadScope::OneChannel ? src == scope.channel : src >= kFirstRef;
        if (!brought) a->valid[static_cast<std::size_t>(src)] = false;
    }
    if (partial) a->settingsStampText = composer_.stampText();
    if (scope.kind != ReadScope::Generated) a->failure = ops_.readFailure().value_or("");
    // The picture whole, once the read is: a run held the last one while this one was read.
    if (window_.plotHeld() || redrawAfterRead_) composer_.reDraw();
    window_.holdPlot(false);
    redrawAfterRead_ = false;
    if (const Snapshot& before = measure_.acquisition()) cursors_.keepTimes(*before, *a);
    measure_.setAcquisition(std::move(a));
    measure_.readCompleted(QDateTime::currentMSecsSinceEpoch());
    shown_.keep(state_);
    export_.keepPicture();
    refreshMeasurements();
    refreshTrend();
    showInstrumentItems();
    if (scope.kind != ReadScope::Generated) recordRead(scope, measure_.acquisition()->failure);
    if (saveWaiting_) {
        // Outside the read's own call, which may sit inside a wait.
        saveWaiting_ = false;
        QTimer::singleShot(0, &timer1_, [this] { export_.save(); });
    }
}

// The read into a file of its own and a row of the index; a failed read into a row that says
// why. Settings that a partial read did not read are left out of its row.
void ScopeApp::recordRead(const ReadScope& scope, const std::string& failure) {
    if (!recorder_.active()) return;
    RecordedRead read;
    const Acquisition& done = *measure_.acquisition();
    read.failure = QString::fromLatin1(failure.c_str());
    if (read.failure.isEmpty()) read.data = measure_.table(',');
    // A failed read's values are not written as read: its status says why.
    const bool settingsRead = scope.kind == ReadScope::Full && read.failure.isEmpty();
    if (settingsRead) read.timeDiv = exact(done.timeDiv);
    const std::vector<SourceReadings> measured = measure_.readings();
    for (int ch = 0; ch < kChannelCount; ++ch) {
        QString volts, frequency;
        for (const SourceReadings& r : measured) {
            if (r.source != ch || !r.absent.empty() || !read.failure.isEmpty()) continue;
            if (settingsRead) volts = exact(done.voltDiv[static_cast<std::size_t>(ch)]);
            const Reading& f = r[Measure::Frequency];
            if (f.value && r.units.time == "s")
                frequency = QString::fromStdString(tableNumber(*f.value));
        }
        read.voltDiv << volts;
        read.frequency << frequency;
    }
    if (const auto span = measure_.span()) {
        read.spanFrom = QString::fromStdString(span->first);
        read.spanTo = QString::fromStdString(span->second);
    }
    const QString written = recorder_.record(read);
    if (written.isEmpty()) return;
    window_.runItems().record->setChecked(false);
    ops_.notice(QStringLiteral("Recording stopped: cannot write ") + written);
}

}  // namespace curvalon
