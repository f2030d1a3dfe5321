#include "model/ModelContainer.h"

#include "platform/PrivateFiles.h"
#include "platform/RegularFile.h"

#include "model/ModelContext.h"
#include "model/Schema.h"
#include "model/Sqlite.h"
#include "model/TextHead.h"
#include "model/ClipItem.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>
#include <QtEndian>

#include <sqlite3.h>

#include <algorithm>
#include <limits>

namespace tamo {

namespace {

constexpr const char *syncedEntities[] = {"ClipItem", "Pinboard", "SourceApp"};
// The main thread's connection: a lock held elsewhere (a backup tool, the
// sqlite3 shell) makes a save give up after this instead of freezing the
// window; what it held stays pending and is saved by a later try.
constexpr int busyTimeoutMs = 80;
// A log left unerased is tried again after these, doubling in between.
constexpr int firstEraseRetryMs = 250;
constexpr int lastEraseRetryMs = 4000;

QString reasonOf(const sql::Error &error)
{
    return error.isDiskFull() ? QStringLiteral("the disk is full; free some space on it, then open TamoCove again")
                              : error.message();
}

StoreOpenError damagedStore(const QString &path, const QString &reason)
{
    return StoreOpenError(QStringLiteral("%1 is damaged (%2)").arg(path, reason), StoreOpenError::Cause::damaged, path);
}

// A file whose header promises more pages than it holds lost its end. The
// header's page count is trusted only where SQLite itself trusts it, and not
// while a log holds pages a checkpoint may have been cut short copying.
void checkLength(const QString &path)
{
    if (QFileInfo(path + QStringLiteral("-wal")).size() > 0)
        return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return; // SQLite names the problem when it opens the file
    const QByteArray header = file.read(100);
    if (header.size() < 100 || !header.startsWith(QByteArrayLiteral("SQLite format 3\0")))
        return; // an empty file is a new store; a foreign one is refused by SQLite
    const auto number = [&header](int offset) { return qFromBigEndian<quint32>(header.constData() + offset); };
    const quint32 rawPageSize = qFromBigEndian<quint16>(header.constData() + 16);
    const qint64 pageSize = rawPageSize == 1 ? 65536 : rawPageSize;
    const quint32 pages = number(28);
    if (pages == 0 || number(92) != number(24))
        return;
    if (qint64(pages) * pageSize > file.size())
        throw damagedStore(path, QStringLiteral("the file is %1 bytes shorter than its header says")
                                     .arg(qint64(pages) * pageSize - file.size()));
}

// Decides whether an existing store may be opened, through a connection that
// cannot write: a file we refuse is left exactly as it was. Only the first
// pages are read, so this costs the same for any size of history.
void checkStore(const QString &path, const QList<Migration> &migrations)
{
    for (const QString &file : {path, path + QStringLiteral("-wal"), path + QStringLiteral("-shm")})
        ModelContainer::refuseUnlessRegular(file);
    if (!QFileInfo::exists(path))
        return;
    try {
        sql::Database db;
        db.openReadOnly(path);
        const int version = schemaVersion(db);
        const int newest = migrations.isEmpty() ? 0 : migrations.last().version;
        if (version > newest) {
            throw StoreOpenError(QStringLiteral("%1 was written by a newer version of TamoCove (schema %2, this version knows %3)")
                                     .arg(path)
                                     .arg(version)
                                     .arg(newest),
                                 StoreOpenError::Cause::newerVersion, path);
        }
        checkLength(path);
    } catch (const sql::Error &error) {
        if (error.isDamage())
            throw damagedStore(path, error.message());
        throw StoreOpenError(QStringLiteral("%1: %2").arg(path, reasonOf(error)), StoreOpenError::Cause::other, path);
    }
}

// Every page of the file; a set `cancelled` stops the read at once.
std::optional<StoreOpenError> verifyStore(const QString &path, const std::atomic<bool> &cancelled)
{
    if (cancelled || !QFileInfo::exists(path))
        return std::nullopt;
    try {
        sql::Database db;
        db.openReadOnly(path);
        sqlite3_progress_handler(
            db.handle(), 1000,
            [](void *flag) { return static_cast<const std::atomic<bool> *>(flag)->load() ? 1 : 0; },
            const_cast<std::atomic<bool> *>(&cancelled));
        sql::Statement check = db.prepare(QStringLiteral("PRAGMA quick_check(1)"));
        if (check.step() && check.text(0) != QLatin1String("ok") && !cancelled)
            return damagedStore(path, check.text(0));
    } catch (const sql::Error &error) {
        if (!cancelled && error.isDamage())
            return damagedStore(path, error.message());
    }
    return std::nullopt;
}

void prepareStore(const QString &path, const QList<Migration> &migrations)
{
    sql::Database db;
    openStore(db, path, migrations);
}

void report(const QString &line)
{
    qWarning().noquote() << QStringLiteral("TamoCove: %1").arg(line);
}

} // namespace

StoreOpenError::StoreOpenError(const QString &reason, Cause cause, const QString &file)
    : std::runtime_error(("Could not open the TamoCove store: " + reason).toStdString())
    , m_cause(cause)
    , m_file(file)
{
}

// SQLite would wait for ever on a FIFO left in a store's place, and a
// device is no store: such a file is opened as any other foreign one, never
// waited on, and refused.
void ModelContainer::refuseUnlessRegular(const QString &path)
{
    const RegularFile file = RegularFile::open(path, std::numeric_limits<qint64>::max(), FileLinks::follow);
    if (file.refusal() == FileRefusal::notRegular)
        throw StoreOpenError(QStringLiteral("%1 is %2").arg(path, file.errorString()), StoreOpenError::Cause::other,
                             path);
}

ModelContainer::ModelContainer(const QString &storeDirectory)
    : m_directory(storeDirectory)
{
    if (!privatefiles::makeFolder(storeDirectory))
        throw StoreOpenError(QStringLiteral("cannot create the folder %1").arg(storeDirectory));
    const QString synced = QDir(storeDirectory).filePath(QLatin1String(syncedStoreName));
    const QString local = QDir(storeDirectory).filePath(QLatin1String(localStoreName));
    // Both files are judged before either is written to.
    checkStore(synced, syncedStoreMigrations());
    checkStore(local, localStoreMigrations());
    try {
        prepareStore(synced, syncedStoreMigrations());
        prepareStore(local, localStoreMigrations());

        m_db = openConnection();
    } catch (const sql::Error &error) {
        m_db.reset();
        throw StoreOpenError(reasonOf(error));
    }
    m_context = std::make_unique<ModelContext>(*m_db, [this] { eraseLogs(); });
    m_eraseRetry = std::make_unique<QTimer>();
    m_eraseRetry->setSingleShot(true);
    QObject::connect(m_eraseRetry.get(), &QTimer::timeout, [this] { retryErasing(); });
    m_context->setLogCopier([this] { copyLogsInBackground(); });
    if (texthead::anyMissing(*m_db, ClipItem::spec()))
        m_headFill = QtConcurrent::run([this] { fillTextHeads(); });
}

void ModelContainer::fillTextHeads()
{
    try {
        // Not openConnection(): derived columns are nothing for the mirror.
        sql::Database db;
        db.open(QDir(m_directory).filePath(QLatin1String(syncedStoreName)));
        db.exec(QStringLiteral("PRAGMA secure_delete = ON"));
        db.exec(QStringLiteral("PRAGMA busy_timeout = %1").arg(busyTimeoutMs));
        texthead::fillMissing(db, ClipItem::spec(), m_closing);
    } catch (const sql::Error &error) {
        // Lists cut such texts themselves meanwhile; the next start tries again.
        report(QStringLiteral("could not note the first characters of long texts: %1").arg(error.message()));
    }
}

std::unique_ptr<sql::Database> ModelContainer::openConnection() const
{
    auto db = std::make_unique<sql::Database>();
    db->open(QDir(m_directory).filePath(QLatin1String(syncedStoreName)));
    sql::Statement attach = db->prepare(QStringLiteral("ATTACH DATABASE ? AS local"));
    attach.bindText(1, QDir(m_directory).filePath(QLatin1String(localStoreName)));
    attach.run();
    for (const char *schema : {"main", "local"}) {
        // Zero-filled free space makes deleted content unreadable; FULL
        // syncs each commit so a saved clip survives a power cut.
        db->exec(QStringLiteral("PRAGMA %1.secure_delete = ON").arg(QLatin1String(schema)));
        db->exec(QStringLiteral("PRAGMA %1.synchronous = FULL").arg(QLatin1String(schema)));
    }
    db->exec(QStringLiteral("PRAGMA busy_timeout = %1").arg(busyTimeoutMs));
    if (m_trackingChanges)
        trackChanges(*db);
    return db;
}

ModelContainer::~ModelContainer()
{
    m_closing = true;
    m_headFill.waitForFinished();
    m_logCopy.waitForFinished();
    m_context.reset();
}

void ModelContainer::copyLogsInBackground()
{
    {
        const QMutexLocker locker(&m_logCopyLock);
        if (m_logCopyRunning) {
            m_logCopyAgain = true;
            return;
        }
        m_logCopyRunning = true;
    }
    m_logCopy = QtConcurrent::run([this] {
        for (;;) {
            for (const char *name : {syncedStoreName, localStoreName}) {
                try {
                    sql::Database db;
                    db.open(QDir(m_directory).filePath(QLatin1String(name)));
                    db.exec(QStringLiteral("PRAGMA wal_checkpoint(PASSIVE)"));
                } catch (const sql::Error &error) {
                    // The next commit past the log's limit copies it instead.
                    report(QStringLiteral("could not copy the %1 log into its store: %2")
                               .arg(QLatin1String(name), error.message()));
                }
            }
            const QMutexLocker locker(&m_logCopyLock);
            if (!m_logCopyAgain) {
                m_logCopyRunning = false;
                return;
            }
            m_logCopyAgain = false;
        }
    });
}

std::optional<StoreOpenError> ModelContainer::verify(const QString &storeDirectory, const std::atomic<bool> &cancelled)
{
    for (const char *name : {syncedStoreName, localStoreName}) {
        if (auto damage = verifyStore(QDir(storeDirectory).filePath(QLatin1String(name)), cancelled))
            return damage;
    }
    return std::nullopt;
}

bool ModelContainer::syncedStoreExists(const QString &storeDirectory)
{
    return QFileInfo::exists(QDir(storeDirectory).filePath(QLatin1String(syncedStoreName)));
}

bool ModelContainer::checkpoint()
{
    const QString problem = tryCheckpoint();
    if (!problem.isEmpty())
        report(problem);
    return problem.isEmpty();
}

void ModelContainer::eraseLogs()
{
    const QString problem = tryCheckpoint();
    if (problem.isEmpty()) {
        m_eraseRetry->stop();
        return;
    }
    // Said once for each wait, not at every try.
    if (!m_eraseRetry->isActive()) {
        report(problem + QStringLiteral("; trying again until it is free"));
        m_eraseRetry->start(firstEraseRetryMs);
    }
}

void ModelContainer::retryErasing()
{
    if (tryCheckpoint().isEmpty())
        return;
    m_eraseRetry->start(std::min(m_eraseRetry->interval() * 2, lastEraseRetryMs));
}

QString ModelContainer::tryCheckpoint()
{
    // A reader elsewhere would make the checkpoint wait; the caller must not
    // stall for it, a later try finishes the job.
    m_db->exec(QStringLiteral("PRAGMA busy_timeout = 0"));
    QStringList problems;
    for (const char *schema : {"main", "local"}) {
        try {
            sql::Statement statement = m_db->prepare(
                QStringLiteral("PRAGMA %1.wal_checkpoint(TRUNCATE)").arg(QLatin1String(schema)));
            statement.step();
            if (statement.int64(0) != 0)
                problems.append(QStringLiteral("could not erase deleted clips from the %1 store's log yet: it is in use")
                                    .arg(QLatin1String(schema)));
        } catch (const sql::Error &error) {
            problems.append(QStringLiteral("could not erase deleted clips from the %1 store's log: %2")
                                .arg(QLatin1String(schema), error.message()));
        }
    }
    m_db->exec(QStringLiteral("PRAGMA busy_timeout = %1").arg(busyTimeoutMs));
    return problems.join(QStringLiteral("; "));
}

void ModelContainer::enableChangeTracking()
{
    m_trackingChanges = true;
    trackChanges(*m_db);
}

void ModelContainer::trackChanges(sql::Database &db)
{
    // Temporary triggers belong to their connection only, so changes applied
    // by a mirror through its own connection are not echoed back to it.
    for (const char *entity : syncedEntities) {
        const QString name = QLatin1String(entity);
        for (const auto &[event, row, operation] : {std::tuple{"INSERT", "NEW", "insert"},
                                                    std::tuple{"UPDATE", "NEW", "update"},
                                                    std::tuple{"DELETE", "OLD", "delete"}}) {
            db.exec(QStringLiteral("CREATE TEMP TRIGGER IF NOT EXISTS mirror_%1_%2 AFTER %3 ON main.%1 BEGIN "
                                      "INSERT INTO MirrorOutbox(entity, recordID, op) "
                                      "VALUES ('%1', %4.recordID, '%2'); END")
                           .arg(name, QLatin1String(operation), QLatin1String(event), QLatin1String(row)));
        }
    }
}

QList<MirrorChange> ModelContainer::pendingMirrorChanges(int limit)
{
    QList<MirrorChange> changes;
    sql::Statement statement = m_db->prepare(
        QStringLiteral("SELECT seq, entity, recordID, op FROM main.MirrorOutbox ORDER BY seq LIMIT ?"));
    statement.bindInt64(1, limit);
    while (statement.step())
        changes.append({statement.int64(0), statement.text(1), statement.text(2), statement.text(3)});
    return changes;
}

void ModelContainer::acknowledgeMirrorChanges(qint64 upToSequence)
{
    sql::Statement statement = m_db->prepare(QStringLiteral("DELETE FROM main.MirrorOutbox WHERE seq <= ?"));
    statement.bindInt64(1, upToSequence);
    statement.run();
}

} // namespace tamo
