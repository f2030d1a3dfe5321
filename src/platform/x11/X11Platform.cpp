#include "platform/x11/X11Platform.h"

#include "platform/DesktopEntries.h"
#include "platform/XdgScreenshotFolder.h"
#include "platform/x11/AtSpiTree.h"
#include "platform/x11/CanberraSounds.h"
#include "platform/x11/DBusLauncherBadges.h"
#include "platform/x11/X11Accessibility.h"
#include "platform/x11/X11ActiveWindow.h"
#include "platform/x11/X11ClickConverter.h"
#include "platform/x11/X11ClickShield.h"
#include "platform/x11/X11Compositor.h"
#include "platform/x11/X11EventPoster.h"
#include "platform/x11/X11GlobalHotKeys.h"
#include "platform/x11/X11KeyboardLayouts.h"
#include "platform/x11/X11Pasteboard.h"
#include "platform/x11/X11Screens.h"
#include "platform/x11/X11WindowServer.h"
#include "platform/x11/X11Workspace.h"

namespace tamo {

X11Platform::X11Platform()
    : m_connection(x11::X11Connection::fromApplication())
    , m_activeWindow(std::make_unique<x11::X11ActiveWindow>(m_connection))
    , m_apps(std::make_unique<DesktopEntries>())
    , m_pasteboard(std::make_unique<x11::X11Pasteboard>(m_connection))
    , m_workspace(std::make_unique<x11::X11Workspace>(m_connection, *m_activeWindow, *m_apps))
    , m_hotKeys(std::make_unique<x11::X11GlobalHotKeys>(m_connection))
    , m_eventPoster(std::make_unique<x11::X11EventPoster>(m_connection, *m_activeWindow, *m_hotKeys))
    , m_accessibility(std::make_unique<x11::X11Accessibility>(m_connection))
    , m_screens(std::make_unique<x11::X11Screens>(m_connection))
    , m_sounds(std::make_unique<x11::CanberraSounds>())
    , m_screenshotFolder(std::make_unique<XdgScreenshotFolder>())
    , m_compositor(std::make_unique<x11::X11Compositor>(m_connection))
    , m_clickShield(std::make_unique<x11::X11ClickShield>(m_connection, *m_screens))
    , m_windowServer(std::make_unique<x11::X11WindowServer>(m_connection, *m_activeWindow, *m_screens, *m_apps))
    , m_accessibleTree(std::make_unique<x11::AtSpiTree>())
    , m_launcherBadges(std::make_unique<x11::DBusLauncherBadges>())
    , m_keyboardLayouts(std::make_unique<x11::X11KeyboardLayouts>(m_connection))
    , m_clickConverter(std::make_unique<x11::X11ClickConverter>())
{
}

X11Platform::~X11Platform() = default;

GlobalHotKeys &X11Platform::hotKeys()
{
    return *m_hotKeys;
}

LauncherBadges &X11Platform::launcherBadges()
{
    return *m_launcherBadges;
}

} // namespace tamo
