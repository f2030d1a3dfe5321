#include "drawer/StripLayout.h"

#include <algorithm>

namespace tamo {

int StripLayout::contentWidth(qsizetype count) const
{
    return count == 0 ? 0 : int(2 * sidePadding + count * pitch());
}

QRect StripLayout::cellRect(qsizetype index) const
{
    return QRect(int(sidePadding + index * pitch()), 0, pitch(), viewportHeight);
}

QRect StripLayout::cardRect(qsizetype index) const
{
    const int top = std::max(0, (viewportHeight - cardSide) / 2);
    return QRect(cellRect(index).left() + cardPadding, top, cardSide, cardSide);
}

StripLayout::Range StripLayout::cellsIn(int offset, int width, qsizetype count, int margin) const
{
    if (count == 0 || pitch() <= 0 || width <= 0)
        return {};
    // Floor division: a span starting in the leading padding begins at cell 0.
    const auto cellOf = [this](int x) { return qsizetype(x - sidePadding < 0 ? -1 : (x - sidePadding) / pitch()); };
    const qsizetype first = std::max<qsizetype>(0, cellOf(offset) - margin);
    const qsizetype last = std::min<qsizetype>(count - 1, cellOf(offset + width - 1) + margin);
    return first > last ? Range{} : Range{first, last + 1};
}

qsizetype StripLayout::cardAt(const QPoint &point, qsizetype count) const
{
    if (pitch() <= 0 || point.x() < sidePadding)
        return -1;
    const qsizetype index = (point.x() - sidePadding) / pitch();
    return index < count && cardRect(index).contains(point) ? index : -1;
}

int StripLayout::offsetRevealing(qsizetype index, int offset, int width) const
{
    const QRect cell = cellRect(index);
    if (cell.left() < offset)
        return cell.left();
    if (cell.left() + cell.width() > offset + width)
        return std::max(0, cell.left() + cell.width() - width);
    return offset;
}

} // namespace tamo
