#pragma once

#include "platform/Screens.h"

#include <QList>
#include <QRectF>
#include <QSizeF>

#include <optional>

// Where the drawer's windows go. Frames are in the screens' convention
// (origin at the bottom-left of the primary screen, y up), so minY is the
// lower edge and maxY the upper one.
namespace tamo::DrawerGeometry {

inline constexpr qreal stripInset = 8;        // gap to the screen's sides and bottom
inline constexpr qreal stripSlideDistance = 40; // the strip slides up from this far below
inline constexpr qreal stripCornerRadius = 32;
inline constexpr qreal previewCornerRadius = 18;
inline constexpr QSizeF previewSize{1113, 708};
inline constexpr QSizeF previewMinimumSize{620, 400};
inline constexpr qreal fallbackScreenWidth = 1440;

// 328 up to a card scale of 0.75, then growing with the cards up to 1.5.
int stripHeight(double cardScale);

// The strip along the bottom of a screen's full frame, over any dock.
QRectF stripFrame(const QRectF &screenFrame, double cardScale);

// The preview frame the user left, when it is large enough and at least half
// of it lies in the visible frame of the first screen it touches.
std::optional<QRectF> usablePreviewFrame(const QRectF &stored, const QList<ScreenInfo> &screens);

// The preview centred in a visible frame; with the strip shown, centred in
// the band above it, which is never less than 440 tall.
QRectF centredPreviewFrame(const QRectF &visibleFrame, const std::optional<QRectF> &shownStrip);

// The smallest rectangle of whole points that holds the given one.
QRectF integralRect(const QRectF &rect);

// The screen holding most of a frame; nothing when it lies on none.
std::optional<ScreenInfo> screenHolding(const QRectF &frame, const QList<ScreenInfo> &screens);

} // namespace tamo::DrawerGeometry
