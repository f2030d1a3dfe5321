#pragma once

#include "model/ClipItem.h"

#include <QList>
#include <QSet>
#include <QUuid>

// The drawer's selection rules over the clips its strip shows, in the order
// it shows them. The current clip and the multi-selection live in AppModel.
namespace tamo {

class AppModel;

QList<QUuid> clipIDs(const QList<ClipItemPtr> &clips);

// Position of the current clip among the visible clips; -1 when there is
// none or it is not shown.
qsizetype selectedIndex(const AppModel &model, const QList<ClipItemPtr> &visible);

// The clips an action applies to, in strip order: the multi-selection when it
// holds two ids or more, else the current clip when it is shown, else none.
QList<ClipItemPtr> selectedItems(const AppModel &model, const QList<ClipItemPtr> &visible);

// Where the cursor goes when the removed clips leave the list: the first clip
// after the last removed one, else the nearest one before it; null when
// nothing is left.
QUuid selectionAfterRemoval(const QList<QUuid> &visibleIDs, const QSet<QUuid> &removed);

// Keeps a current clip that is still shown, else moves to the first visible
// clip (null when there is none). The multi-selection is left as it is.
void ensureValidSelection(AppModel &model, const QList<ClipItemPtr> &visible);

// Puts the cursor on the first visible clip (null when there is none).
void selectFirstVisible(AppModel &model, const QList<ClipItemPtr> &visible);

} // namespace tamo
