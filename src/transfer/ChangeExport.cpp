#include "transfer/ChangeExport.h"

#include "model/ClipLibrary.h"
#include "model/Record.h"
#include "model/Sqlite.h"
#include "transfer/RecordRows.h"
#include "transfer/Segment.h"
#include "transfer/SyncFolder.h"
#include "transfer/SyncLedger.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace tamo {

namespace {

QString jsonText(const QJsonArray &array)
{
    return QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Compact));
}

struct Queued
{
    QString entity;
    QString recordID;
    bool deleted = false;
    QList<qint64> entries; // in the queue
};

// One entry per record, in the order records were first touched; a deletion
// anywhere in the queue wins over the writes around it.
QList<Queued> readQueue(sql::Database &db)
{
    QList<Queued> queue;
    QHash<QString, qsizetype> indexByRecord;
    sql::Statement statement = db.prepare(QStringLiteral("SELECT seq, entity, recordID, op FROM main.MirrorOutbox ORDER BY seq"));
    while (statement.step()) {
        const QString recordID = statement.text(2);
        const bool deleted = statement.text(3) == QLatin1String("delete");
        const auto found = indexByRecord.constFind(recordID);
        if (found != indexByRecord.constEnd()) {
            queue[*found].deleted = queue[*found].deleted || deleted;
            queue[*found].entries.append(statement.int64(0));
            continue;
        }
        indexByRecord.insert(recordID, queue.size());
        queue.append({statement.text(1), recordID, deleted, {statement.int64(0)}});
    }
    return queue;
}

// What one file's changes leave in the ledger, written once the file is on
// disk: the fields that travelled, the deletions, the records the file holds
// and the queue entries it acknowledges.
struct FileLedger
{
    struct Field
    {
        QString recordID;
        QString field;
        SyncLedger::FieldWrite write;
    };
    QList<Field> fields;
    QList<std::pair<QString, QString>> deleted;
    QStringList written;
    QJsonArray acknowledged;

    void acknowledge(const Queued &queued)
    {
        for (const qint64 entry : queued.entries)
            acknowledged.append(entry);
    }

    void writeTo(const MirrorStore &store) const
    {
        for (const Field &field : fields)
            store.ledger.setField(field.recordID, field.field, field.write);
        for (const auto &[entity, recordID] : deleted)
            store.ledger.markDeleted(entity, recordID);
        for (const QString &recordID : written)
            store.ledger.noteWritten(recordID);
        // What was queued after the queue was read goes out next time.
        sql::Statement remove = store.db.prepare(
            QStringLiteral("DELETE FROM main.MirrorOutbox WHERE seq IN (SELECT value FROM json_each(?))"));
        remove.bindText(1, jsonText(acknowledged));
        remove.run();
        store.ledger.setValue(QStringLiteral("clock"), store.clock.last().toString());
    }
};

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

