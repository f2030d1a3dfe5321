#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QVariant>

#include <memory>
#include <optional>
#include <stdexcept>

struct sqlite3;
struct sqlite3_stmt;

namespace tamo::sql {

// Raised by the wrappers below; callers at the store's public edge turn it
// into an error result so nothing above the store sees SQLite.
class Error : public std::runtime_error
{
public:
    explicit Error(const QString &message, int code = 0, int systemError = 0)
        : std::runtime_error(message.toStdString()), m_code(code), m_systemError(systemError)
    {
    }
    // The connection's last failure, with `context` before SQLite's message;
    // an I/O error that ran out of room says the disk is full.
    static Error last(sqlite3 *db, const QString &context = {});

    QString message() const { return QString::fromStdString(what()); }
    // SQLite's extended result code, 0 when the failure is not SQLite's.
    int code() const { return m_code; }
    bool isDiskFull() const;
    bool isDamage() const;  // the file is no database or its content is corrupt

private:
    int m_code;
    int m_systemError; // errno of the failed system call, 0 when none
};

class Statement
{
public:
    Statement() = default;
    Statement(sqlite3 *db, sqlite3_stmt *stmt) : m_db(db), m_stmt(stmt) {}
    Statement(Statement &&other) noexcept;
    Statement &operator=(Statement &&other) noexcept;
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;
    ~Statement();

    // Binds by 1-based index. An invalid QVariant binds NULL.
    Statement &bind(int index, const QVariant &value);
    Statement &bindText(int index, const QString &value);
    Statement &bindBlob(int index, const QByteArray &value);
    Statement &bindInt64(int index, qint64 value);
    Statement &bindNull(int index);

    // True while a row is available; false when done. Throws on error.
    bool step();
    void run() { step(); reset(); }
    void reset();

    bool isNull(int column) const;
    qint64 int64(int column) const;
    double real(int column) const;
    QString text(int column) const;
    std::optional<QString> optionalText(int column) const;
    std::optional<QByteArray> blob(int column) const;
    // The blob without a copy: valid until the statement steps or resets.
    std::optional<QByteArray> blobInPlace(int column) const;
    int columnCount() const;
    QVariant value(int column) const;  // as stored: integer, real, text, blob or NULL (invalid)

private:
    sqlite3 *m_db = nullptr;
    sqlite3_stmt *m_stmt = nullptr;
};

// A statement from the database's cache, reset when the lease ends so it
// never keeps a read transaction open.
class CachedStatement
{
public:
    explicit CachedStatement(Statement &statement) : m_statement(statement) {}
    CachedStatement(const CachedStatement &) = delete;
    CachedStatement &operator=(const CachedStatement &) = delete;
    ~CachedStatement() { m_statement.reset(); }
    Statement *operator->() { return &m_statement; }
    Statement &operator*() { return m_statement; }

private:
    Statement &m_statement;
};

class Database
{
public:
    Database() = default;
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;
    ~Database();

    // Opens (and creates) the file; throws with SQLite's message on failure.
    void open(const QString &path);
    // Opens an existing file without ever writing to it.
    void openReadOnly(const QString &path);
    void close();
    bool isOpen() const { return m_db != nullptr; }

    void exec(const QString &sql);
    Statement prepare(const QString &sql);
    // Prepared once per text and reused: for statements run over and over.
    CachedStatement cached(const QString &sql);
    qint64 lastInsertRowID() const;
    int changes() const;
    QString errorMessage() const;
    sqlite3 *handle() const { return m_db; }

private:
    void open(const QString &path, int flags);

    sqlite3 *m_db = nullptr;
    QHash<QString, std::shared_ptr<Statement>> m_cache;
};

// Begins on construction, rolls back on destruction unless committed.
class Transaction
{
public:
    // A read sees one state throughout without keeping writers waiting.
    enum class Mode { write, read };
    explicit Transaction(Database &db, Mode mode = Mode::write);
    ~Transaction();
    void commit();

    // Whether a write transaction of this process, on any connection, waits
    // to begin: a long writer ends its own and lets it in.
    static bool writerWaiting();

private:
    Database &m_db;
    bool m_done = false;
};

// While it lives, commits to the named schemas do not wait for the disk: for
// what can be written again from where it came from (an import) should a
// power cut lose it. Throws when the connection refuses.
class UnsyncedCommits
{
public:
    explicit UnsyncedCommits(Database &db, QList<QString> schemas = {QStringLiteral("main")});
    ~UnsyncedCommits();
    UnsyncedCommits(const UnsyncedCommits &) = delete;
    UnsyncedCommits &operator=(const UnsyncedCommits &) = delete;

private:
    void setSynchronous(const char *level);

    Database &m_db;
    QList<QString> m_schemas;
};

} // namespace tamo::sql
