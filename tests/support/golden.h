// Pictures checked against stored ones in tests/golden/. The stored pictures were looked at and
// measured against the layout once; a change of any pixel after that is either a fault or a
// deliberate change, which is stored again with CURVALON_UPDATE_GOLDEN=1 (and then looked at in
// the version history's diff).
#pragma once

#include <QImage>
#include <QString>

namespace curvalon::test {

// The stored picture of that name, to compare the picture with; when updating, the picture itself
// after storing it.
QImage golden(const QImage& picture, const QString& name);
// The same for a text, stored as <name>.txt.
QString golden(const QString& text, const QString& name);

}  // namespace curvalon::test
