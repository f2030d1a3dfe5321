#pragma once

#include "model/ClipItem.h"
#include "model/LocalRecords.h"

#include <QHash>
#include <QList>
#include <QStringList>
#include <QUuid>

namespace tamo {

class ModelContext;

// Repairs run after launch and after each sync import: the copies of one
// content that several machines made, and local records left without a clip.
class StoreMaintenance
{
public:
    explicit StoreMaintenance(ModelContext &context);

    // Folds clips of equal content into one, keeping the newest date, every
    // title, keyword, emoji, link preview, local image and edit date they
    // had. A copy pinned to another pinboard than the one kept is never
    // removed, so no pin is lost. Clips sharing a hash fold only where what
    // they hold is the same (a peer may have sent the hash of other
    // content); an empty hash matches none. Saves; returns the ids that no
    // longer name a clip (none when the save failed).
    QList<QUuid> mergeDuplicates();
    // The same for the clips of these content hashes only.
    QList<QUuid> mergeDuplicates(const QStringList &contentHashes);

    // The content hashes several clips share, read through a connection of
    // its own: this reads the whole hash index, so it belongs on a worker.
    static QStringList sharedContentHashes(const QString &storeDirectory);

    // Removes local images and edit dates whose clip no longer exists; saves
    // and returns how many records went (0 when the save failed).
    int removeOrphanLocalRecords();

private:
    using EditsByClip = QHash<QUuid, ClipEditPtr>;

    QList<QUuid> mergeGroup(const QList<ClipItemPtr> &clips, EditsByClip &edits);
    QList<QUuid> mergeLane(const QList<ClipItemPtr> &lane, const QDateTime &createdAt, EditsByClip &edits);
    void moveLocalImage(ClipItem &survivor, const QList<ClipItemPtr> &twins);
    bool hasImageHere(const ClipItem &clip);
    EditsByClip latestEdits();

    ModelContext &m_context;
};

} // namespace tamo
