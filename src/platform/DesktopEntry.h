#pragma once

#include <QLocale>
#include <QString>

#include <optional>

namespace tamo {

// The parts of a freedesktop .desktop file that identify an application.
struct DesktopEntry
{
    QString id;             // desktop id without ".desktop": the bundle identifier
    QString name;           // in the locale's language where the entry has it
    QString icon;           // theme icon name or absolute path
    QString program;        // the program Exec starts, as written: a path or a name
    QString executable;     // its file name
    QString startupWMClass;

    // Nothing for files that cannot be read, are not application entries or
    // that the user removed (Hidden=true).
    static std::optional<DesktopEntry> fromFile(const QString &path, const QString &id,
                                                const QLocale &locale = QLocale());
};

} // namespace tamo
