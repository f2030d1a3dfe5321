#include "platform/FolderWatcher.h"

#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTimer>

namespace tamo {

namespace {

constexpr int pollIntervalMs = 30'000;

} // namespace

PollingFolderWatcher::PollingFolderWatcher(QObject *parent)
    : FolderWatcher(parent)
    , m_watcher(new QFileSystemWatcher(this))
    , m_poll(new QTimer(this))
{
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, &FolderWatcher::changed);
    connect(m_poll, &QTimer::timeout, this, &FolderWatcher::changed);
    m_poll->start(pollIntervalMs);
}

void PollingFolderWatcher::watch(const QStringList &folders)
{
    QStringList missing;
    for (const QString &folder : folders) {
        if (QFileInfo(folder).isDir() && !m_watcher->directories().contains(folder))
            missing.append(folder);
    }
    if (!missing.isEmpty())
        m_watcher->addPaths(missing);
}

} // namespace tamo
