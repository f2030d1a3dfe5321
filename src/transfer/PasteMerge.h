#pragma once

#include "model/ClipItem.h"
#include "model/Pinboard.h"
#include "transfer/PasteDatabase.h"
#include "transfer/SliceSize.h"

#include <QHash>
#include <QSet>

namespace tamo {

class ClipLibrary;
class Clock;
class ModelContext;
class Pinboards;

struct PasteImportSummary
{
    int imported = 0;
    int pinboardsCreated = 0;
    int alreadyPresent = 0;
    int skipped = 0;
    int titles = 0;
    // An earlier import was cut short (the app quit or died while merging).
    bool continuedEarlier = false;

    bool operator==(const PasteImportSummary &) const = default;
};

// Merges a read history into the store on the main thread, a slice at a
// time so the app stays responsive: pinboards by name, clips by content
// (a clip already here keeps its pinboard and title and gains what it
// lacks), each new clip keeping its date. Every slice is saved; when a save
// fails, everything the merge saved or changed is taken back.
class PasteMerge
{
public:
    PasteMerge(ModelContext &context, ClipLibrary &clips, Pinboards &pinboards, const Clock &clock,
               PasteImporter::Snapshot snapshot);

    // Handles a slice of clips and saves them, each slice sized to take
    // about `milliseconds` with its save. On a failed save `error` says why
    // and the whole merge has been taken back.
    bool mergeSlice(int milliseconds, QString *error);
    bool isFinished() const { return m_next == m_snapshot.clips.size(); }
    qsizetype mergedClips() const { return m_next; }
    qsizetype clipCount() const { return m_snapshot.clips.size(); }
    const PasteImportSummary &summary() const { return m_summary; }

private:
    void mergeBoards();
    // The characters of text it added, when the clip is new.
    qsizetype mergeClip(const PasteImporter::Clip &clip);
    // The clip's draft with its text, read back when it waited in the spool.
    std::optional<ClipDraft> draftOf(const PasteImporter::Clip &clip);
    ClipItemPtr existingClip(const QString &contentHash);
    void recordBefore(const ClipItem &clip);
    ClipItemPtr clipWithID(const QUuid &id);
    void rollBack();

    struct Before
    {
        std::optional<QString> title;
        std::optional<QUuid> pinboardID;
        std::optional<QDateTime> pinnedAt;
    };

    ModelContext &m_context;
    ClipLibrary &m_clips;
    Pinboards &m_pinboards;
    const Clock &m_clock;
    PasteImporter::Snapshot m_snapshot;
    QDateTime m_now;
    qsizetype m_next = 0;
    SliceSize m_sliceSize;
    PasteImportSummary m_summary;
    QHash<qint64, QUuid> m_boardMap;
    // Clips of the current slice by content; saved ones are found in the
    // store. Records are held no longer than a slice, so a large import
    // does not keep them all in memory.
    QHash<QString, ClipItemPtr> m_targets;
    // What to take back: by id, as saved by earlier slices; what the current
    // slice has not saved yet a discard drops.
    QList<PinboardPtr> m_createdPinboards;
    QList<PinboardPtr> m_unsavedPinboards;
    QList<QUuid> m_createdClips;
    QList<QUuid> m_unsavedClips;
    QList<std::pair<QUuid, Before>> m_changed;
    QSet<QUuid> m_recorded;
};

} // namespace tamo
