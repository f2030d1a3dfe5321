#pragma once

#include "model/ClipItem.h"
#include "platform/ClipLimits.h"

#include <QHash>

#include <optional>

namespace tamo {

class Clock;
class ModelContext;
class Pinboard;
class SourceAppPublisher;

struct IngestResult
{
    ClipItemPtr clip;
    bool isNew;
};

// Making, capturing, pinning and deleting clips in the store.
class ClipLibrary
{
public:
    // Images above this stay on this machine in a LocalImage record.
    static constexpr qsizetype largestSyncedImage = ClipLimits::largestSyncedValue;

    ClipLibrary(ModelContext &context, const Clock &clock, SourceAppPublisher &sourceApps);

    // A new clip in the context, dated now; not saved.
    ClipItemPtr makeClip(const ClipDraft &draft, const std::optional<QUuid> &presetID = std::nullopt);

    // A copy of content already in the history moves that clip to now with
    // the new source app; anything else becomes a new clip. Saves; nullopt
    // when the save failed (the change stays pending for the next save).
    std::optional<IngestResult> ingest(const ClipDraft &draft);
    // ingest() without the save.
    IngestResult ingestUnsaved(const ClipDraft &draft);

    // Removes the clips with their content erased from the files; saves and
    // returns the ids removed (none when the save failed).
    QList<QUuid> deleteClips(const QList<ClipItemPtr> &clips);

    // Pins in the given order: the first clip gets the newest pin date.
    bool pin(const QList<ClipItemPtr> &clips, const Pinboard &pinboard);
    bool unpin(const QList<ClipItemPtr> &clips);

    // Inserts or updates the clip's edit date; not saved.
    void recordEdit(const ClipItem &clip, const QDateTime &date);
    QHash<QUuid, QDateTime> editDatesByClip();

    // The clip's image bytes, wherever they are kept.
    std::optional<QByteArray> storedImageData(const ClipItem &clip);

    // The newest stored clip with this content; none when there is none.
    ClipItemPtr newestClipWithHash(const QString &contentHash);

private:
    void restoreLostImage(const ClipItem &clip, const ClipDraft &draft);

    ModelContext &m_context;
    const Clock &m_clock;
    SourceAppPublisher &m_sourceApps;
};

} // namespace tamo
