// Curve > Run, Record… and Hold acquisition while reading: full reads back to back, every
// completed read written to a folder, and all channels of a read from one acquisition.
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

#include "analysis/exact_decimal.h"
#include "shell/scope_app.h"
#include "shell/whole_file.h"

namespace curvalon {

namespace {

// While another command waits for a reply, the next read of a run waits this long to try again.
constexpr int kRunRetryMs = 10;

const QString kIndexName = QStringLiteral("index.csv");

QString exact(double x) {
    const auto d = decimalOf(x);
    return x == 0 || !d ? QString() : QString::fromStdString(decimalText(*d));
}

}  // namespace

void ScopeApp::toggleRun() {
    if (running_) {
        stopRun();  // the read in progress ends as any read does
        return;
    }
    if (!mayStartCommand()) {
        window_.runItems().run->setChecked(false);
        return;
    }
    running_ = true;
    runs_ = 0;
    window_.runItems().run->setChecked(true);
    runTimer_.start(0);
}

void ScopeApp::stopRun() {
    running_ = false;
    runTimer_.stop();
    window_.runItems().run->setChecked(false);
}

// One read of a run, started from the event loop so that whatever the operator did meanwhile
// (zoom, a channel switched, Save) is done first.
void ScopeApp::runOnce() {
    if (!running_) return;
    if (!mayStartCommand()) {
        runTimer_.start(kRunRetryMs);
        return;
    }
    const int boxes = ops_.messageBoxesShown();
    wrapped([this] { run(Command::NewCurve, 0); });
    ++runs_;
    // A failed exchange has shown its box: the run ends there.
    if (ops_.messageBoxesShown() != boxes) stopRun();
    showRunStatus(true);
    if (saveAfterRead_) {
        saveAfterRead_ = false;
        save();
    }
    if (running_) runTimer_.start(0);
}

// The counts stay in the status panel until the next command; the run's count also once the run
// has ended, so the operator sees how far it came.
void ScopeApp::showRunStatus(bool afterRead) {
    QStringList parts;
    if (running_ || afterRead) parts << QStringLiteral("Run: %1 reads").arg(runs_);
    if (!recordFolder_.isEmpty()) parts << QStringLiteral("Recorded %1").arg(recorded_);
    if (!parts.isEmpty()) window_.statusPanel()->setText(parts.join(QStringLiteral("   ")));
}

void ScopeApp::toggleRecord() {
    QAction* item = window_.runItems().record;
    if (!recordFolder_.isEmpty() || !mayStartCommand()) {
        stopRecording();
        return;
    }
    QFileDialog dialog(&window_, QStringLiteral("Record into"),
                       saveFolder_.isEmpty() ? QDir::homePath() : saveFolder_);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        item->setChecked(false);
        return;
    }
    recordFolder_ = dialog.selectedFiles().front();
    recorded_ = 0;
    item->setChecked(true);
    showRunStatus(false);
}

void ScopeApp::stopRecording() {
    recordFolder_.clear();
    window_.runItems().record->setChecked(false);
}

// The completed read into a file of its own, named after the moment it completed, and a row of
// the index; each file a millisecond after the last, so no name is taken twice.
void ScopeApp::recordRead() {
    if (recordFolder_.isEmpty()) return;
    QDateTime at = QDateTime::currentDateTime();
    if (lastRecorded_.isValid() && at <= lastRecorded_) at = lastRecorded_.addMSecs(1);
    lastRecorded_ = at;
    const QString name = QStringLiteral("curvalon-%1.csv").arg(at.toString("yyyyMMdd-HHmmss-zzz"));
    const QString path = QDir(recordFolder_).filePath(name);
    QString failure = writeWholeFile(path, table(','));
    if (failure.isEmpty()) failure = appendIndexRow(name, at);
    if (!failure.isEmpty()) {
        const QString shown =
            QDir::toNativeSeparators(failure.startsWith('\n') ? recordFolder_ : path);
        stopRecording();
        QMessageBox box(
            QMessageBox::NoIcon, QString::fromLatin1(QtWindowOps::kApplicationTitle),
            QStringLiteral("Recording stopped: cannot write %1:\n%2").arg(shown, failure.trimmed()),
            QMessageBox::Ok, &window_);
        box.setTextFormat(Qt::PlainText);  // a folder's name may look like markup
        box.exec();
        return;
    }
    ++recorded_;
}

// Appended and flushed at once, so that the index holds every file written, also after a crash.
// The reason of a failure starts with a line break, to tell it from the data file's.
QString ScopeApp::appendIndexRow(const QString& name, const QDateTime& at) {
    QFile index(QDir(recordFolder_).filePath(kIndexName));
    const bool fresh = !index.exists() || index.size() == 0;
    if (!index.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
        return '\n' + index.errorString();
    QStringList cells;
    if (fresh) {
        cells << "sequence"
              << "file"
              << "time"
              << "time per division (s)";
        for (int ch = 0; ch < kChannelCount; ++ch)
            cells << QStringLiteral("CH%1 volts per division (V)").arg(ch + 1)
                  << QStringLiteral("CH%1 frequency (Hz)").arg(ch + 1);
        cells.back() += '\n';
    }
    const QString time = at.toOffsetFromUtc(at.offsetFromUtc()).toString(Qt::ISODateWithMs);
    QStringList row = {QString::number(recorded_ + 1), name, time, exact(snapshot_->timeDiv)};
    const std::vector<SourceReadings> measured = readings();
    for (int ch = 0; ch < kChannelCount; ++ch) {
        QString volts, frequency;
        for (const SourceReadings& r : measured) {
            if (r.source != ch || !r.absent.empty()) continue;
            volts = exact(snapshot_->voltDiv[static_cast<std::size_t>(ch)]);
            const Reading& f = r[Measure::Frequency];
            if (f.value && r.units.time == "s")
                frequency = QString::fromStdString(tableNumber(*f.value));
        }
        row << volts << frequency;
    }
    const QByteArray text = (cells.join(',') + row.join(',') + '\n').toUtf8();
    if (index.write(text) != text.size() || !index.flush()) return '\n' + index.errorString();
    return {};
}

}  // namespace curvalon
