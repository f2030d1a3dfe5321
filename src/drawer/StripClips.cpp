#include "drawer/StripClips.h"

#include "model/FetchDescriptor.h"
#include "model/ModelContext.h"

#include <algorithm>

namespace tamo {

QList<ClipItemPtr> fetchStripClips(ModelContext &context, const QUuid &pinboardID)
{
    if (pinboardID.isNull()) {
        return context.fetch<ClipItem>(
            FetchDescriptor().sorted(ClipItem::CreatedAtColumn, false).limited(historyFetchLimit));
    }
    return context.fetch<ClipItem>(FetchDescriptor()
                                       .where(ClipItem::PinboardIDColumn, FetchDescriptor::Compare::equal, pinboardID)
                                       .sorted(ClipItem::PinnedAtColumn, false));
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
