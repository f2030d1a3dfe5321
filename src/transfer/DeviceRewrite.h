#pragma once

#include "transfer/MirrorStore.h"

#include <QString>

#include <atomic>
#include <memory>

namespace tamo {

class DeviceWriter;
class SegmentOutput;
struct SyncChange;

// Once a record whose content this device's files hold is deleted, here or
// by another device, rewrites those files without it: one snapshot of what
// this device still contributes (the fields whose latest write is its own,
// and every deletion it knows), after which its older segments and
// snapshots and the blobs nothing names any more are removed. A large
// snapshot goes out in parts: the snapshot, then segments numbered after it.
class DeviceRewrite
{
public:
    DeviceRewrite(const MirrorStore &store, DeviceWriter &writer);

    // Does nothing unless such a deletion is pending; the error text or
    // empty. Stops between records once `stop` is set, to start again on the
    // next run.
    QString run(qint64 wallMillis, const std::atomic<bool> &stop);

private:
    std::unique_ptr<SegmentOutput> beginPart();
    QString write(const SyncChange &change);

    MirrorStore m_store;
    DeviceWriter &m_writer;
    // The snapshot goes out in parts, each cut as a segment is.
    struct Parts
    {
        qint64 snapshot = 0;
        qint64 next = 0;
        std::unique_ptr<SegmentOutput> file;
    };
    Parts m_parts;
};

} // namespace tamo
