#pragma once

#include "platform/CloudKeyValueStore.h"
#include "transfer/HybridTime.h"
#include "transfer/SyncFolder.h"

#include <QFutureWatcher>
#include <QHash>
#include <QSet>
#include <QJsonValue>
#include <QObject>

#include <functional>

namespace tamo {

// The shared settings kept in the sync folder: each device writes only its
// own kv/<device>.json, each entry with the hybrid time of its write, and
// every device reads the latest entry per key across all of them.
class FolderKeyValueStore final : public QObject, public CloudKeyValueStore
{
    Q_OBJECT

public:
    using WallClock = std::function<qint64()>;

    explicit FolderKeyValueStore(QString folderRoot, WallClock wallMillis = {}, QObject *parent = nullptr);

    struct Entry
    {
        QJsonValue value;
        HybridTime time;
    };
    using Entries = QHash<QString, Entry>;

    // What a device's file holds; reads the folder, so never on the main thread.
    static Entries readDevice(const SyncFolder &folder, const QString &device);

    // This device's identity and what its file holds; until it is known,
    // values set stay here.
    void setDevice(const QString &device, const Entries &own);

    void setValue(const QString &key, const QVariant &value) override;
    QVariant value(const QString &key) const override;
    // Reads every other device's entries on a worker thread, merges them
    // here, and writes this device's own once the folder is there for it.
    void synchronize(std::function<void()> whenDone = {}) override;

signals:
    // Another device's write changed a value.
    void changedExternally();

private:
    static QList<Entries> readOthers(const SyncFolder &folder, const QString &ownDevice);
    void startRead();
    void readFinished();
    void merge(const QList<Entries> &others);
    void writeOwn();

    SyncFolder m_folder;
    WallClock m_wallMillis;
    HybridClock m_clock;
    QString m_device;
    Entries m_merged;
    Entries m_own;
    // Devices named in the log for values stamped far ahead, once each.
    QSet<QString> m_farAheadNamed;
    bool m_ownWritten = true;
    // A member, so a store gone before its read ends drops the result.
    QFutureWatcher<QList<Entries>> m_read;
    bool m_reading = false;
    bool m_readAgain = false;
    // Those asked for during a read wait for the next, which sees what they saw.
    QList<std::function<void()>> m_afterThisRead;
    QList<std::function<void()>> m_afterNextRead;
};

} // namespace tamo
