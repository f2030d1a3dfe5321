#pragma once

#include "bonus/WindowSwitcherController.h"
#include "platform/WindowServer.h"

#include <QObject>
#include <QTimer>

namespace tamo {

class DrawerPanel;
class GlobalHotKeyRegistry;

// How long the switcher waits after desktop events before it reads windows.
struct SwitcherDelays
{
    int focusNoteMs = 150;     // after an app came forward
    int desktopWarmMs = 300;   // after a desktop switch
    int titleDebounceMs = 500; // after the last title change of a burst
};

// Follows the focused window, and the window titles of a browser, of one app
// at a time: the front one. A burst of title changes is reported once.
class FocusedWindowWatcher : public QObject
{
    Q_OBJECT
public:
    FocusedWindowWatcher(WindowServer &server, const Accessibility &accessibility, qint64 ownPid,
                         int titleDebounceMs, QObject *parent = nullptr);
    ~FocusedWindowWatcher() override;

    // Titles are followed only when asked for at the start of the watch.
    void watch(qint64 pid, bool withTitles);
    void stop();
    qint64 pid() const { return m_pid; }
    bool watchesTitles() const { return m_watchesTitles; }

    std::function<void(qint64)> onChange;
    std::function<void(qint64)> onTitleChange;

private:
    WindowServer &m_server;
    const Accessibility &m_accessibility;
    qint64 m_ownPid;
    qint64 m_pid = 0;
    bool m_watchesTitles = false;
    QTimer m_titleCheck;
};

// The running window switcher while the tool is on: answers its hot key,
// keeps the most-recently-used order of apps and windows and reads windows
// ahead of time after app and desktop changes.
class WindowSwitcherService : public QObject
{
    Q_OBJECT
public:
    WindowSwitcherService(const WindowSwitcherController::Services &services, GlobalHotKeyRegistry &hotKeys,
                          DrawerPanel &drawer, SwitcherDelays delays = {}, QObject *parent = nullptr);
    ~WindowSwitcherService() override;

    void toggle();
    WindowSwitcherController &controller() { return m_controller; }
    FocusedWindowWatcher &focusWatcher() { return m_watcher; }

private:
    void activeWindowChanged(qint64 pid);
    void appDidActivate(qint64 pid);
    void noteFocusedWindow(qint64 pid);
    void focusDidChange(qint64 pid);
    void titleDidChange(qint64 pid);
    bool wantsTitles(qint64 pid) const;
    std::optional<RunningApp> runningApp(qint64 pid) const;

    WindowSwitcherController::Services m_services;
    GlobalHotKeyRegistry &m_hotKeys;
    SwitcherDelays m_delays;
    WindowSwitcherController m_controller;
    FocusedWindowWatcher m_watcher;
};

} // namespace tamo
