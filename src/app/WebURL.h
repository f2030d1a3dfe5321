#pragma once

#include <QUrl>

namespace tamo {

// An address a preview may be fetched from: http or https with a host.
inline bool isWebURL(const QUrl &url)
{
    const bool web = url.scheme() == u"http" || url.scheme() == u"https";
    return url.isValid() && web && !url.host().isEmpty();
}

} // namespace tamo
