#include "support/golden.h"

#include <QDir>

namespace curvalon::test {

QString goldenMismatch(const QImage& picture, const QString& name) {
    const QString stored = QStringLiteral(CURVALON_GOLDEN_DIR "/%1.png").arg(name);
    const QImage now = picture.convertToFormat(QImage::Format_RGB32);
    if (qEnvironmentVariableIsSet("CURVALON_UPDATE_GOLDEN"))
        return now.save(stored) ? QString() : "cannot store " + stored;
    const QImage before = QImage(stored).convertToFormat(QImage::Format_RGB32);
    const QString kept = QDir::current().absoluteFilePath(name + "-now.png");
    now.save(kept);
    if (before.size() != now.size())
        return QString("%1 is %2x%3, now %4x%5; see %6")
            .arg(stored)
            .arg(before.width())
            .arg(before.height())
            .arg(now.width())
            .arg(now.height())
            .arg(kept);
    int count = 0;
    QPoint first;
    for (int y = 0; y < now.height(); ++y)
        for (int x = 0; x < now.width(); ++x)
            if (now.pixel(x, y) != before.pixel(x, y) && count++ == 0) first = QPoint(x, y);
    if (count == 0) return QDir::current().remove(kept), QString();
    const auto rgbText = [](QRgb c) { return QString("%1,%2,%3").arg(qRed(c)).arg(qGreen(c)).arg(qBlue(c)); };
    return QString("%1 pixels differ from %2, the first at %3,%4 (%5, now %6); see %7")
        .arg(count)
        .arg(stored)
        .arg(first.x())
        .arg(first.y())
        .arg(rgbText(before.pixel(first)), rgbText(now.pixel(first)), kept);
}

}  // namespace curvalon::test
