#pragma once

#include "platform/AppInfo.h"
#include "platform/DesktopEntry.h"

#include <QHash>
#include <QIcon>
#include <QList>
#include <QObject>
#include <QStringList>

#include <memory>
#include <optional>

class QFileSystemWatcher;

namespace tamo {

// What is known of a running application; any field may be empty.
struct AppTraits
{
    QString desktopId;      // a toolkit's hint (_GTK_APPLICATION_ID, _KDE_NET_WM_DESKTOP_FILE)
    QString windowInstance; // WM_CLASS, first part
    QString windowClass;    // WM_CLASS, second part
    QString executable;     // file name of /proc/PID/exe

    // A window's: its toolkit's hint, its WM_CLASS and the program its
    // process runs.
    static AppTraits ofWindow(const QString &desktopId, const QStringList &windowClass, qint64 pid);
};

// The installed applications' desktop entries, read from the applications
// folders (the user's first; an id found earlier hides later ones). Read on
// first use and again after a folder or a subfolder changed, or a folder
// missing until then was made.
class DesktopEntries : public QObject
{
    Q_OBJECT
public:
    DesktopEntries();
    explicit DesktopEntries(const QStringList &applicationFolders);
    ~DesktopEntries();
    DesktopEntries(const DesktopEntries &) = delete;
    DesktopEntries &operator=(const DesktopEntries &) = delete;

    std::optional<DesktopEntry> entry(const QString &id) const;
    // Every entry, in folder order.
    QList<DesktopEntry> all() const;
    // The toolkit's hint, then StartupWMClass, then the desktop id, then the
    // entry a launcher shows for the program: never a NoDisplay one, and the
    // app itself before its settings or one of its modes.
    std::optional<DesktopEntry> match(const AppTraits &traits) const;
    // The one identity of an app everywhere: the matching entry's id and
    // name; without one, the window class or the program name stands for both.
    AppInfo identify(const AppTraits &traits) const;
    // The ids of every entry that runs the same program as this one, itself
    // first; just the id for an app without an entry.
    QStringList sameApp(const QString &id) const;
    // The entry's icon; the generic application icon without one.
    QIcon icon(const QString &id) const;

signals:
    // A folder changed: entries, and with them names and icons, may be new.
    void changed();

private:
    void load() const;
    // Watches each folder with its subfolders, or the nearest folder above a
    // missing one, so that its making is seen.
    void watchFolders();
    void folderChanged(const QString &path);

    QStringList m_folders;
    std::unique_ptr<QFileSystemWatcher> m_watcher;
    QStringList m_watchedFolders; // applications folders and their subfolders
    QStringList m_standIns;       // the nearest folders above missing ones
    mutable QList<DesktopEntry> m_entries; // in folder order
    mutable QHash<QString, qsizetype> m_byId;
    mutable bool m_loaded = false;
};

} // namespace tamo
