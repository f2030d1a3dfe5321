#pragma once

#include <QString>
#include <QUrl>

// The product's addresses on the web, shown in the settings and used by the
// update check.
namespace tamo::ProductLinks {

inline QUrl website()
{
    return QUrl(QStringLiteral("https://tamocove.org"));
}

inline QString websiteHost()
{
    return website().host();
}

inline QUrl donation()
{
    return QUrl(QStringLiteral("https://buymeacoffee.com/tamocove"));
}

} // namespace tamo::ProductLinks
