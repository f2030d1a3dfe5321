#include "platform/x11/DBusLauncherBadges.h"

namespace tamo::x11 {

DBusLauncherBadges::DBusLauncherBadges(const QDBusConnection &bus, QObject *parent)
    : QObject(parent)
{
    QDBusConnection(bus).connect(QString(), QString(), QStringLiteral("com.canonical.Unity.LauncherEntry"),
                                 QStringLiteral("Update"), QStringLiteral("sa{sv}"), this,
                                 SLOT(update(QString, QVariantMap)));
}

void DBusLauncherBadges::update(const QString &appURI, const QVariantMap &properties)
{
    // "application://org.gnome.Evolution.desktop" names the desktop entry.
    QString id = appURI;
    id.remove(QStringLiteral("application://"));
    if (id.endsWith(QLatin1String(".desktop")))
        id.chop(8);
    if (id.isEmpty())
        return;
    Entry &entry = m_entries[id];
    if (properties.contains(QStringLiteral("count")))
        entry.count = properties.value(QStringLiteral("count")).toLongLong();
    if (properties.contains(QStringLiteral("count-visible")))
        entry.visible = properties.value(QStringLiteral("count-visible")).toBool();
    emit changed();
}

QHash<QString, QString> DBusLauncherBadges::badges() const
{
    QHash<QString, QString> shown;
    for (auto it = m_entries.cbegin(); it != m_entries.cend(); ++it) {
        if (it->visible && it->count > 0)
            shown.insert(it.key(), QString::number(it->count));
    }
    return shown;
}

} // namespace tamo::x11
