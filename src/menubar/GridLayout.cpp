#include "menubar/GridLayout.h"

#include <algorithm>

namespace tamo {

int GridLayout::columnsWidth() const
{
    return 2 * horizontalPadding + columns * cellSide + (columns - 1) * spacing;
}

int GridLayout::contentLength(qsizetype count) const
{
    if (count == 0 || perLine() <= 0)
        return 0;
    const qsizetype lines = (count + perLine() - 1) / perLine();
    return int(2 * leadingPadding() + lines * pitch() - spacing);
}

QRect GridLayout::cellRect(qsizetype index) const
{
    if (oneRow) {
        const int top = std::max(0, (viewportHeight - cellSide - 2 * verticalPadding) / 2) + verticalPadding;
        return QRect(int(horizontalPadding + index * pitch()), top, cellSide, cellSide);
    }
    // Too narrow a viewport cuts off the right-hand column rather than the left.
    const int left = std::max(0, (viewportWidth - columnsWidth()) / 2) + horizontalPadding;
    const qsizetype row = index / columns;
    const qsizetype column = index % columns;
    return QRect(int(left + column * pitch()), int(verticalPadding + row * pitch()), cellSide, cellSide);
}

GridLayout::Range GridLayout::cellsIn(int offset, int length, qsizetype count, int marginLines) const
{
    if (count == 0 || perLine() <= 0 || pitch() <= 0 || length <= 0)
        return {};
    // The line whose cells or the spacing after them hold a position; -1 in the leading padding.
    const int padding = leadingPadding();
    const auto lineOf = [&](int at) { return qsizetype(at < padding ? -1 : (at - padding) / pitch()); };
    const qsizetype lastLine = (count - 1) / perLine();
    // A span starting in the spacing after a line begins at the next one.
    const qsizetype first = std::max<qsizetype>(0, lineOf(offset + spacing) - marginLines);
    const qsizetype last = std::min<qsizetype>(lastLine, lineOf(offset + length - 1) + marginLines);
    return first > last ? Range{} : Range{first * perLine(), std::min(count, (last + 1) * perLine())};
}

int GridLayout::offsetRevealing(qsizetype index, int offset, int length) const
{
    const QRect cell = cellRect(index);
    const int start = (oneRow ? cell.left() : cell.top()) - spacing;
    const int end = start + cellSide + 2 * spacing;
    if (start < offset)
        return std::max(0, start);
    if (end > offset + length)
        return std::max(0, end - length);
    return offset;
}

} // namespace tamo
