#include "model/ClipLibrary.h"

#include "model/ContentHash.h"
#include "model/LocalRecords.h"
#include "model/ModelContext.h"
#include "model/Pinboard.h"
#include "model/SourceAppPublisher.h"
#include "platform/Clock.h"

namespace tamo {

using Compare = FetchDescriptor::Compare;

ClipLibrary::ClipLibrary(ModelContext &context, const Clock &clock, SourceAppPublisher &sourceApps)
    : m_context(context), m_clock(clock), m_sourceApps(sourceApps)
{
}

ClipItemPtr ClipLibrary::makeClip(const ClipDraft &draft, const std::optional<QUuid> &presetID)
{
    auto clip = std::make_shared<ClipItem>(draft, m_clock.now(), presetID.value_or(QUuid::createUuid()));
    if (draft.imageData && draft.imageData->size() > largestSyncedImage) {
        // The hash was taken from the full image above; only the bytes move.
        m_context.insert(std::make_shared<LocalImage>(clip->id(), *draft.imageData));
        clip->setImageData(std::nullopt);
        clip->setImageIsLocalOnly(true);
    }
    m_context.insert(clip);
    m_sourceApps.publish(draft.sourceBundleID, draft.sourceAppName);
    return clip;
}

ClipItemPtr ClipLibrary::newestClipWithHash(const QString &contentHash)
{
    const auto clips = m_context.fetch<ClipItem>(FetchDescriptor()
                                                     .where(ClipItem::ContentHashColumn, Compare::equal, contentHash)
                                                     .sorted(ClipItem::CreatedAtColumn, false)
                                                     .limited(1));
    return clips.isEmpty() ? nullptr : clips.first();
}

void ClipLibrary::restoreLostImage(const ClipItem &clip, const ClipDraft &draft)
{
    // A crash before the image's own commit (in stores written by older
    // versions) left the clip without it; the same content copied again
    // brings it back.
    if (!clip.imageIsLocalOnly() || !draft.imageData)
        return;
    if (m_context.fetchCount<LocalImage>(
            FetchDescriptor().where(LocalImage::ClipIDColumn, Compare::equal, clip.id()))
        == 0)
        m_context.insert(std::make_shared<LocalImage>(clip.id(), *draft.imageData));
}

std::optional<IngestResult> ClipLibrary::ingest(const ClipDraft &draft)
{
    const IngestResult result = ingestUnsaved(draft);
    if (!m_context.save())
        return std::nullopt;
    return result;
}

IngestResult ClipLibrary::ingestUnsaved(const ClipDraft &draft)
{
    const QString hash = contentHashOf(draft);
    IngestResult result{newestClipWithHash(hash), false};
    if (result.clip) {
        result.clip->setCreatedAt(m_clock.now());
        result.clip->setSource(draft.sourceBundleID, draft.sourceAppName);
        m_sourceApps.publish(draft.sourceBundleID, draft.sourceAppName);
        restoreLostImage(*result.clip, draft);
    } else {
        ClipDraft hashed = draft;
        hashed.contentHash = hash;
        result.clip = makeClip(hashed);
        result.isNew = true;
    }
    return result;
}

QList<QUuid> ClipLibrary::deleteClips(const QList<ClipItemPtr> &clips)
{
    QList<QUuid> ids;
    for (const ClipItemPtr &clip : clips) {
        if (!clip || clip->isGone())
            continue;
        ids.append(clip->id());
        m_context.remove(clip);
    }
    if (!m_context.save())
        return {};
    return ids;
}

bool ClipLibrary::pin(const QList<ClipItemPtr> &clips, const Pinboard &pinboard)
{
    // A millisecond apart keeps the shown order and survives the
    // millisecond dates of exported pinboard files.
    const QDateTime now = m_clock.now();
    for (qsizetype i = 0; i < clips.size(); ++i)
        clips[i]->setPin(pinboard.id(), now.addMSecs(-i));
    return m_context.save();
}

bool ClipLibrary::unpin(const QList<ClipItemPtr> &clips)
{
    for (const ClipItemPtr &clip : clips)
        clip->setPin(std::nullopt, std::nullopt);
    return m_context.save();
}

void ClipLibrary::recordEdit(const ClipItem &clip, const QDateTime &date)
{
    auto edits = m_context.fetch<ClipEdit>(
        FetchDescriptor().where(ClipEdit::ClipIDColumn, Compare::equal, clip.id()).limited(1));
    for (const ClipEditPtr &pending : m_context.pendingInserts<ClipEdit>()) {
        if (pending->clipID() == clip.id())
            edits.append(pending);
    }
    if (edits.isEmpty())
        m_context.insert(std::make_shared<ClipEdit>(clip.id(), date));
    else
        edits.first()->setEditedAt(date);
}

QHash<QUuid, QDateTime> ClipLibrary::editDatesByClip()
{
    QHash<QUuid, QDateTime> dates;
    for (const ClipEditPtr &edit : m_context.fetch<ClipEdit>()) {
        auto found = dates.find(edit->clipID());
        if (found == dates.end())
            dates.insert(edit->clipID(), edit->editedAt());
        else if (edit->editedAt() > *found)
            *found = edit->editedAt();
    }
    return dates;
}

std::optional<QByteArray> ClipLibrary::storedImageData(const ClipItem &clip)
{
    if (!clip.imageIsLocalOnly())
        return clip.imageData();
    const auto images = m_context.fetch<LocalImage>(
        FetchDescriptor().where(LocalImage::ClipIDColumn, Compare::equal, clip.id()).limited(1));
    if (images.isEmpty())
        return std::nullopt;
    return images.first()->imageData();
}

} // namespace tamo
