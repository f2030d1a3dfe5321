#include "menubar/MenuBarGeometry.h"

#include "drawer/DrawerGeometry.h"

#include <QtMath>

#include <algorithm>
#include <cmath>

namespace tamo::MenuBarGeometry {

namespace {

constexpr qreal cardGap = 14;
constexpr qreal statusItemGap = 6;

} // namespace

int cardSide(double cardScale)
{
    const double factor = cardScale <= 0.75 ? 0.54 : std::min(cardScale, 1.5) * 0.72;
    return int(std::round(factor * 304)); // std::round rounds halves away from zero
}

QSizeF panelSize(double cardScale, int visibleCards, const QString &layout)
{
    const qreal card = cardSide(cardScale);
    // Half a card more than asked shows that the list goes on.
    if (layout == QLatin1String("horizontal")) {
        const qreal columns = visibleCards >= 1 ? visibleCards + 0.5 : 4.5;
        return {columns * (card + cardGap) + 36, card + 221.5};
    }
    const qreal rows = visibleCards >= 1 ? std::ceil(visibleCards / 2.0) + 0.5 : 2.5;
    return {2 * card + 50, rows * (card + cardGap) + 207.5};
}

Placement panelPlacement(const QRectF &button, QSizeF content, const std::optional<QRectF> &visibleFrame,
                         const std::optional<QRectF> &screenFrame)
{
    if (!visibleFrame)
        return {QRectF(-shadowSide, -shadowBelow, content.width() + 2 * shadowSide, content.height() + shadowBelow),
                false};
    const QRectF &visible = *visibleFrame;
    // The whole window, its shadow room too, stays on the screen: a window
    // reaching past the edge is pushed back by some window managers and
    // loses its shadow on that side.
    const qreal w = std::min(content.width(), visible.width() - 2 * shadowSide);
    qreal x = std::max(button.center().x() - w / 2, visible.left() + shadowSide);
    x = std::min(x, visible.right() - w - shadowSide); // the right edge wins when both apply

    // In this convention top() is the lower edge and bottom() the upper one.
    // The content never runs past the visible frame: the window's height is
    // what lies between the item's side and the far edge, less the gaps.
    const bool upward = screenFrame && button.center().y() < screenFrame->center().y();
    if (upward) {
        // The whole window, shadow room included, stays clear of the item so
        // its invisible margin never swallows clicks meant for the tray.
        const qreal bottom = std::max(visible.top(), button.bottom()) + statusItemGap;
        const qreal h = std::min(content.height(), visible.bottom() - statusItemGap - bottom - shadowBelow);
        return {DrawerGeometry::integralRect(QRectF(x - shadowSide, bottom, w + 2 * shadowSide, h + shadowBelow)),
                true};
    }
    const qreal top = std::min(visible.bottom(), button.top()) - statusItemGap;
    const qreal h = std::min(content.height(), top - visible.top() - shadowBelow);
    return {DrawerGeometry::integralRect(
                QRectF(x - shadowSide, top - h - shadowBelow, w + 2 * shadowSide, h + shadowBelow)),
            false};
}

} // namespace tamo::MenuBarGeometry
