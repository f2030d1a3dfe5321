#pragma once

#include "OtherClient.h"

#include <QByteArray>

namespace tamo::testing {

// Windows of "other apps" on a connection of their own, named by WM_CLASS
// and _NET_WM_PID, which the test makes active as a window manager would.
class OtherAppWindows
{
public:
    ~OtherAppWindows()
    {
        xcb_delete_property(m_client.connection(), m_client.root(), m_client.atom("_NET_ACTIVE_WINDOW"));
        m_client.sync();
    }

    xcb_window_t create(const QByteArray &instance, const QByteArray &windowClass, qint64 pid)
    {
        const xcb_window_t window = m_client.createWindow();
        const QByteArray wmClass = instance + '\0' + windowClass + '\0';
        xcb_change_property(m_client.connection(), XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING,
                            8, wmClass.size(), wmClass.constData());
        m_client.setNumbers(window, "_NET_WM_PID", XCB_ATOM_CARDINAL, {quint32(pid)});
        return window;
    }

    void activate(xcb_window_t window)
    {
        m_client.setNumbers(m_client.root(), "_NET_ACTIVE_WINDOW", XCB_ATOM_WINDOW, {window});
        m_client.sync();
    }

private:
    OtherClient m_client;
};

} // namespace tamo::testing
