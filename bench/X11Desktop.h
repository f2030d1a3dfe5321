#pragma once

#include "platform/DesktopEntries.h"
#include "platform/Defaults.h"
#include "platform/x11/X11ActiveWindow.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Pasteboard.h"
#include "platform/x11/X11Workspace.h"

#include <QTemporaryDir>

namespace tamo::bench {

// The clipboard and the apps of the running X server: Qt's clipboard only
// when there is none.
struct X11Desktop
{
    x11::X11Connection x11 = x11::X11Connection::fromApplication();
    x11::X11Pasteboard pasteboard{x11};
    x11::X11ActiveWindow activeWindow{x11};
    DesktopEntries apps;
    x11::X11Workspace workspace{x11, activeWindow, apps};
    QTemporaryDir settingsFolder;
    Defaults defaults{settingsFolder.filePath(QStringLiteral("defaults.json"))};
};

} // namespace tamo::bench
