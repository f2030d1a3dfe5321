#pragma once

#include <QString>
#include <QUuid>

namespace tamo {

// What the drawer's strip shows in place of cards when none is visible.
struct DrawerEmptyState
{
    QString symbol;
    QString message;

    // Only the search text counts as searching: with filter chips alone the
    // history's or the pinboard's own message shows.
    static DrawerEmptyState forStrip(const QString &searchText, const QUuid &pinboardID);

    bool operator==(const DrawerEmptyState &) const = default;
};

} // namespace tamo
