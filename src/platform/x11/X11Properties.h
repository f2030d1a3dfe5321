#pragma once

#include "platform/x11/X11Connection.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QStringList>

#include <optional>

namespace tamo::x11 {

// Reads window properties by name, interning each atom once. Every read is a
// round trip to the server.
class X11Properties
{
public:
    explicit X11Properties(xcb_connection_t *connection) : m_connection(connection) {}

    // 0 without a connection or when the server refuses.
    quint32 atom(const QByteArray &name) const;
    // The values of a 32-bit property (CARDINAL, WINDOW, ATOM); empty when
    // unset or when the window is gone.
    QList<quint32> numbers(quint32 window, const QByteArray &name) const;
    // The NUL-separated strings of a STRING or UTF8_STRING property
    // (WM_CLASS: instance, class); empty when unset.
    QStringList strings(quint32 window, const QByteArray &name) const;

private:
    xcb_connection_t *m_connection;
    mutable QHash<QByteArray, quint32> m_atoms;
};

// The process of the client that created the window, from the X-Resource
// extension; nothing for a remote client or without the extension.
std::optional<qint64> clientProcessID(xcb_connection_t *connection, quint32 window);

// The window's desktop entry as its toolkit names it: GTK's application id,
// else KDE's desktop file; empty when neither is set.
QString toolkitDesktopId(const X11Properties &properties, quint32 window);

// The window's process: _NET_WM_PID, else the X-Resource extension's (Tk and
// Xt windows set no _NET_WM_PID); 0 when neither tells.
qint64 windowProcessID(const X11Properties &properties, xcb_connection_t *connection, quint32 window);

} // namespace tamo::x11
