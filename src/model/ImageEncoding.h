#pragma once

#include <QByteArray>

class QImage;

namespace tamo {

// The image in a file format Qt writes ("PNG", "JPEG"); empty when it cannot
// be encoded. Quality -1 is the format's default.
QByteArray encodeImage(const QImage &image, const char *format, int quality = -1);

inline QByteArray encodePng(const QImage &image)
{
    return encodeImage(image, "PNG");
}

} // namespace tamo
