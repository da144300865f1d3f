// Pictures checked against stored ones in tests/golden/. The stored pictures were looked at and
// measured against the layout once; a change of any pixel after that is either a fault or a
// deliberate change, which is stored again with CURVALON_UPDATE_GOLDEN=1.
#pragma once

#include <QImage>
#include <QString>

namespace curvalon::test {

// Empty when the picture matches; otherwise what differs and where this run's picture was put.
QString goldenMismatch(const QImage& picture, const QString& name);

}  // namespace curvalon::test
