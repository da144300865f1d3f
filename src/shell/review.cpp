#include "shell/review.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <variant>

#include "analysis/data_file_reader.h"
#include "analysis/instrument_csv.h"
#include "analysis/read_error.h"

namespace curvalon {

namespace {

const char* const kDataFileHead = "# Curvalon waveform data";

using Bytes = std::variant<std::string, QString>;  // the file's bytes, or why there are none

// Refused before it is read when it is too large for any file of one record.
Bytes readWhole(const QString& path) {
    const QFileInfo info(path);
    const QString name = info.fileName();
    if (info.size() > qint64(kMaxFileBytes))
        return QString::fromStdString(errorText(name.toStdString(), tooLarge(info.size())));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return name + QStringLiteral(": cannot be read: ") + file.errorString();
    return file.readAll().toStdString();
}

QString refusal(const QString& name, const ReadError& error) {
    return QString::fromStdString(errorText(name.toStdString(), error));
}

std::variant<Snapshot, QString> readDataFileAt(const QString& path) {
    const Bytes bytes = readWhole(path);
    if (const auto* why = std::get_if<QString>(&bytes)) return *why;
    auto read = readDataFile(std::get<std::string>(bytes));
    if (!read.ok()) return refusal(QFileInfo(path).fileName(), read.error);
    return std::make_shared<const Acquisition>(std::move(*read.value));
}

// "2026-12-08 14:03:11.123", as the recording's clock stood.
QString timeText(const IndexTime& t) {
    const LocalDateTime& d = t.local;
    return QStringLiteral("%1-%2-%3 %4:%5:%6.%7")
        .arg(d.year, 4, 10, QChar('0'))
        .arg(d.month, 2, 10, QChar('0'))
        .arg(d.day, 2, 10, QChar('0'))
        .arg(d.hour, 2, 10, QChar('0'))
        .arg(d.minute, 2, 10, QChar('0'))
        .arg(d.second, 2, 10, QChar('0'))
        .arg(t.millisecond, 3, 10, QChar('0'));
}

}  // namespace

std::optional<QString> Review::open(const QStringList& paths) {
    if (paths.isEmpty()) return std::nullopt;
    const QFileInfo first(paths.front());
    if (paths.size() == 1 && first.isDir()) {
        const QDir folder(first.absoluteFilePath());
        if (folder.exists(QStringLiteral("index.csv"))) return openRecording(folder.path());
        std::vector<std::string> names;
        for (const QString& name : folder.entryList(QDir::Files))
            names.push_back(name.toStdString());
        QStringList files;
        for (const std::string& name : instrumentFilesIn(names))
            files << folder.filePath(QString::fromStdString(name));
        if (files.isEmpty())
            return folder.dirName() + QStringLiteral(
                                          ": holds neither a recording (index.csv) nor "
                                          "the instrument's waveform files (FnnnnCHx.CSV)");
        return openFiles(files);
    }
    if (paths.size() == 1 && first.fileName().compare("index.csv", Qt::CaseInsensitive) == 0)
        return openRecording(first.absolutePath());
    return openFiles(paths);
}

void Review::close() {
    shown_ = {};
    rows_.clear();
    folder_.clear();
}

std::optional<QString> Review::openFiles(const QStringList& files) {
    std::vector<NamedFile> named;
    for (const QString& path : files) {
        const Bytes bytes = readWhole(path);
        if (const auto* why = std::get_if<QString>(&bytes)) return *why;
        named.push_back({QFileInfo(path).fileName().toStdString(), std::get<std::string>(bytes)});
    }
    const bool ours = named.front().bytes.rfind(kDataFileHead, 0) == 0;
    if (ours && named.size() > 1)
        return QStringLiteral(
            "Open one of the tool's data files at a time, or the instrument's "
            "waveform files of one acquisition");
    auto read = ours ? readDataFile(named.front().bytes) : readInstrumentFiles(named);
    if (!read.ok()) return refusal(QString::fromStdString(named.front().name), read.error);
    QStringList names;
    for (const NamedFile& f : named)
        names << QString::fromStdString(f.name);
    const QFileInfo first(files.front());
    close();
    shown_.read = std::make_shared<const Acquisition>(std::move(*read.value));
    shown_.title = names.join(QStringLiteral(", "));
    shown_.status = QStringLiteral("Opened ") +
                    QDir::toNativeSeparators(files.size() == 1 ? first.absoluteFilePath()
                                                               : first.absolutePath());
    return std::nullopt;
}

std::optional<QString> Review::openRecording(const QString& folder) {
    const QString indexPath = QDir(folder).filePath(QStringLiteral("index.csv"));
    const Bytes bytes = readWhole(indexPath);
    if (const auto* why = std::get_if<QString>(&bytes)) return *why;
    auto rows = readRecordingIndex(std::get<std::string>(bytes));
    if (!rows.ok()) return refusal(QStringLiteral("index.csv"), rows.error);
    Review opened;
    opened.folder_ = folder;
    opened.rows_ = std::move(*rows.value);
    opened.at_ = opened.rows_.size();  // before the first, for Home
    if (opened.rows_.empty() || !opened.step(Qt::Key_Home))
        return QDir(folder).dirName() + QStringLiteral(": no read of the recording can be shown") +
               (opened.passed_.isEmpty() ? QString() : ": " + opened.passed_.join("; "));
    *this = std::move(opened);
    return std::nullopt;
}

std::variant<Snapshot, QString> Review::readAt(std::size_t row) const {
    const IndexRow& r = rows_[row];
    const QString number = QString::number(row + 1);
    if (r.file.empty())
        return QStringLiteral("read %1 failed (%2)").arg(number, QString::fromStdString(r.status));
    const QString path = QDir(folder_).filePath(QString::fromStdString(r.file));
    if (!QFileInfo::exists(path))
        return QStringLiteral("read %1 is missing (%2)")
            .arg(number, QString::fromStdString(r.file));
    auto read = readDataFileAt(path);
    if (const auto* why = std::get_if<QString>(&read))
        return QStringLiteral("read %1 cannot be shown (%2)").arg(number, *why);
    return read;
}

std::optional<QString> Review::showRow(std::size_t row) {
    const auto read = readAt(row);
    if (const auto* why = std::get_if<QString>(&read)) return *why;
    const QString number = QString::number(row + 1);
    const QString count = QString::number(rows_.size());
    shown_.read = std::get<Snapshot>(read);
    shown_.title = QDir(folder_).dirName() + QStringLiteral(" - read ") + number;
    shown_.status =
        QStringLiteral("Read %1 of %2, %3").arg(number, count, timeText(rows_[row].time));
    at_ = row;
    return std::nullopt;
}

bool Review::showAt(std::size_t row) {
    if (row >= rows_.size()) return false;
    const auto why = showRow(row);
    if (why) shown_.status = QStringLiteral("Cannot show ") + *why;
    return !why;
}

bool Review::step(int key) {
    const long last = long(rows_.size()) - 1;
    long from = key == Qt::Key_Home ? 0 : key == Qt::Key_End ? last : long(at_);
    const int way = key == Qt::Key_PageUp || key == Qt::Key_End ? -1 : 1;
    if (key == Qt::Key_PageDown || key == Qt::Key_PageUp) from += way;
    QStringList& passed = passed_;
    passed.clear();
    for (long row = from; row >= 0 && row <= last; row += way) {
        const auto why = showRow(std::size_t(row));
        if (!why) {
            if (!passed.isEmpty())
                shown_.status += QStringLiteral("; passed: ") + passed.join("; ");
            return true;
        }
        passed << *why;
    }
    const QString end =
        way > 0 ? QStringLiteral("no later read") : QStringLiteral("no earlier read");
    shown_.status =
        QStringLiteral("Read %1 of %2: %3").arg(at_ + 1).arg(rows_.size()).arg(end) +
        (passed.isEmpty() ? QString() : QStringLiteral(" to show; passed: ") + passed.join("; "));
    return false;
}

}  // namespace curvalon
