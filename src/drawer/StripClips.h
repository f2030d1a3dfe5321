#pragma once

#include "model/ClipItem.h"
#include "model/ClipListQuery.h"
#include "model/SearchFilter.h"

#include <QList>
#include <QUuid>

// What the drawer's row of cards lists.
namespace tamo {

// The history row holds at most this many of the newest clips.
inline constexpr int historyFetchLimit = 2000;

// As a list appears, only this many of its clips are read at once, more than
// the widest screen shows at the smallest card size; the rest follow on the
// next turn of the event loop, after the first frame, so opening costs the
// same for any length of history.
inline constexpr int firstFrameClips = 64;

// The history newest first (the history's limit applies), or, for a
// pinboard id, that pinboard's clips most recently pinned first, all of them.
ClipListQuery stripQuery(const QUuid &pinboardID);

// The search text as the row reads it: spaces and tabs trimmed at both ends,
// line breaks kept.
QString trimmedSearchText(const QString &text);

struct StripMatches
{
    QList<ClipItemPtr> clips;
    // Some long texts could match in the part not held in memory.
    bool undecided = false;
};

// The clips the search shows, in their order, from what the clips hold in
// memory. With no text and no filter every clip shows, and none is tested.
StripMatches matchingClips(const QList<ClipItemPtr> &clips, const QString &searchText,
                           const QList<SearchFilter> &filters);

} // namespace tamo
