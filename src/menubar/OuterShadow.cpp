#include "menubar/OuterShadow.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace tamo {

namespace {

constexpr qreal shadowOpacity = 0.3;
constexpr int blurRadius = 16;
constexpr QPointF shadowOffset{0, 8};

} // namespace

OuterShadow::OuterShadow(qreal cornerRadius, QWidget *parent)
    : QWidget(parent), m_cornerRadius(cornerRadius)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
}

void OuterShadow::setShapeRect(const QRectF &rect)
{
    if (rect == m_shape)
        return;
    m_shape = rect;
    update();
}

void OuterShadow::paintEvent(QPaintEvent *)
{
    if (m_shape.isEmpty())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);

    QPainterPath shape;
    shape.addRoundedRect(m_shape, m_cornerRadius, m_cornerRadius);
    QPainterPath outside;
    outside.addRect(QRectF(rect()));
    painter.setClipPath(outside.subtracted(shape));
    painter.setPen(Qt::NoPen);

    // Nested rounded rectangles of falling strength stand in for a blur:
    // each ring adds a little darkness, so the edge fades over blurRadius.
    const QRectF cast = m_shape.translated(shadowOffset);
    const qreal step = shadowOpacity / blurRadius;
    for (int ring = blurRadius; ring > -blurRadius / 2; --ring) {
        const qreal grow = ring / 2.0;
        painter.setBrush(QColor::fromRgbF(0, 0, 0, step / 2));
        const qreal radius = std::max(0.0, m_cornerRadius + grow);
        painter.drawRoundedRect(cast.adjusted(-grow, -grow, grow, grow), radius, radius);
    }
}

} // namespace tamo
