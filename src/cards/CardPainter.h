#pragma once

#include "cards/CardAppearance.h"

#include <QRectF>

class QPainter;

namespace tamo {

// Draws a whole card from its appearance: the glass or classic body, the
// header, the content and the selection ring. It touches no widget, store or
// setting, so any view, test or tool can draw cards with it.
class CardPainter
{
public:
    // The card is drawn at its own side, centred in `bounds`.
    static void paint(QPainter &painter, const QRectF &bounds, const CardAppearance &appearance);

    // Where the header's parts lie for a card drawn in `bounds`.
    static QRectF labelRect(const QRectF &bounds, const CardAppearance &appearance);
    static QRectF iconRect(const QRectF &bounds, const CardAppearance &appearance);
    // The box the clip's picture is made for, in points; empty when it has none.
    static QRectF pictureRect(const QRectF &bounds, const CardAppearance &appearance);
};

} // namespace tamo
