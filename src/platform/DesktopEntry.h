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
    // The program with the arguments that pick what it runs (neither options
    // nor field codes): "mousepad" for "mousepad --preferences", and
    // "flatpak run org.gnome.TextEditor" for a Flatpak. Entries with the same
    // command are one app.
    QString command;
    bool passesOptions = false; // Exec starts the program with options: a mode of it
    bool noDisplay = false;     // never shown in menus: a helper or a handler
    bool isSettings = false;    // a settings dialog of an app (Categories=Settings)

    // Nothing for files that cannot be read, are not application entries or
    // that the user removed (Hidden=true).
    static std::optional<DesktopEntry> fromFile(const QString &path, const QString &id,
                                                const QLocale &locale = QLocale());
};

} // namespace tamo
