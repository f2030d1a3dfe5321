#include "platform/UriList.h"

namespace tamo::UriList {

namespace {

const QByteArray cutComment = "# the list went on";

} // namespace

Start parseStart(QByteArrayView list, qsizetype mostURLs)
{
    Start start;
    // File managers write their lists as C strings, with the NUL that ends
    // them (PCManFM) or padding after it.
    if (const qsizetype end = list.indexOf('\0'); end >= 0)
        list.truncate(end);
    // Line by line in place: a list can hold millions.
    while (!list.isEmpty()) {
        const qsizetype end = list.indexOf('\n');
        const QByteArrayView line = list.first(end < 0 ? list.size() : end).trimmed();
        list = end < 0 ? QByteArrayView() : list.sliced(end + 1);
        if (line == cutComment)
            start.cut = true;
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const QUrl url = QUrl::fromEncoded(line.toByteArray(), QUrl::StrictMode);
        if (!url.isValid())
            continue;
        if (start.urls.size() == mostURLs) {
            start.cut = true;
            break;
        }
        start.urls.append(url);
    }
    return start;
}

QList<QUrl> parse(QByteArrayView list)
{
    return parseStart(list, std::numeric_limits<qsizetype>::max()).urls;
}

QByteArray format(const QList<QUrl> &urls, bool cut)
{
    QByteArray list;
    for (const QUrl &url : urls)
        list += url.toEncoded() + "\r\n";
    if (cut)
        list += cutComment + "\r\n";
    return list;
}

} // namespace tamo::UriList
