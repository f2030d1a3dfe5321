#include "drawer/SelectedGlass.h"

#include "cards/GlassRim.h"
#include "cards/ViewStyles.h"

#include <QPainter>

namespace tamo {

namespace {

constexpr float tintOpacity = 0.3f;
constexpr float untintedOpacity = 0.1f;

} // namespace

QColor SelectedGlass::fill() const
{
    if (!isSelected)
        return Qt::transparent;
    QColor color = tint.isValid() ? tint : sharedLabelColor();
    color.setAlphaF(tint.isValid() ? tintOpacity : untintedOpacity);
    return color;
}

void SelectedGlass::paint(QPainter &painter, const QRectF &rect) const
{
    if (!isSelected)
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(capsule(rect), fill());
    painter.restore();
}

} // namespace tamo
