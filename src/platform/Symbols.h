#pragma once

#include <QIcon>
#include <QString>

namespace tamo {

// The icon for one of the symbol names the views use ("pin", "gearshape", …),
// taken from the desktop's icon theme; an empty icon when the theme has none.
QIcon symbolIcon(const QString &symbolName);

} // namespace tamo
