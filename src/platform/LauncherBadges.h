#pragma once

#include <QHash>
#include <QString>

namespace tamo {

// The counts apps show on their launcher icons (unread mail, messages), by
// app id, as text; only apps that publish one have an entry.
class LauncherBadges
{
public:
    virtual ~LauncherBadges() = default;
    virtual QHash<QString, QString> badges() const = 0;
};

} // namespace tamo
