#pragma once

#include <QPainterPath>
#include <QRectF>

class QPainter;

namespace tamo {

// The thin light rim over a glass surface: a 1-pt line just inside the
// shape's edge, bright at the top and fading downwards. Callers set the
// painter's opacity.
struct GlassRim
{
    QPainterPath shape;

    void paint(QPainter &painter) const;
};

// A rectangle with smooth (continuous-curvature) corners; plain rounded
// corners where the rectangle is too small for the smooth ones.
QPainterPath roundedRect(const QRectF &rect, qreal radius);

// A rectangle with fully rounded short sides.
QPainterPath capsule(const QRectF &rect);

} // namespace tamo
