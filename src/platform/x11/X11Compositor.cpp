#include "platform/x11/X11Compositor.h"

#include "platform/x11/X11Properties.h"
#include "platform/x11/X11Reply.h"

#include <xcb/xcb.h>

namespace tamo::x11 {

namespace {

// The number of the screen whose root window the connection uses.
int screenNumber(const X11Connection &x11)
{
    int number = 0;
    for (auto it = xcb_setup_roots_iterator(xcb_get_setup(x11.xcb)); it.rem; xcb_screen_next(&it), ++number) {
        if (it.data->root == x11.rootWindow)
            return number;
    }
    return 0;
}

} // namespace

X11Compositor::X11Compositor(X11Connection x11)
    : m_x11(x11)
{
    if (m_x11.isValid())
        m_selection = X11Properties(m_x11.xcb).atom("_NET_WM_CM_S" + QByteArray::number(screenNumber(m_x11)));
}

bool X11Compositor::isRunning() const
{
    if (m_selection == XCB_ATOM_NONE)
        return false;
    const auto owner = replyTo<xcb_get_selection_owner_reply>(
        m_x11.xcb, xcb_get_selection_owner(m_x11.xcb, m_selection));
    return owner && owner->owner != XCB_WINDOW_NONE;
}

} // namespace tamo::x11
