#include "transfer/FolderMirror.h"

#include "model/Record.h"
#include "model/Sqlite.h"
#include "transfer/Segment.h"

#include <QDateTime>
#include <QUuid>

#include <algorithm>

namespace tamo {

namespace {

std::unique_ptr<sql::Database> openStore(const QString &storeFile)
{
    auto db = std::make_unique<sql::Database>();
    db->open(storeFile);
    // Deleted content is zero-filled here as on the app's own connection.
    db->exec(QStringLiteral("PRAGMA secure_delete = ON; PRAGMA synchronous = FULL; PRAGMA busy_timeout = 5000"));
    // Sync finds every record by its identity; without these each lookup
    // would read the whole table.
    for (const EntitySpec *entity : syncedEntities()) {
        db->exec(QStringLiteral("CREATE INDEX IF NOT EXISTS main.%1_recordID ON %1(recordID)").arg(QLatin1String(entity->name)));
    }
    return db;
}

QString deviceOf(SyncLedger &ledger)
{
    QString device = ledger.device();
    if (!isSyncID(device)) {
        device = QUuid::createUuid().toString(QUuid::WithoutBraces);
        ledger.setValue(QStringLiteral("device"), device);
    }
    return device;
}

} // namespace

FolderMirror::FolderMirror(const QString &storeFile, const QString &folderRoot)
    : m_db(openStore(storeFile))
    , m_ledger(*m_db)
    , m_rows(*m_db)
    , m_folder(folderRoot)
    , m_device(deviceOf(m_ledger))
    , m_clock(m_device, HybridTime::parse(m_ledger.value(QStringLiteral("clock"))).value_or(HybridTime()))
    , m_writer(m_folder, m_device)
    , m_export(store(), m_writer)
    , m_import(store(), m_folder, m_device)
    , m_rewrite(store(), m_writer)
{
    mendClock(QDateTime::currentMSecsSinceEpoch());
}

FolderMirror::~FolderMirror() = default;

MirrorStore FolderMirror::store()
{
    return {*m_db, m_rows, m_ledger, m_clock};
}

QString FolderMirror::prepare(const QString &deviceName)
{
    m_deviceName = deviceName;
    const QString error = m_writer.prepare(deviceName);
    if (error.isEmpty())
        m_export.queueUntravelled();
    return error;
}

// An earlier version let a peer's stamp at the limit move this clock, and
// its own stamps then passed what readers take. Such a clock starts again
// from the wall clock, the fields so stamped go out again under fresh
// stamps, and this device's files are rewritten for every reader.
void FolderMirror::mendClock(qint64 wallMillis)
{
    const QString saved = m_ledger.value(QStringLiteral("clock"));
    const std::optional<HybridTime> last = HybridTime::parse(saved);
    if (saved.isEmpty() || (last && !HybridClock::isImpossible(*last, wallMillis)))
        return;
    m_clock = HybridClock(m_device);
    sql::Transaction transaction(*m_db);
    m_export.queueAgain(m_ledger.forgetImpossibleFields(wallMillis));
    m_ledger.requestRewrite(true);
    m_ledger.setValue(QStringLiteral("clock"), m_clock.tick(wallMillis).toString());
    transaction.commit();
}

ChangeExport::Result FolderMirror::exportChanges(qint64 wallMillis, const std::atomic<bool> &stop)
{
    reviewOwnFolder();
    return m_export.run(wallMillis, stop);
}

// Only this installation writes its device folder, so no file there is
// numbered past what it reserved. One that is means a second installation
// writes there under the same identity (a home folder copied to another
// computer): neither would ever read the other's files, so this one moves to
// a new identity. A newest file older than our last one means the folder lost
// what we wrote (moved away, or replaced by an older copy): our part is
// written again.
void FolderMirror::reviewOwnFolder()
{
    const qint64 written = m_ledger.writtenSequence();
    qint64 newest = 0;
    for (const QList<qint64> &files : {m_folder.segments(m_device), m_folder.snapshots(m_device)}) {
        if (!files.isEmpty())
            newest = std::max(newest, files.last());
    }
    if (newest > std::max(written, m_ledger.reservedSequence())) {
        takeNewDevice();
    } else if (m_writer.holdsOversizedFile() && !m_ledger.rewriteForEveryReader()) {
        // Written before files were cut by size: readers refuse it, so it is written again in parts.
        sql::Transaction transaction(*m_db);
        m_ledger.requestRewrite(true);
        transaction.commit();
    } else if (newest < written && !m_ledger.erasurePending()) {
        sql::Transaction transaction(*m_db);
        m_ledger.requestRewrite();
        transaction.commit();
    }
}

void FolderMirror::takeNewDevice()
{
    const QString former = m_device;
    const QString device = QUuid::createUuid().toString(QUuid::WithoutBraces);
    {
        sql::Transaction transaction(*m_db);
        m_ledger.takeNewDevice(device);
        transaction.commit();
    }
    m_device = device;
    m_clock = HybridClock(device, m_clock.last());
    m_writer.setDevice(device);
    m_import.setOwnDevice(device);
    // The new folder, with everything this installation wrote under the old
    // identity, goes out with the next rewrite.
    m_writer.prepare(m_deviceName.isEmpty() ? m_folder.deviceName(former) : m_deviceName);
    m_notice = QStringLiteral("Another computer was syncing under this computer's identity (a copy of this home "
                              "folder); this computer now syncs as a new device.");
}

ChangeImport::Result FolderMirror::importChanges(const std::atomic<bool> &stop)
{
    ChangeImport::Result result = m_import.run(stop);
    if (result.removed > 0 || m_logHoldsDeletions)
        eraseLog();
    return result;
}

// Deleted records leave the store file as the app's own deletions do: their
// freed space is zero-filled, and the log that still holds their pages is
// copied over and truncated. A reader in the way only delays it to the next run.
void FolderMirror::eraseLog()
{
    sql::Statement checkpoint = m_db->prepare(QStringLiteral("PRAGMA main.wal_checkpoint(TRUNCATE)"));
    m_logHoldsDeletions = !checkpoint.step() || checkpoint.int64(0) != 0;
}

QString FolderMirror::eraseDeleted(qint64 wallMillis, const std::atomic<bool> &stop)
{
    return m_rewrite.run(wallMillis, stop);
}

} // namespace tamo
