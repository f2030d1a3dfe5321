#pragma once

#include <QCoreApplication>
#include <QTimer>

#include <functional>

namespace tamo::testing {

// Runs the app's event loop, `act` called from it, until the app quits;
// false when it was still running `deadlineMs` later. A quit only ends a
// running loop, so a test of one must run it.
inline bool quitsWhile(const std::function<void()> &act, int deadlineMs = 30000)
{
    QTimer::singleShot(0, act);
    QTimer giveUp;
    giveUp.setSingleShot(true);
    QObject::connect(&giveUp, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    giveUp.start(deadlineMs);
    return QCoreApplication::exec() == 0;
}

} // namespace tamo::testing
