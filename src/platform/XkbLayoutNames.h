#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

namespace tamo {

// Human names of XKB layouts and variants, from the XKB registry
// (rules/evdev.xml), keyed "us" and "de(nodeadkeys)".
class XkbLayoutNames
{
public:
    // The registry that xkb-data installs; empty names when it is missing.
    static XkbLayoutNames system();
    static XkbLayoutNames fromRegistry(const QByteArray &xml);

    // The registry's description, or the id itself when it has none.
    QString name(const QString &id) const;

private:
    QHash<QString, QString> m_names;
};

// The layout ids of the display's rule names, e.g. layouts "us,de" with
// variants ",nodeadkeys" give "us" and "de(nodeadkeys)"; at most four, as XKB
// has four groups.
QStringList xkbLayoutIDs(const QString &layouts, const QString &variants);

} // namespace tamo
