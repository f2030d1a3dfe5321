#pragma once

#include <QString>

namespace tamo {

namespace sql { class Database; }
class DeviceWriter;
class HybridClock;
class RecordRows;
class SyncLedger;

// Turns the store's queue of saved changes into one segment of this
// device: each changed record with the fields that changed since it last
// travelled, each deletion as a tombstone. The queue is emptied only once
// the segment is on disk, so a failed write loses nothing.
class ChangeExport
{
public:
    ChangeExport(sql::Database &db, RecordRows &rows, SyncLedger &ledger, HybridClock &clock, DeviceWriter &writer);

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
    sql::Database &m_db;
    RecordRows &m_rows;
    SyncLedger &m_ledger;
    HybridClock &m_clock;
    DeviceWriter &m_writer;
};

} // namespace tamo
