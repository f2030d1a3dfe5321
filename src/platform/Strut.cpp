#include "platform/Strut.h"

namespace tamo {

namespace {

bool overlaps(int start, int end, int first, int last)
{
    return start <= last && end >= first;
}

} // namespace

Strut Strut::fromProperty(const QList<quint32> &values, const QSize &rootSize)
{
    Strut strut;
    if (values.size() != 4 && values.size() != 12)
        return strut;
    strut.left = int(values[0]);
    strut.right = int(values[1]);
    strut.top = int(values[2]);
    strut.bottom = int(values[3]);
    if (values.size() == 12) {
        strut.leftStartY = int(values[4]);
        strut.leftEndY = int(values[5]);
        strut.rightStartY = int(values[6]);
        strut.rightEndY = int(values[7]);
        strut.topStartX = int(values[8]);
        strut.topEndX = int(values[9]);
        strut.bottomStartX = int(values[10]);
        strut.bottomEndX = int(values[11]);
    } else {
        strut.leftEndY = strut.rightEndY = rootSize.height() - 1;
        strut.topEndX = strut.bottomEndX = rootSize.width() - 1;
    }
    return strut;
}

QRect Strut::cut(const QRect &area, const QSize &rootSize) const
{
    QRect free = area;
    if (top > 0 && overlaps(topStartX, topEndX, area.left(), area.right()) && top <= area.bottom())
        free.setTop(qMax(free.top(), top));
    const int bottomEdge = rootSize.height() - bottom;
    if (bottom > 0 && overlaps(bottomStartX, bottomEndX, area.left(), area.right()) && bottomEdge > area.top())
        free.setBottom(qMin(free.bottom(), bottomEdge - 1));
    if (left > 0 && overlaps(leftStartY, leftEndY, area.top(), area.bottom()) && left <= area.right())
        free.setLeft(qMax(free.left(), left));
    const int rightEdge = rootSize.width() - right;
    if (right > 0 && overlaps(rightStartY, rightEndY, area.top(), area.bottom()) && rightEdge > area.left())
        free.setRight(qMin(free.right(), rightEdge - 1));
    return free;
}

} // namespace tamo
