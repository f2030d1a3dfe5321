#pragma once

#include <QRect>

namespace tamo {

// Where the cells of the menu-bar panel's cards lie: two columns scrolling
// down, or one row scrolling sideways. Every card has the same square size, so
// a cell's place follows from its position alone. Coordinates are the
// content's own along the scrolling axis (from its start) and the viewport's
// across it; the columns are centred in the width, the row in the height.
struct GridLayout
{
    static constexpr int spacing = 14; // between rows and between columns
    static constexpr int horizontalPadding = 18;
    static constexpr int verticalPadding = 12;

    // Half-open range of cell positions.
    struct Range
    {
        qsizetype first = 0;
        qsizetype end = 0;

        bool contains(qsizetype index) const { return index >= first && index < end; }
        bool operator==(const Range &) const = default;
    };

    int cellSide = 0;
    int columns = 2;
    int viewportWidth = 0;
    int viewportHeight = 0;
    bool oneRow = false;

    int pitch() const { return cellSide + spacing; }
    // The length of the content along the scrolling axis.
    int contentLength(qsizetype count) const;
    QRect cellRect(qsizetype index) const;

    // The cells of the lines (rows, or the row's cells) meeting the span
    // [offset, offset + length) of the scrolling axis, widened by
    // `marginLines` lines before and after, within `count` cells.
    Range cellsIn(int offset, int length, qsizetype count, int marginLines) const;
    // The offset that shows the whole cell, `spacing` clear on both sides,
    // with the least scrolling from `offset`.
    int offsetRevealing(qsizetype index, int offset, int length) const;

private:
    int perLine() const { return oneRow ? 1 : columns; }
    int leadingPadding() const { return oneRow ? horizontalPadding : verticalPadding; }
    int columnsWidth() const;
};

} // namespace tamo
