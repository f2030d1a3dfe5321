#include "cards/CardMetrics.h"

#include "cards/ViewStyles.h"

#include <QFontMetricsF>

#include <algorithm>

namespace tamo {

namespace {

constexpr qreal baseCornerRadius = 18;
constexpr qreal basePadding = 16;
constexpr qreal baseIconSide = 32;
constexpr qreal baseCompactIconSide = 24;
constexpr qreal baseGap = 10;
constexpr qreal baseRingWidth = 3;
constexpr qreal minRingWidth = 2;
constexpr qreal baseFileIconSide = 72;
constexpr qreal detailFactor = 0.85;  // detail text against the label
constexpr qreal baseDetailGap = 2;
constexpr qreal baseContentGap = 12;  // between the header and the content

} // namespace

CardMetrics::CardMetrics(const CardSize &size, bool compact)
    : scale(size.scale)
    , compact(compact)
    , side(size.side())
    , cornerRadius(baseCornerRadius * size.scale)
    , headerHeight(size.headerHeight())
    , padding(basePadding * size.scale)
    , iconSide((compact ? baseCompactIconSide : baseIconSide) * size.scale)
    , gap(baseGap * size.scale)
    , detailGap(baseDetailGap * size.scale)
    , ringWidth(std::max(minRingWidth, baseRingWidth * size.scale))
    , fileIconSide(baseFileIconSide * size.scale)
    , labelPointSize(size.labelPointSize())
{
}

QFont CardMetrics::labelFont() const
{
    return uiFont(labelPointSize, QFont::DemiBold);
}

QFont CardMetrics::detailFont() const
{
    return uiFont(roundToHalf(labelPointSize * detailFactor));
}

QFont CardMetrics::textFont(double textScale) const
{
    return uiFont(CardSize{scale}.textPointSize(textScale));
}

QRectF CardMetrics::cardRect(const QRectF &bounds) const
{
    // Centred in whatever the caller gives, at the card's own side.
    QRectF card(0, 0, side, side);
    card.moveCenter(bounds.center());
    return card;
}

QRectF CardMetrics::headerRect(const QRectF &card) const
{
    return QRectF(card.left(), card.top(), card.width(), headerHeight);
}

QRectF CardMetrics::contentRect(const QRectF &card) const
{
    const qreal top = card.top() + headerHeight + baseContentGap * scale;
    return QRectF(card.left() + padding, top, card.width() - 2 * padding, card.bottom() - padding - top);
}

QRectF CardMetrics::iconRect(const QRectF &header) const
{
    return QRectF(header.left() + padding, header.center().y() - iconSide / 2, iconSide, iconSide);
}

QRectF CardMetrics::labelRect(const QRectF &header, qreal trailingReserve) const
{
    const qreal left = header.left() + padding + iconSide + gap;
    const qreal right = header.right() - padding - trailingReserve;
    const qreal labelHeight = QFontMetricsF(labelFont()).height();
    qreal top = header.center().y() - labelHeight / 2;
    if (!compact) {
        const qreal detailHeight = QFontMetricsF(detailFont()).height();
        top = header.center().y() - (labelHeight + detailGap + detailHeight) / 2;
    }
    return QRectF(left, top, std::max<qreal>(0, right - left), labelHeight);
}

} // namespace tamo
