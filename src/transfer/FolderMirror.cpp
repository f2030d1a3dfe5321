#include "transfer/FolderMirror.h"

#include "model/Record.h"
#include "model/Sqlite.h"
#include "transfer/Segment.h"

#include <QUuid>

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
    QString device = ledger.value(QStringLiteral("device"));
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
}

FolderMirror::~FolderMirror() = default;

MirrorStore FolderMirror::store()
{
    return {*m_db, m_rows, m_ledger, m_clock};
}

QString FolderMirror::prepare(const QString &deviceName)
{
    const QString error = m_writer.prepare(deviceName);
    if (error.isEmpty())
        m_export.queueUntravelled();
    return error;
}

ChangeExport::Result FolderMirror::exportChanges(qint64 wallMillis)
{
    return m_export.run(wallMillis);
}

ChangeImport::Result FolderMirror::importChanges(const std::atomic<bool> &stop)
{
    return m_import.run(stop);
}

QString FolderMirror::eraseDeleted(qint64 wallMillis)
{
    return m_rewrite.run(wallMillis);
}

} // namespace tamo
