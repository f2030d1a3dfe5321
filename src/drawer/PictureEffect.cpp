#include "drawer/PictureEffect.h"

#include <QPainter>

#include <algorithm>

namespace tamo {

namespace {

// A soft blur of about the radius: the picture taken down and smoothly back up.
QPixmap blurred(const QPixmap &picture, qreal radius)
{
    if (radius < 0.5)
        return picture;
    const QSize small = (QSizeF(picture.size()) / (1 + radius / 2)).toSize().expandedTo({1, 1});
    return picture.scaled(small, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .scaled(picture.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace

PictureEffect::PictureEffect(QObject *parent) : QGraphicsEffect(parent) {}

void PictureEffect::setLook(qreal opacity, const QRectF &into, qreal blurRadius)
{
    m_hasLook = true;
    m_opacity = std::clamp(opacity, 0.0, 1.0);
    m_into = into;
    m_blur = blurRadius;
    updateBoundingRect();
    update();
}

void PictureEffect::clearLook()
{
    if (!m_hasLook)
        return;
    m_hasLook = false;
    updateBoundingRect();
    update();
}

QRectF PictureEffect::boundingRectFor(const QRectF &sourceRect) const
{
    if (!m_hasLook)
        return sourceRect;
    return sourceRect.united(m_into.adjusted(-m_blur, -m_blur, m_blur, m_blur));
}

void PictureEffect::draw(QPainter *painter)
{
    if (!m_hasLook) {
        drawSource(painter);
        return;
    }
    if (m_opacity <= 0 || m_into.isEmpty())
        return;
    const QPixmap picture = sourcePixmap(Qt::LogicalCoordinates, nullptr, QGraphicsEffect::NoPad);
    painter->save();
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
    painter->setOpacity(painter->opacity() * m_opacity);
    painter->drawPixmap(m_into, blurred(picture, m_blur), QRectF(QPointF(0, 0), picture.size()));
    painter->restore();
}

} // namespace tamo
