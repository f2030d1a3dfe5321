#pragma once

#include "cards/CardSize.h"

#include <QFont>
#include <QRectF>

namespace tamo {

// Where the parts of a card go and which fonts they use, from its size: the
// painter, the rename field and the emoji picker all place themselves by it.
struct CardMetrics
{
    CardMetrics(const CardSize &size, bool compact);

    qreal scale;
    bool compact;
    qreal side;
    qreal cornerRadius;
    qreal headerHeight;
    qreal padding;         // left and right of header and content
    qreal iconSide;
    qreal gap;             // between the icon and the label
    qreal detailGap;       // between the label and the age under it
    qreal ringWidth;       // the selection ring
    qreal fileIconSide;    // a file's type icon
    qreal labelPointSize;

    QFont labelFont() const;
    QFont detailFont() const;  // age, tag, badge and captions
    QFont textFont(double textScale) const;

    QRectF cardRect(const QRectF &bounds) const;
    QRectF headerRect(const QRectF &card) const;
    QRectF contentRect(const QRectF &card) const;
    QRectF iconRect(const QRectF &header) const;
    // The label's line, also where the rename field opens.
    QRectF labelRect(const QRectF &header, qreal trailingReserve) const;
};

} // namespace tamo
