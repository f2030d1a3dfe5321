#pragma once

#include <QString>
#include <QUuid>

namespace tamo {

// What the drawer's strip shows in place of cards when none is visible.
struct DrawerEmptyState
{
    QString symbol;
    QString message;

    // The history's or the pinboard's own message is for a strip that has no
    // clips at all; one whose clips the search or the filter chips hide says
    // that nothing matches.
    static DrawerEmptyState forStrip(const QString &searchText, const QUuid &pinboardID, bool stripHasClips);

    bool operator==(const DrawerEmptyState &) const = default;
};

} // namespace tamo
