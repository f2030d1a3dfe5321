#include "platform/DesktopEntries.h"

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
    for (const QString &folder : m_folders) {
        if (QFileInfo(folder).isDir())
            m_watcher->addPath(folder);
    }
    QObject::connect(m_watcher.get(), &QFileSystemWatcher::directoryChanged, m_watcher.get(),
                     [this] { m_loaded = false; });
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
    QStringList names;
    for (const QString &name : {traits.windowInstance, traits.windowClass, traits.executable}) {
        if (!name.isEmpty())
            names.append(name);
    }
    const auto firstWhere = [this](auto predicate) -> std::optional<DesktopEntry> {
        const auto it = std::find_if(m_entries.cbegin(), m_entries.cend(), predicate);
        return it == m_entries.cend() ? std::nullopt : std::optional(*it);
    };
    if (auto byClass = firstWhere([&](const DesktopEntry &e) {
            return !e.startupWMClass.isEmpty() && names.contains(e.startupWMClass, Qt::CaseInsensitive);
        }))
        return byClass;
    if (auto byId = firstWhere([&](const DesktopEntry &e) { return names.contains(e.id, Qt::CaseInsensitive); }))
        return byId;
    if (traits.executable.isEmpty())
        return std::nullopt;
    return firstWhere([&](const DesktopEntry &e) { return e.executable == traits.executable; });
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

QIcon DesktopEntries::icon(const QString &id) const
{
    const auto found = entry(id);
    const QIcon icon = found && !found->icon.isEmpty() ? namedIcon(found->icon) : QIcon();
    return icon.isNull() ? genericApplicationIcon() : icon;
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
