#include "model/StoreMaintenance.h"

#include "model/ContentHash.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"
#include "model/Sqlite.h"

#include <QDebug>
#include <QDir>

#include <algorithm>
#include <optional>

namespace tamo {

namespace {

using Compare = FetchDescriptor::Compare;

// The clip a group folds into: a pinned clip before any unpinned one, then
// the latest pin or the newest copy; the first of equals.
ClipItemPtr pickSurvivor(const QList<ClipItemPtr> &clips)
{
    const auto rank = [](const ClipItemPtr &clip) {
        const bool pinned = clip->pinboardID().has_value();
        return std::pair(pinned, pinned ? clip->pinnedAt().value_or(QDateTime()) : clip->createdAt());
    };
    return *std::max_element(clips.cbegin(), clips.cend(),
                             [&rank](const ClipItemPtr &a, const ClipItemPtr &b) { return rank(a) < rank(b); });
}

QDateTime latestCreatedAt(const QList<ClipItemPtr> &clips)
{
    QDateTime latest;
    for (const ClipItemPtr &clip : clips)
        latest = std::max(latest, clip->createdAt());
    return latest;
}

template<typename Getter, typename Setter>
void fillGap(ClipItem &survivor, const ClipItem &twin, Getter get, Setter set)
{
    if (!(survivor.*get)()) {
        if (const auto value = (twin.*get)())
            (survivor.*set)(value);
    }
}

// Twins come newest first, so the newest title or preview fills a gap.
void mergeFields(ClipItem &survivor, const QList<ClipItemPtr> &twins)
{
    QStringList keywords = survivor.keywords();
    for (const ClipItemPtr &twin : twins) {
        fillGap(survivor, *twin, &ClipItem::title, &ClipItem::setTitle);
        fillGap(survivor, *twin, &ClipItem::iconEmoji, &ClipItem::setIconEmoji);
        fillGap(survivor, *twin, &ClipItem::linkTitle, &ClipItem::setLinkTitle);
        fillGap(survivor, *twin, &ClipItem::linkImageData, &ClipItem::setLinkImageData);
        for (const QString &keyword : twin->keywords()) {
            if (!keywords.contains(keyword, Qt::CaseInsensitive))
                keywords.append(keyword);
        }
    }
    survivor.setKeywords(keywords);
}

// Edit dates are re-keyed, not copied: the context deletes the local records
// of removed clips when it saves, unless a clip still carries their id.
void keepLatestEdit(const ClipItem &survivor, const QList<ClipItemPtr> &twins, QHash<QUuid, ClipEditPtr> &edits)
{
    ClipEditPtr latest;
    for (const ClipItemPtr &twin : twins) {
        const ClipEditPtr edit = twin->id() == survivor.id() ? nullptr : edits.value(twin->id());
        if (edit && (!latest || edit->editedAt() > latest->editedAt()))
            latest = edit;
    }
    if (!latest)
        return;
    if (const ClipEditPtr own = edits.value(survivor.id())) {
        if (own->editedAt() < latest->editedAt())
            own->setEditedAt(latest->editedAt());
        return;
    }
    edits.remove(latest->clipID());
    latest->setClipID(survivor.id());
    edits.insert(survivor.id(), latest);
}

// What a clip holds, hashed anew: the hash column may have come from a peer
// that hashed other content. An image kept only on the machine that copied
// it is not here to hash, so such clips match one another by the rest of
// their content and their hash column.
QString heldContentKey(const ClipItem &clip)
{
    if (clip.imageIsLocalOnly())
        return QStringLiteral("local-only image ")
            + makeContentHash(clip.kind(), clip.text(), std::nullopt, clip.filePaths());
    return makeContentHash(clip.kind(), clip.text(), clip.imageData(), clip.filePaths());
}

// The clips of one hash column that really hold the same content.
QList<QList<ClipItemPtr>> sameContentGroups(const QList<ClipItemPtr> &clips)
{
    QHash<QString, QList<ClipItemPtr>> byContent;
    for (const ClipItemPtr &clip : clips)
        byContent[heldContentKey(*clip)].append(clip);
    return byContent.values();
}

template<typename R>
int removeOrphans(ModelContext &context, const QList<GroupCount> &byClip)
{
    int removed = 0;
    for (const GroupCount &group : byClip) {
        const QUuid clipID = group.value.toUuid();
        // A failed count (-1) keeps the records: a live clip must never look gone.
        if (context.fetchCount<ClipItem>(FetchDescriptor().where(ClipItem::IdColumn, Compare::equal, clipID)) != 0)
            continue;
        for (const auto &record : context.fetch<R>(FetchDescriptor().where(R::ClipIDColumn, Compare::equal, clipID))) {
            context.remove(record);
            ++removed;
        }
    }
    return removed;
}

} // namespace

StoreMaintenance::StoreMaintenance(ModelContext &context)
    : m_context(context)
{
}

QList<QUuid> StoreMaintenance::mergeDuplicates()
{
    // Only hashes held by several clips are loaded, not the whole history.
    QStringList hashes;
    for (const GroupCount &hash : m_context.countBy<ClipItem>(ClipItem::ContentHashColumn, {}, 2))
        hashes.append(hash.value.toString());
    return mergeDuplicates(hashes);
}

QList<QUuid> StoreMaintenance::mergeDuplicates(const QStringList &contentHashes)
{
    std::optional<EditsByClip> edits;
    QList<QUuid> removed;
    for (const QString &hash : contentHashes) {
        if (hash.isEmpty())
            continue; // no hash at all says nothing about the content
        const auto clips = m_context.fetch<ClipItem>(
            FetchDescriptor().where(ClipItem::ContentHashColumn, Compare::equal, hash));
        if (clips.size() < 2)
            continue; // merged or deleted since the hashes were read
        for (const QList<ClipItemPtr> &twins : sameContentGroups(clips)) {
            if (twins.size() < 2)
                continue;
            if (!edits)
                edits = latestEdits();
            removed += mergeGroup(twins, *edits);
        }
    }
    if (!m_context.save())
        return {};
    return removed;
}

QStringList StoreMaintenance::sharedContentHashes(const QString &storeDirectory)
{
    QStringList hashes;
    try {
        sql::Database db;
        db.openReadOnly(QDir(storeDirectory).filePath(QLatin1String(ModelContainer::syncedStoreName)));
        sql::Statement shared = db.prepare(
            QStringLiteral("SELECT contentHash FROM ClipItem GROUP BY contentHash HAVING COUNT(*) > 1"));
        while (shared.step())
            hashes.append(shared.text(0));
    } catch (const sql::Error &error) {
        qWarning().noquote() << QStringLiteral("TamoCove: could not look for repeated clips: %1").arg(error.message());
    }
    return hashes;
}

QList<QUuid> StoreMaintenance::mergeGroup(const QList<ClipItemPtr> &clips, EditsByClip &edits)
{
    // Every pinboard keeps its own copy; unpinned copies fold into the survivor.
    const ClipItemPtr survivor = pickSurvivor(clips);
    const QUuid survivorPinboard = survivor->pinboardID().value_or(QUuid());
    QHash<QUuid, QList<ClipItemPtr>> lanes;
    for (const ClipItemPtr &clip : clips)
        lanes[clip->pinboardID().value_or(survivorPinboard)].append(clip);

    QList<QUuid> removed;
    for (auto lane = lanes.cbegin(); lane != lanes.cend(); ++lane) {
        // The survivor takes the group's latest date: its content was copied then.
        const QDateTime createdAt = latestCreatedAt(lane.key() == survivorPinboard ? clips : *lane);
        removed += mergeLane(*lane, createdAt, edits);
    }
    return removed;
}

QList<QUuid> StoreMaintenance::mergeLane(const QList<ClipItemPtr> &lane, const QDateTime &createdAt,
                                         EditsByClip &edits)
{
    const ClipItemPtr survivor = pickSurvivor(lane);
    QList<ClipItemPtr> twins = lane;
    twins.removeOne(survivor);
    if (twins.isEmpty())
        return {};
    std::sort(twins.begin(), twins.end(),
              [](const ClipItemPtr &a, const ClipItemPtr &b) { return a->createdAt() > b->createdAt(); });

    if (survivor->createdAt() < createdAt)
        survivor->setCreatedAt(createdAt);
    mergeFields(*survivor, twins);
    moveLocalImage(*survivor, twins);
    keepLatestEdit(*survivor, twins, edits);

    QList<QUuid> removed;
    for (const ClipItemPtr &twin : twins) {
        m_context.remove(twin);
        // A twin sharing the survivor's id leaves that id in use.
        if (twin->id() != survivor->id() && !removed.contains(twin->id()))
            removed.append(twin->id());
    }
    return removed;
}

void StoreMaintenance::moveLocalImage(ClipItem &survivor, const QList<ClipItemPtr> &twins)
{
    const auto owner = std::find_if(twins.cbegin(), twins.cend(), [&survivor](const ClipItemPtr &twin) {
        return twin->imageIsLocalOnly() && twin->id() != survivor.id();
    });
    if (owner == twins.cend() || hasImageHere(survivor))
        return;
    // A merge cut short after the copy below committed.
    if (m_context.fetchCount<LocalImage>(
            FetchDescriptor().where(LocalImage::ClipIDColumn, Compare::equal, survivor.id()))
        > 0) {
        survivor.setImageIsLocalOnly(true);
        return;
    }
    const auto images = m_context.fetch<LocalImage>(
        FetchDescriptor().where(LocalImage::ClipIDColumn, Compare::equal, (*owner)->id()).limited(1));
    if (images.isEmpty())
        return;
    // Copied, not re-keyed: the copy commits before the clips change, and the
    // twin's own goes with the twin, so a crash in between leaves each clip
    // with its image.
    m_context.insert(std::make_shared<LocalImage>(survivor.id(), images.first()->imageData()));
    survivor.setImageIsLocalOnly(true);
}

bool StoreMaintenance::hasImageHere(const ClipItem &clip)
{
    if (!clip.imageIsLocalOnly()) {
        const auto bytes = clip.imageData();
        return bytes && !bytes->isEmpty();
    }
    return m_context.fetchCount<LocalImage>(
               FetchDescriptor().where(LocalImage::ClipIDColumn, Compare::equal, clip.id())) != 0;
}

StoreMaintenance::EditsByClip StoreMaintenance::latestEdits()
{
    EditsByClip edits;
    for (const ClipEditPtr &edit : m_context.fetch<ClipEdit>()) {
        ClipEditPtr &slot = edits[edit->clipID()];
        if (!slot || slot->editedAt() < edit->editedAt())
            slot = edit;
    }
    return edits;
}

int StoreMaintenance::removeOrphanLocalRecords()
{
    const QList<GroupCount> images = m_context.countBy<LocalImage>(LocalImage::ClipIDColumn);
    const QList<GroupCount> edits = m_context.countBy<ClipEdit>(ClipEdit::ClipIDColumn);
    if (images.isEmpty() && edits.isEmpty())
        return 0;

    // Each owner is looked up by its indexed id: the cost follows the local
    // records, not the history's length.
    const int removed = removeOrphans<LocalImage>(m_context, images) + removeOrphans<ClipEdit>(m_context, edits);
    if (removed == 0 || !m_context.save())
        return 0;
    return removed;
}

} // namespace tamo
