#include "model/Sqlite.h"

#include <sqlite3.h>

#include <QDateTime>
#include <QDebug>
#include <QFile>
#include <QUuid>

#include <atomic>
#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

namespace tamo::sql {

namespace {
[[noreturn]] void fail(sqlite3 *db, const QString &context)
{
    throw Error::last(db, context);
}

bool isNoRoom(int systemError)
{
    return systemError == ENOSPC || systemError == EDQUOT;
}
} // namespace

Error Error::last(sqlite3 *db, const QString &context)
{
    if (!db)
        return Error(QStringLiteral("out of memory"), SQLITE_NOMEM);
    const int code = sqlite3_extended_errcode(db);
    const int systemError = sqlite3_system_errno(db);
    // SQLite calls most failed writes to the logs "disk I/O error".
    const QString reason = (code & 0xff) == SQLITE_IOERR && isNoRoom(systemError)
                               ? QStringLiteral("the disk is full")
                               : QString::fromUtf8(sqlite3_errmsg(db));
    return Error(context.isEmpty() ? reason : context + QStringLiteral(": ") + reason, code, systemError);
}

bool Error::isDiskFull() const
{
    return (m_code & 0xff) == SQLITE_FULL || ((m_code & 0xff) == SQLITE_IOERR && isNoRoom(m_systemError));
}

bool Error::isDamage() const
{
    return (m_code & 0xff) == SQLITE_CORRUPT || (m_code & 0xff) == SQLITE_NOTADB;
}

Statement::Statement(Statement &&other) noexcept
    : m_db(std::exchange(other.m_db, nullptr)), m_stmt(std::exchange(other.m_stmt, nullptr))
{
}

Statement &Statement::operator=(Statement &&other) noexcept
{
    if (this != &other) {
        sqlite3_finalize(m_stmt);
        m_db = std::exchange(other.m_db, nullptr);
        m_stmt = std::exchange(other.m_stmt, nullptr);
    }
    return *this;
}

Statement::~Statement()
{
    sqlite3_finalize(m_stmt);
}

Statement &Statement::bind(int index, const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return bindNull(index);
    switch (value.typeId()) {
    case QMetaType::QByteArray:
        return bindBlob(index, value.toByteArray());
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return bindInt64(index, value.toLongLong());
    case QMetaType::Double:
        if (sqlite3_bind_double(m_stmt, index, value.toDouble()) != SQLITE_OK)
            fail(m_db, QStringLiteral("bind"));
        return *this;
    case QMetaType::QDateTime:
        return bindInt64(index, value.toDateTime().toMSecsSinceEpoch());
    case QMetaType::QUuid:
        return bindText(index, value.toUuid().toString(QUuid::WithoutBraces));
    default:
        return bindText(index, value.toString());
    }
}

Statement &Statement::bindText(int index, const QString &value)
{
    const QByteArray utf8 = value.toUtf8();
    if (sqlite3_bind_text64(m_stmt, index, utf8.constData(), utf8.size(), SQLITE_TRANSIENT, SQLITE_UTF8) != SQLITE_OK)
        fail(m_db, QStringLiteral("bind"));
    return *this;
}

Statement &Statement::bindBlob(int index, const QByteArray &value)
{
    // An empty QByteArray has no data pointer; SQLite would store NULL for it.
    static const char empty = 0;
    const char *data = value.isEmpty() ? &empty : value.constData();
    if (sqlite3_bind_blob64(m_stmt, index, data, value.size(), SQLITE_TRANSIENT) != SQLITE_OK)
        fail(m_db, QStringLiteral("bind"));
    return *this;
}

Statement &Statement::bindInt64(int index, qint64 value)
{
    if (sqlite3_bind_int64(m_stmt, index, value) != SQLITE_OK)
        fail(m_db, QStringLiteral("bind"));
    return *this;
}

Statement &Statement::bindNull(int index)
{
    if (sqlite3_bind_null(m_stmt, index) != SQLITE_OK)
        fail(m_db, QStringLiteral("bind"));
    return *this;
}

bool Statement::step()
{
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    sqlite3_reset(m_stmt);
    fail(m_db, QString());
}

void Statement::reset()
{
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

bool Statement::isNull(int column) const
{
    return sqlite3_column_type(m_stmt, column) == SQLITE_NULL;
}

qint64 Statement::int64(int column) const
{
    return sqlite3_column_int64(m_stmt, column);
}

double Statement::real(int column) const
{
    return sqlite3_column_double(m_stmt, column);
}

QString Statement::text(int column) const
{
    const auto *data = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column));
    return QString::fromUtf8(data, sqlite3_column_bytes(m_stmt, column));
}

