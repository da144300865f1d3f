#include "shell/recorder.h"

#include <QDir>
#include <QFile>
#include <algorithm>

#include "model/scope_state.h"
#include "shell/whole_file.h"

namespace curvalon {

namespace {

QStringList indexHeader() {
    QStringList cells = {"sequence", "file", "time", "time per division (s)"};
    for (int ch = 0; ch < kChannelCount; ++ch)
        cells << QStringLiteral("CH%1 volts per division (V)").arg(ch + 1)
              << QStringLiteral("CH%1 frequency (Hz)").arg(ch + 1);
    cells << "span from (s)"
          << "span to (s)"
          << "status";
    return cells;
}

// A box text inside one CSV cell: quoted where it holds a separator or a quote, on one line.
QString cell(QString text) {
    text.replace('\r', ' ').replace('\n', ' ');
    if (!text.contains(',') && !text.contains('"')) return text;
    return '"' + text.replace('"', QStringLiteral("\"\"")) + '"';
}

}  // namespace

// The sequence goes on after the rows an earlier recording left in the folder's index.
void Recorder::start(const QString& folder) {
    folder_ = folder;
    recorded_ = 0;
    rows_ = 0;
    QFile index(QDir(folder_).filePath(kIndexName));
    if (!index.open(QIODevice::ReadOnly)) return;
    while (!index.atEnd())
        if (!index.readLine().trimmed().isEmpty()) ++rows_;
    rows_ = std::max(rows_ - 1, 0);  // less the header
}

void Recorder::stop() {
    folder_.clear();
}

// Each read is named after the moment it completed, each a millisecond after the last, so no
// name is taken twice.
QString Recorder::record(const RecordedRead& read, QDateTime at) {
    if (!active()) return {};
    if (last_.isValid() && at <= last_) at = last_.addMSecs(1);
    last_ = at;
    QString name, failure;
    if (!read.data.isEmpty()) {
        name = QStringLiteral("curvalon-%1.csv").arg(at.toString("yyyyMMdd-HHmmss-zzz"));
        const QString path = QDir(folder_).filePath(name);
        failure = writeWholeFile(path, read.data);
        if (!failure.isEmpty()) failure = QDir::toNativeSeparators(path) + ":\n" + failure;
    }
    if (failure.isEmpty()) failure = appendIndexRow(read, name, at);
    if (!failure.isEmpty()) {
        stop();
        return failure;
    }
    if (!name.isEmpty()) ++recorded_;
    return {};
}

// Appended and flushed at once, so that the index holds every file written, also after a crash.
QString Recorder::appendIndexRow(const RecordedRead& read, const QString& name,
                                 const QDateTime& at) {
    QFile index(QDir(folder_).filePath(kIndexName));
    const bool fresh = !index.exists() || index.size() == 0;
    const auto failed = [&] {
        return QDir::toNativeSeparators(folder_) + ":\n" + index.errorString();
    };
    if (!index.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) return failed();
    const QString time = at.toOffsetFromUtc(at.offsetFromUtc()).toString(Qt::ISODateWithMs);
    QStringList row = {QString::number(++rows_), name, time, read.timeDiv};
    for (int ch = 0; ch < kChannelCount; ++ch)
        row << read.voltDiv.value(ch) << read.frequency.value(ch);
    row << read.spanFrom << read.spanTo << cell(read.failure);
    QString text = row.join(',') + '\n';
    if (fresh) text.prepend(indexHeader().join(',') + '\n');
    const QByteArray bytes = text.toUtf8();
    if (index.write(bytes) != bytes.size() || !index.flush()) return failed();
    return {};
}

}  // namespace curvalon
