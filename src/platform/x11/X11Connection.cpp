#include "platform/x11/X11Connection.h"

#include <QGuiApplication>
#include <xcb/xcb.h>

namespace tamo::x11 {

X11Connection X11Connection::fromApplication()
{
    auto *native = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!native || !native->connection())
        return {};
    X11Connection connection;
    connection.xcb = native->connection();
    connection.display = native->display();
    const xcb_setup_t *setup = xcb_get_setup(connection.xcb);
    connection.rootWindow = xcb_setup_roots_iterator(setup).data->root;
    return connection;
}

} // namespace tamo::x11
