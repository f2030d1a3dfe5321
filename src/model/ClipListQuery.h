#pragma once

#include "model/ClipItem.h"
#include "model/FetchDescriptor.h"

#include <QList>
#include <QUuid>

#include <functional>

namespace tamo {

class ModelContext;
struct SaveSummary;

// A list of clips as a view holds it: which clips, most recent first by one
// of their dates, at most how many. The view fetches it once and then follows
// each save by what changed, rather than reading it all again.
class ClipListQuery
{
public:
    // The newest clips, at most `limit` of them.
    static ClipListQuery history(int limit);
    // One pinboard's clips, most recently pinned first.
    static ClipListQuery pinboard(const QUuid &pinboardID);
    // Every pinned clip, most recently pinned first.
    static ClipListQuery pinned();

    // The same list cut to its first `count` clips.
    ClipListQuery first(int count) const;

    QList<ClipItemPtr> fetch(ModelContext &context) const;

    // Brings `clips`, fetched by this query, up to date with a save: what
    // left goes, what came or moved takes its place. False when only a new
    // fetch can: the save's records are unknown (a change through another
    // connection), or a full list lost clips that older ones now fill.
    bool followSave(QList<ClipItemPtr> &clips, const SaveSummary &summary) const;

private:
    using Date = std::function<std::optional<QDateTime>(const ClipItem &)>;

    ClipListQuery(FetchDescriptor descriptor, std::function<bool(const ClipItem &)> includes, Date date);
    bool before(const ClipItem &a, const ClipItem &b) const;

    FetchDescriptor m_descriptor;
    std::function<bool(const ClipItem &)> m_includes;
    Date m_date;
};

} // namespace tamo
