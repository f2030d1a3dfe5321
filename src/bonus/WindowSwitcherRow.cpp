#include "bonus/WindowSwitcherRow.h"

namespace tamo {

QString windowKey(qint64 pid, quint32 windowNumber)
{
    return QString::number(pid) + QLatin1Char('-') + QString::number(windowNumber);
}

QString WindowSwitcherRow::displayTitle() const
{
    if (opensNewTab)
        return QStringLiteral("New Tab");
    if (tab)
        return tab->title.isEmpty() ? QStringLiteral("Untitled tab") : tab->title;
    return windowTitle.isEmpty() ? appName() : windowTitle;
}

QString WindowSwitcherRow::appName() const
{
    return app.info.name.isEmpty() ? QStringLiteral("App") : app.info.name;
}

WindowSwitcherRow WindowSwitcherRow::newTabRow() const
{
    WindowSwitcherRow row;
    row.windowRowID = windowKey(app.pid, windowNumber);
    row.id = row.windowRowID + QStringLiteral("-newtab");
    row.app = app;
    row.windowTitle = windowTitle;
    row.windowNumber = windowNumber;
    row.isMinimized = isMinimized;
    row.opensNewTab = true;
    return row;
}

WindowSwitcherRow WindowSwitcherRow::tabRow(const BrowserTab &browserTab, int index) const
{
    WindowSwitcherRow row = newTabRow();
    row.id = row.windowRowID + QStringLiteral("-tab") + QString::number(index);
    row.opensNewTab = false;
    row.tab = browserTab;
    return row;
}

} // namespace tamo
