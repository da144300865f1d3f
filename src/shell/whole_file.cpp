#include "shell/whole_file.h"

#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <QSaveFile>
#include <cerrno>

namespace curvalon {

QString writeWholeFile(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    // Unbuffered, so that a write the disk takes only in part says so here, not later inside a
    // flush whose count nobody sees.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return file.errorString();
    // The file system takes what fits and reports the rest as written nowhere, without an error
    // of the file's own; the system's reason is then in errno.
    if (file.write(bytes) != bytes.size()) {
        const QString reason =
            file.error() == QFileDevice::NoError ? qt_error_string(errno) : file.errorString();
        file.cancelWriting();
        return reason;
    }
    if (!file.commit()) return file.errorString();
    return {};
}

QByteArray pngBytes(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "PNG");
    if (!writer.write(image)) return {};
    return bytes;
}

}  // namespace curvalon
