#include "model/ClipListQuery.h"

#include "model/ModelContext.h"

#include <QSet>

#include <algorithm>

namespace tamo {

using Compare = FetchDescriptor::Compare;

ClipListQuery::ClipListQuery(FetchDescriptor descriptor, std::function<bool(const ClipItem &)> includes, Date date)
    : m_descriptor(std::move(descriptor))
    , m_includes(std::move(includes))
    , m_date(std::move(date))
{
}

ClipListQuery ClipListQuery::history(int limit)
{
    return {FetchDescriptor().sorted(ClipItem::CreatedAtColumn, false).limited(limit),
            [](const ClipItem &) { return true; },
            [](const ClipItem &clip) { return std::optional(clip.createdAt()); }};
}

ClipListQuery ClipListQuery::pinboard(const QUuid &pinboardID)
{
    return {FetchDescriptor()
                .where(ClipItem::PinboardIDColumn, Compare::equal, pinboardID)
                .sorted(ClipItem::PinnedAtColumn, false),
            [pinboardID](const ClipItem &clip) { return clip.pinboardID() == pinboardID; },
            [](const ClipItem &clip) { return clip.pinnedAt(); }};
}

ClipListQuery ClipListQuery::pinned()
{
    return {FetchDescriptor()
                .where(ClipItem::PinboardIDColumn, Compare::isNotNull)
                .sorted(ClipItem::PinnedAtColumn, false),
            [](const ClipItem &clip) { return clip.pinboardID().has_value(); },
            [](const ClipItem &clip) { return clip.pinnedAt(); }};
}

ClipListQuery ClipListQuery::first(int count) const
{
    ClipListQuery cut = *this;
    cut.m_descriptor.limit = m_descriptor.limit < 0 ? count : std::min(m_descriptor.limit, count);
    return cut;
}

QList<ClipItemPtr> ClipListQuery::fetch(ModelContext &context) const
{
    return context.fetch<ClipItem>(m_descriptor);
}

// The store's order: the later date first, a missing one last, equal dates
// in the order the rows were made.
bool ClipListQuery::before(const ClipItem &a, const ClipItem &b) const
{
    const std::optional<QDateTime> dateA = m_date(a);
    const std::optional<QDateTime> dateB = m_date(b);
    if (dateA != dateB)
        return dateA > dateB;
    return a.storeKey() < b.storeKey();
}

bool ClipListQuery::followSave(QList<ClipItemPtr> &clips, const SaveSummary &summary) const
{
    if (!summary.savedRecords)
        return false;
    QSet<const Record *> saved;
    QList<ClipItemPtr> arrivals;
    for (const std::shared_ptr<Record> &record : *summary.savedRecords) {
        if (&record->entity() != &ClipItem::spec())
            continue;
        saved.insert(record.get());
        auto clip = std::static_pointer_cast<ClipItem>(record);
        if (!clip->isGone() && m_includes(*clip))
            arrivals.append(std::move(clip));
    }
    const QSet<QUuid> removed(summary.removedClipIDs.cbegin(), summary.removedClipIDs.cend());
    const qsizetype heldBefore = clips.size();
    QList<ClipItemPtr> left;
    clips.removeIf([&](const ClipItemPtr &clip) {
        const bool leaves = clip->isGone() || removed.contains(clip->id()) || saved.contains(clip.get());
        if (leaves)
            left.append(clip);
        return leaves;
    });
    for (const ClipItemPtr &clip : std::as_const(arrivals)) {
        const auto at = std::upper_bound(clips.begin(), clips.end(), clip, [this](const ClipItemPtr &a, const ClipItemPtr &b) {
            return before(*a, *b);
        });
        clips.insert(at, clip);
    }
    const int limit = m_descriptor.limit;
    if (limit < 0)
        return true;
    // A full list whose clips left or moved to its end: clips the list never
    // held may now belong in it. A list that was not full held them all.
    const bool lostOne = heldBefore >= limit && std::any_of(left.cbegin(), left.cend(), [&](const ClipItemPtr &clip) {
        const qsizetype at = clips.indexOf(clip);
        return at < 0 || at >= limit - 1;
    });
    if (lostOne)
        return false;
    if (clips.size() > limit)
        clips.resize(limit);
    return true;
}

} // namespace tamo
