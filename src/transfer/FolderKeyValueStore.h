#pragma once

#include "platform/CloudKeyValueStore.h"
#include "transfer/HybridTime.h"
#include "transfer/SyncFolder.h"

#include <QHash>
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

    // This device's identity; until it is known, values set stay here.
    void setDevice(const QString &device);

    void setValue(const QString &key, const QVariant &value) override;
    QVariant value(const QString &key) const override;
    // Reads every device's entries; writes this device's own once the
    // folder is there for it.
    void synchronize() override;

signals:
    // Another device's write changed a value.
    void changedExternally();

private:
    struct Entry
    {
        QJsonValue value;
        HybridTime time;
    };
    using Entries = QHash<QString, Entry>;

    Entries readDevice(const QString &device) const;
    void writeOwn();

    SyncFolder m_folder;
    WallClock m_wallMillis;
    HybridClock m_clock;
    QString m_device;
    Entries m_merged;
    Entries m_own;
    bool m_ownWritten = true;
};

} // namespace tamo
