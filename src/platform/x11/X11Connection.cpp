#include "platform/x11/X11Connection.h"

#include <QGuiApplication>
#include <xcb/xcb.h>

#include <algorithm>

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

xcb_connection_t *connectOwn(uint32_t *rootWindow)
{
    int screenNumber = 0;
    xcb_connection_t *xcb = xcb_connect(nullptr, &screenNumber);
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(xcb));
    for (int i = 0; i < screenNumber && screens.rem; ++i)
        xcb_screen_next(&screens);
    if (xcb_connection_has_error(xcb) || !screens.rem) {
        xcb_disconnect(xcb);
        return nullptr;
    }
    *rootWindow = screens.data->root;
    return xcb;
}

void sendToWindowManager(const X11Connection &connection, uint32_t type, uint32_t window,
                         std::initializer_list<uint32_t> data)
{
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = type;
    std::copy_n(data.begin(), std::min<size_t>(data.size(), 5), event.data.data32);
    xcb_send_event(connection.xcb, false, connection.rootWindow,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&event));
    xcb_flush(connection.xcb);
}

} // namespace tamo::x11
