#include "support/golden.h"

namespace curvalon::test {

QImage golden(const QImage& picture, const QString& name) {
    const QString stored = QStringLiteral(CURVALON_GOLDEN_DIR "/%1.png").arg(name);
    if (qEnvironmentVariableIsSet("CURVALON_UPDATE_GOLDEN") && !picture.save(stored))
        qFatal("cannot store %s", qPrintable(stored));
    return QImage(stored).convertToFormat(picture.format());
}

}  // namespace curvalon::test
