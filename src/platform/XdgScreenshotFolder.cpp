#include "platform/XdgScreenshotFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>

namespace tamo {

XdgScreenshotFolder::XdgScreenshotFolder(QObject *parent)
    : XdgScreenshotFolder(locate(QStandardPaths::writableLocation(QStandardPaths::PicturesLocation)), parent)
{
}

XdgScreenshotFolder::XdgScreenshotFolder(const QString &path, QObject *parent)
    : ScreenshotFolder(parent)
    , m_path(path)
{
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &XdgScreenshotFolder::onDirectoryChanged);
}

QString XdgScreenshotFolder::locate(const QString &picturesFolder)
{
    const QString screenshots = QDir(picturesFolder).filePath(QStringLiteral("Screenshots"));
    return QFileInfo(screenshots).isDir() ? screenshots : picturesFolder;
}

bool XdgScreenshotFolder::isReadable() const
{
    const QFileInfo folder(m_path);
    return folder.isDir() && folder.isReadable() && folder.isExecutable();
}

bool XdgScreenshotFolder::startWatching()
{
    if (!m_watcher.directories().isEmpty())
        return true;
    if (!isReadable() || !m_watcher.addPath(m_path))
        return false;
    m_known = fileNames();
    return true;
}

void XdgScreenshotFolder::stopWatching()
{
    if (!m_watcher.directories().isEmpty())
        m_watcher.removePaths(m_watcher.directories());
    m_known.clear();
}

QSet<QString> XdgScreenshotFolder::fileNames() const
{
    const QStringList names = QDir(m_path).entryList(QDir::Files | QDir::NoSymLinks);
    return {names.cbegin(), names.cend()};
}

void XdgScreenshotFolder::onDirectoryChanged()
{
    const QSet<QString> current = fileNames();
    QStringList added;
    for (const QString &name : current) {
        if (!m_known.contains(name))
            added.append(name);
    }
    // A removed file that comes back later is new again.
    m_known = current;
    std::sort(added.begin(), added.end());
    const QDir folder(m_path);
    for (const QString &name : std::as_const(added))
        emit fileAdded(folder.filePath(name));
}

} // namespace tamo
