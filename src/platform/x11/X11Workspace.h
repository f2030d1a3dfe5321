#pragma once

#include "platform/DesktopEntries.h"
#include "platform/Workspace.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Properties.h"

namespace tamo::x11 {

class X11ActiveWindow;

// Applications as EWMH window managers and desktop entries describe them:
// the front app is the owner of the window the user works in (never one of
// ours), identified through its WM_CLASS, toolkit hints and process.
class X11Workspace final : public Workspace
{
    Q_OBJECT
public:
    X11Workspace(const X11Connection &connection, const X11ActiveWindow &activeWindow, const DesktopEntries &entries,
                 QObject *parent = nullptr);

    AppInfo frontmostApp() const override;
    qint64 frontmostProcessID() const override;
    // The process itself when it has a desktop entry or owns the window the
    // user works in, else the nearest process it was started from that has a
    // desktop entry: xclip run in a terminal is the terminal's. For a process
    // that is gone, the first of the forks that may stand in for it that
    // leads to an app.
    AppInfo appForProcess(qint64 pid) const override;
    bool isInstalled(const QString &bundleID) const override;
    QStringList sameApp(const QString &bundleID) const override;
    QList<AppInfo> installedApps() const override;
    QIcon icon(const QString &bundleID) const override;
    bool openURL(const QUrl &url) override;
    void revealFile(const QString &path, std::function<void()> notShown = {}) override;

private:
    void noteActivation();
    AppTraits windowTraits(quint32 window) const;
    AppInfo appForAncestry(const QList<qint64> &ancestry) const;

    X11Connection m_connection;
    const X11ActiveWindow &m_activeWindow;
    X11Properties m_properties;
    const DesktopEntries &m_entries;
    QString m_frontmostID;
};

} // namespace tamo::x11
