#include "shell/whole_file.h"

#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <QSaveFile>

namespace curvalon {

QString writeWholeFile(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    // Unbuffered, so that a write the disk takes only in part says so here, not later inside a
    // flush whose count nobody sees.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return file.errorString();
    qint64 done = 0;
    while (done < bytes.size()) {
        // A full disk takes what fits, then refuses the rest with its reason.
        const qint64 n = file.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0) break;
        done += n;
    }
    if (done < bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return reason.isEmpty() ? QStringLiteral("Only part of the file could be written") : reason;
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
