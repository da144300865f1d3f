#include "support/golden.h"

#include <QFile>

namespace curvalon::test {

QImage golden(const QImage& picture, const QString& name) {
    const QString stored = QStringLiteral(CURVALON_GOLDEN_DIR "/%1.png").arg(name);
    if (qEnvironmentVariableIsSet("CURVALON_UPDATE_GOLDEN") && !picture.save(stored))
        qFatal("cannot store %s", qPrintable(stored));
    return QImage(stored).convertToFormat(picture.format());
}

QString golden(const QString& text, const QString& name) {
    QFile file(QStringLiteral(CURVALON_GOLDEN_DIR "/%1.txt").arg(name));
    const QByteArray bytes = text.toUtf8();
    if (qEnvironmentVariableIsSet("CURVALON_UPDATE_GOLDEN") &&
        (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush()))
        qFatal("cannot store %s", qPrintable(file.fileName()));
    file.close();
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

}  // namespace curvalon::test
