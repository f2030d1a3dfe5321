#pragma once

#include "bonus/BrowserTab.h"
#include "platform/WindowServer.h"

#include <QString>

#include <optional>

namespace tamo {

// "pid-window": names one window of one process across the switcher.
QString windowKey(qint64 pid, quint32 windowNumber);

// One line of the window switcher: a window, one of its browser tabs, or the
// entry that opens a new tab in it.
struct WindowSwitcherRow
{
    QString id;
    QString windowRowID; // the id of the window row this row belongs to
    RunningApp app;
    QString windowTitle;
    quint32 windowNumber = 0;
    bool isMinimized = false;
    bool isFullScreen = false;
    std::optional<QString> unreadBadge;
    int tabCount = 0;
    std::optional<BrowserTab> tab;
    bool opensNewTab = false;

    // "New Tab"; a tab's title or "Untitled tab"; the window's title, else
    // the app's name, else "App".
    QString displayTitle() const;
    // The app's name, or "App" when it has none.
    QString appName() const;
    WindowSwitcherRow newTabRow() const;
    // Tab number `index` of this window row.
    WindowSwitcherRow tabRow(const BrowserTab &tab, int index) const;
};

} // namespace tamo
