#pragma once

#include "platform/DesktopEntries.h"
#include "platform/WindowServer.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Properties.h"

#include <QAbstractNativeEventFilter>
#include <QHash>

#include <optional>

namespace tamo {
class Screens;
}

namespace tamo::x11 {

class X11ActiveWindow;

// The windows an EWMH window manager manages (_NET_CLIENT_LIST), read in one
// pipelined pass per turn of the event loop so that a switcher with a
// hundred windows costs a few round trips, not hundreds.
class X11WindowServer final : public WindowServer, private QAbstractNativeEventFilter
{
    Q_OBJECT
public:
    X11WindowServer(const X11Connection &connection, const X11ActiveWindow &activeWindow, const Screens &screens,
                    const DesktopEntries &entries, QObject *parent = nullptr);
    ~X11WindowServer() override;

    QList<ServerWindow> windowList(bool onScreenOnly) const override;
    std::optional<QList<AppWindow>> appWindows(qint64 pid) const override;
    std::optional<AppWindow> window(quint32 number) const override;
    std::optional<bool> isOnAnyDesktop(quint32 number) const override;
    QList<RunningApp> runningApps() const override;
    qint64 frontmostPid() const override;
    quint32 focusedWindow(qint64 pid) const override;
    void activate(quint32 number) override;
    std::optional<QRectF> frame(quint32 number) const override;
    void setFrame(quint32 number, const QRectF &frame) override;
    void watchTitles(qint64 pid) override;

    struct Client
    {
        quint32 number = 0;
        qint64 pid = 0;
        QList<quint32> types;
        QList<quint32> states;
        std::optional<quint32> desktop;
        std::optional<double> alpha;
        QString title;
        QStringList windowClass;
        QString toolkitId;
        std::optional<QSizeF> size;
        bool mapped = false;
    };

private:
    struct Snapshot
    {
        QList<Client> clients; // bottom to top
        quint32 activeWindow = 0;
        quint32 currentDesktop = 0;
    };

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;
    const Snapshot &snapshot() const;
    const Client *client(quint32 number) const;
    AppWindow appWindow(const Client &client) const;
    bool has(const QList<quint32> &atoms, const QByteArray &name) const;
    bool isOnScreen(const Client &client, quint32 currentDesktop) const;
    RunningApp runningApp(const Client &client) const;
    QIcon windowIcon(quint32 number) const;
    void noteActiveWindow();
    void selectPropertyChanges(quint32 window, bool on);

    X11Connection m_connection;
    const X11ActiveWindow &m_activeWindowWatch;
    const Screens &m_screens;
    X11Properties m_properties;
    const DesktopEntries &m_entries;
    mutable std::optional<Snapshot> m_snapshot;
    mutable QHash<qint64, QIcon> m_iconsByPid;
    QHash<qint64, quint32> m_lastActiveByPid;
    quint32 m_activeWindow = 0;
    qint64 m_titlePid = 0;
    QList<quint32> m_titleWindows;
};

} // namespace tamo::x11
