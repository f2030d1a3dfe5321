#pragma once

#include <QPointF>
#include <QRectF>

namespace tamo {

// Converts between Qt's global coordinates (origin at the top-left of the
// virtual desktop, y down) and the convention the layer above works in:
// origin at the bottom-left of the primary screen, y up. Everything that
// applies a frame to a Qt window or reads one from Qt goes through here.
class ScreenGeometry
{
public:
    ScreenGeometry() = default;
    // The primary screen's frame in Qt's coordinates.
    explicit ScreenGeometry(const QRectF &primaryQtFrame) : m_primary(primaryQtFrame) {}

    QPointF fromQt(const QPointF &point) const;
    QPointF toQt(const QPointF &point) const;
    QRectF fromQt(const QRectF &rect) const;
    QRectF toQt(const QRectF &rect) const;

private:
    QRectF m_primary;
};

} // namespace tamo
