#pragma once

#include <cstdint>

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

} // namespace tamo::x11
