#pragma once

#include <QColor>
#include <QList>
#include <QString>

namespace tamo {

struct PaletteEntry
{
    QString name;
    QColor color;
};

// The fixed colours a pinboard can take, in colour-index order.
const QList<PaletteEntry> &pinboardPalette();

// The entry for a stored colour index; any integer maps onto the palette.
const PaletteEntry &paletteEntry(int colorIndex);

// The index of the palette colour closest to an sRGB colour with 0–1
// components; the lowest index wins a tie.
int nearestPaletteIndex(double red, double green, double blue);

} // namespace tamo
