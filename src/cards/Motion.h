#pragma once

#include <QEasingCurve>

namespace tamo {

// A cubic Bézier timing curve through (0, 0), (x1, y1), (x2, y2), (1, 1), as
// CSS's cubic-bezier(): the x control values must lie in 0…1.
QEasingCurve timingCurve(double x1, double y1, double x2, double y2);

// Ease-in-out there and back over one loop: 0 → 1 at the half, → 0 at the
// end, turning smoothly at each end.
qreal easedThereAndBack(qreal loopProgress);

// A damped spring from rest at 0 to rest at 1, as a duration and a curve that
// may overshoot 1 on the way.
struct SpringAnimation
{
    int durationMs = 0;
    QEasingCurve curve;
};

// response: the period of the undamped spring in seconds; dampingFraction:
// 1 settles fastest without overshoot, less bounces.
SpringAnimation spring(double response, double dampingFraction);

} // namespace tamo
