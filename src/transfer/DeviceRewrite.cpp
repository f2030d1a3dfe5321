#include "transfer/DeviceRewrite.h"

#include "model/Record.h"
#include "model/Sqlite.h"
#include "transfer/RecordRows.h"
#include "transfer/Segment.h"
#include "transfer/SyncFolder.h"
#include "transfer/SyncLedger.h"

#include <QScopeGuard>

#include <map>

namespace tamo {

namespace {

bool outboxIsEmpty(sql::Database &db)
{
    sql::Statement statement = db.prepare(QStringLiteral("SELECT 1 FROM main.MirrorOutbox LIMIT 1"));
    return !statement.step();
}

QStringList recordIDs(sql::Database &db, const EntitySpec &entity)
{
    QStringList ids;
    sql::Statement statement = db.prepare(QStringLiteral("SELECT recordID FROM main.%1").arg(QLatin1String(entity.name)));
    while (statement.step())
        ids.append(statement.text(0));
    return ids;
}

} // namespace

DeviceRewrite::DeviceRewrite(const MirrorStore &store, DeviceWriter &writer)
    : m_store(store)
    , m_writer(writer)
{
}

QString DeviceRewrite::run(qint64 wallMillis, const std::atomic<bool> &stop)
{
    if (!m_store.ledger.erasurePending() || !outboxIsEmpty(m_store.db))
        return {}; // what was saved since goes out first; the rewrite follows
    const qint64 writtenSequence = m_store.ledger.writtenSequence();
    // Under a new identity, what was written under the former ones is ours too.
    const QSet<QString> own = m_store.ledger.ownDevices();
    // A reader that has read our newest file has all the snapshot holds, and
    // passes it over. One that may have refused one of our files reads it
    // only when it is numbered past them all.
    const qint64 newest = m_writer.nextSequence(writtenSequence) - 1;
    m_parts.next = std::max<qint64>(newest + (m_store.ledger.rewriteForEveryReader() ? 1 : 0), 1);
    m_parts.snapshot = m_parts.next;
    // A part left unfinished by a stop or a failure leaves nothing behind.
    const auto dropUnfinished = qScopeGuard([this] { m_parts.file.reset(); });
    QSet<QString> blobNames;
    QSet<QString> written;
    // Each record is read as it is written out, so the app goes on saving;
    // what it saves meanwhile goes out after.
    for (const EntitySpec *entity : syncedEntities()) {
        for (const QString &recordID : recordIDs(m_store.db, *entity)) {
            if (stop.load(std::memory_order_relaxed))
                return {}; // the rewrite starts again next time
            std::map<HybridTime, SyncChange> changes;
            for (const auto &[field, time] : m_store.ledger.fieldTimes(recordID)) {
                if (own.contains(time.device))
                    changes.try_emplace(time, SyncChange{time, QLatin1String(entity->name), recordID, {}, {}, {}});
            }
            if (changes.empty())
                continue;
            const std::optional<RecordRows::Row> row = m_store.rows.read(*entity, recordID);
            if (!row)
                continue;
            for (const auto &[field, time] : m_store.ledger.fieldTimes(recordID)) {
                const auto change = changes.find(time);
                if (change == changes.end())
                    continue;
                if (row->fields.contains(field)) {
                    change->second.fields.insert(field, row->fields.value(field));
                } else if (row->blobs.contains(field)) {
                    const RecordRows::Bytes &bytes = row->blobs.value(field);
                    const QString name = bytes ? blobNameOf(*bytes) : QString();
                    change->second.blobs.insert(field, name);
                    if (!name.isEmpty())
                        blobNames.insert(name);
                }
            }
            for (const auto &[time, change] : changes) {
                if (const QString error = write(change); !error.isEmpty())
                    return error;
            }
            written.insert(recordID);
        }
    }
    if (writtenSequence == 0 && written.isEmpty()) {
        // Nothing was ever written, so nothing is there to erase.
        sql::Transaction transaction(m_store.db);
        m_store.ledger.resetWritten({});
        transaction.commit();
        return {};
    }
    const HybridTime deletedAt = m_store.clock.tick(wallMillis);
    for (const auto &[entity, recordID] : m_store.ledger.deletions()) {
        if (const QString error = write({deletedAt, entity, recordID, SyncChange::Operation::remove, {}, {}});
            !error.isEmpty())
            return error;
    }
    // A snapshot of no change still stands for the files it replaces.
    if (!m_parts.file)
        m_parts.file = beginPart();
    const qint64 last = m_parts.file->sequence();
    if (const QString error = std::exchange(m_parts.file, nullptr)->finish(); !error.isEmpty())
        return error;
    if (const QString error = m_writer.removeReplaced(m_parts.snapshot, blobNames); !error.isEmpty())
        return error;
    sql::Transaction transaction(m_store.db);
    m_store.ledger.resetWritten(written);
    m_store.ledger.setWrittenSequence(last);
    m_store.ledger.setValue(QStringLiteral("clock"), m_store.clock.last().toString());
    transaction.commit();
    return {};
}

// The snapshot's first part is the snapshot itself; the parts after it are
// segments numbered on from it, which every reader reads after it.
std::unique_ptr<SegmentOutput> DeviceRewrite::beginPart()
{
    const qint64 sequence = m_parts.next++;
    sql::Transaction transaction(m_store.db);
    m_store.ledger.reserveSequence(sequence);
    transaction.commit();
    return sequence == m_parts.snapshot ? m_writer.beginSnapshot(sequence) : m_writer.beginSegment(sequence);
}

QString DeviceRewrite::write(const SyncChange &change)
{
    const QByteArray line = SegmentLines::changeLine(change);
    if (m_parts.file && !m_parts.file->fits(line.size())) {
        if (const QString error = std::exchange(m_parts.file, nullptr)->finish(); !error.isEmpty())
            return error;
    }
    if (!m_parts.file)
        m_parts.file = beginPart();
    return m_parts.file->add(line);
}

} // namespace tamo
