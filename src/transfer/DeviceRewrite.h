#pragma once

#include <QString>

namespace tamo {

namespace sql { class Database; }
class DeviceWriter;
class HybridClock;
class RecordRows;
class SyncLedger;

// Once a record whose content this device's files hold is deleted, here or
// by another device, rewrites those files without it: one snapshot of what
// this device still contributes (the fields whose latest write is its own,
// and every deletion it knows), after which its older segments and
// snapshots and the blobs nothing names any more are removed.
class DeviceRewrite
{
public:
    DeviceRewrite(sql::Database &db, RecordRows &rows, SyncLedger &ledger, HybridClock &clock, DeviceWriter &writer);

    // Does nothing unless such a deletion is pending; the error text or empty.
    QString run(qint64 wallMillis);

private:
    sql::Database &m_db;
    RecordRows &m_rows;
    SyncLedger &m_ledger;
    HybridClock &m_clock;
    DeviceWriter &m_writer;
};

} // namespace tamo
