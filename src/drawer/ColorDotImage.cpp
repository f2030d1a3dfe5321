#include "drawer/ColorDotImage.h"

#include <QPainter>

namespace tamo {

namespace {

constexpr int dotSide = 12;
constexpr qreal dotInset = 1;

} // namespace

QPixmap colorDotImage(const QColor &color, qreal devicePixelRatio)
{
    QPixmap pixmap(QSize(dotSide, dotSide) * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawEllipse(QRectF(0, 0, dotSide, dotSide).adjusted(dotInset, dotInset, -dotInset, -dotInset));
    return pixmap;
}

} // namespace tamo
