#pragma once

#include <QRectF>
#include <QString>

#include <functional>

class QPainter;

namespace tamo {

// Parts that many cards share (the glass body, a band in one app's colour,
// a swatch, the selection ring), painted once into an image and from then on
// copied. Qt's raster engine splits a fill over many lines across threads
// and waits for them, which costs far more than copying the pixels.
//
// Main thread only.
class CardPieces
{
public:
    // Paints into `rect`; `paint` draws the piece into the rectangle it is
    // given, and runs only when no image of this key and size is kept.
    // `key` names everything the piece's look depends on besides its size.
    static void draw(QPainter &painter, const QRectF &rect, const QString &key,
                     const std::function<void(QPainter &, const QRectF &)> &paint);

    static qint64 byteBudget();
};

} // namespace tamo
