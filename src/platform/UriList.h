#pragma once

#include <QByteArray>
#include <QList>
#include <QUrl>

// The text/uri-list format (RFC 2483): one percent-encoded URI a line,
// lines ending in CRLF, lines starting with '#' being comments.
namespace tamo::UriList {

// Tolerates bare LF line ends and surrounding blanks; skips invalid lines.
QList<QUrl> parse(const QByteArray &list);
QByteArray format(const QList<QUrl> &urls);

} // namespace tamo::UriList
