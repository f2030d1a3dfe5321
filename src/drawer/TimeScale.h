#pragma once

#include <QtGlobal>

namespace tamo {

// Scales the durations of the drawer's animations and notices. The app runs
// them at 1; tests run the same code faster.
struct TimeScale
{
    double factor = 1.0;

    int operator()(int milliseconds) const { return qRound(milliseconds * factor); }
};

} // namespace tamo
