#include "drawer/DrawerEmptyState.h"

namespace tamo {

DrawerEmptyState DrawerEmptyState::forStrip(const QString &searchText, const QUuid &pinboardID, bool stripHasClips)
{
    if (!searchText.isEmpty())
        return {QStringLiteral("magnifyingglass"), QStringLiteral("No clips match “") + searchText + QStringLiteral("”")};
    if (stripHasClips)
        return {QStringLiteral("magnifyingglass"), QStringLiteral("No clips match your filters")};
    if (pinboardID.isNull())
        return {QStringLiteral("doc.on.clipboard"), QStringLiteral("Copy something to start your history")};
    return {QStringLiteral("pin"), QStringLiteral("Right-click a clip and choose Pin to add it here")};
}

} // namespace tamo
