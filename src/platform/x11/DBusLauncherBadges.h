#pragma once

#include "platform/LauncherBadges.h"

#include <QDBusConnection>
#include <QObject>
#include <QVariantMap>

namespace tamo::x11 {

// Listens on the session bus for the launcher-entry signal that docks and
// panels show as badges (com.canonical.Unity.LauncherEntry.Update). Only
// updates sent while TamoCove runs are known.
class DBusLauncherBadges final : public QObject, public LauncherBadges
{
    Q_OBJECT
public:
    explicit DBusLauncherBadges(const QDBusConnection &bus = QDBusConnection::sessionBus(), QObject *parent = nullptr);

    QHash<QString, QString> badges() const override;

signals:
    void changed();

private slots:
    void update(const QString &appURI, const QVariantMap &properties);

private:
    // Apps send the count and its visibility in separate updates.
    struct Entry
    {
        qint64 count = 0;
        bool visible = false;
    };
    QHash<QString, Entry> m_entries;
};

} // namespace tamo::x11
