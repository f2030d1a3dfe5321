#include "transfer/ChangeImport.h"

#include "model/Sqlite.h"
#include "transfer/DurableFile.h"
#include "transfer/RecordRows.h"
#include "transfer/Segment.h"
#include "transfer/SyncFolder.h"
#include "transfer/SyncLedger.h"

namespace tamo {

ChangeImport::ChangeImport(sql::Database &db, RecordRows &rows, SyncLedger &ledger, HybridClock &clock,
                           const SyncFolder &folder, QString ownDevice)
    : m_db(db)
    , m_rows(rows)
    , m_ledger(ledger)
    , m_clock(clock)
    , m_folder(folder)
    , m_ownDevice(std::move(ownDevice))
{
}

ChangeImport::Result ChangeImport::run()
{
    Result result;
    for (const QString &device : m_folder.devices()) {
        if (device == m_ownDevice)
            continue;
        qint64 applied = m_ledger.appliedSequence(device);
        for (const qint64 sequence : m_folder.segments(device)) {
            if (sequence <= applied)
                continue;
            if (sequence != applied + 1)
                break; // an earlier segment has not arrived yet
            const std::optional<QByteArray> bytes =
                readFileBounded(m_folder.segmentFile(device, sequence), Segment::largestFile);
            if (!bytes) {
                result.failures.append(QStringLiteral("The sync folder can't be read."));
                break;
            }
            const SegmentRead read = readSegment(*bytes, device, sequence);
            if (read.result == SegmentRead::Result::incomplete)
                break;
            if (read.result == SegmentRead::Result::newerFormat) {
                result.failures.append(QStringLiteral("A device uses a newer sync format; update TamoCove."));
                break;
            }
            if (read.result == SegmentRead::Result::refused) {
                result.failures.append(QStringLiteral("A sync file from another device was refused: %1.").arg(read.reason));
                break;
            }
            sql::Transaction transaction(m_db);
            if (!apply(device, read.segment.changes, result.entities))
                break;
            m_ledger.setAppliedSequence(device, sequence);
            m_ledger.setValue(QStringLiteral("clock"), m_clock.last().toString());
            transaction.commit();
            applied = sequence;
            ++result.applied;
        }
    }
    return result;
}

bool ChangeImport::apply(const QString &device, const QList<SyncChange> &changes, QSet<QString> &entities)
{
    QHash<QString, QByteArray> blobs;
    for (const SyncChange &change : changes) {
        for (const QString &name : change.blobs) {
            if (name.isEmpty() || blobs.contains(name))
                continue;
            std::optional<QByteArray> bytes = m_folder.readBlob(device, name);
            if (!bytes)
                return false;
            blobs.insert(name, std::move(*bytes));
        }
    }
    for (const SyncChange &change : changes)
        applyChange(change, blobs, entities);
    return true;
}

void ChangeImport::applyChange(const SyncChange &change, const QHash<QString, QByteArray> &blobs, QSet<QString> &entities)
{
    m_clock.observe(change.time);
    const EntitySpec &entity = *syncedEntity(change.entity);
    if (m_ledger.isDeleted(change.recordID))
        return;
    if (change.operation == SyncChange::Operation::remove) {
        m_rows.remove(entity, change.recordID);
        m_ledger.markDeleted(change.recordID);
        entities.insert(change.entity);
        return;
    }
    const auto newer = [&](const QString &field) {
        const std::optional<SyncLedger::FieldWrite> last = m_ledger.field(change.recordID, field);
        return !last || last->time < change.time;
    };
    RecordRows::Row row;
    for (auto it = change.fields.begin(); it != change.fields.end(); ++it) {
        if (!newer(it.key()))
            continue;
        row.fields.insert(it.key(), it.value());
        m_ledger.setField(change.recordID, it.key(), {change.time, fieldDigest(it.value())});
    }
    for (auto it = change.blobs.begin(); it != change.blobs.end(); ++it) {
        if (!newer(it.key()))
            continue;
        row.blobs.insert(it.key(), it.value().isEmpty() ? std::nullopt : std::optional(blobs.value(it.value())));
        m_ledger.setField(change.recordID, it.key(), {change.time, fieldDigest(it.value())});
    }
    if (row.fields.isEmpty() && row.blobs.isEmpty())
        return;
    m_rows.write(entity, change.recordID, row);
    entities.insert(change.entity);
}

} // namespace tamo
