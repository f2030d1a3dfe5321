#include "cards/CardPieces.h"

#include <QCache>
#include <QImage>
#include <QPainter>

#include <cmath>

namespace tamo {

namespace {

constexpr qint64 budgetBytes = 16 * 1024 * 1024;
constexpr int bytesPerCostUnit = 1024;

QCache<QString, QImage> &pieces()
{
    static QCache<QString, QImage> cache(budgetBytes / bytesPerCostUnit);
    return cache;
}

} // namespace

qint64 CardPieces::byteBudget()
{
    return budgetBytes;
}

void CardPieces::draw(QPainter &painter, const QRectF &rect, const QString &key,
                      const std::function<void(QPainter &, const QRectF &)> &paint)
{
    const QTransform device = painter.deviceTransform();
    const qreal scale = device.m11();
    // Turned or skewed painters, and empty pieces, are drawn as they come.
    if (device.type() > QTransform::TxScale || scale <= 0 || scale != device.m22() || rect.isEmpty()) {
        paint(painter, rect);
        return;
    }
    // Whole device pixels, so the copy is a plain blit.
    const QSize pixels(int(std::ceil(rect.width() * scale)), int(std::ceil(rect.height() * scale)));
    const QString fullKey = QStringLiteral("%1|%2x%3@%4").arg(key).arg(pixels.width()).arg(pixels.height()).arg(scale);
    QImage *image = pieces().object(fullKey);
    if (!image) {
        image = new QImage(pixels, QImage::Format_ARGB32_Premultiplied);
        image->fill(Qt::transparent);
        image->setDevicePixelRatio(scale);
        QPainter piece(image);
        piece.setRenderHint(QPainter::Antialiasing);
        paint(piece, QRectF(QPointF(0, 0), rect.size()));
        piece.end();
        const qint64 cost = (image->sizeInBytes() + bytesPerCostUnit - 1) / bytesPerCostUnit;
        if (!pieces().insert(fullKey, image, cost)) {
            // Larger than the whole budget: drawn directly each time.
            paint(painter, rect);
            return;
        }
        image = pieces().object(fullKey);
    }
    painter.drawImage(QRectF(rect.topLeft(), QSizeF(pixels) / scale), *image);
}

} // namespace tamo
