#pragma once

#include "model/ClipItem.h"
#include "model/Pinboard.h"
#include "transfer/PinboardArchive.h"

#include <QDeadlineTimer>
#include <QHash>
#include <QList>
#include <QSet>
#include <QUuid>

#include <optional>

namespace tamo {

class ClipLibrary;
class ModelContext;
class Pinboards;
class SpooledPinboardFile;

// What importing one pinboard of a file would do. It holds ids, not
// records: the dialogs in between let capture and sync change the store;
// and the file's clips by their place in the file, which holds them.
struct ImportPlan
{
    struct Match
    {
        QUuid item; // the local clip
        qsizetype clip; // the file's clip
    };

    PinboardArchive::Board board; // without its clips
    std::optional<QUuid> existing; // the local pinboard it lands on; none creates one
    QList<qsizetype> newClips;
    QList<Match> repinned;  // in the history, pinned nowhere
    QList<Match> updated;   // on `existing`, metadata would change
    QList<Match> unchanged; // on `existing`, nothing would change
    QList<Match> elsewhere; // pinned to another pinboard
    QList<QUuid> removable; // on `existing`, not in the file; newest pin first

    bool hasWork() const;
    QString summary() const;
    // The clips of the file it brings, new or matched.
    qsizetype clipCount() const;
};

// The content hash a file clip would have as a captured clip.
QString contentHashOf(const PinboardArchive::Clip &clip);

// Import reads a large history by what it matches, not record by record:
// the first stored clip (in store order) whose column holds the value, and
// the values a column holds across the whole history.
ClipItemPtr firstClipWhere(ModelContext &context, int column, const QVariant &value);
QSet<QString> storedValues(ModelContext &context, int column);

// Sorts the clips of a file's pinboards against the store, a part at a
// time, so the app goes on between the parts.
class ImportPlanner
{
public:
    ImportPlanner(ModelContext &context, ClipLibrary &clips, Pinboards &pinboards, SpooledPinboardFile &file);

    // Sorts clips until `deadline`; true once all of them are. A local clip
    // is claimed by the first file clip that matches it, by id or else by
    // content.
    bool planSome(const QDeadlineTimer &deadline);
    qsizetype plannedClips() const { return m_clip; }
    // One plan per pinboard, in file order, once all are sorted.
    QList<ImportPlan> takePlans();

private:
    void startPlan();
    void planClip(ImportPlan &plan, qsizetype index);

    ModelContext &m_context;
    ClipLibrary &m_clips;
    SpooledPinboardFile &m_file;
    QList<PinboardPtr> m_pinboards;
    QSet<QString> m_storedIDs;
    QSet<QString> m_storedHashes;
    QHash<QUuid, QDateTime> m_editDates;
    QSet<QUuid> m_claimed;
    QHash<QUuid, QSet<QUuid>> m_matchedOnLanding; // local pinboard → clips the file has for it
    QList<ImportPlan> m_plans;
    qsizetype m_clip = 0; // the next clip of the file to sort
};

} // namespace tamo
