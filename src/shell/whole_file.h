// Writing a file the operator asked for so that it appears whole or not at all.
#pragma once

#include <QByteArray>
#include <QString>

class QImage;

namespace curvalon {

// Writes bytes into path through a temporary file that replaces path only once every byte has
// reached it. On any failure (a short write on a full disk, a missing folder, no permission) no
// new file is left and an old file of that name stays byte for byte; the system's reason is
// returned. Empty on success.
QString writeWholeFile(const QString& path, const QByteArray& bytes);

// The image as PNG bytes; empty when the encoder fails.
QByteArray pngBytes(const QImage& image);

}  // namespace curvalon
