#pragma once

#include "transfer/MirrorStore.h"

#include <QString>

namespace tamo {

class DeviceWriter;

// Turns the store's queue of saved changes into one segment of this
// device: each changed record with the fields that changed since it last
// travelled, each deletion as a tombstone. The queue is emptied only once
// the segment is on disk, so a failed write loses nothing.
class ChangeExport
{
public:
    ChangeExport(const MirrorStore &store, DeviceWriter &writer);

    struct Result
    {
        int changes = 0;
        QString error; // empty on success
    };
    Result run(qint64 wallMillis);
    // Queues the records that never travelled: those saved while sync was
    // off, when nothing queued them.
    void queueUntravelled();

private:
    void reserveSequences();

    MirrorStore m_store;
    DeviceWriter &m_writer;
};

} // namespace tamo
