#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QUrl>

#include <limits>

// The text/uri-list format (RFC 2483): one percent-encoded URI a line,
// lines ending in CRLF, lines starting with '#' being comments.
namespace tamo::UriList {

struct Start
{
    QList<QUrl> urls;
    // More URLs followed, or the list ends in the comment format(…, true) adds.
    bool cut = false;
};

// Tolerates bare LF line ends, surrounding blanks and a last line without an
// end; ends at a NUL byte; skips invalid lines.
// Reads no further than its first `mostURLs` URLs.
Start parseStart(QByteArrayView list, qsizetype mostURLs);
QList<QUrl> parse(QByteArrayView list);
// A list `cut` short ends in a comment that says so.
QByteArray format(const QList<QUrl> &urls, bool cut = false);

} // namespace tamo::UriList
