#pragma once

#include <QRect>

namespace tamo {

// Where the cells of the menu-bar panel's card grid lie. Every card has the
// same square size, so a cell's place follows from its position alone.
// Coordinates are the grid's own: y from the top of the content, x from the
// viewport's left edge, the columns centred in its width.
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

    int pitch() const { return cellSide + spacing; }
    int contentWidth() const;
    int contentHeight(qsizetype count) const;
    QRect cellRect(qsizetype index) const;

    // The cells of the rows meeting the span [offset, offset + height),
    // widened by `marginRows` rows above and below, within `count` cells.
    Range cellsIn(int offset, int height, qsizetype count, int marginRows) const;
    // The offset that shows the whole cell, `spacing` clear above and below,
    // with the least scrolling from `offset`.
    int offsetRevealing(qsizetype index, int offset, int height) const;
};

} // namespace tamo
