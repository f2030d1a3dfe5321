#include "transfer/SyncLedger.h"

#include "model/Sqlite.h"

namespace tamo {

SyncLedger::SyncLedger(sql::Database &db)
    : m_db(db)
{
    m_db.exec(QStringLiteral(R"(
        CREATE TABLE IF NOT EXISTS SyncField (
            recordID TEXT NOT NULL, field TEXT NOT NULL, hlc TEXT NOT NULL, digest BLOB NOT NULL,
            PRIMARY KEY (recordID, field)) WITHOUT ROWID;
        CREATE TABLE IF NOT EXISTS SyncDeleted (recordID TEXT PRIMARY KEY) WITHOUT ROWID;
        CREATE TABLE IF NOT EXISTS SyncApplied (device TEXT PRIMARY KEY, sequence INTEGER NOT NULL) WITHOUT ROWID;
        CREATE TABLE IF NOT EXISTS SyncValue (key TEXT PRIMARY KEY, value TEXT NOT NULL) WITHOUT ROWID;
    )"));
}

std::optional<SyncLedger::FieldWrite> SyncLedger::field(const QString &recordID, const QString &field)
{
    auto statement = m_db.cached(QStringLiteral("SELECT hlc, digest FROM SyncField WHERE recordID = ? AND field = ?"));
    statement->bindText(1, recordID).bindText(2, field);
    if (!statement->step())
        return std::nullopt;
    const std::optional<HybridTime> time = HybridTime::parse(statement->text(0));
    if (!time)
        return std::nullopt;
    return FieldWrite{*time, statement->blob(1).value_or(QByteArray())};
}

void SyncLedger::setField(const QString &recordID, const QString &field, const FieldWrite &write)
{
    auto statement = m_db.cached(QStringLiteral("INSERT OR REPLACE INTO SyncField VALUES (?, ?, ?, ?)"));
    statement->bindText(1, recordID).bindText(2, field).bindText(3, write.time.toString()).bindBlob(4, write.digest);
    statement->run();
}

bool SyncLedger::isDeleted(const QString &recordID)
{
    // A deletion saved here but not yet exported counts too.
    auto statement = m_db.cached(QStringLiteral("SELECT 1 FROM SyncDeleted WHERE recordID = ?1 UNION ALL "
                                                "SELECT 1 FROM main.MirrorOutbox WHERE recordID = ?1 AND op = 'delete'"));
    statement->bindText(1, recordID);
    return statement->step();
}

void SyncLedger::markDeleted(const QString &recordID)
{
    auto insert = m_db.cached(QStringLiteral("INSERT OR IGNORE INTO SyncDeleted VALUES (?)"));
    insert->bindText(1, recordID);
    insert->run();
    auto forget = m_db.cached(QStringLiteral("DELETE FROM SyncField WHERE recordID = ?"));
    forget->bindText(1, recordID);
    forget->run();
}

qint64 SyncLedger::appliedSequence(const QString &device)
{
    auto statement = m_db.cached(QStringLiteral("SELECT sequence FROM SyncApplied WHERE device = ?"));
    statement->bindText(1, device);
    return statement->step() ? statement->int64(0) : 0;
}

void SyncLedger::setAppliedSequence(const QString &device, qint64 sequence)
{
    auto statement = m_db.cached(QStringLiteral("INSERT OR REPLACE INTO SyncApplied VALUES (?, ?)"));
    statement->bindText(1, device).bindInt64(2, sequence);
    statement->run();
}

QString SyncLedger::value(const QString &key)
{
    auto statement = m_db.cached(QStringLiteral("SELECT value FROM SyncValue WHERE key = ?"));
    statement->bindText(1, key);
    return statement->step() ? statement->text(0) : QString();
}

void SyncLedger::setValue(const QString &key, const QString &value)
{
    auto statement = m_db.cached(QStringLiteral("INSERT OR REPLACE INTO SyncValue VALUES (?, ?)"));
    statement->bindText(1, key).bindText(2, value);
    statement->run();
}

} // namespace tamo
