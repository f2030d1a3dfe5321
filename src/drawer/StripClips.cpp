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

QList<ClipItemPtr> matchingClips(const QList<ClipItemPtr> &clips, const QString &searchText,
                                 const QList<SearchFilter> &filters)
{
    const QString text = trimmedSearchText(searchText);
    if (text.isEmpty() && filters.isEmpty())
        return clips;
    QList<ClipItemPtr> matching;
    std::copy_if(clips.cbegin(), clips.cend(), std::back_inserter(matching),
                 [&](const ClipItemPtr &clip) { return clip->matches(text, filters); });
    return matching;
}

} // namespace tamo
