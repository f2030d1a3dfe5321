#pragma once

#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Properties.h"

#include <QTest>

namespace tamo::testing {

inline bool windowManagerRuns()
{
    const auto x11 = x11::X11Connection::fromApplication();
    const x11::X11Properties properties(x11.xcb);
    // The check window names itself; a stale root property outlives a
    // window manager that was killed.
    const quint32 check = properties.numbers(x11.rootWindow, "_NET_SUPPORTING_WM_CHECK").value(0);
    return check && properties.numbers(check, "_NET_SUPPORTING_WM_CHECK").value(0) == check;
}

// A client has the keyboard focus a moment before the window manager names
// it active; a paste target noted in between would be the window before it.
inline bool waitUntilActive(qint64 pid, int timeoutMs = 10000)
{
    if (!windowManagerRuns())
        return true;
    const auto x11 = x11::X11Connection::fromApplication();
    const x11::X11Properties properties(x11.xcb);
    return QTest::qWaitFor([&] {
        const quint32 active = properties.numbers(x11.rootWindow, "_NET_ACTIVE_WINDOW").value(0);
        return active && properties.numbers(active, "_NET_WM_PID").value(0) == pid;
    }, timeoutMs);
}

} // namespace tamo::testing
