#include "transfer/PasteMerge.h"

#include "model/ClipLibrary.h"
#include "model/ModelContext.h"
#include "model/PinboardPalette.h"
#include "model/Pinboards.h"
#include "platform/Clock.h"

#include <QElapsedTimer>

#include <algorithm>

namespace tamo {

namespace {

// Far enough for any real display order, near enough that a date stays valid.
constexpr qint64 longestPinOffset = 100LL * 365 * 86400;
// New texts a slice saves at most (past its first clip): a slice of long
// texts is timed only once saved, and a few of them hold the window seconds.
constexpr qsizetype sliceTextChars = 4 * 1024 * 1024;

} // namespace

PasteMerge::PasteMerge(ModelContext &context, ClipLibrary &clips, Pinboards &pinboards, const Clock &clock,
                       PasteImporter::Snapshot snapshot)
    : m_context(context), m_clips(clips), m_pinboards(pinboards), m_clock(clock), m_snapshot(std::move(snapshot)),
      m_now(clock.now())
{
    m_summary.skipped = m_snapshot.unreadable;
    mergeBoards();
}

void PasteMerge::mergeBoards()
{
    QList<PinboardPtr> working = m_pinboards.orderedPinboards();
    QList<PasteImporter::Board> boards = m_snapshot.boards;
    std::stable_sort(boards.begin(), boards.end(),
                     [](const PasteImporter::Board &a, const PasteImporter::Board &b) { return a.order < b.order; });
    const int paletteSize = int(pinboardPalette().size());
    for (const PasteImporter::Board &board : boards) {
        const auto found = std::find_if(working.cbegin(), working.cend(),
                                        [&board](const PinboardPtr &pinboard) { return pinboard->name() == board.name; });
        if (found != working.cend()) {
            m_boardMap.insert(board.pasteID, (*found)->id());
            continue;
        }
        const int order = working.isEmpty() ? 0 : working.last()->order() + 1;
        const int colorIndex = board.rgb ? nearestPaletteIndex((*board.rgb)[0], (*board.rgb)[1], (*board.rgb)[2])
                                         : order % paletteSize;
        auto pinboard = std::make_shared<Pinboard>(board.name, colorIndex, order);
        m_context.insert(pinboard);
        working.append(pinboard);
        m_unsavedPinboards.append(pinboard);
        m_boardMap.insert(board.pasteID, pinboard->id());
        ++m_summary.pinboardsCreated;
    }
}

ClipItemPtr PasteMerge::existingClip(const QString &contentHash)
{
    if (const auto known = m_targets.constFind(contentHash); known != m_targets.constEnd())
        return *known;
    return m_clips.newestClipWithHash(contentHash);
}

void PasteMerge::recordBefore(const ClipItem &clip)
{
    if (m_recorded.contains(clip.id()))
        return;
    m_recorded.insert(clip.id());
    m_changed.append({clip.id(), {clip.title(), clip.pinboardID(), clip.pinnedAt()}});
}

ClipItemPtr PasteMerge::clipWithID(const QUuid &id)
{
    const auto found = m_context.fetch<ClipItem>(
        FetchDescriptor().where(ClipItem::IdColumn, FetchDescriptor::Compare::equal, id).limited(1));
    return found.isEmpty() ? nullptr : found.first();
}

std::optional<ClipDraft> PasteMerge::draftOf(const PasteImporter::Clip &clip)
{
    if (!clip.spooledText)
        return clip.draft;
    ClipDraft draft = clip.draft;
    draft.text = m_snapshot.textSpool ? m_snapshot.textSpool->text(*clip.spooledText) : std::nullopt;
    if (!draft.text)
        return std::nullopt;
    return draft;
}

qsizetype PasteMerge::mergeClip(const PasteImporter::Clip &clip)
{
    ClipItemPtr target = existingClip(clip.contentHash);
    const bool isNew = !target;
    qsizetype newText = 0;
    if (isNew) {
        const std::optional<ClipDraft> draft = draftOf(clip);
        if (!draft) {
            ++m_summary.skipped;
            return 0;
        }
        target = m_clips.makeClip(*draft);
        newText = draft->text ? draft->text->size() : 0;
        target->setCreatedAt(clip.date);
        m_unsavedClips.append(target->id());
        ++m_summary.imported;
    } else {
        ++m_summary.alreadyPresent;
    }
    m_targets.insert(clip.contentHash, target);

    const bool takesTitle = !target->title() && clip.title;
    const auto board = clip.boardPasteID ? m_boardMap.constFind(*clip.boardPasteID) : m_boardMap.constEnd();
    const bool takesPin = !target->pinboardID() && board != m_boardMap.constEnd();
    if (!isNew && (takesTitle || takesPin))
        recordBefore(*target);
    if (takesTitle) {
        target->setTitle(clip.title);
        ++m_summary.titles;
    }
    if (takesPin) {
        // A smaller display order in the other app is a later pin here.
        const qint64 offset = std::clamp(clip.orderInBoard, -longestPinOffset, longestPinOffset);
        target->setPin(*board, m_now.addSecs(-offset));
    }
    return newText;
}

bool PasteMerge::mergeSlice(int milliseconds, QString *error)
{
    QElapsedTimer timer;
    timer.start();
    qsizetype newText = 0;
    for (int merged = 0; merged < m_sliceSize.items() && newText < sliceTextChars && !isFinished(); ++merged)
        newText += mergeClip(m_snapshot.clips.at(m_next++));
    // A slice a power cut takes back is added by the next import.
    if (!m_context.saveImported()) {
        if (error)
            *error = m_context.lastError();
        rollBack();
        return false;
    }
    m_createdClips.append(m_unsavedClips);
    m_createdPinboards.append(m_unsavedPinboards);
    m_unsavedClips.clear();
    m_unsavedPinboards.clear();
    m_targets.clear();
    m_sliceSize.took(timer.elapsed(), milliseconds);
    return true;
}

void PasteMerge::rollBack()
{
    // What the failed save left pending goes first, then what earlier slices saved.
    m_context.discardChanges();
    m_targets.clear();
    for (const auto &[id, before] : m_changed) {
        if (const ClipItemPtr clip = clipWithID(id)) {
            clip->setTitle(before.title);
            clip->setPin(before.pinboardID, before.pinnedAt);
        }
    }
    for (const PinboardPtr &pinboard : m_createdPinboards) {
        if (!pinboard->isGone())
            m_context.remove(pinboard);
    }
    QList<ClipItemPtr> created;
    for (const QUuid &id : m_createdClips) {
        if (ClipItemPtr clip = clipWithID(id))
            created.append(clip);
    }
    // Removes the clips and saves the restored fields with them.
    m_clips.deleteClips(created);
    if (m_context.hasChanges())
        m_context.discardChanges();
    m_createdClips.clear();
    m_createdPinboards.clear();
    m_unsavedClips.clear();
    m_unsavedPinboards.clear();
    m_changed.clear();
}

} // namespace tamo
