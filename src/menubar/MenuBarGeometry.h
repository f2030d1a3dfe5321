#pragma once

#include <QMargins>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <optional>

// Size and place of the menu-bar panel. Frames are in the screens' convention
// (origin at the bottom-left of the primary screen, y up).
namespace tamo::MenuBarGeometry {

// Room around the content for the panel's own shadow.
inline constexpr qreal shadowSide = 24;
inline constexpr qreal shadowBelow = 28;
inline constexpr QMargins shadowRoom(int(shadowSide), 0, int(shadowSide), int(shadowBelow));
// The corners of the panel's glass card.
inline constexpr qreal cardCornerRadius = 26;
// The panel starts this far from its place, towards the status item, and slides in.
inline constexpr qreal slideDistance = 10;

// The side of a card: 164 up to a card scale of 0.75, then growing up to a scale of 1.5.
int cardSide(double cardScale);

// The content size for a layout ("horizontal", else two columns) showing
// visibleCards cards, or the default count when it is below 1.
QSizeF panelSize(double cardScale, int visibleCards, const QString &layout);

struct Placement
{
    QRectF frame;     // the window, shadow room included
    bool opensUpward; // the status item sits in the lower half of its screen
};

// Under the status item's rectangle, kept 8 inside the visible frame's sides
// and wholly inside its height; over it when the item sits in the lower half
// of screenFrame, as bottom panels are common here. Without a screen, the
// content at the origin.
Placement panelPlacement(const QRectF &button, QSizeF content, const std::optional<QRectF> &visibleFrame,
                         const std::optional<QRectF> &screenFrame);

} // namespace tamo::MenuBarGeometry
