#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>

namespace tamo {

// A 12 × 12 dot of a pinboard colour for menus. It is not a mask, so menus
// show it in its own colour.
QPixmap colorDotImage(const QColor &color, qreal devicePixelRatio = 1.0);

// The dot for a checkable menu row: checked, a ring in the accent colour
// goes around it, so the mark never hides the colour it marks.
QIcon checkableColorDot(const QColor &color, qreal devicePixelRatio = 1.0);

} // namespace tamo
