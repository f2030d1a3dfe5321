#include "model/PinboardPalette.h"

#include <limits>

namespace tamo {

const QList<PaletteEntry> &pinboardPalette()
{
    static const QList<PaletteEntry> palette{
        {QStringLiteral("Blue"), QColor(0, 122, 255)},
        {QStringLiteral("Gray"), QColor(142, 142, 147)},
        {QStringLiteral("Purple"), QColor(175, 82, 222)},
        {QStringLiteral("Yellow"), QColor(255, 204, 0)},
        {QStringLiteral("Green"), QColor(52, 199, 89)},
        {QStringLiteral("Red"), QColor(255, 59, 48)},
        {QStringLiteral("Orange"), QColor(255, 149, 0)},
        {QStringLiteral("Pink"), QColor(255, 45, 85)},
        {QStringLiteral("Teal"), QColor(48, 176, 199)},
    };
    return palette;
}

const PaletteEntry &paletteEntry(int colorIndex)
{
    const QList<PaletteEntry> &palette = pinboardPalette();
    const int size = int(palette.size());
    return palette.at(((colorIndex % size) + size) % size);
}

int nearestPaletteIndex(double red, double green, double blue)
{
    // Compared on the 0–255 scale of the palette's own channels, so an input
    // that lies exactly between two entries is a true tie.
    const auto squaredDistance = [&](const QColor &color) {
        const double dr = red * 255 - color.red();
        const double dg = green * 255 - color.green();
        const double db = blue * 255 - color.blue();
        return dr * dr + dg * dg + db * db;
    };

    const QList<PaletteEntry> &palette = pinboardPalette();
    int nearest = 0;
    double nearestDistance = std::numeric_limits<double>::infinity();
    for (int i = 0; i < palette.size(); ++i) {
        const double distance = squaredDistance(palette.at(i).color);
        if (distance < nearestDistance) {
            nearest = i;
            nearestDistance = distance;
        }
    }
    return nearest;
}

} // namespace tamo
