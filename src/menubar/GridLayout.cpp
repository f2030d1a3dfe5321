#include "menubar/GridLayout.h"

#include <algorithm>

namespace tamo {

int GridLayout::contentWidth() const
{
    return 2 * horizontalPadding + columns * cellSide + (columns - 1) * spacing;
}

int GridLayout::contentHeight(qsizetype count) const
{
    if (count == 0 || columns <= 0)
        return 0;
    const qsizetype rows = (count + columns - 1) / columns;
    return int(2 * verticalPadding + rows * pitch() - spacing);
}

QRect GridLayout::cellRect(qsizetype index) const
{
    // Too narrow a viewport cuts off the right-hand column rather than the left.
    const int left = std::max(0, (viewportWidth - contentWidth()) / 2) + horizontalPadding;
    const qsizetype row = index / columns;
    const qsizetype column = index % columns;
    return QRect(int(left + column * pitch()), int(verticalPadding + row * pitch()), cellSide, cellSide);
}

GridLayout::Range GridLayout::cellsIn(int offset, int height, qsizetype count, int marginRows) const
{
    if (count == 0 || columns <= 0 || pitch() <= 0 || height <= 0)
        return {};
    // The row whose cells or the spacing below them hold y; -1 in the top padding.
    const auto rowOf = [this](int y) { return qsizetype(y < verticalPadding ? -1 : (y - verticalPadding) / pitch()); };
    const qsizetype lastRow = (count - 1) / columns;
    // A span starting in the spacing below a row begins at the next one.
    const qsizetype first = std::max<qsizetype>(0, rowOf(offset + spacing) - marginRows);
    const qsizetype last = std::min<qsizetype>(lastRow, rowOf(offset + height - 1) + marginRows);
    return first > last ? Range{} : Range{first * columns, std::min(count, (last + 1) * columns)};
}

int GridLayout::offsetRevealing(qsizetype index, int offset, int height) const
{
    const QRect cell = cellRect(index);
    const int top = cell.top() - spacing;
    const int bottom = cell.top() + cell.height() + spacing;
    if (top < offset)
        return std::max(0, top);
    if (bottom > offset + height)
        return std::max(0, bottom - height);
    return offset;
}

} // namespace tamo
