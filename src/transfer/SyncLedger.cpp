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
        CREATE TABLE IF NOT EXISTS SyncDeleted (recordID TEXT PRIMARY KEY, entity TEXT) WITHOUT ROWID;
        CREATE TABLE IF NOT EXISTS SyncApplied (device TEXT PRIMARY KEY, sequence INTEGER NOT NULL) WITHOUT ROWID;
        CREATE TABLE IF NOT EXISTS SyncValue (key TEXT PRIMARY KEY, value TEXT NOT NULL) WITHOUT ROWID;
        CREATE TABLE IF NOT EXISTS SyncWritten (recordID TEXT PRIMARY KEY) WITHOUT ROWID;
    )"));
    // Ledgers written before deletions kept their entity lack the column.
    sql::Statement columns = m_db.prepare(QStringLiteral("SELECT 1 FROM pragma_table_info('SyncDeleted') WHERE name = 'entity'"));
    if (!columns.step())
        m_db.exec(QStringLiteral("ALTER TABLE SyncDeleted ADD COLUMN entity TEXT"));
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

void SyncLedger::markDeleted(const QString &entity, const QString &recordID)
{
    auto insert = m_db.cached(QStringLiteral("INSERT OR IGNORE INTO SyncDeleted (recordID, entity) VALUES (?, ?)"));
    insert->bindText(1, recordID).bindText(2, entity);
    insert->run();
    auto forget = m_db.cached(QStringLiteral("DELETE FROM SyncField WHERE recordID = ?"));
    forget->bindText(1, recordID);
    forget->run();
    auto written = m_db.cached(QStringLiteral("DELETE FROM SyncWritten WHERE recordID = ?"));
    written->bindText(1, recordID);
    written->run();
    if (m_db.changes() > 0)
        requestRewrite();
}

QList<std::pair<QString, QString>> SyncLedger::deletions()
{
    QList<std::pair<QString, QString>> deleted;
    sql::Statement statement = m_db.prepare(QStringLiteral("SELECT coalesce(entity, 'ClipItem'), recordID FROM SyncDeleted"));
    while (statement.step())
        deleted.append({statement.text(0), statement.text(1)});
    return deleted;
}

QList<std::pair<QString, HybridTime>> SyncLedger::fieldTimes(const QString &recordID)
{
    QList<std::pair<QString, HybridTime>> times;
    auto statement = m_db.cached(QStringLiteral("SELECT field, hlc FROM SyncField WHERE recordID = ?"));
    statement->bindText(1, recordID);
    while (statement->step()) {
        if (const std::optional<HybridTime> time = HybridTime::parse(statement->text(1)))
            times.append({statement->text(0), *time});
    }
    return times;
}

QStringList SyncLedger::forgetImpossibleFields(qint64 wallMillis)
{
    QList<std::pair<QString, QString>> impossible;
    sql::Statement statement = m_db.prepare(QStringLiteral("SELECT recordID, field, hlc FROM SyncField"));
    while (statement.step()) {
        const std::optional<HybridTime> time = HybridTime::parse(statement.text(2));
        if (!time || HybridClock::isImpossible(*time, wallMillis))
            impossible.append({statement.text(0), statement.text(1)});
    }
    QStringList records;
    for (const auto &[recordID, field] : impossible) {
        auto forget = m_db.cached(QStringLiteral("DELETE FROM SyncField WHERE recordID = ? AND field = ?"));
        forget->bindText(1, recordID).bindText(2, field);
        forget->run();
        if (records.isEmpty() || records.last() != recordID)
            records.append(recordID);
    }
    return records;
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

std::optional<SyncLedger::RefusedFile> SyncLedger::refusedFile(const QString &device)
{
    const QStringList parts = value(QStringLiteral("refused ") + device).split(QLatin1Char(' '));
    if (parts.size() != 2)
        return std::nullopt;
    return RefusedFile{parts[0].toLongLong(), parts[1] == QLatin1String("snapshot")};
}

void SyncLedger::setRefusedFile(const QString &device, const std::optional<RefusedFile> &file)
{
    const QString key = QStringLiteral("refused ") + device;
    if (!file) {
        auto forget = m_db.cached(QStringLiteral("DELETE FROM SyncValue WHERE key = ?"));
        forget->bindText(1, key);
        forget->run();
        return;
    }
    setValue(key, QStringLiteral("%1 %2").arg(file->sequence).arg(file->snapshot ? QStringLiteral("snapshot")
                                                                                   : QStringLiteral("segment")));
}

qint64 SyncLedger::writtenSequence()
{
    return value(QStringLiteral("sequence")).toLongLong();
}

void SyncLedger::setWrittenSequence(qint64 sequence)
{
    setValue(QStringLiteral("sequence"), QString::number(sequence));
}

qint64 SyncLedger::reservedSequence()
{
    return value(QStringLiteral("reserved")).toLongLong();
}

void SyncLedger::reserveSequence(qint64 sequence)
{
    if (sequence > reservedSequence())
        setValue(QStringLiteral("reserved"), QString::number(sequence));
}

void SyncLedger::noteWritten(const QString &recordID)
{
    auto statement = m_db.cached(QStringLiteral("INSERT OR IGNORE INTO SyncWritten VALUES (?)"));
    statement->bindText(1, recordID);
    statement->run();
}

// "1" asks for a rewrite, "2" for one that goes to every reader.
bool SyncLedger::erasurePending()
{
    return value(QStringLiteral("erase")).toInt() > 0;
}

bool SyncLedger::rewriteForEveryReader()
{
    return value(QStringLiteral("erase")) == QLatin1String("2");
}

void SyncLedger::requestRewrite(bool forEveryReader)
{
    if (forEveryReader || !rewriteForEveryReader())
        setValue(QStringLiteral("erase"), forEveryReader ? QStringLiteral("2") : QStringLiteral("1"));
}

QString SyncLedger::device()
{
    return value(QStringLiteral("device"));
}

QSet<QString> SyncLedger::ownDevices()
{
    QSet<QString> devices{device()};
    for (const QString &former : value(QStringLiteral("formerDevices")).split(QLatin1Char(' '), Qt::SkipEmptyParts))
        devices.insert(former);
    return devices;
}

void SyncLedger::takeNewDevice(const QString &device)
{
    const QString formers = value(QStringLiteral("formerDevices"));
    setValue(QStringLiteral("formerDevices"), (formers + QLatin1Char(' ') + this->device()).trimmed());
    setValue(QStringLiteral("device"), device);
    setWrittenSequence(0);
    setValue(QStringLiteral("reserved"), QStringLiteral("0"));
    requestRewrite();
}

void SyncLedger::resetWritten(const QSet<QString> &recordIDs)
{
    m_db.exec(QStringLiteral("DELETE FROM SyncWritten"));
    for (const QString &recordID : recordIDs)
        noteWritten(recordID);
    setValue(QStringLiteral("erase"), QStringLiteral("0"));
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