ChangeExport::Result ChangeExport::run(qint64 wallMillis, const std::atomic<bool> &stop)
{
    const QList<Queued> queue = [&] {
        sql::Transaction read(m_store.db, sql::Transaction::Mode::read);
        return readQueue(m_store.db);
    }();
    if (queue.isEmpty())
        return {};
    Result result;
    // A long queue (a first export of a large history) goes out in several
    // files, each written as it fills, so neither side ever holds all of it.
    // What a file holds is noted in the ledger only once it is on disk.
    std::unique_ptr<SegmentOutput> file;
    FileLedger noted;
    // `another`: a file follows at once, whose number is noted with this one's.
    const auto finishFile = [&](bool another) -> QString {
        const bool holdsChanges = file && file->changes() > 0;
        if (holdsChanges) {
            if (const QString error = file->finish(); !error.isEmpty())
                return error;
            result.changes += int(file->changes());
        }
        sql::Transaction transaction(m_store.db);
        if (holdsChanges)
            m_store.ledger.setWrittenSequence(file->sequence());
        if (another)
            m_store.ledger.reserveSequence(m_writer.nextSequence(m_store.ledger.writtenSequence()));
        noted.writeTo(m_store);
        transaction.commit();
        file.reset();
        noted = {};
        return {};
    };
    for (const Queued &queued : queue) {
        // What is written so far stays acknowledged; the rest goes out next time.
        if (stop.load(std::memory_order_relaxed))
            return result;
        const EntitySpec *entity = syncedEntity(queued.entity);
        if (!entity) {
            noted.acknowledge(queued);
            continue;
        }
        Outgoing outgoing;
        if (const QString error = outgoingChange(*entity, queued.recordID, queued.deleted, wallMillis, outgoing);
            !error.isEmpty())
            return {result.changes, error};
        const SyncChange &change = outgoing.change;
        if (change.operation == SyncChange::Operation::upsert && change.fields.isEmpty() && change.blobs.isEmpty()) {
            noted.acknowledge(queued);
            continue;
        }
        const QByteArray line = SegmentLines::changeLine(change);
        if (file && !file->fits(line.size())) {
            if (const QString error = finishFile(true); !error.isEmpty())
                return {result.changes, error};
        }
        if (!file)
            file = beginFile();
        if (const QString error = file->add(line); !error.isEmpty())
            return {result.changes, error};
        noted.acknowledge(queued);
        if (change.operation == SyncChange::Operation::upsert) {
            for (const auto &[field, digest] : outgoing.digests)
                noted.fields.append({queued.recordID, field, {change.time, digest}});
            noted.written.append(queued.recordID);
        } else {
            noted.deleted.append({queued.entity, queued.recordID});
        }
    }
    if (const QString error = finishFile(false); !error.isEmpty())
        return {result.changes, error};
    return result;
}

// The record as it goes out: the fields that changed since it last
// travelled, each with its digest for the ledger, and the blobs that did,
// written first; or its tombstone once it is gone.
QString ChangeExport::outgoingChange(const EntitySpec &entity, const QString &recordID, bool deleted,
                                     qint64 wallMillis, Outgoing &outgoing)
{
    const std::optional<RecordRows::Row> row = deleted ? std::nullopt : m_store.rows.read(entity, recordID);
    SyncChange &change = outgoing.change;
    change = {m_store.clock.tick(wallMillis), QLatin1String(entity.name), recordID, SyncChange::Operation::remove, {}, {}};
    if (!row)
        return {};
    change.operation = SyncChange::Operation::upsert;
    const auto changed = [&](const QString &field, const QJsonValue &value) {
        const QByteArray digest = fieldDigest(value);
        const std::optional<SyncLedger::FieldWrite> last = m_store.ledger.field(recordID, field);
        if (last && last->digest == digest)
            return false;
        outgoing.digests.append({field, digest});
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
                return error;
        }
        change.blobs.insert(it.key(), name);
    }
    return {};
}

void ChangeExport::queueAgain(const QStringList &recordIDs)
{
    if (recordIDs.isEmpty())
        return;
    const QString ids = jsonText(QJsonArray::fromStringList(recordIDs));
    for (const EntitySpec *entity : syncedEntities()) {
        sql::Statement queue = m_store.db.prepare(QStringLiteral("INSERT INTO main.MirrorOutbox(entity, recordID, op) "
                                                                 "SELECT '%1', recordID, 'update' FROM main.%1 "
                                                                 "WHERE recordID IN (SELECT value FROM json_each(?))")
                                                      .arg(QLatin1String(entity->name)));
        queue.bindText(1, ids);
        queue.run();
    }
}

// The number a file takes is noted before it is written, so a file of ours
// whose run failed or was cut short still counts as ours.
std::unique_ptr<SegmentOutput> ChangeExport::beginFile()
{
    const qint64 sequence = m_writer.nextSequence(m_store.ledger.writtenSequence());
    if (sequence > m_store.ledger.reservedSequence()) {
        sql::Transaction transaction(m_store.db);
        m_store.ledger.reserveSequence(sequence);
        transaction.commit();
    }
    return m_writer.beginSegment(sequence);
}

} // namespace tamo
