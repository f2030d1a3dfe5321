#include "platform/ScreenGeometry.h"

namespace tamo {

// The flip is its own inverse: the primary's lower edge is Qt's
// m_primary.bottom() and our y = 0.

QPointF ScreenGeometry::fromQt(const QPointF &point) const
{
    return {point.x() - m_primary.left(), m_primary.bottom() - point.y()};
}

QPointF ScreenGeometry::toQt(const QPointF &point) const
{
    return {point.x() + m_primary.left(), m_primary.bottom() - point.y()};
}

QRectF ScreenGeometry::fromQt(const QRectF &rect) const
{
    return {fromQt(rect.bottomLeft()), rect.size()};
}

QRectF ScreenGeometry::toQt(const QRectF &rect) const
{
    // Our rectangles grow upwards, so QRectF::bottom() is their upper edge:
    // the one that becomes Qt's top.
    return {toQt(QPointF(rect.left(), rect.bottom())), rect.size()};
}

} // namespace tamo
