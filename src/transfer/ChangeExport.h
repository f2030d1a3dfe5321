#pragma once

#include "transfer/MirrorStore.h"
#include "transfer/Segment.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <memory>

namespace tamo {

class DeviceWriter;
class SegmentOutput;
struct EntitySpec;

// Turns the store's queue of saved changes into segments of this device:
// each changed record with the fields that changed since it last travelled,
// each deletion as a tombstone. An entry leaves the queue only once the file
// holding its change is on disk, so a failed write loses nothing.
class ChangeExport
{
public:
    ChangeExport(const MirrorStore &store, DeviceWriter &writer);

    struct Result
    {
        int changes = 0;
        QString error; // empty on success
    };
    // Stops between records once `stop` is set; what it wrote by then stays
    // written and the rest goes out with the next run.
    Result run(qint64 wallMillis, const std::atomic<bool> &stop);
    // Queues the records that never travelled: those saved while sync was
    // off, when nothing queued them.
    void queueUntravelled();
    // Queues these records again, whatever they are.
    void queueAgain(const QStringList &recordIDs);

private:
    struct Outgoing
    {
        SyncChange change;
        QList<std::pair<QString, QByteArray>> digests;
    };
    QString outgoingChange(const EntitySpec &entity, const QString &recordID, bool deleted, qint64 wallMillis,
                           Outgoing &outgoing);
    std::unique_ptr<SegmentOutput> beginFile();

    MirrorStore m_store;
    DeviceWriter &m_writer;
};

} // namespace tamo
