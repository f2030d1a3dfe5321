#pragma once

#include "ChildProcess.h"

#include <memory>

namespace tamo::testing {

// Focus hand-back goes through the window manager. When the test display has
// none (xvfb-run starts a bare server), this starts openbox for the test's
// lifetime; a window manager already running is used as it is.
class WindowManager
{
public:
    WindowManager()
    {
        if (windowManagerRuns())
            return;
        // openbox names itself on the root window before it manages windows;
        // a window mapped in between is never focused. The startup command
        // runs once it is ready.
        m_openbox = std::make_unique<ChildProcess>(
            QStringLiteral("openbox"),
            QStringList{QStringLiteral("--sm-disable"), QStringLiteral("--startup"), QStringLiteral("echo ready")});
        // Another test sharing the display may have started one at the same
        // moment: ours then gives way to it.
        EXPECT_TRUE(QTest::qWaitFor([&] {
            return m_openbox->lines().contains(QStringLiteral("ready"))
                   || (!m_openbox->running() && windowManagerRuns());
        }, 30000)) << "openbox did not start";
    }

private:
    std::unique_ptr<ChildProcess> m_openbox;
};

} // namespace tamo::testing
