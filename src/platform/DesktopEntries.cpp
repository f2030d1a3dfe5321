#include "platform/DesktopEntries.h"

#include "platform/ProcessAncestry.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QSet>
#include <QStandardPaths>
#include <QStyle>

#include <algorithm>

namespace tamo {

AppTraits AppTraits::ofWindow(const QString &desktopId, const QStringList &windowClass, qint64 pid)
{
    return {desktopId, windowClass.value(0), windowClass.value(1), pid ? executableName(pid) : QString()};
}

namespace {

const QString DesktopSuffix = QStringLiteral(".desktop");

QString withoutSuffix(QString id)
{
    if (id.endsWith(DesktopSuffix))
        id.chop(DesktopSuffix.size());
    return id;
}

QIcon namedIcon(const QString &name)
{
    if (QDir::isAbsolutePath(name))
        return QFileInfo::exists(name) ? QIcon(name) : QIcon();
    // Old entries name the icon file ("app.png"); themes know it as "app".
    static const QStringList imageSuffixes{QStringLiteral("png"), QStringLiteral("svg"), QStringLiteral("xpm")};
    const QFileInfo file(name);
    const bool isFileName = imageSuffixes.contains(file.suffix(), Qt::CaseInsensitive);
    return QIcon::fromTheme(isFileName ? file.completeBaseName() : name, QIcon());
}

// Of several entries for one program, the one a launcher starts: the app
// itself before its settings dialog, before a mode Exec picks with options.
std::optional<DesktopEntry> launchedOf(const QList<DesktopEntry> &candidates)
{
    const auto rank = [](const DesktopEntry &e) { return std::pair(e.isSettings, e.passesOptions); };
    const auto best = std::min_element(candidates.cbegin(), candidates.cend(),
                                       [&](const DesktopEntry &a, const DesktopEntry &b) { return rank(a) < rank(b); });
    return best == candidates.cend() ? std::nullopt : std::optional(*best);
}

QIcon genericApplicationIcon()
{
    const auto *app = qobject_cast<QApplication *>(QCoreApplication::instance());
    const QIcon styleIcon = app ? app->style()->standardIcon(QStyle::SP_FileIcon) : QIcon();
    return QIcon::fromTheme(QStringLiteral("application-x-executable"), styleIcon);
}

} // namespace

DesktopEntries::DesktopEntries()
    : DesktopEntries(QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation))
{
}

DesktopEntries::DesktopEntries(const QStringList &applicationFolders)
    : m_folders(applicationFolders)
    , m_watcher(std::make_unique<QFileSystemWatcher>())
{
    watchFolders();
    QObject::connect(m_watcher.get(), &QFileSystemWatcher::directoryChanged, m_watcher.get(),
                     [this](const QString &path) { folderChanged(path); });
}

DesktopEntries::~DesktopEntries() = default;

QList<DesktopEntry> DesktopEntries::all() const
{
    load();
    return m_entries;
}

std::optional<DesktopEntry> DesktopEntries::entry(const QString &id) const
{
    load();
    const auto it = m_byId.constFind(withoutSuffix(id));
    if (it == m_byId.cend())
        return std::nullopt;
    return m_entries.at(*it);
}

std::optional<DesktopEntry> DesktopEntries::match(const AppTraits &traits) const
{
    load();
    if (!traits.desktopId.isEmpty()) {
        if (auto hinted = entry(traits.desktopId))
            return hinted;
    }
    // The window's class names an entry outright; the program only one a
    // launcher shows (Debian's NoDisplay "python3.11" runs every Tk script).
    const auto names = [&](const DesktopEntry &e, const QString &name) {
        if (name.isEmpty())
            return false;
        const auto is = [&name](const QString &trait) { return trait.compare(name, Qt::CaseInsensitive) == 0; };
        return is(traits.windowInstance) || is(traits.windowClass) || (!e.noDisplay && is(traits.executable));
    };
    const auto where = [this](auto predicate) {
        QList<DesktopEntry> found;
        std::copy_if(m_entries.cbegin(), m_entries.cend(), std::back_inserter(found), predicate);
        return found;
    };
    if (auto byClass = launchedOf(where([&](const DesktopEntry &e) { return names(e, e.startupWMClass); })))
        return byClass;
    if (auto byId = launchedOf(where([&](const DesktopEntry &e) { return names(e, e.id); })))
        return byId;
    if (traits.executable.isEmpty())
        return std::nullopt;
    return launchedOf(
        where([&](const DesktopEntry &e) { return !e.noDisplay && e.executable == traits.executable; }));
}

