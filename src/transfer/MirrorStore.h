#pragma once

namespace tamo {

namespace sql { class Database; }
class HybridClock;
class RecordRows;
class SyncLedger;

// What each step of keeping the store in step with the sync folder works
// on: the store's connection, its records as rows, the ledger of what
// travelled, and this device's clock.
struct MirrorStore
{
    sql::Database &db;
    RecordRows &rows;
    SyncLedger &ledger;
    HybridClock &clock;
};

} // namespace tamo
