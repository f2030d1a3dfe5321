#include "model/Selection.h"

#include <algorithm>

namespace tamo {

QSet<QUuid> rangeSelection(const QUuid &anchor, const QUuid &target, const QList<QUuid> &orderedIDs)
{
    const qsizetype anchorIndex = orderedIDs.indexOf(anchor);
    const qsizetype targetIndex = orderedIDs.indexOf(target);
    if (anchorIndex < 0 || targetIndex < 0)
        return {target};

    const auto [first, last] = std::minmax(anchorIndex, targetIndex);
    return QSet<QUuid>(orderedIDs.cbegin() + first, orderedIDs.cbegin() + last + 1);
}

} // namespace tamo
