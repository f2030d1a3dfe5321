#pragma once

#include "platform/DesktopEntries.h"
#include "platform/Workspace.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Properties.h"

#include <QAbstractNativeEventFilter>

namespace tamo::x11 {

// Applications as EWMH window managers and desktop entries describe them:
// the front app is the owner of _NET_ACTIVE_WINDOW, identified through its
// WM_CLASS, toolkit hints and process.
class X11Workspace final : public Workspace, private QAbstractNativeEventFilter
{
    Q_OBJECT
public:
    explicit X11Workspace(const X11Connection &connection, QObject *parent = nullptr);
    X11Workspace(const X11Connection &connection, const QStringList &applicationFolders, QObject *parent = nullptr);

    AppInfo frontmostApp() const override;
    AppInfo appForProcess(qint64 pid) const override;
    bool isInstalled(const QString &bundleID) const override;
    QIcon icon(const QString &bundleID) const override;
    bool openURL(const QUrl &url) override;
    void revealFile(const QString &path) override;

private:
    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;
    void watchActiveWindow();
    void noteActivation();
    quint32 activeWindow() const;
    AppTraits windowTraits(quint32 window) const;

    X11Connection m_connection;
    X11Properties m_properties;
    DesktopEntries m_entries;
    QString m_frontmostID;
};

} // namespace tamo::x11
