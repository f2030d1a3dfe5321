#pragma once

#include <QAccessible>
#include <QMenu>
#include <QStringList>

namespace tamo::testing {

// A label as a person sees it and a screen reader reads it: Qt's accessible
// name drops a mnemonic's "&" and shows "&&" as "&", as the label does.
inline QString shownText(QObject *control)
{
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(control);
    return accessible ? accessible->text(QAccessible::Name) : QString();
}

// The rows of a menu (separators too, as empty names), as shown.
inline QStringList shownRows(QMenu &menu)
{
    QStringList rows;
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(&menu);
    for (int i = 0; accessible && i < accessible->childCount(); ++i)
        rows.append(accessible->child(i)->text(QAccessible::Name));
    return rows;
}

} // namespace tamo::testing
