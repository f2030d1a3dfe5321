#include "drawer/StripClips.h"

#include <algorithm>

namespace tamo {

ClipListQuery stripQuery(const QUuid &pinboardID)
{
    return pinboardID.isNull() ? ClipListQuery::history(historyFetchLimit) : ClipListQuery::pinboard(pinboardID);
}

QString trimmedSearchText(const QString &text)
{
    const auto isBlank = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && isBlank(text[start]))
        ++start;
    while (end > start && isBlank(text[end - 1]))
        --end;
    return text.sliced(start, end - start);
}

StripMatches matchingClips(const QList<ClipItemPtr> &clips, const QString &searchText,
                           const QList<SearchFilter> &filters)
{
    const QString text = trimmedSearchText(searchText);
    if (text.isEmpty() && filters.isEmpty())
        return {clips};
    StripMatches matches;
    for (const ClipItemPtr &clip : clips) {
        const std::optional<bool> held = clip->matchesHeld(text, filters);
        if (!held)
            matches.undecided = true;
        else if (*held)
            matches.clips.append(clip);
    }
    return matches;
}

} // namespace tamo
