#include "transfer/ImportPlan.h"

#include "model/ClipItem.h"
#include "model/ClipLibrary.h"
#include "model/ContentHash.h"
#include "model/ModelContext.h"
#include "model/Pinboards.h"

#include <QtConcurrent>

#include <algorithm>

namespace tamo {

bool ImportPlan::hasWork() const
{
    return !existing || !newClips.isEmpty() || !repinned.isEmpty() || !updated.isEmpty() || !removable.isEmpty();
}

QString ImportPlan::summary() const
{
    QStringList parts;
    if (!existing)
        parts.append(QStringLiteral("new pinboard"));
    auto add = [&parts](qsizetype count, const QString &what) {
        if (count > 0)
            parts.append(QString::number(count) + what);
    };
    add(newClips.size() + repinned.size(), QStringLiteral(" new"));
    add(updated.size(), QStringLiteral(" updated"));
    add(unchanged.size(), QStringLiteral(" unchanged"));
    add(elsewhere.size(), QStringLiteral(" on another pinboard"));
    add(removable.size(), QStringLiteral(" not in the file"));
    return parts.isEmpty() ? QStringLiteral("nothing new") : parts.join(QStringLiteral(", "));
}

QString contentHashOf(const PinboardArchive::Clip &clip)
{
    return makeContentHash(clipKindFromRaw(clip.kind).value_or(ClipKind::text), clip.text, clip.image,
                           clip.filePaths.value_or(QStringList()));
}

ClipItemPtr firstClipWhere(ModelContext &context, int column, const QVariant &value)
{
    const QList<ClipItemPtr> clips =
        context.fetch<ClipItem>(FetchDescriptor().where(column, FetchDescriptor::Compare::equal, value).limited(1));
    return clips.isEmpty() ? nullptr : clips.first();
}

QSet<QString> storedValues(ModelContext &context, int column)
{
    QSet<QString> values;
    for (const GroupCount &group : context.countBy<ClipItem>(column))
        values.insert(group.value.toString());
    return values;
}

ImportPlanner::ImportPlanner(ModelContext &context, ClipLibrary &clips, Pinboards &pinboards)
    : m_context(context), m_clips(clips), m_pinboards(pinboards)
{
}

QList<ImportPlan> ImportPlanner::makePlans(const QList<PinboardArchive::Board> &boards)
{
    const QList<PinboardPtr> pinboards = m_pinboards.orderedPinboards();
    const QSet<QString> storedIDs = storedValues(m_context, ClipItem::IdColumn);
    const QSet<QString> storedHashes = storedValues(m_context, ClipItem::ContentHashColumn);
    const QHash<QUuid, QDateTime> editDates = m_clips.editDatesByClip();
    QSet<QUuid> claimed;
    QHash<QUuid, QSet<QUuid>> matchedOnLanding; // local pinboard → clips the file has for it

    // Hashing the images is most of planning's work: all at once, on every core.
    QList<const PinboardArchive::Clip *> fileClips;
    for (const PinboardArchive::Board &board : boards) {
        for (const PinboardArchive::Clip &clip : board.clips)
            fileClips.append(&clip);
    }
    const QList<QString> hashes = QtConcurrent::blockingMapped(
        fileClips, [](const PinboardArchive::Clip *clip) { return contentHashOf(*clip); });
    qsizetype next = 0;

    QList<ImportPlan> plans;
    for (const PinboardArchive::Board &board : boards) {
        ImportPlan plan{board, std::nullopt, {}, {}, {}, {}, {}, {}};
        auto landing = std::find_if(pinboards.cbegin(), pinboards.cend(),
                                    [&](const PinboardPtr &p) { return board.id && p->id() == *board.id; });
        if (landing == pinboards.cend()) {
            landing = std::find_if(pinboards.cbegin(), pinboards.cend(),
                                   [&](const PinboardPtr &p) { return p->name().toLower() == board.name.toLower(); });
        }
        if (landing != pinboards.cend())
            plan.existing = (*landing)->id();

        for (const PinboardArchive::Clip &fileClip : board.clips) {
            const QString &hash = hashes[next++];
            ClipItemPtr local;
            if (fileClip.id && storedIDs.contains(fileClip.id->toString()))
                local = firstClipWhere(m_context, ClipItem::IdColumn, *fileClip.id);
            if (!local && storedHashes.contains(hash))
                local = firstClipWhere(m_context, ClipItem::ContentHashColumn, hash);
            if (!local) {
                plan.newClips.append({fileClip, hash});
                continue;
            }
            if (claimed.contains(local->id()))
                continue;
            claimed.insert(local->id());
            if (plan.existing)
                matchedOnLanding[*plan.existing].insert(local->id());
            const ImportPlan::Match match{local->id(), fileClip};
            if (!local->pinboardID()) {
                plan.repinned.append(match);
            } else if (plan.existing && *local->pinboardID() == *plan.existing) {
                const auto edited = editDates.constFind(local->id());
                const auto merged = mergedMetadata(
                    *local, fileClip, edited == editDates.cend() ? std::nullopt : std::optional(*edited));
                (merged.sameValues(currentMetadata(*local)) ? plan.unchanged : plan.updated).append(match);
            } else {
                plan.elsewhere.append(match);
            }
        }
        plans.append(plan);
    }

    // A clip that any pinboard of the file brings to a landing pinboard is
    // in the file for that pinboard, so it is never "not in the file".
    QList<ClipItemPtr> pinned =
        m_context.fetch<ClipItem>(FetchDescriptor().where(ClipItem::PinboardIDColumn, FetchDescriptor::Compare::isNotNull));
    std::stable_sort(pinned.begin(), pinned.end(), [](const ClipItemPtr &a, const ClipItemPtr &b) {
        return a->pinnedAt().value_or(QDateTime()) > b->pinnedAt().value_or(QDateTime());
    });
    for (ImportPlan &plan : plans) {
        if (!plan.existing)
            continue;
        const QSet<QUuid> matched = matchedOnLanding.value(*plan.existing);
        for (const ClipItemPtr &clip : pinned) {
            if (*clip->pinboardID() == *plan.existing && !matched.contains(clip->id()))
                plan.removable.append(clip->id());
        }
    }
    return plans;
}

} // namespace tamo
