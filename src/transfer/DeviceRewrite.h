#pragma once

#include "transfer/MirrorStore.h"

#include <QString>

namespace tamo {

class DeviceWriter;

// Once a record whose content this device's files hold is deleted, here or
// by another device, rewrites those files without it: one snapshot of what
// this device still contributes (the fields whose latest write is its own,
// and every deletion it knows), after which its older segments and
// snapshots and the blobs nothing names any more are removed.
class DeviceRewrite
{
public:
    DeviceRewrite(const MirrorStore &store, DeviceWriter &writer);

    // Does nothing unless such a deletion is pending; the error text or empty.
    QString run(qint64 wallMillis);

private:
    MirrorStore m_store;
    DeviceWriter &m_writer;
};

} // namespace tamo
