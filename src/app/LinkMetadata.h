#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <optional>

namespace tamo {

// What a web page says about itself, for the preview of a link to it.
struct LinkMetadata
{
    std::optional<QString> title; // og:title, else <title>; white space collapsed
    std::optional<QUrl> imageURL; // og:image, absolute; http or https only
    std::optional<QUrl> iconURL;  // <link rel="icon">, the same way

    bool operator==(const LinkMetadata &) const = default;
};

// Reads the page's head: <meta property|name="og:..."> and <title>. The text
// encoding comes from a byte-order mark, else the charset of the HTTP
// `contentType`, else the page's own <meta> declaration, else UTF-8.
// Comments, scripts and styles never count; the body is not read. Tolerates
// broken markup; a pure function, safe from any thread.
LinkMetadata parseLinkMetadata(const QByteArray &html, const QUrl &pageURL, const QByteArray &contentType = {});

} // namespace tamo
