#include "platform/Screens.h"

namespace tamo {

bool ScreenInfo::containsPointer(const QPointF &point) const
{
    return point.x() >= frame.left() && point.x() < frame.right() && point.y() > frame.top()
        && point.y() <= frame.bottom();
}

std::optional<ScreenInfo> Screens::screenUnderPointer() const
{
    const QList<ScreenInfo> all = screens();
    if (all.isEmpty())
        return std::nullopt;
    const QPointF pointer = pointerLocation();
    for (const ScreenInfo &screen : all) {
        if (screen.containsPointer(pointer))
            return screen;
    }
    return all.first();
}

} // namespace tamo
