#pragma once

#include "model/ClipItem.h"
#include "transfer/PinboardArchive.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QUuid>

#include <optional>

namespace tamo {

class ClipLibrary;
class ModelContext;
class Pinboards;

// What importing one pinboard of a file would do. It holds ids, not
// records: the dialogs in between let capture and sync change the store.
struct ImportPlan
{
    struct Match
    {
        QUuid item; // the local clip
        PinboardArchive::Clip clip;
    };

    struct NewClip
    {
        PinboardArchive::Clip clip;
        QString contentHash;
    };

    PinboardArchive::Board board;
    std::optional<QUuid> existing; // the local pinboard it lands on; none creates one
    QList<NewClip> newClips;
    QList<Match> repinned;  // in the history, pinned nowhere
    QList<Match> updated;   // on `existing`, metadata would change
    QList<Match> unchanged; // on `existing`, nothing would change
    QList<Match> elsewhere; // pinned to another pinboard
    QList<QUuid> removable; // on `existing`, not in the file; newest pin first

    bool hasWork() const;
    QString summary() const;
};

// The content hash a file clip would have as a captured clip.
QString contentHashOf(const PinboardArchive::Clip &clip);

// Import reads a large history by what it matches, not record by record:
// the first stored clip (in store order) whose column holds the value, and
// the values a column holds across the whole history.
ClipItemPtr firstClipWhere(ModelContext &context, int column, const QVariant &value);
QSet<QString> storedValues(ModelContext &context, int column);

// Sorts the clips of a file's pinboards against the store.
class ImportPlanner
{
public:
    ImportPlanner(ModelContext &context, ClipLibrary &clips, Pinboards &pinboards);

    // One plan per pinboard, in file order; a local clip is claimed by the
    // first file clip that matches it, by id or else by content.
    QList<ImportPlan> makePlans(const QList<PinboardArchive::Board> &boards);

private:
    ModelContext &m_context;
    ClipLibrary &m_clips;
    Pinboards &m_pinboards;
};

} // namespace tamo
