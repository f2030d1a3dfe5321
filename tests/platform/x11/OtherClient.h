#pragma once

#include "platform/x11/X11Properties.h"

#include <QByteArray>
#include <QList>

#include <xcb/xcb.h>

#include <cstdlib>

namespace tamo::testing {

// Another X client than the app under test, on a connection of its own.
// What it holds (windows, key grabs, selections) goes when it disconnects.
class OtherClient
{
public:
    OtherClient()
        : m_connection(xcb_connect(nullptr, nullptr))
        , m_properties(m_connection)
        , m_root(isConnected() ? xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root : 0)
    {
    }
    ~OtherClient() { xcb_disconnect(m_connection); }
    OtherClient(const OtherClient &) = delete;
    OtherClient &operator=(const OtherClient &) = delete;

    bool isConnected() const { return !xcb_connection_has_error(m_connection); }
    xcb_connection_t *connection() const { return m_connection; }
    xcb_window_t root() const { return m_root; }
    quint32 atom(const QByteArray &name) const { return m_properties.atom(name); }

    // A small unmapped top-level window.
    xcb_window_t createWindow(uint16_t windowClass = XCB_WINDOW_CLASS_INPUT_OUTPUT)
    {
        const xcb_window_t window = xcb_generate_id(m_connection);
        xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, window, m_root, 0, 0, 10, 10, 0, windowClass,
                          XCB_COPY_FROM_PARENT, 0, nullptr);
        return window;
    }

    // Sets a property of 32-bit values (CARDINAL, WINDOW, ATOM).
    void setNumbers(xcb_window_t window, const QByteArray &name, xcb_atom_t type, const QList<quint32> &values)
    {
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, atom(name), type, 32, values.size(),
                            values.constData());
    }

    // Grabs the key on the root window, as an app with a global shortcut
    // does; false when the server refuses.
    bool grabKey(xcb_keycode_t keycode, uint16_t modifiers)
    {
        xcb_generic_error_t *error = xcb_request_check(
            m_connection, xcb_grab_key_checked(m_connection, 1, m_root, modifiers, keycode, XCB_GRAB_MODE_ASYNC,
                                               XCB_GRAB_MODE_ASYNC));
        const bool granted = !error;
        std::free(error);
        return granted;
    }

    // A round trip: the server has applied everything sent before it.
    void sync() { std::free(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr)); }

private:
    xcb_connection_t *m_connection;
    x11::X11Properties m_properties;
    xcb_window_t m_root;
};

} // namespace tamo::testing
