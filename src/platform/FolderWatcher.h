#pragma once

#include <QObject>
#include <QStringList>

class QFileSystemWatcher;
class QTimer;

namespace tamo {

// Tells when something may have changed under a set of folders.
class FolderWatcher : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;
    virtual void watch(const QStringList &folders) = 0;

signals:
    void changed();
};

// Kernel notices for what they see, and a poll every 30 s for what they
// miss: network and FUSE mounts, where other machines' writes arrive unseen.
class PollingFolderWatcher final : public FolderWatcher
{
    Q_OBJECT

public:
    explicit PollingFolderWatcher(QObject *parent = nullptr);
    void watch(const QStringList &folders) override;

private:
    QFileSystemWatcher *m_watcher;
    QTimer *m_poll;
};

} // namespace tamo