AppInfo DesktopEntries::identify(const AppTraits &traits) const
{
    if (const auto found = match(traits))
        return {found->id, found->name.isEmpty() ? found->id : found->name};
    for (const QString &name : {traits.windowClass, traits.windowInstance, traits.executable}) {
        if (!name.isEmpty())
            return {name, name};
    }
    return {};
}

QStringList DesktopEntries::sameApp(const QString &id) const
{
    const auto own = entry(id);
    if (!own || own->command.isEmpty())
        return {id};
    QStringList ids{own->id};
    for (const DesktopEntry &other : std::as_const(m_entries)) {
        if (other.command == own->command && other.id != own->id)
            ids.append(other.id);
    }
    return ids;
}

QIcon DesktopEntries::icon(const QString &id) const
{
    const auto found = entry(id);
    const QIcon icon = found && !found->icon.isEmpty() ? namedIcon(found->icon) : QIcon();
    return icon.isNull() ? genericApplicationIcon() : icon;
}

void DesktopEntries::watchFolders()
{
    QStringList folders;
    QStringList standIns;
    for (const QString &folder : std::as_const(m_folders)) {
        if (QFileInfo(folder).isDir()) {
            folders.append(folder);
            for (QDirIterator it(folder, QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories); it.hasNext();)
                folders.append(it.next());
            continue;
        }
        // QDir::cdUp() refuses to leave a folder that does not exist.
        QString above = QFileInfo(folder).absolutePath();
        while (!QFileInfo(above).isDir() && above != QFileInfo(above).absolutePath())
            above = QFileInfo(above).absolutePath();
        if (QFileInfo(above).isDir())
            standIns.append(above);
    }
    folders.removeDuplicates();
    standIns.removeDuplicates();
    const QStringList wanted = folders + standIns;
    const QStringList watched = m_watcher->directories();
    for (const QString &path : watched) {
        if (!wanted.contains(path))
            m_watcher->removePath(path);
    }
    for (const QString &path : wanted) {
        if (!watched.contains(path))
            m_watcher->addPath(path);
    }
    m_watchedFolders = folders;
    m_standIns = standIns;
}

void DesktopEntries::folderChanged(const QString &path)
{
    // A folder above a missing one changes often; only the missing one's
    // making matters.
    const bool standIn = m_standIns.contains(path) && !m_watchedFolders.contains(path);
    const QStringList before = m_watchedFolders;
    watchFolders();
    if (standIn && m_watchedFolders == before)
        return;
    m_loaded = false;
    emit changed();
}

void DesktopEntries::load() const
{
    if (m_loaded)
        return;
    m_entries.clear();
    m_byId.clear();
    QSet<QString> seen;
    for (const QString &folder : m_folders) {
        const QDir root(folder);
        QStringList paths;
        for (QDirIterator it(folder, {QStringLiteral("*.desktop")}, QDir::Files, QDirIterator::Subdirectories);
             it.hasNext();)
            paths.append(it.next());
        paths.sort();
        for (const QString &path : std::as_const(paths)) {
            // applications/kde/foo.desktop has the id "kde-foo".
            const QString id = withoutSuffix(root.relativeFilePath(path)).replace(u'/', u'-');
            if (seen.contains(id))
                continue;
            seen.insert(id);
            if (auto parsed = DesktopEntry::fromFile(path, id)) {
                m_byId.insert(id, m_entries.size());
                m_entries.append(*parsed);
            }
        }
    }
    m_loaded = true;
}

} // namespace tamo
