#include "bonus/FaviconImage.h"

#include "model/ImageEncoding.h"

#include <QBuffer>
#include <QImageReader>

namespace tamo {

std::optional<QByteArray> faviconThumbnail(const QByteArray &bytes, int side, int maxSide)
{
    QBuffer source;
    source.setData(bytes);
    source.open(QIODevice::ReadOnly);
    QImageReader reader(&source);
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > maxSide || size.height() > maxSide)
        return std::nullopt;
    QImage image = reader.read();
    if (image.isNull())
        return std::nullopt;
    if (image.width() > side || image.height() > side)
        image = image.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    const QByteArray png = encodePng(image);
    return png.isEmpty() ? std::nullopt : std::optional(png);
}

} // namespace tamo