std::optional<QString> Statement::optionalText(int column) const
{
    if (isNull(column))
        return std::nullopt;
    return text(column);
}

std::optional<QByteArray> Statement::blob(int column) const
{
    if (isNull(column))
        return std::nullopt;
    const auto *data = static_cast<const char *>(sqlite3_column_blob(m_stmt, column));
    return QByteArray(data, sqlite3_column_bytes(m_stmt, column));
}

std::optional<QByteArray> Statement::blobInPlace(int column) const
{
    if (isNull(column))
        return std::nullopt;
    const auto *data = static_cast<const char *>(sqlite3_column_blob(m_stmt, column));
    return QByteArray::fromRawData(data, sqlite3_column_bytes(m_stmt, column));
}

int Statement::columnCount() const
{
    return sqlite3_column_count(m_stmt);
}

QVariant Statement::value(int column) const
{
    switch (sqlite3_column_type(m_stmt, column)) {
    case SQLITE_INTEGER:
        return int64(column);
    case SQLITE_FLOAT:
        return real(column);
    case SQLITE_TEXT:
        return text(column);
    case SQLITE_BLOB:
        return *blob(column);
    default:
        return {};
    }
}

Database::~Database()
{
    close();
}

void Database::open(const QString &path)
{
    // Made only the user's before SQLite makes it: its -wal and -shm files take its mode.
    if (!path.isEmpty() && !path.startsWith(u':')) {
        const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0)
            ::close(fd);
    }
    open(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
}

void Database::openReadOnly(const QString &path)
{
    open(path, SQLITE_OPEN_READONLY);
}

void Database::open(const QString &path, int flags)
{
    close();
    if (sqlite3_open_v2(path.toUtf8().constData(), &m_db, flags | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK) {
        const Error error = Error::last(m_db);
        close();
        throw error;
    }
    sqlite3_extended_result_codes(m_db, 1);
}

void Database::close()
{
    m_cache.clear();
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
}

void Database::exec(const QString &sql)
{
    if (sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
        fail(m_db, QString());
}

Statement Database::prepare(const QString &sql)
{
    sqlite3_stmt *stmt = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    if (sqlite3_prepare_v2(m_db, utf8.constData(), utf8.size(), &stmt, nullptr) != SQLITE_OK)
        fail(m_db, QString());
    return Statement(m_db, stmt);
}

CachedStatement Database::cached(const QString &sql)
{
    auto found = m_cache.find(sql);
    if (found == m_cache.end())
        found = m_cache.insert(sql, std::make_shared<Statement>(prepare(sql)));
    return CachedStatement(**found);
}

qint64 Database::lastInsertRowID() const
{
    return sqlite3_last_insert_rowid(m_db);
}

int Database::changes() const
{
    return sqlite3_changes(m_db);
}

QString Database::errorMessage() const
{
    return m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString();
}

namespace {

std::atomic<int> waitingWriters{0};

} // namespace

Transaction::Transaction(Database &db, Mode mode) : m_db(db)
{
    if (mode == Mode::read) {
        m_db.exec(QStringLiteral("BEGIN"));
        return;
    }
    ++waitingWriters;
    try {
        m_db.exec(QStringLiteral("BEGIN IMMEDIATE"));
    } catch (...) {
        --waitingWriters;
        throw;
    }
    --waitingWriters;
}

bool Transaction::writerWaiting()
{
    return waitingWriters.load() > 0;
}

Transaction::~Transaction()
{
    if (!m_done) {
        try {
            m_db.exec(QStringLiteral("ROLLBACK"));
        } catch (const Error &) {
            // The failed statement may have rolled back already.
        }
    }
}

void Transaction::commit()
{
    m_db.exec(QStringLiteral("COMMIT"));
    m_done = true;
}

UnsyncedCommits::UnsyncedCommits(Database &db, QList<QString> schemas) : m_db(db), m_schemas(std::move(schemas))
{
    setSynchronous("NORMAL");
}

UnsyncedCommits::~UnsyncedCommits()
{
    try {
        setSynchronous("FULL");
    } catch (const Error &error) {
        qWarning("later commits may wait less for the disk: %s", qPrintable(error.message()));
    }
}

void UnsyncedCommits::setSynchronous(const char *level)
{
    for (const QString &schema : std::as_const(m_schemas))
        m_db.exec(QStringLiteral("PRAGMA %1.synchronous = %2").arg(schema, QLatin1String(level)));
}

} // namespace tamo::sql
