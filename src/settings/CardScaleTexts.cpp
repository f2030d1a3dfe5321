#include "settings/CardScaleTexts.h"

#include <QLocale>

#include <algorithm>
#include <cmath>

namespace tamo::CardScaleTexts {

namespace {

constexpr double snapWindow = 0.03;
constexpr int baseSide = 304;
constexpr double baseTextSize = 13;
constexpr double smallestCardTextSize = 10;

double finite(double value)
{
    return std::isfinite(value) ? value : 1.0;
}

double halfPoints(double points)
{
    return std::round(2 * points) / 2;
}

} // namespace

double snapped(double value)
{
    return std::abs(value - 1.0) < snapWindow ? 1.0 : value;
}

int percentage(double scale)
{
    // Clamped only to stay an int; the text shows stored factors as they are.
    return int(std::round(std::clamp(finite(scale) * 100, -1e6, 1e6)));
}

int cardSide(double cardScale)
{
    const double scale = finite(cardScale);
    if (scale <= cardSizeMin)
        return int(std::round(cardSizeMin * baseSide));
    return int(std::round(std::min(scale, cardSizeMax) * baseSide));
}

double previewPointSize(double textScale, double cardScale)
{
    const double card = finite(cardScale);
    const double text = finite(textScale);
    const double base = card <= cardSizeMin ? smallestCardTextSize : halfPoints(baseTextSize * std::min(card, cardSizeMax));
    const double factor = text <= textSizeMin ? textSizeMin : std::min(text, textSizeMax);
    return halfPoints(base * factor);
}

QString cardSizeText(double cardScale, double pixelRatio)
{
    const int side = int(std::round(cardSide(cardScale) * finite(pixelRatio)));
    return QStringLiteral("%1 × %1 px · %2%").arg(side).arg(percentage(cardScale));
}

QString fontSizeText(double textScale, double cardScale, double pixelRatio)
{
    const double size = halfPoints(previewPointSize(textScale, cardScale) * finite(pixelRatio));
    const int decimals = size == std::floor(size) ? 0 : 1;
    return QStringLiteral("%1 px · %2%").arg(QLocale().toString(size, 'f', decimals)).arg(percentage(textScale));
}

} // namespace tamo::CardScaleTexts
