#include "transfer/ChangeImport.h"

#include "model/ClipLibrary.h"
#include "model/Sqlite.h"
#include "platform/RegularFile.h"
#include "transfer/RecordRows.h"
#include "transfer/Segment.h"
#include "transfer/SyncFolder.h"
#include "transfer/SyncLedger.h"

#include <QDateTime>
#include <QDir>
#include <QDebug>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QThread>

#include <algorithm>

namespace tamo {

namespace {

bool holdsBlobsOf(const QHash<QString, QByteArray> &blobs, const SyncChange &change)
{
    return std::all_of(change.blobs.begin(), change.blobs.end(),
                       [&blobs](const QString &name) { return name.isEmpty() || blobs.contains(name); });
}

} // namespace

ChangeImport::ChangeImport(const MirrorStore &store, const SyncFolder &folder, QString ownDevice)
    : m_store(store)
    , m_hashes(store.db)
    , m_folder(folder)
    , m_ownDevice(std::move(ownDevice))
{
}

ChangeImport::Result ChangeImport::run(const std::atomic<bool> &stop)
{
    Result result;
    m_wallMillis = QDateTime::currentMSecsSinceEpoch();
    // What an import writes it writes again from the files, which stay: its
    // commits need not wait for the disk, which keeps the transactions the
    // app's saves wait behind short.
    const sql::UnsyncedCommits commits(m_store.db);
    for (const QString &device : m_folder.devices()) {
        if (device == m_ownDevice)
            continue;
        if (stop.load(std::memory_order_relaxed))
            break;
        const int repairedBefore = result.repairedHashes;
        const int setAsideBefore = result.setAside;
        const QList<qint64> segments = m_folder.segments(device);
        const QList<qint64> snapshots = m_folder.snapshots(device);
        const qint64 latestSnapshot = snapshots.isEmpty() ? 0 : snapshots.last();
        std::optional<SyncLedger::RefusedFile> refused = m_store.ledger.refusedFile(device);
        for (qint64 applied = m_store.ledger.appliedSequence(device);;) {
            // The next segment, or once it was rewritten away, the snapshot
            // that replaced it; or a snapshot that replaced a file refused
            // here, which brings what that file held.
            const bool segment = segments.contains(applied + 1);
            const bool mends = !segment && refused && refused->replacedBy(latestSnapshot);
            if (!segment && latestSnapshot <= applied && !mends)
                break; // nothing new, or an earlier segment has not arrived yet
            const qint64 sequence = segment ? applied + 1 : latestSnapshot;
            const FileRead read = readFile(device, sequence, segment, result, stop);
            if (read == FileRead::waits)
                break;
            if (read == FileRead::refused)
                refused = SyncLedger::RefusedFile{sequence, !segment};
            else if (mends)
                refused.reset();
            applied = std::max(applied, sequence);
            sql::Transaction transaction(m_store.db);
            m_store.ledger.setAppliedSequence(device, applied);
            m_store.ledger.setRefusedFile(device, refused);
            transaction.commit();
        }
        reportRepairedHashes(device, result.repairedHashes - repairedBefore);
        if (result.setAside > setAsideBefore && !m_setAsideNamed.contains(device)) {
            m_setAsideNamed.insert(device);
            qWarning().noquote() << QStringLiteral("TamoCove: changes from “%1” are stamped more than a day ahead of "
                                                   "this computer's clock; they were set aside")
                                        .arg(nameOf(device));
        }
    }
    return result;
}

// A file refused is named once, here and in the log, and its device's later
// files are read past it: each field goes by its own timestamp and a
// deletion wins whenever it comes, so what they hold applies as well without
// it. What it held arrives with the next snapshot that replaces it.
ChangeImport::FileRead ChangeImport::readFile(const QString &device, qint64 sequence, bool segment, Result &result,
                                              const std::atomic<bool> &stop)
{
    const QString path = segment ? m_folder.segmentFile(device, sequence) : m_folder.snapshotFile(device, sequence);
    SegmentFile file(path, device, sequence);
    QString refusal;
    switch (file.refusal()) {
    case FileRefusal::none: {
        const SegmentRead read = file.check(stop);
        if (read.result == SegmentRead::Result::incomplete)
            return FileRead::waits;
        if (read.result == SegmentRead::Result::newerFormat) {
            result.failures.append(QStringLiteral("A device uses a newer sync format; update TamoCove."));
            return FileRead::waits;
        }
        if (read.result == SegmentRead::Result::refused)
            refusal = read.reason;
        else if (!apply(device, file, result, stop, refusal) && refusal.isEmpty())
            return FileRead::waits; // for a blob, or stopped
        break;
    }
    case FileRefusal::missing:
        return FileRead::waits; // its device has just rewritten it away: the replacement comes next time
    case FileRefusal::unreadable:
        // Perhaps for a moment only: read again next time.
        result.failures.append(failureText(device, path, file.errorString(), QStringLiteral("can't be read")));
        return FileRead::waits;
    default:
        refusal = file.errorString();
        break;
    }
    if (refusal.isEmpty()) {
        ++result.applied;
        return FileRead::applied;
    }
    const QString failure = failureText(device, path, refusal, QStringLiteral("was refused"));
    result.failures.append(failure);
    qWarning().noquote() << QStringLiteral("TamoCove: ") + failure;
    return FileRead::refused;
}

QString ChangeImport::nameOf(const QString &device) const
{
    const QString name = m_folder.deviceName(device);
    return name.isEmpty() ? device : name;
}

void ChangeImport::reportRepairedHashes(const QString &device, int count) const
{
    if (count == 0)
        return;
    qWarning().noquote() << QStringLiteral("TamoCove: %1 clips from “%2” came without the hash of their content, "
                                           "or with another's; it was taken from their content")
                                .arg(count)
                                .arg(nameOf(device));
}

QString ChangeImport::failureText(const QString &device, const QString &path, const QString &reason,
                                  const QString &what) const
{
    return QStringLiteral("A sync file from “%1” %2: %3. File: %4")
        .arg(nameOf(device), what, reason, QDir(m_folder.root()).relativeFilePath(path));
}

bool ChangeImport::apply(const QString &device, SegmentFile &file, Result &result, const std::atomic<bool> &stop,
                         QString &refusal)
{
    // Applied in batches bounded in changes and bytes, so a large snapshot
    // never holds all its changes or images at once, and in short
    // transactions that let the app's own saves in between. Applying a batch
    // again changes nothing, so a batch left waiting, or stopped by a quit,
    // just runs again.
    while (!file.handedOutAll()) {
        if (stop.load(std::memory_order_relaxed))
            return false;
        const std::optional<QList<SyncChange>> batch = file.nextChanges(Segment::largestBatch);
        if (!batch)
            return false; // changed since it was checked: read again next time
        QHash<QString, QByteArray> blobs;
        for (qsizetype from = 0; from < batch->size();) {
            if (stop.load(std::memory_order_relaxed))
                return false;
            if (!holdsBlobsOf(blobs, batch->at(from))) {
                blobs.clear();
                const BlobsRead read = readBlobs(device, *batch, from, blobs);
                if (read == BlobsRead::tooLarge)
                    refusal = QStringLiteral("it names a blob larger than %1 MB").arg(ClipLibrary::largestSyncedImage >> 20);
                if (read != BlobsRead::held)
                    return false;
            }
            from = applyChanges(*batch, from, blobs, result);
        }
    }
    return true;
}

// The blobs of the changes from `from` on, as many changes as fit the bytes
// a batch holds (one at least).
ChangeImport::BlobsRead ChangeImport::readBlobs(const QString &device, const QList<SyncChange> &batch, qsizetype from,
                                                QHash<QString, QByteArray> &blobs) const
{
    qint64 held = 0;
    for (qsizetype at = from; at < batch.size() && (at == from || held < Segment::largestBatchBytes); ++at) {
        for (const QString &name : batch[at].blobs) {
            if (name.isEmpty() || blobs.contains(name))
                continue;
            bool tooLarge = false;
            std::optional<QByteArray> bytes = m_folder.readBlob(device, name, &tooLarge);
            if (!bytes)
                return tooLarge ? BlobsRead::tooLarge : BlobsRead::missing;
            held += bytes->size();
            blobs.insert(name, std::move(*bytes));
        }
    }
    return BlobsRead::held;
}

// Applies changes from `from` on in one short transaction, as long as their
// blobs are in `blobs`, ending it early for a save of the app's that waits;
// returns where it stopped.
qsizetype ChangeImport::applyChanges(const QList<SyncChange> &batch, qsizetype from,
                                     const QHash<QString, QByteArray> &blobs, Result &result)
{
    QElapsedTimer took;
    took.start();
    sql::Transaction transaction(m_store.db);
    qsizetype at = from;
    while (at < batch.size() && holdsBlobsOf(blobs, batch[at])
           && (at == from || (took.elapsed() < transactionMilliseconds && !sql::Transaction::writerWaiting())))
        applyChange(batch[at++], blobs, result);
    m_store.ledger.setValue(QStringLiteral("clock"), m_store.clock.last().toString());
    transaction.commit();
    result.repairedHashes += m_hashes.repairNoted();
    // A save of the app's that waits for the store (a copy) goes first.
    const QDeadlineTimer patience(yieldMilliseconds);
    while (sql::Transaction::writerWaiting() && !patience.hasExpired())
        QThread::msleep(1);
    return at;
}

void ChangeImport::applyChange(const SyncChange &change, const QHash<QString, QByteArray> &blobs, Result &result)
{
    ChangedRows &changed = result.changed;
    // A stamp far ahead never moves this clock. A deletion keeps no stamp
    // and wins whenever it comes, so it applies all the same; an edit so
    // stamped would win over every later one for as long as the stamp is
    // ahead, so it is set aside.
    const bool taken = m_store.clock.observe(change.time, m_wallMillis);
    const EntitySpec &entity = *syncedEntity(change.entity);
    if (m_store.ledger.isDeleted(change.recordID))
        return;
    if (change.operation == SyncChange::Operation::remove) {
        if (const std::optional<qint64> key = m_store.rows.remove(entity, change.recordID)) {
            changed[change.entity].insert(*key);
            ++result.removed;
        }
        m_store.ledger.markDeleted(change.entity, change.recordID);
        return;
    }
    if (!taken) {
        ++result.setAside;
        return;
    }
    // A write stamped far ahead that an earlier version took holds its field no longer.
    const auto newer = [&](const QString &field) {
        const std::optional<SyncLedger::FieldWrite> last = m_store.ledger.field(change.recordID, field);
        return !last || last->time < change.time
               || HybridClock::isFarAhead(last->time, m_store.clock.reference(m_wallMillis));
    };
    RecordRows::Row row;
    for (auto it = change.fields.begin(); it != change.fields.end(); ++it) {
        if (!newer(it.key()))
            continue;
        row.fields.insert(it.key(), it.value());
        m_store.ledger.setField(change.recordID, it.key(), {change.time, fieldDigest(it.value())});
    }
    for (auto it = change.blobs.begin(); it != change.blobs.end(); ++it) {
        if (!newer(it.key()))
            continue;
        row.blobs.insert(it.key(), it.value().isEmpty() ? std::nullopt : std::optional(blobs.value(it.value())));
        m_store.ledger.setField(change.recordID, it.key(), {change.time, fieldDigest(it.value())});
    }
    if (row.fields.isEmpty() && row.blobs.isEmpty())
        return;
    const qint64 key = m_store.rows.write(entity, change.recordID, row);
    changed[change.entity].insert(key);
    if (ContentHashRepair::touchesContent(change))
        m_hashes.note(key);
}

} // namespace tamo
