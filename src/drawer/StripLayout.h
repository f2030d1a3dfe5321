#pragma once

#include <QPoint>
#include <QRect>

namespace tamo {

// Where the cells of the drawer's row lie. Every card has the same size, so
// a cell's place follows from its position alone. Coordinates are the row's
// own: x from the start of the row, y from the top of the viewport.
struct StripLayout
{
    static constexpr int sidePadding = 17; // before the first cell and after the last
    static constexpr int cardPadding = 11; // each side of a card, so 22 between two

    // Half-open range of cell positions.
    struct Range
    {
        qsizetype first = 0;
        qsizetype end = 0;

        bool contains(qsizetype index) const { return index >= first && index < end; }
    };

    int cardSide = 0;
    int viewportHeight = 0;

    int pitch() const { return cardSide + 2 * cardPadding; }
    int contentWidth(qsizetype count) const;
    // A card with its padding: what scrolling brings into view.
    QRect cellRect(qsizetype index) const;
    // Centred in the viewport's height.
    QRect cardRect(qsizetype index) const;

    // The cells meeting the span [offset, offset + width), widened by
    // `margin` cells on each side, within the `count` cells of the row.
    Range cellsIn(int offset, int width, qsizetype count, int margin) const;
    // The card under a point of the row; -1 in the padding between cards.
    qsizetype cardAt(const QPoint &point, qsizetype count) const;
    // The offset that shows the whole cell with the least scrolling from `offset`.
    int offsetRevealing(qsizetype index, int offset, int width) const;
};

} // namespace tamo
