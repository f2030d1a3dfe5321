#pragma once

#include <QColor>
#include <QPixmap>

namespace tamo {

// A 12 × 12 dot of a pinboard colour for menus. It is not a mask, so menus
// show it in its own colour.
QPixmap colorDotImage(const QColor &color, qreal devicePixelRatio = 1.0);

} // namespace tamo
