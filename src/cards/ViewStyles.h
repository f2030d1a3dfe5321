#pragma once

#include <QColor>
#include <QFont>

namespace tamo {

// Text colours shared by the panels, taken from the application palette on
// first use and kept from then on.
const QColor &sharedLabelColor();
const QColor &sharedSecondaryLabelColor();

// The application font at a design size. Design points are pixels at scale 1,
// so the size is converted through the primary screen's logical DPI, keeping
// fractional sizes such as 13.5.
QFont uiFont(double points, QFont::Weight weight = QFont::Normal);

} // namespace tamo
