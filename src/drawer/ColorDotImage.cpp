#include "drawer/ColorDotImage.h"

#include "cards/ViewStyles.h"

namespace tamo {

namespace {

constexpr int dotSide = 12;
constexpr qreal dotInset = 1;

} // namespace

QPixmap colorDotImage(const QColor &color, qreal devicePixelRatio)
{
    return discImage(color, dotSide, dotInset, devicePixelRatio);
}

} // namespace tamo
