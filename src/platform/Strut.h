#pragma once

#include <QList>
#include <QRect>
#include <QSize>

namespace tamo {

// The space a dock or panel reserves along the edges of the X screen
// (_NET_WM_STRUT_PARTIAL, or the older _NET_WM_STRUT that spans whole edges).
// Widths count from the root window's edges; start and end name the range
// along that edge. All in device pixels.
struct Strut
{
    int left = 0, right = 0, top = 0, bottom = 0;
    int leftStartY = 0, leftEndY = 0, rightStartY = 0, rightEndY = 0;
    int topStartX = 0, topEndX = 0, bottomStartX = 0, bottomEndX = 0;

    // 12 values for the partial form, 4 for the full one; anything else gives
    // an empty strut.
    static Strut fromProperty(const QList<quint32> &values, const QSize &rootSize);

    // What is left of a monitor's area (root coordinates) once this strut is
    // taken off. A reservation that would swallow the whole monitor belongs to
    // a dock on a neighbouring monitor and is ignored.
    QRect cut(const QRect &area, const QSize &rootSize) const;
};

} // namespace tamo
