#pragma once

#include "platform/Screens.h"

namespace tamo::bench {

// One 1920 × 1080 screen with the pointer in its middle.
class OneScreen final : public Screens
{
public:
    QList<ScreenInfo> screens() const override
    {
        ScreenInfo screen;
        screen.frame = screen.visibleFrame = QRectF(0, 0, 1920, 1080);
        screen.name = QStringLiteral("Bench");
        return {screen};
    }
    QPointF pointerLocation() const override { return {960, 540}; }
    ScreenGeometry geometry() const override { return ScreenGeometry(QRectF(0, 0, 1920, 1080)); }
};

} // namespace tamo::bench
