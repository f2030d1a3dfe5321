#pragma once

#include "bonus/WindowSwitcherRow.h"

#include <QHash>
#include <QList>
#include <QSet>

namespace tamo {

class Accessibility;
class BrowserTabs;
class Defaults;
class LauncherBadges;
class RecentWindows;
class WindowServer;

// Which windows of other apps the switcher offers, in which order, and which
// one is selected when it opens. Windows come from two views of the desktop:
// the server's list (every window, no titles) and each app's own (titles and
// states, only what the app presents now). Windows once read from an app are
// cached, so one stays listed while the server still lists it.
class WindowSwitcherCatalog
{
public:
    // The window-list scan; valid only for the build that made it.
    struct Scan
    {
        QHash<qint64, QSet<quint32>> listed;    // per process, on any desktop
        QHash<qint64, QList<quint32>> onScreen; // per process, front to back, below the dock level
        QList<quint32> zOrder;                  // every process, front to back
    };

    struct WindowInfo
    {
        quint32 number = 0;
        QString title;
        bool isMinimized = false;
        bool isFullScreen = false;
    };

    WindowSwitcherCatalog(WindowServer &server, const Accessibility &accessibility, const Defaults &defaults,
                          RecentWindows &recent, qint64 ownPid);

    // Tabs are counted only with both set and the setting on; badges shown with one.
    void setBrowserTabs(BrowserTabs *tabs) { m_tabs = tabs; }
    void setLauncherBadges(const LauncherBadges *badges) { m_badges = badges; }
    bool browserTabsOn() const;

    // Sorted window rows; empty without accessibility trust.
    QList<WindowSwitcherRow> rows();
    int initialSelection(const QList<WindowSwitcherRow> &rows) const;
    // Reads every regular app's windows into the cache.
    void warmUp();
    // Reads one app's windows into the cache.
    void warmApp(qint64 pid);

    Scan scanWindowList() const;
    QList<WindowInfo> windows(qint64 pid, const Scan &scan, bool sorted);
    quint32 focusedWindow(qint64 pid) const;
    QString focusedWindowKey(qint64 pid) const;
    // Moves the front app and its focused window to the front of the recent lists.
    void noteFrontmost();

    qint64 ownPid() const { return m_ownPid; }
    qsizetype cachedWindowCount() const { return m_cache.size(); }

private:
    struct CachedWindow
    {
        qint64 pid = 0;
        QString title;
    };

    quint32 frontWindowNumber(qint64 pid) const;
    void pruneCache(const Scan &scan, const QList<RunningApp> &apps);
    WindowInfo info(quint32 number) const;

    WindowServer &m_server;
    const Accessibility &m_accessibility;
    const Defaults &m_defaults;
    RecentWindows &m_recent;
    qint64 m_ownPid;
    BrowserTabs *m_tabs = nullptr;
    const LauncherBadges *m_badges = nullptr;
    QHash<quint32, CachedWindow> m_cache;
};

} // namespace tamo
