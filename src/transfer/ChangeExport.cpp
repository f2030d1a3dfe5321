#include "transfer/ChangeExport.h"

#include "model/ClipLibrary.h"
#include "model/Record.h"
#include "model/Sqlite.h"
#include "transfer/RecordRows.h"
#include "transfer/Segment.h"
#include "transfer/SyncFolder.h"
#include "transfer/SyncLedger.h"

namespace tamo {

namespace {

struct Queued
{
    QString entity;
    QString recordID;
    bool deleted = false;
};

// One entry per record, in the order records were first touched; a deletion
// anywhere in the queue wins over the writes around it.
QList<Queued> readQueue(sql::Database &db, qint64 &lastSequence)
{
    QList<Queued> queue;
    QHash<QString, qsizetype> indexByRecord;
    sql::Statement statement = db.prepare(QStringLiteral("SELECT seq, entity, recordID, op FROM main.MirrorOutbox ORDER BY seq"));
    while (statement.step()) {
        lastSequence = statement.int64(0);
        const QString recordID = statement.text(2);
        const bool deleted = statement.text(3) == QLatin1String("delete");
        const auto found = indexByRecord.constFind(recordID);
        if (found != indexByRecord.constEnd()) {
            queue[*found].deleted = queue[*found].deleted || deleted;
            continue;
        }
        indexByRecord.insert(recordID, queue.size());
        queue.append({statement.text(1), recordID, deleted});
    }
    return queue;
}

} // namespace

ChangeExport::ChangeExport(const MirrorStore &store, DeviceWriter &writer)
    : m_store(store)
    , m_writer(writer)
{
}

void ChangeExport::queueUntravelled()
{
    sql::Transaction transaction(m_store.db);
    for (const EntitySpec *entity : syncedEntities()) {
        m_store.db.exec(QStringLiteral("INSERT INTO main.MirrorOutbox(entity, recordID, op) "
                                 "SELECT '%1', recordID, 'insert' FROM main.%1 AS record WHERE NOT EXISTS "
                                 "(SELECT 1 FROM SyncField WHERE SyncField.recordID = record.recordID)")
                      .arg(QLatin1String(entity->name)));
    }
    transaction.commit();
}

// The numbers a run may give its segments are noted before any is written,
// so a file of ours whose run failed or was cut short still counts as ours.
void ChangeExport::reserveSequences()
{
    const qint64 queued = [&] {
        sql::Statement count = m_store.db.prepare(QStringLiteral("SELECT count(*) FROM main.MirrorOutbox"));
        return count.step() ? count.int64(0) : 0;
    }();
    if (queued == 0)
        return;
    const qint64 next = m_writer.nextSequence(m_store.ledger.writtenSequence());
    sql::Transaction transaction(m_store.db);
    m_store.ledger.reserveSequence(next + (queued - 1) / Segment::largestBatch);
    transaction.commit();
}

ChangeExport::Result ChangeExport::run(qint64 wallMillis)
{
    reserveSequences();
    sql::Transaction transaction(m_store.db);
    qint64 lastSequence = 0;
    const QList<Queued> queue = readQueue(m_store.db, lastSequence);
    if (queue.isEmpty())
        return {};

    Segment segment{m_writer.device(), m_writer.nextSequence(m_store.ledger.writtenSequence()), {}};
    int exported = 0;
    // A long queue (a first export of a large history) goes out in several
    // segments, so neither side ever holds all of it at once.
    const auto writeSegment = [&]() -> QString {
        if (segment.changes.isEmpty())
            return {};
        if (const QString error = m_writer.writeSegment(segment); !error.isEmpty())
            return error;
        m_store.ledger.setWrittenSequence(segment.sequence);
        exported += int(segment.changes.size());
        segment = Segment{segment.device, segment.sequence + 1, {}};
        return {};
    };
    for (const Queued &queued : queue) {
        if (segment.changes.size() >= Segment::largestBatch) {
            if (const QString error = writeSegment(); !error.isEmpty())
                return {0, error};
        }
        const EntitySpec *entity = syncedEntity(queued.entity);
        if (!entity)
            continue;
        const std::optional<RecordRows::Row> row = queued.deleted ? std::nullopt : m_store.rows.read(*entity, queued.recordID);
        const HybridTime time = m_store.clock.tick(wallMillis);
        SyncChange change{time, queued.entity, queued.recordID, SyncChange::Operation::remove, {}, {}};
        if (!row) {
            m_store.ledger.markDeleted(queued.entity, queued.recordID);
            segment.changes.append(change);
            continue;
        }
        change.operation = SyncChange::Operation::upsert;
        const auto changed = [&](const QString &field, const QJsonValue &value) {
            const QByteArray digest = fieldDigest(value);
            const std::optional<SyncLedger::FieldWrite> last = m_store.ledger.field(queued.recordID, field);
            if (last && last->digest == digest)
                return false;
            m_store.ledger.setField(queued.recordID, field, {time, digest});
            return true;
        };
        for (auto it = row->fields.begin(); it != row->fields.end(); ++it) {
            if (changed(it.key(), it.value()))
                change.fields.insert(it.key(), it.value());
        }
        for (auto it = row->blobs.begin(); it != row->blobs.end(); ++it) {
            // Images too large to sync stay on this machine.
            if (it.value() && it.value()->size() > ClipLibrary::largestSyncedImage)
                continue;
            const QString name = it.value() ? blobNameOf(*it.value()) : QString();
            if (!changed(it.key(), name))
                continue;
            if (it.value()) {
                QString written;
                if (const QString error = m_writer.writeBlob(*it.value(), written); !error.isEmpty())
                    return {0, error};
            }
            change.blobs.insert(it.key(), name);
        }
        if (!change.fields.isEmpty() || !change.blobs.isEmpty()) {
            segment.changes.append(change);
            m_store.ledger.noteWritten(queued.recordID);
        }
    }
    if (const QString error = writeSegment(); !error.isEmpty())
        return {0, error};
    sql::Statement acknowledge = m_store.db.prepare(QStringLiteral("DELETE FROM main.MirrorOutbox WHERE seq <= ?"));
    acknowledge.bindInt64(1, lastSequence);
    acknowledge.run();
    m_store.ledger.setValue(QStringLiteral("clock"), m_store.clock.last().toString());
    transaction.commit();
    return {exported, {}};
}

} // namespace tamo
