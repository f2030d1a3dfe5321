#include "cards/GlassRim.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPathStroker>

#include <algorithm>
#include <cmath>

namespace tamo {

namespace {

constexpr qreal rimWidth = 1;

// A smooth corner in units of the radius, drawn as two mirrored cubics in a
// frame where u runs back along the incoming edge and v along the outgoing
// one. Control points on the edge give zero curvature where the edge ends;
// the middle point and its handle match the curvature of a circular arc of
// the radius, so the corner reads as that radius without a visible kink.
constexpr qreal cornerExtent = 1.528;                  // where the curve leaves the edge
const qreal cornerMiddle = 1 - 1 / std::sqrt(2.0);    // on the diagonal, as a circle's
const qreal cornerHandle = 2 * cornerMiddle + 3 * std::sqrt(2.0) * cornerMiddle * cornerMiddle;

struct CornerFrame
{
    QPointF corner;
    QPointF back;     // unit vector back along the incoming edge
    QPointF forward;  // unit vector along the outgoing edge
};

void addSmoothCorner(QPainterPath &path, const CornerFrame &frame, qreal radius)
{
    const auto at = [&](qreal u, qreal v) {
        return frame.corner + frame.back * (u * radius) + frame.forward * (v * radius);
    };
    const qreal m = cornerMiddle;
    const qreal h = cornerHandle;
    path.lineTo(at(cornerExtent, 0));
    path.cubicTo(at(h, 0), at(2 * m, 0), at(m, m));
    path.cubicTo(at(0, 2 * m), at(0, h), at(0, cornerExtent));
}

} // namespace

void GlassRim::paint(QPainter &painter) const
{
    if (shape.isEmpty())
        return;
    // The outer half of a stroke twice as wide falls outside the shape and is
    // cut away, leaving the line inset by half its width.
    QPainterPathStroker stroker;
    stroker.setWidth(2 * rimWidth);
    const QPainterPath rim = stroker.createStroke(shape).intersected(shape);

    const QRectF bounds = shape.boundingRect();
    QLinearGradient gradient(bounds.topLeft(), bounds.bottomLeft());
    gradient.setColorAt(0, QColor::fromRgbF(1, 1, 1, 0.6f));
    gradient.setColorAt(0.5, QColor::fromRgbF(1, 1, 1, 0.12f));
    gradient.setColorAt(1, QColor::fromRgbF(1, 1, 1, 0.05f));

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(rim, gradient);
    painter.restore();
}

QPainterPath roundedRect(const QRectF &rect, qreal radius)
{
    QPainterPath path;
    const qreal shortSide = std::min(rect.width(), rect.height());
    if (radius <= 0 || cornerExtent * radius > shortSide / 2) {
        const qreal fitting = std::clamp(radius, qreal(0), shortSide / 2);
        path.addRoundedRect(rect, fitting, fitting);
        return path;
    }
    const CornerFrame corners[] = {
        {rect.topRight(), {-1, 0}, {0, 1}},
        {rect.bottomRight(), {0, -1}, {-1, 0}},
        {rect.bottomLeft(), {1, 0}, {0, -1}},
        {rect.topLeft(), {0, 1}, {1, 0}},
    };
    path.moveTo(rect.left() + cornerExtent * radius, rect.top());
    for (const CornerFrame &corner : corners)
        addSmoothCorner(path, corner, radius);
    path.closeSubpath();
    return path;
}

QPainterPath capsule(const QRectF &rect)
{
    const qreal radius = std::min(rect.width(), rect.height()) / 2;
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

} // namespace tamo
