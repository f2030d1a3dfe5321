#pragma once

#include "model/Pinboard.h"

#include <QList>
#include <QUuid>

namespace tamo {

class ModelContext;

// Creating, renaming, colouring, reordering and deleting pinboards in the
// store. Sync can leave several records with one id; the bar shows one tab
// per id, so every operation acts on all records of an id.
class Pinboards
{
public:
    explicit Pinboards(ModelContext &context);

    // Every pinboard by order, first record of each id; empty when the fetch fails.
    QList<PinboardPtr> orderedPinboards() const;
    // Every record with the id, in no particular order.
    QList<PinboardPtr> pinboardWithID(const QUuid &id) const;

    // An "Untitled" pinboard after the last one, with the next palette colour; saved.
    PinboardPtr newPinboard();
    // Stores the name the rename field left, trimmed; "Untitled" when blank.
    void commitRename(Pinboard &pinboard);
    void setColor(int colorIndex, Pinboard &pinboard);
    // Unpins its clips (they stay in the history) and removes every record
    // of its id; saves. Returns the unpinned clips, none when the save failed.
    QList<QUuid> deletePinboard(const PinboardPtr &pinboard);

    // Puts the dragged pinboard at the target's position while dragging;
    // saveOrder() writes the result when the drag ends.
    void movePinboard(const QUuid &draggedID, const QUuid &targetID);
    bool saveOrder();

private:
    ModelContext &m_context;
};

} // namespace tamo
