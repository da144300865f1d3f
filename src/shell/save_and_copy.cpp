#include "shell/save_and_copy.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QMimeData>

#include "plot/composition.h"
#include "shell/whole_file.h"

namespace curvalon {

namespace {

const QString kDataType = QStringLiteral("Data (*.csv)");
const QString kPictureType = QStringLiteral("Picture (*.png)");

// "curvalon-YYYYMMDD-HHMMSS", from the stamp of the last read, or from now before any read.
QString defaultName(const LocalDateTime& t) {
    return QStringLiteral("curvalon-%1%2%3-%4%5%6")
        .arg(t.year, 4, 10, QChar('0'))
        .arg(t.month, 2, 10, QChar('0'))
        .arg(t.day, 2, 10, QChar('0'))
        .arg(t.hour, 2, 10, QChar('0'))
        .arg(t.minute, 2, 10, QChar('0'))
        .arg(t.second, 2, 10, QChar('0'));
}

}  // namespace

SaveAndCopy::SaveAndCopy(MainWindow& window, QtWindowOps& ops, const MeasureControl& measure,
                         std::function<bool()> drawing)
    : window_(window), ops_(ops), measure_(measure), drawing_(std::move(drawing)) {}

void SaveAndCopy::keepPicture() {
    last_ = window_.picture();
}

// While a single read draws, the picture of the last completed one; a run holds it on screen.
QImage SaveAndCopy::picture() const {
    return drawing_() ? last_ : window_.picture();
}

void SaveAndCopy::save() {
    const Snapshot& read = measure_.acquisition();
    if (!read) return;
    ops_.setStatusText("Stat:");
    const LocalDateTime stamp = read->stamp ? *read->stamp : ops_.now();
    if (folder_.isEmpty()) folder_ = QDir::homePath();
    QFileDialog dialog(&window_, QStringLiteral("Save"), folder_);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters({kDataType, kPictureType});
    dialog.selectFile(defaultName(stamp));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        ops_.setStatusText("");
        return;
    }
    QString path = dialog.selectedFiles().front();
    const QFileInfo file(path);
    // A name's own extension decides the format; a name without one gets the chosen type's.
    const QString suffix = file.suffix().toLower();
    const bool picture =
        suffix == "png" || (suffix != "csv" && dialog.selectedNameFilter() == kPictureType);
    if (suffix.isEmpty()) path += picture ? ".png" : ".csv";
    if (!write(path, picture)) {
        ops_.setStatusText("");
        return;
    }
    // Only a folder that took a file is offered again: one that failed may be unusable, or slow
    // enough to list that the dialog would hang.
    folder_ = file.absolutePath();
    // Stays until the next command, so the operator sees where the file went.
    window_.statusPanel()->setText(QStringLiteral("Saved ") + QDir::toNativeSeparators(path));
}

// The file appears whole or not at all; a failure leaves whatever was there before.
bool SaveAndCopy::write(const QString& path, bool picture) {
    const QByteArray bytes = picture ? pngBytes(this->picture()) : measure_.table(',');
    const QString failure = bytes.isEmpty() ? QStringLiteral("The picture could not be encoded")
                                            : writeWholeFile(path, bytes);
    if (failure.isEmpty()) return true;
    ops_.notice(QStringLiteral("Cannot save %1:\n%2").arg(QDir::toNativeSeparators(path), failure));
    return false;
}

void SaveAndCopy::copy(bool picture, bool data) {
    if (!measure_.acquisition()) return;
    auto* mime = new QMimeData;
    if (picture) mime->setImageData(this->picture());
    // Tab-separated: what spreadsheets paste as columns.
    if (data) mime->setText(QString::fromLatin1(measure_.table('\t')));
    QApplication::clipboard()->setMimeData(mime);
    // Stays until the next command, as Save's does: "Copied: picture and data of CH1, CH4".
    const QString what = picture && data ? QStringLiteral("picture and data")
                         : picture       ? QStringLiteral("picture")
                                         : QStringLiteral("data");
    const QString sources = measure_.sourceNames();
    window_.statusPanel()->setText(QStringLiteral("Copied: ") + what +
                                   (sources.isEmpty() ? QString() : " of " + sources));
}

}  // namespace curvalon
