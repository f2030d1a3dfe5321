#pragma once

#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Properties.h"

#include <QAbstractNativeEventFilter>
#include <QObject>

namespace tamo::x11 {

// The window the user works in, as the window manager publishes it in
// _NET_ACTIVE_WINDOW. Our own panels take the activation while they are
// open, and a window manager may leave it on one of them after it hid, so
// while one of ours is active the window that was active before it stands in.
// That window is read as one of ours is about to show, not only when the
// change event is handled: by then one of ours may already have taken over.
class X11ActiveWindow final : public QObject, private QAbstractNativeEventFilter
{
    Q_OBJECT

public:
    explicit X11ActiveWindow(const X11Connection &connection, QObject *parent = nullptr);
    ~X11ActiveWindow() override;

    // The active window as published; 0 when none is.
    quint32 activeWindow() const;
    // The active window unless it is one of ours, else the last other window
    // that was active while it still exists; 0 when there is none.
    quint32 userWindow() const;
    // True for a window this process's X connection created.
    bool isOwnWindow(quint32 window) const;

signals:
    // _NET_ACTIVE_WINDOW changed; emitted after the event, not inside it.
    void changed();
    // _NET_CURRENT_DESKTOP changed, likewise.
    void desktopChanged();

private:
    bool eventFilter(QObject *watched, QEvent *event) override;
    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;
    void note(quint32 window);
    bool exists(quint32 window) const;

    X11Connection m_connection;
    X11Properties m_properties;
    quint32 m_activeAtom = 0;
    quint32 m_desktopAtom = 0;
    quint32 m_lastOtherWindow = 0;
};

} // namespace tamo::x11
