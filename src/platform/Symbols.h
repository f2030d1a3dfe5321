#pragma once

#include <QIcon>
#include <QString>

namespace tamo {

// The icon for one of the design's symbol names ("pin", "gearshape", …),
// taken from the desktop's icon theme; an empty icon when the theme has none.
QIcon symbolIcon(const QString &symbolName);

} // namespace tamo
