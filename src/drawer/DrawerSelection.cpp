#include "drawer/DrawerSelection.h"

#include "app/AppModel.h"

#include <algorithm>

namespace tamo {

QList<QUuid> clipIDs(const QList<ClipItemPtr> &clips)
{
    QList<QUuid> ids;
    ids.reserve(clips.size());
    for (const ClipItemPtr &clip : clips)
        ids.append(clip->id());
    return ids;
}

qsizetype selectedIndex(const AppModel &model, const QList<ClipItemPtr> &visible)
{
    const QUuid current = model.selectedItemID();
    if (current.isNull())
        return -1;
    const auto it = std::find_if(visible.cbegin(), visible.cend(),
                                 [&current](const ClipItemPtr &clip) { return clip->id() == current; });
    return it == visible.cend() ? -1 : it - visible.cbegin();
}

QList<ClipItemPtr> selectedItems(const AppModel &model, const QList<ClipItemPtr> &visible)
{
    const QSet<QUuid> multi = model.multiSelection();
    if (multi.size() >= 2) {
        QList<ClipItemPtr> items;
        std::copy_if(visible.cbegin(), visible.cend(), std::back_inserter(items),
                     [&multi](const ClipItemPtr &clip) { return multi.contains(clip->id()); });
        return items;
    }
    const qsizetype index = selectedIndex(model, visible);
    return index < 0 ? QList<ClipItemPtr>() : QList<ClipItemPtr>{visible[index]};
}

QUuid selectionAfterRemoval(const QList<QUuid> &visibleIDs, const QSet<QUuid> &removed)
{
    const auto isKept = [&removed](const QUuid &id) { return !removed.contains(id); };
    const auto lastRemoved = std::find_if(visibleIDs.crbegin(), visibleIDs.crend(),
                                          [&removed](const QUuid &id) { return removed.contains(id); });
    if (lastRemoved == visibleIDs.crend())
        return {};
    const auto after = std::find_if(lastRemoved.base(), visibleIDs.cend(), isKept);
    if (after != visibleIDs.cend())
        return *after;
    const auto before = std::find_if(lastRemoved, visibleIDs.crend(), isKept);
    return before == visibleIDs.crend() ? QUuid() : *before;
}

void ensureValidSelection(AppModel &model, const QList<ClipItemPtr> &visible)
{
    if (selectedIndex(model, visible) < 0)
        selectFirstVisible(model, visible);
}

void selectFirstVisible(AppModel &model, const QList<ClipItemPtr> &visible)
{
    model.setSelectedItemID(visible.isEmpty() ? QUuid() : visible.front()->id());
}

} // namespace tamo
