#include "bonus/WindowSwitcherService.h"

#include "app/AppHooks.h"
#include "app/GlobalHotKeyRegistry.h"
#include "bonus/BrowserTabs.h"
#include "bonus/RecentWindows.h"
#include "bonus/WindowSwitcherCatalog.h"
#include "platform/Accessibility.h"
#include "platform/KeyCodes.h"
#include "platform/WindowServer.h"

#include <QKeyEvent>

namespace tamo {

FocusedWindowWatcher::FocusedWindowWatcher(WindowServer &server, const Accessibility &accessibility, qint64 ownPid,
                                           int titleDebounceMs, QObject *parent)
    : QObject(parent)
    , m_server(server)
    , m_accessibility(accessibility)
    , m_ownPid(ownPid)
{
    m_titleCheck.setSingleShot(true);
    m_titleCheck.setInterval(titleDebounceMs);
    connect(&m_titleCheck, &QTimer::timeout, this, [this] {
        if (onTitleChange && m_pid)
            onTitleChange(m_pid);
    });
    connect(&server, &WindowServer::activeWindowChanged, this, [this](qint64 pid) {
        if (pid && pid == m_pid && onChange)
            onChange(pid);
    });
    connect(&server, &WindowServer::titleChanged, this, [this](qint64 pid) {
        if (m_watchesTitles && pid == m_pid)
            m_titleCheck.start();
    });
}

FocusedWindowWatcher::~FocusedWindowWatcher()
{
    stop();
}

void FocusedWindowWatcher::watch(qint64 pid, bool withTitles)
{
    if (pid == m_pid)
        return;
    stop();
    if (!m_accessibility.isTrusted() || pid == m_ownPid || !pid)
        return;
    m_pid = pid;
    if (withTitles) {
        m_server.watchTitles(pid);
        m_watchesTitles = true;
    }
}

void FocusedWindowWatcher::stop()
{
    m_titleCheck.stop();
    if (m_watchesTitles)
        m_server.watchTitles(0);
    m_pid = 0;
    m_watchesTitles = false;
}

WindowSwitcherService::WindowSwitcherService(const WindowSwitcherController::Services &services,
                                             GlobalHotKeyRegistry &hotKeys, DrawerPanel &drawer,
                                             SwitcherDelays delays, QObject *parent)
    : QObject(parent)
    , m_services(services)
    , m_hotKeys(hotKeys)
    , m_delays(delays)
    , m_controller(services)
    , m_watcher(*services.server, *services.accessibility, services.catalog->ownPid(), delays.titleDebounceMs)
{
    m_controller.onWillShow = [&drawer] { drawer.hide(false); };
    m_controller.pressHotKey = [&hotKeys](const QKeyEvent &event) {
        const std::optional<int> keyCode = KeyCodes::fromQtKey(event.key(), event.modifiers());
        return keyCode && hotKeys.pressShortcut(*keyCode, KeyCodes::fromQtModifiers(event.modifiers()));
    };
    m_watcher.onChange = [this](qint64 pid) { focusDidChange(pid); };
    m_watcher.onTitleChange = [this](qint64 pid) { titleDidChange(pid); };
    if (const qint64 front = services.server->frontmostPid())
        m_watcher.watch(front, wantsTitles(front));
    hotKeys.setHandler(WindowSwitcherSlot, [this] { toggle(); });
    connect(services.server, &WindowServer::activeWindowChanged, this,
            [this](qint64 pid) { activeWindowChanged(pid); });
    connect(services.server, &WindowServer::desktopChanged, this, [this] {
        QTimer::singleShot(m_delays.desktopWarmMs, this,
                           [this] { m_services.catalog->warmApp(m_services.server->frontmostPid()); });
    });
    QTimer::singleShot(0, this, [this] { m_services.catalog->warmUp(); });
}

WindowSwitcherService::~WindowSwitcherService()
{
    m_hotKeys.setHandler(WindowSwitcherSlot, {});
}

void WindowSwitcherService::toggle()
{
    if (!m_services.accessibility->isTrusted())
        return;
    if (m_controller.isVisible())
        m_controller.hide();
    else
        m_controller.show();
}

void WindowSwitcherService::activeWindowChanged(qint64 pid)
{
    // X11 reports windows, not apps: a new owner is an app coming forward,
    // the same owner a change of its focused window (which the watcher reports).
    if (pid && pid != m_watcher.pid())
        appDidActivate(pid);
}

void WindowSwitcherService::appDidActivate(qint64 pid)
{
    if (pid != m_services.catalog->ownPid())
        m_services.recent->bumpApp(pid);
    m_watcher.watch(pid, wantsTitles(pid));
    m_controller.refresh();
    QTimer::singleShot(m_delays.focusNoteMs, this, [this, pid] { noteFocusedWindow(pid); });
}

void WindowSwitcherService::noteFocusedWindow(qint64 pid)
{
    if (pid == m_services.catalog->ownPid())
        return;
    m_services.recent->bumpWindow(m_services.catalog->focusedWindowKey(pid));
    m_services.catalog->warmApp(pid);
    m_controller.refresh();
}

void WindowSwitcherService::focusDidChange(qint64 pid)
{
    if (pid != m_services.catalog->ownPid())
        m_services.recent->bumpWindow(m_services.catalog->focusedWindowKey(pid));
    m_controller.refresh();
}

void WindowSwitcherService::titleDidChange(qint64 pid)
{
    const quint32 focused = m_services.catalog->focusedWindow(pid);
    const std::optional<RunningApp> app = runningApp(pid);
    if (!focused || !app || !m_services.tabs)
        return;
    const QString title = m_services.server->window(focused).value_or(AppWindow()).title;
    m_services.tabs->rememberSelectedTab(BrowserTabs::window(pid, focused, title, app->info.bundleID));
}

std::optional<RunningApp> WindowSwitcherService::runningApp(qint64 pid) const
{
    for (const RunningApp &app : m_services.server->runningApps()) {
        if (app.pid == pid)
            return app;
    }
    return std::nullopt;
}

bool WindowSwitcherService::wantsTitles(qint64 pid) const
{
    if (!m_services.catalog->browserTabsOn())
        return false;
    const std::optional<RunningApp> app = runningApp(pid);
    return app && m_services.tabs->isTabCapable(app->info.bundleID);
}

} // namespace tamo
