#include "platform/PrivateFiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <sys/stat.h>

namespace tamo::privatefiles {

namespace {

void setMode(const QString &path, unsigned folderOrFileMode)
{
    ::chmod(QFile::encodeName(path).constData(), folderOrFileMode);
}

} // namespace

bool makeFolder(const QString &path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    if (absolute.isEmpty())
        return false;
    const QString parent = QFileInfo(absolute).absolutePath();
    if (parent != absolute && !QFileInfo(parent).isDir() && !makeFolder(parent))
        return false;
    if (::mkdir(QFile::encodeName(absolute).constData(), folderMode) != 0 && errno != EEXIST)
        return false;
    const QFileInfo made(absolute);
    if (!made.isDir())
        return false;
    // Only a folder of our own, not one a link points at.
    if (!made.isSymLink())
        setMode(absolute, folderMode);
    return true;
}

void tightenOne(const QString &path)
{
    const QFileInfo info(path);
    if (info.exists() && !info.isSymLink())
        setMode(path, info.isDir() ? folderMode : fileMode);
}

void tighten(const QString &folder)
{
    const QFileInfo root(folder);
    if (!root.isDir() || root.isSymLink())
        return;
    setMode(folder, folderMode);
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot | QDir::NoSymLinks,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info = it.fileInfo();
        if (info.isSymLink())
            continue;
        setMode(path, info.isDir() ? folderMode : fileMode);
    }
}

} // namespace tamo::privatefiles
