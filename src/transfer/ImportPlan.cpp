#include "transfer/ImportPlan.h"

#include "model/ClipItem.h"
#include "model/ClipLibrary.h"
#include "model/ContentHash.h"
#include "model/ModelContext.h"
#include "model/Pinboards.h"
#include "transfer/SpooledPinboardFile.h"

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

qsizetype ImportPlan::clipCount() const
{
    return newClips.size() + repinned.size() + updated.size() + unchanged.size() + elsewhere.size();
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

ImportPlanner::ImportPlanner(ModelContext &context, ClipLibrary &clips, Pinboards &pinboards,
                             SpooledPinboardFile &file)
    : m_context(context), m_clips(clips), m_file(file), m_pinboards(pinboards.orderedPinboards()),
      m_storedIDs(storedValues(context, ClipItem::IdColumn)),
      m_storedHashes(storedValues(context, ClipItem::ContentHashColumn)), m_editDates(clips.editDatesByClip())
{
}

bool ImportPlanner::planSome(const QDeadlineTimer &deadline)
{
    const auto &boards = m_file.pinboards();
    for (;;) {
        const bool boardDone = m_plans.isEmpty() ||
                               m_clip == boards[m_plans.size() - 1].firstClip + boards[m_plans.size() - 1].clipCount;
        if (boardDone) {
            if (m_plans.size() == boards.size())
                return true;
            startPlan();
            continue;
        }
        planClip(m_plans.last(), m_clip++);
        if (deadline.hasExpired())
            return false;
    }
}

void ImportPlanner::startPlan()
{
    const PinboardArchive::Board &board = m_file.pinboards()[m_plans.size()].board;
    ImportPlan plan{board, std::nullopt, {}, {}, {}, {}, {}, {}};
    auto landing = std::find_if(m_pinboards.cbegin(), m_pinboards.cend(),
                                [&](const PinboardPtr &p) { return board.id && p->id() == *board.id; });
    if (landing == m_pinboards.cend()) {
        landing = std::find_if(m_pinboards.cbegin(), m_pinboards.cend(),
                               [&](const PinboardPtr &p) { return p->name().toLower() == board.name.toLower(); });
    }
    if (landing != m_pinboards.cend())
        plan.existing = (*landing)->id();
    m_plans.append(plan);
}

void ImportPlanner::planClip(ImportPlan &plan, qsizetype index)
{
    const std::optional<QUuid> id = m_file.clipID(index);
    const QString hash = m_file.contentHash(index);
    ClipItemPtr local;
    if (id && m_storedIDs.contains(id->toString()))
        local = firstClipWhere(m_context, ClipItem::IdColumn, *id);
    if (!local && m_storedHashes.contains(hash))
        local = firstClipWhere(m_context, ClipItem::ContentHashColumn, hash);
    if (!local) {
        plan.newClips.append(index);
        return;
    }
    if (m_claimed.contains(local->id()))
        return;
    m_claimed.insert(local->id());
    if (plan.existing)
        m_matchedOnLanding[*plan.existing].insert(local->id());
    const ImportPlan::Match match{local->id(), index};
    if (!local->pinboardID()) {
        plan.repinned.append(match);
    } else if (plan.existing && *local->pinboardID() == *plan.existing) {
        const auto edited = m_editDates.constFind(local->id());
        const auto merged = mergedMetadata(*local, m_file.clip(index),
                                           edited == m_editDates.cend() ? std::nullopt : std::optional(*edited));
        (merged.sameValues(currentMetadata(*local)) ? plan.unchanged : plan.updated).append(match);
    } else {
        plan.elsewhere.append(match);
    }
}

QList<ImportPlan> ImportPlanner::takePlans()
{
    // A clip that any pinboard of the file brings to a landing pinboard is
    // in the file for that pinboard, so it is never "not in the file".
    QList<ClipItemPtr> pinned =
        m_context.fetch<ClipItem>(FetchDescriptor().where(ClipItem::PinboardIDColumn, FetchDescriptor::Compare::isNotNull));
    std::stable_sort(pinned.begin(), pinned.end(), [](const ClipItemPtr &a, const ClipItemPtr &b) {
        return a->pinnedAt().value_or(QDateTime()) > b->pinnedAt().value_or(QDateTime());
    });
    for (ImportPlan &plan : m_plans) {
        if (!plan.existing)
            continue;
        const QSet<QUuid> matched = m_matchedOnLanding.value(*plan.existing);
        for (const ClipItemPtr &clip : pinned) {
            if (*clip->pinboardID() == *plan.existing && !matched.contains(clip->id()))
                plan.removable.append(clip->id());
        }
    }
    return std::exchange(m_plans, {});
}

} // namespace tamo
