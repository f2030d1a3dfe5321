#pragma once

#include "cards/CardAppearance.h"
#include "cards/CardMetrics.h"

#include <QColor>
#include <QRectF>

class QPainter;

namespace tamo {

// The top of a card: the app's icon (or the clip's emoji), the label, the
// age, the pinboard tag and the quick-paste badge. Classic cards get a band
// in the app's colour; glass cards float the label on the glass. The menu-bar
// panel's compact header puts everything on one line.
class CardHeader
{
public:
    CardHeader(const CardAppearance &appearance, const CardMetrics &metrics, const QRectF &card);

    void paint(QPainter &painter) const;

    QRectF iconRect() const;
    // The label's line; the rename field opens over it.
    QRectF labelRect() const;

    // Black or white, whichever reads better on the background.
    static QColor textColorOn(const QColor &background);

private:
    QColor labelColor() const;
    QColor detailColor() const;
    QString badgeText() const;
    qreal badgeWidth() const;
    qreal ageWidth() const;
    qreal tagWidth(qreal available) const;
    void paintBand(QPainter &painter) const;
    void paintIcon(QPainter &painter) const;
    void paintBadge(QPainter &painter, const QRectF &line) const;
    void paintTag(QPainter &painter, const QPointF &leftCentre, qreal maxWidth) const;

    const CardAppearance &m_appearance;
    const CardMetrics &m_metrics;
    QRectF m_card;
    QRectF m_header;
};

} // namespace tamo
