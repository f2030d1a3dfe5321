#pragma once

#include <cstdint>
#include <initializer_list>

struct xcb_connection_t;
typedef struct _XDisplay Display;

namespace tamo::x11 {

// The X connection Qt's xcb platform opened. Every X11 facility shares it so
// that events, grabs and selections all belong to one client.
struct X11Connection
{
    xcb_connection_t *xcb = nullptr;
    Display *display = nullptr;
    uint32_t rootWindow = 0;

    bool isValid() const { return xcb != nullptr; }

    // Invalid when the application does not run on X11 (offscreen, Wayland).
    static X11Connection fromApplication();
};

// A connection of its own to the display Qt uses, for a thread that must not
// wait on the main thread's; null when the server cannot be reached. Its
// root window comes with it.
xcb_connection_t *connectOwn(uint32_t *rootWindow);

// Asks the window manager to act on a window as EWMH has clients do: a
// client message of the `type` atom to the root window, with up to five
// numbers.
void sendToWindowManager(const X11Connection &connection, uint32_t type, uint32_t window,
                         std::initializer_list<uint32_t> data);

} // namespace tamo::x11
