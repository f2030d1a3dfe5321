#pragma once

#include "platform/x11/X11Connection.h"

#include <memory>

namespace tamo::x11 {
class DBusLauncherBadges;
}

namespace tamo {

namespace x11 {
class X11ActiveWindow;
class X11GlobalHotKeys;
}

class Accessibility;
class AccessibleTree;
class LauncherBadges;
class ClickConverter;
class ClickShield;
class Compositor;
class DesktopEntries;
class EventPoster;
class GlobalHotKeys;
class KeyboardLayouts;
class Pasteboard;
class ScreenshotFolder;
class Screens;
class Sounds;
class Workspace;
class WindowServer;

// The real desktop facilities of an X11 session, created together on Qt's
// X connection and kept for the life of the process.
class X11Platform
{
public:
    X11Platform();
    ~X11Platform();

    // False when Qt does not run on X11 (a Wayland session without XWayland).
    bool isX11() const { return m_connection.isValid(); }

    Pasteboard &pasteboard() { return *m_pasteboard; }
    Workspace &workspace() { return *m_workspace; }
    GlobalHotKeys &hotKeys();
    EventPoster &eventPoster() { return *m_eventPoster; }
    Accessibility &accessibility() { return *m_accessibility; }
    Screens &screens() { return *m_screens; }
    Sounds &sounds() { return *m_sounds; }
    ScreenshotFolder &screenshotFolder() { return *m_screenshotFolder; }
    Compositor &compositor() { return *m_compositor; }
    ClickShield &clickShield() { return *m_clickShield; }
    WindowServer &windowServer() { return *m_windowServer; }
    AccessibleTree &accessibleTree() { return *m_accessibleTree; }
    LauncherBadges &launcherBadges();
    KeyboardLayouts &keyboardLayouts() { return *m_keyboardLayouts; }
    ClickConverter &clickConverter() { return *m_clickConverter; }

private:
    x11::X11Connection m_connection;
    std::unique_ptr<x11::X11ActiveWindow> m_activeWindow;
    // Names apps alike for the workspace and the window server.
    std::unique_ptr<DesktopEntries> m_apps;
    std::unique_ptr<Pasteboard> m_pasteboard;
    std::unique_ptr<Workspace> m_workspace;
    std::unique_ptr<x11::X11GlobalHotKeys> m_hotKeys;
    std::unique_ptr<EventPoster> m_eventPoster;
    std::unique_ptr<Accessibility> m_accessibility;
    std::unique_ptr<Screens> m_screens;
    std::unique_ptr<Sounds> m_sounds;
    std::unique_ptr<ScreenshotFolder> m_screenshotFolder;
    std::unique_ptr<Compositor> m_compositor;
    std::unique_ptr<ClickShield> m_clickShield;
    std::unique_ptr<WindowServer> m_windowServer;
    std::unique_ptr<AccessibleTree> m_accessibleTree;
    std::unique_ptr<x11::DBusLauncherBadges> m_launcherBadges;
    std::unique_ptr<KeyboardLayouts> m_keyboardLayouts;
    std::unique_ptr<ClickConverter> m_clickConverter;
};

} // namespace tamo
