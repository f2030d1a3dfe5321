#pragma once

#include <QAccessibleObject>

namespace tamo {

// Assistive tools (screen readers, AT-SPI clients) find an app's windows as
// the children of its application object. Qt leaves pop-ups out of them, so
// the tray menu, the context menus and the window switcher could not be
// reached; and a window made of a plain widget reads as a filler rather than
// a window. Installed once, before the first window is shown.
void installAccessibleWindows();

// The application object with the pop-ups that are shown among its windows.
class AccessibleApplication : public QAccessibleApplication
{
public:
    int childCount() const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *child(int index) const override;

private:
    QList<QAccessibleInterface *> windows() const;
};

} // namespace tamo
