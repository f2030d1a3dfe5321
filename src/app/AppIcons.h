#pragma once

#include "model/SourceAppPublisher.h"

#include <QByteArray>
#include <QHash>
#include <QIcon>
#include <QObject>
#include <QSet>
#include <QString>

#include <optional>

namespace tamo {

class Workspace;

// Icons and accent colours of apps by bundle identifier, cached until the
// installed apps change. Apps that are not installed here can still have an
// icon and a colour when the cache was seeded from records another machine
// published.
//
// Renders pixmaps, so it lives on the main thread.
class AppIcons final : public AppIconSource
{
public:
    explicit AppIcons(Workspace &workspace);
    ~AppIcons() override;
    AppIcons(const AppIcons &) = delete;
    AppIcons &operator=(const AppIcons &) = delete;

    // The workspace's generic application icon for an unknown, unseeded id.
    QIcon appIcon(const QString &bundleID);
    // A 16 × 16 copy for menus.
    QIcon appMenuIcon(const QString &bundleID);
    // The icon drawn into a square bitmap of that many pixels; none for a size
    // below 1 or an app without any icon.
    std::optional<QByteArray> appIconPNGData(const QString &bundleID, int sizeInPixels);
    // "#RRGGBB", upper case.
    QString appAccentHex(const QString &bundleID);

    // Fills the caches of an app that is not installed here: the icon from the
    // PNG bytes when they decode, the colour from the tint when it is "#RRGGBB".
    // Installed apps keep what this machine shows for them.
    void seedAppIconCache(const QString &bundleID, const std::optional<QByteArray> &iconData, const QString &tintHex);

    // PNG at 256 px and the accent colour; nothing for an app not installed here.
    std::optional<AppIconInfo> iconFor(const QString &bundleID) override;

private:
    // Keeps only what was seeded for apps still not installed.
    void forgetInstalledApps();

    Workspace &m_workspace;
    QMetaObject::Connection m_appsChanged;
    QSet<QString> m_seeded;
    QHash<QString, QIcon> m_icons;
    QHash<QString, QIcon> m_menuIcons;
    QHash<QString, QString> m_accents;
};

} // namespace tamo
