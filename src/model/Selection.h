#pragma once

#include <QList>
#include <QSet>
#include <QUuid>

namespace tamo {

// The ids from the anchor to the target, both included, in either direction;
// a repeated id counts at its first position. Only the target when either id
// is not in the list.
QSet<QUuid> rangeSelection(const QUuid &anchor, const QUuid &target, const QList<QUuid> &orderedIDs);

} // namespace tamo
