#include "transfer/DeviceRewrite.h"

#include "model/Record.h"
#include "model/Sqlite.h"
#include "transfer/RecordRows.h"
#include "transfer/Segment.h"
#include "transfer/SyncFolder.h"
#include "transfer/SyncLedger.h"

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

QString DeviceRewrite::run(qint64 wallMillis)
{
    if (!m_store.ledger.erasurePending())
        return {};
    const qint64 writtenSequence = m_store.ledger.writtenSequence();
    // Under a new identity, what was written under the former ones is ours too.
    const QSet<QString> own = m_store.ledger.ownDevices();
    Segment snapshot{m_writer.device(), std::max<qint64>(writtenSequence, 1), {}};
    QSet<QString> blobNames;
    QSet<QString> written;
    {
        // One consistent state, read while the app goes on saving.
        sql::Transaction read(m_store.db, sql::Transaction::Mode::read);
        if (!outboxIsEmpty(m_store.db))
            return {}; // what was saved since goes out first; the rewrite follows
        for (const EntitySpec *entity : syncedEntities()) {
            for (const QString &recordID : recordIDs(m_store.db, *entity)) {
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
                for (auto &[time, change] : changes)
                    snapshot.changes.append(std::move(change));
                written.insert(recordID);
            }
        }
        const HybridTime deletedAt = m_store.clock.tick(wallMillis);
        for (const auto &[entity, recordID] : m_store.ledger.deletions())
            snapshot.changes.append({deletedAt, entity, recordID, SyncChange::Operation::remove, {}, {}});
    }
    if (writtenSequence == 0 && written.isEmpty()) {
        // Nothing was ever written, so nothing is there to erase.
        sql::Transaction transaction(m_store.db);
        m_store.ledger.resetWritten({});
        transaction.commit();
        return {};
    }
    {
        sql::Transaction transaction(m_store.db);
        m_store.ledger.reserveSequence(snapshot.sequence);
        transaction.commit();
    }
    if (const QString error = m_writer.writeSnapshot(snapshot, blobNames); !error.isEmpty())
        return error;
    sql::Transaction transaction(m_store.db);
    m_store.ledger.resetWritten(written);
    m_store.ledger.setWrittenSequence(snapshot.sequence);
    m_store.ledger.setValue(QStringLiteral("clock"), m_store.clock.last().toString());
    transaction.commit();
    return {};
}

} // namespace tamo
