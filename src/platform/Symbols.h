#pragma once

#include <QIcon>
#include <QString>

namespace tamo {

// The icon for one of the symbol names the views use ("pin", "gearshape", …),
// from TamoCove's own symbol set, so it looks the same on every desktop. It
// takes the palette's text colour of the mode it is drawn in; an unknown
// name gives an empty icon.
QIcon symbolIcon(const QString &symbolName);

// For a checkable menu row: the icon as it is, and with a check mark on it
// while the row is checked. Menu styles mark a checked row that has an icon
// with no more than a faint frame around it.
QIcon checkableIcon(const QIcon &icon);

} // namespace tamo
