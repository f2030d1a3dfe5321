#include "drawer/FilterChip.h"

#include "app/AppIcons.h"
#include "cards/GlassRim.h"
#include "cards/ViewStyles.h"
#include "drawer/FilterMenu.h"

#include <QPainter>
#include <QtMath>

namespace tamo {

const FilterChipMetrics FilterChipMetrics::drawer{14, 27, 8, 10, 5, 18, 12.5};
const FilterChipMetrics FilterChipMetrics::menuBar{12.5, 23, 7, 9, 4, 15, 11};

namespace {

constexpr qreal fillOpacity = 0.1;

QString chipTitle(const SearchFilter &filter)
{
    if (const auto app = filter.appValue())
        return app->name;
    return kindLabel(*filter.kindValue()).title;
}

} // namespace

FilterChip::FilterChip(const SearchFilter &filter, AppIcons &icons, const FilterChipMetrics &metrics, QWidget *parent)
    : QAbstractButton(parent)
    , m_filter(filter)
    , m_metrics(metrics)
{
    setText(literalLabel(chipTitle(filter))); // names it for screen readers
    setToolTip(QStringLiteral("Remove filter"));
    setFont(uiFont(metrics.fontPoints));
    // The keys belong to the search's owner, never to a chip.
    setFocusPolicy(Qt::NoFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);

    if (const auto app = filter.appValue()) {
        const QSize side(metrics.appIconSide, metrics.appIconSide);
        m_icon = icons.appIcon(app->bundleID).pixmap(side, devicePixelRatioF());
    } else {
        m_icon = tintedSymbol(kindLabel(*filter.kindValue()).symbol, qCeil(metrics.symbolPoints),
                              sharedSecondaryLabelColor(), devicePixelRatioF());
    }
}

int FilterChip::iconWidth() const
{
    return m_icon.isNull() ? 0 : qCeil(m_icon.deviceIndependentSize().width()) + m_metrics.spacing;
}

QSize FilterChip::sizeHint() const
{
    const int textWidth = fontMetrics().horizontalAdvance(chipTitle(m_filter));
    return {m_metrics.leadingPadding + iconWidth() + textWidth + m_metrics.trailingPadding, m_metrics.height};
}

void FilterChip::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor fill = sharedLabelColor();
    fill.setAlphaF(fill.alphaF() * fillOpacity);
    painter.fillPath(capsule(rect()), fill);

    qreal x = m_metrics.leadingPadding;
    if (!m_icon.isNull()) {
        const QSizeF iconSize = m_icon.deviceIndependentSize();
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawPixmap(QPointF(x, (height() - iconSize.height()) / 2), m_icon);
        x = m_metrics.leadingPadding + iconWidth();
    }
    painter.setPen(sharedLabelColor());
    painter.drawText(QRectF(x, 0, width() - x, height()), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     chipTitle(m_filter));
}

} // namespace tamo
