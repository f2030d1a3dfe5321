#include "bonus/WindowSwitcherCatalog.h"

#include "bonus/BrowserTabs.h"
#include "bonus/RecentWindows.h"
#include "model/SettingsKeys.h"
#include "platform/Accessibility.h"
#include "platform/Defaults.h"
#include "platform/LauncherBadges.h"
#include "platform/WindowServer.h"

#include <algorithm>

namespace tamo {

namespace {

constexpr qreal minimumSide = 100;

bool isSwitchableSubrole(const QString &subrole)
{
    return subrole == QLatin1String("AXStandardWindow") || subrole == QLatin1String("AXDialog")
           || subrole == QLatin1String("AXFullScreenWindow");
}

bool isLargeEnough(const std::optional<QSizeF> &size)
{
    return !size || (size->width() >= minimumSide && size->height() >= minimumSide);
}

template<typename Key>
QHash<Key, int> positions(const QList<Key> &list)
{
    // The first place counts should a key occur twice.
    QHash<Key, int> map;
    for (int i = 0; i < list.size(); ++i) {
        if (!map.contains(list[i]))
            map.insert(list[i], i);
    }
    return map;
}

// Lower first; a missing position comes after every present one.
int comparePositions(std::optional<int> a, std::optional<int> b)
{
    if (a && b)
        return *a < *b ? -1 : (*a > *b ? 1 : 0);
    if (a != b)
        return a ? -1 : 1;
    return 0;
}

template<typename Key>
std::optional<int> positionOf(const QHash<Key, int> &map, const Key &key)
{
    const auto found = map.constFind(key);
    return found == map.cend() ? std::nullopt : std::optional(*found);
}

} // namespace

WindowSwitcherCatalog::WindowSwitcherCatalog(WindowServer &server, const Accessibility &accessibility,
                                             const Defaults &defaults, RecentWindows &recent, qint64 ownPid)
    : m_server(server)
    , m_accessibility(accessibility)
    , m_defaults(defaults)
    , m_recent(recent)
    , m_ownPid(ownPid)
{
}

WindowSwitcherCatalog::Scan WindowSwitcherCatalog::scanWindowList() const
{
    Scan scan;
    QHash<qint64, QSet<quint32>> belowDock;
    for (const ServerWindow &window : m_server.windowList(false)) {
        if ((window.alpha && *window.alpha <= 0) || window.layer < 0 || !isLargeEnough(window.size))
            continue;
        scan.listed[window.pid].insert(window.number);
        if (window.layer < WindowServer::dockLevel)
            belowDock[window.pid].insert(window.number);
    }
    for (const ServerWindow &window : m_server.windowList(true)) {
        if (!belowDock.value(window.pid).contains(window.number))
            continue;
        scan.onScreen[window.pid].append(window.number);
        scan.zOrder.append(window.number);
    }
    return scan;
}

WindowSwitcherCatalog::WindowInfo WindowSwitcherCatalog::info(quint32 number) const
{
    WindowInfo info;
    info.number = number;
    const std::optional<AppWindow> window = m_server.window(number);
    if (window) {
        info.title = window->title;
        info.isMinimized = window->minimized;
        info.isFullScreen = window->fullScreen || window->subrole == QLatin1String("AXFullScreenWindow");
    }
    if (info.title.isEmpty())
        info.title = m_cache.value(number).title;
    return info;
}

QList<WindowSwitcherCatalog::WindowInfo> WindowSwitcherCatalog::windows(qint64 pid, const Scan &scan, bool sorted)
{
    const QSet<quint32> listed = scan.listed.value(pid);
    QList<quint32> accepted;
    QSet<quint32> seen;
    for (const AppWindow &window : m_server.appWindows(pid).value_or(QList<AppWindow>())) {
        if (window.subrole && !isSwitchableSubrole(*window.subrole))
            continue;
        if (window.number == 0 || seen.contains(window.number))
            continue;
        const bool exempt = window.minimized || window.fullScreen
                            || window.subrole == QLatin1String("AXFullScreenWindow");
        if (!exempt && (!listed.contains(window.number) || !window.size || !isLargeEnough(window.size)))
            continue;
        seen.insert(window.number);
        accepted.append(window.number);
        const QString title = window.title.isEmpty() ? m_cache.value(window.number).title : window.title;
        m_cache.insert(window.number, {pid, title});
    }
    // Windows the app no longer presents but the server still lists.
    for (auto it = m_cache.cbegin(); it != m_cache.cend(); ++it) {
        if (it->pid == pid && !seen.contains(it.key()) && listed.contains(it.key())) {
            seen.insert(it.key());
            accepted.append(it.key());
        }
    }
    if (sorted && !accepted.isEmpty()) {
        const QHash<quint32, int> order = positions(scan.onScreen.value(pid));
        std::stable_sort(accepted.begin(), accepted.end(), [&order](quint32 a, quint32 b) {
            const int byPosition = comparePositions(positionOf(order, a), positionOf(order, b));
            return byPosition != 0 ? byPosition < 0 : a < b;
        });
    }
    QList<WindowInfo> infos;
    for (quint32 number : std::as_const(accepted))
        infos.append(info(number));
    return infos;
}

void WindowSwitcherCatalog::pruneCache(const Scan &scan, const QList<RunningApp> &apps)
{
    QSet<qint64> hiddenApps;
    for (const RunningApp &app : apps) {
        if (app.hidden)
            hiddenApps.insert(app.pid);
    }
    for (auto it = m_cache.begin(); it != m_cache.end();) {
        if (!scan.listed.value(it->pid).contains(it.key())) {
            it = m_cache.erase(it);
            continue;
        }
        const std::optional<bool> onDesktop = m_server.isOnAnyDesktop(it.key());
        const bool keep = !onDesktop || *onDesktop || hiddenApps.contains(it->pid)
                          || m_server.window(it.key()).value_or(AppWindow()).minimized;
        it = keep ? std::next(it) : m_cache.erase(it);
    }
}

QList<WindowSwitcherRow> WindowSwitcherCatalog::rows()
{
    noteFrontmost();
    if (!m_accessibility.isTrusted())
        return {};
    const Scan scan = scanWindowList();
    const QList<RunningApp> apps = m_server.runningApps();
    pruneCache(scan, apps);
    const qint64 frontPid = m_server.frontmostPid();
    const QHash<quint32, int> zPosition = positions(scan.zOrder);
    const QHash<QString, QString> badges = m_badges ? m_badges->badges() : QHash<QString, QString>();
    const bool tabsOn = browserTabsOn();

    QList<WindowSwitcherRow> rows;
    QSet<quint32> numbers;
    for (const RunningApp &app : apps) {
        if (app.pid == m_ownPid || app.policy == ActivationPolicy::prohibited)
            continue;
        const bool regular = app.policy == ActivationPolicy::regular;
        const bool tabCapable = tabsOn && m_tabs->isTabCapable(app.info.bundleID);
        const auto badge = badges.constFind(app.info.bundleID);
        for (const WindowInfo &window : windows(app.pid, scan, regular)) {
            WindowSwitcherRow row;
            row.id = row.windowRowID = windowKey(app.pid, window.number);
            row.app = app;
            row.windowTitle = window.title;
            row.windowNumber = window.number;
            row.isMinimized = window.isMinimized;
            row.isFullScreen = window.isFullScreen;
            if (badge != badges.cend())
                row.unreadBadge = *badge;
            if (tabCapable) {
                const TabWindow tabWindow = BrowserTabs::window(app.pid, window.number, window.title, app.info.bundleID);
                row.tabCount = int(m_tabs->cachedTabButtons(tabWindow).size());
                if (row.tabCount >= 2)
                    m_tabs->rememberSelectedTab(tabWindow);
            }
            numbers.insert(window.number);
            rows.append(row);
        }
    }
    if (tabsOn)
        m_tabs->pruneCaches(numbers);

    const QHash<QString, int> keyPosition = positions(m_recent.windowKeys());
    const QHash<qint64, int> pidPosition = positions(m_recent.pids());
    const auto compare = [&](const WindowSwitcherRow &a, const WindowSwitcherRow &b) {
        if (int c = comparePositions(positionOf(keyPosition, a.id), positionOf(keyPosition, b.id)))
            return c < 0;
        if (int c = comparePositions(positionOf(pidPosition, a.app.pid), positionOf(pidPosition, b.app.pid)))
            return c < 0;
        const auto z = [&](quint32 number) { return number ? positionOf(zPosition, number) : std::nullopt; };
        if (int c = comparePositions(z(a.windowNumber), z(b.windowNumber)))
            return c < 0;
        if (frontPid && (a.app.pid == frontPid) != (b.app.pid == frontPid))
            return a.app.pid == frontPid;
        if (a.app.hidden != b.app.hidden)
            return !a.app.hidden;
        return a.app.pid < b.app.pid;
    };
    std::stable_sort(rows.begin(), rows.end(), compare);
    return rows;
}

int WindowSwitcherCatalog::initialSelection(const QList<WindowSwitcherRow> &rows) const
{
    const qint64 frontPid = m_server.frontmostPid();
    if (rows.isEmpty() || !frontPid)
        return 0;
    if (const quint32 focused = m_server.focusedWindow(frontPid)) {
        for (int i = 0; i < rows.size(); ++i) {
            if (rows[i].app.pid == frontPid && rows[i].windowNumber == focused)
                return i;
        }
    }
    for (int i = 0; i < rows.size(); ++i) {
        if (rows[i].app.pid == frontPid)
            return i;
    }
    return 0;
}

void WindowSwitcherCatalog::warmUp()
{
    if (!m_accessibility.isTrusted())
        return;
    const Scan scan = scanWindowList();
    for (const RunningApp &app : m_server.runningApps()) {
        if (app.policy == ActivationPolicy::regular && app.pid != m_ownPid)
            windows(app.pid, scan, true);
    }
}

void WindowSwitcherCatalog::warmApp(qint64 pid)
{
    if (m_accessibility.isTrusted() && pid && pid != m_ownPid)
        windows(pid, scanWindowList(), true);
}

bool WindowSwitcherCatalog::browserTabsOn() const
{
    return m_tabs && m_defaults.boolValue(keys::windowSwitcherBrowserTabs);
}

quint32 WindowSwitcherCatalog::focusedWindow(qint64 pid) const
{
    return m_server.focusedWindow(pid);
}

quint32 WindowSwitcherCatalog::frontWindowNumber(qint64 pid) const
{
    for (const ServerWindow &window : m_server.windowList(true)) {
        if (window.pid == pid && window.layer >= 0 && window.layer < WindowServer::dockLevel
            && !(window.alpha && *window.alpha <= 0) && isLargeEnough(window.size))
            return window.number;
    }
    return 0;
}

QString WindowSwitcherCatalog::focusedWindowKey(qint64 pid) const
{
    quint32 number = focusedWindow(pid);
    if (!number)
        number = frontWindowNumber(pid);
    return number ? windowKey(pid, number) : QString();
}

void WindowSwitcherCatalog::noteFrontmost()
{
    const qint64 pid = m_server.frontmostPid();
    if (!pid || pid == m_ownPid)
        return;
    m_recent.bumpApp(pid);
    m_recent.bumpWindow(focusedWindowKey(pid));
}

} // namespace tamo
