#pragma once

#include "platform/x11/X11Properties.h"

#include <QByteArray>

#include <xcb/xcb.h>

#include <cstdlib>

namespace tamo::testing {

// Windows of "other apps" on a connection of their own, named by WM_CLASS
// and _NET_WM_PID, which the test makes active as a window manager would.
class OtherAppWindows
{
public:
    OtherAppWindows()
        : m_connection(xcb_connect(nullptr, nullptr))
        , m_properties(m_connection)
        , m_root(xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root)
    {
    }
    ~OtherAppWindows()
    {
        xcb_delete_property(m_connection, m_root, m_properties.atom("_NET_ACTIVE_WINDOW"));
        sync();
        xcb_disconnect(m_connection);
    }

    xcb_window_t create(const QByteArray &instance, const QByteArray &windowClass, qint64 pid)
    {
        const xcb_window_t window = xcb_generate_id(m_connection);
        xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, window, m_root, 0, 0, 10, 10, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
        const QByteArray wmClass = instance + '\0' + windowClass + '\0';
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8,
                            wmClass.size(), wmClass.constData());
        const quint32 pid32 = quint32(pid);
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, m_properties.atom("_NET_WM_PID"),
                            XCB_ATOM_CARDINAL, 32, 1, &pid32);
        return window;
    }

    void activate(xcb_window_t window)
    {
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, m_root, m_properties.atom("_NET_ACTIVE_WINDOW"),
                            XCB_ATOM_WINDOW, 32, 1, &window);
        sync();
    }

private:
    void sync() { std::free(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr)); }

    xcb_connection_t *m_connection;
    x11::X11Properties m_properties;
    xcb_window_t m_root;
};

} // namespace tamo::testing
