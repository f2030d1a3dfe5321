#pragma once

#include <QString>
#include <QUrl>

// The product's addresses on the web, shown in the settings, handed out in
// the welcome clips and used by the update check. Every page of ours is on
// the one site.
namespace tamo::ProductLinks {

inline QUrl sitePage(const QString &path = {})
{
    QUrl url(QStringLiteral("https://tamocove.app"));
    url.setPath(u'/' + path);
    return url;
}

inline QUrl website()
{
    return sitePage();
}

inline QString websiteHost()
{
    return website().host();
}

inline QUrl updateFeed()
{
    return sitePage(QStringLiteral("version.json"));
}

inline QUrl donation()
{
    return QUrl(QStringLiteral("https://buymeacoffee.com/tamocove"));
}

} // namespace tamo::ProductLinks
