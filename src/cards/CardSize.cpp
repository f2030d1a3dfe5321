#include "cards/CardSize.h"

#include <algorithm>
#include <cmath>

namespace tamo {

double roundToHalf(double value)
{
    return std::round(value * 2) / 2;
}

int CardSize::side() const
{
    return int(std::lround(baseSide * scale));
}

int CardSize::headerHeight() const
{
    return int(std::lround(baseHeaderHeight * scale));
}

double CardSize::labelPointSize() const
{
    return roundToHalf(baseLabelPointSize * scale);
}

double CardSize::textPointSize(double textScale) const
{
    return roundToHalf(std::clamp(textScale, 0.75, 1.75) * labelPointSize());
}

} // namespace tamo
