#include "platform/x11/X11ActiveWindow.h"

#include "platform/x11/X11Event.h"
#include "platform/x11/X11Reply.h"

#include <QCoreApplication>
#include <QWindow>

namespace tamo::x11 {

X11ActiveWindow::X11ActiveWindow(const X11Connection &connection, QObject *parent)
    : QObject(parent)
    , m_connection(connection)
    , m_properties(connection.xcb)
{
    if (!m_connection.isValid())
        return;
    m_activeAtom = m_properties.atom("_NET_ACTIVE_WINDOW");
    m_desktopAtom = m_properties.atom("_NET_CURRENT_DESKTOP");
    // The event mask is per client and Qt shares this connection: add to
    // Qt's selection rather than replace it.
    xcb_connection_t *c = m_connection.xcb;
    const auto attributes =
        replyTo<xcb_get_window_attributes_reply>(c, xcb_get_window_attributes(c, m_connection.rootWindow));
    const quint32 mask = (attributes ? attributes->your_event_mask : 0) | XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(c, m_connection.rootWindow, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(c);
    QCoreApplication::instance()->installNativeEventFilter(this);
    QCoreApplication::instance()->installEventFilter(this);
    note(activeWindow());
}

X11ActiveWindow::~X11ActiveWindow()
{
    if (m_connection.isValid())
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

quint32 X11ActiveWindow::activeWindow() const
{
    if (!m_connection.isValid())
        return 0;
    return m_properties.numbers(m_connection.rootWindow, "_NET_ACTIVE_WINDOW").value(0);
}

quint32 X11ActiveWindow::userWindow() const
{
    const quint32 active = activeWindow();
    if (active && !isOwnWindow(active))
        return active;
    return exists(m_lastOtherWindow) ? m_lastOtherWindow : 0;
}

bool X11ActiveWindow::isOwnWindow(quint32 window) const
{
    // Every id a client creates lies in the range the server gave it.
    const xcb_setup_t *setup = xcb_get_setup(m_connection.xcb);
    return window && (window & ~setup->resource_id_mask) == setup->resource_id_base;
}

bool X11ActiveWindow::exists(quint32 window) const
{
    if (!window)
        return false;
    xcb_connection_t *c = m_connection.xcb;
    return bool(replyTo<xcb_get_window_attributes_reply>(c, xcb_get_window_attributes(c, window)));
}

void X11ActiveWindow::note(quint32 window)
{
    if (window && !isOwnWindow(window))
        m_lastOtherWindow = window;
}

bool X11ActiveWindow::eventFilter(QObject *watched, QEvent *event)
{
    // Sent before the window is mapped, while the app the user was in still
    // holds the activation.
    if (event->type() == QEvent::Show && watched->isWindowType() && static_cast<QWindow *>(watched)->isTopLevel())
        note(activeWindow());
    return false;
}

bool X11ActiveWindow::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    const auto *property = nativeEventAs<xcb_property_notify_event_t>(eventType, message, XCB_PROPERTY_NOTIFY);
    if (!property || property->window != m_connection.rootWindow)
        return false;
    if (property->atom == m_desktopAtom) {
        QMetaObject::invokeMethod(this, &X11ActiveWindow::desktopChanged, Qt::QueuedConnection);
    } else if (property->atom == m_activeAtom) {
        note(activeWindow());
        QMetaObject::invokeMethod(this, &X11ActiveWindow::changed, Qt::QueuedConnection);
    }
    return false;
}

} // namespace tamo::x11
