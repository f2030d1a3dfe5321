#include "transfer/PasteDatabase.h"

#include "app/CrashHandler.h"
#include "model/ContentHash.h"
#include "model/Sqlite.h"
#include "model/TypedText.h"
#include "transfer/PasteItems.h"
#include "transfer/PasteJsonItems.h"
#include "transfer/PrivateCopy.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QThreadPool>
#include <QSet>
#include <QTimeZone>
#include <QUuid>
#include <QtConcurrent/QtConcurrentMap>

#include <dirent.h>
#include <sqlite3.h>

#include <cerrno>
#include <cmath>
#include <cstring>

namespace tamo::PasteImporter {

namespace {

const QString paste3Database = QStringLiteral("Paste.db");
const QString paste7Database = QStringLiteral("db.sqlite");
const QString historyListIdentifier = QStringLiteral("sharedPasteboardHistory");

QString quoted(const QString &identifier)
{
    return u'"' + QString(identifier).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

// An integer column as SQLite holds it; a real that no integer holds
// (non-finite, or beyond ±2^53) reads as 0.
qint64 integerColumn(const sql::Statement &row, int column)
{
    const QVariant value = row.value(column);
    if (value.typeId() == QMetaType::Double) {
        const double real = value.toDouble();
        constexpr double exact = 9007199254740992.0;
        return std::isfinite(real) && std::fabs(real) <= exact ? qint64(real) : 0;
    }
    return row.int64(column);
}

// Watches every step of a query of the other app's database: a step that
// runs past its budget, or any once the read is cancelled, is interrupted.
class WatchedQueries
{
public:
    WatchedQueries(sql::Database &db, const ReadEnvironment &environment)
        : m_db(db), m_cancelled(environment.cancelled), m_budget(environment.stepBudget)
    {
        m_deadline.setRemainingTime(m_budget);
        sqlite3_progress_handler(m_db.handle(), 1000, &WatchedQueries::interrupts, this);
    }
    ~WatchedQueries() { sqlite3_progress_handler(m_db.handle(), 0, nullptr, nullptr); }
    WatchedQueries(const WatchedQueries &) = delete;
    WatchedQueries &operator=(const WatchedQueries &) = delete;

    bool step(sql::Statement &rows)
    {
        m_deadline.setRemainingTime(m_budget);
        return rows.step();
    }
    // Why a failed query failed, when it was interrupted.
    std::optional<ImportError> interruption() const
    {
        if (m_cancelled->load())
            return ImportError::cancelled();
        if (m_timedOut)
            return ImportError::unreadable(QStringLiteral("one of its queries took longer than %1 seconds")
                                               .arg(std::chrono::duration<double>(m_budget).count()));
        return std::nullopt;
    }

private:
    static int interrupts(void *self)
    {
        auto *watch = static_cast<WatchedQueries *>(self);
        if (watch->m_cancelled->load())
            return 1;
        watch->m_timedOut = watch->m_deadline.hasExpired();
        return watch->m_timedOut ? 1 : 0;
    }

    sql::Database &m_db;
    std::shared_ptr<std::atomic<bool>> m_cancelled;
    std::chrono::milliseconds m_budget;
    QDeadlineTimer m_deadline;
    bool m_timedOut = false;
};

// A text column read no longer than a typed text is kept: the database's
// own copy of a longer value is the only one.
QString typedColumn(const char *column)
{
    return QStringLiteral("substr(%1, 1, %2)").arg(QLatin1String(column)).arg(maxTypedLength + 1);
}

// Counts a row of a table read whole; refuses the history past `most`.
void countRow(int &count, int most, const char *what)
{
    if (count++ == most)
        throw ImportError::unreadable(
            QStringLiteral("it holds more than %1 %2").arg(QLocale().toString(most), QLatin1String(what)));
}

using Apps = QHash<qint64, std::pair<std::optional<QString>, std::optional<QString>>>;

Apps readApps(sql::Database &db, WatchedQueries &watch, const QString &table)
{
    Apps apps;
    sql::Statement rows = db.prepare(QStringLiteral("SELECT Z_PK, %1, %2 FROM %3")
                                         .arg(typedColumn("ZBUNDLEIDENTIFIER"), typedColumn("ZNAME"), table));
    int count = 0;
    while (watch.step(rows)) {
        countRow(count, maxClipRows, "apps");
        apps.insert(rows.int64(0), {cappedTypedText(rows.optionalText(1)), cappedTypedText(rows.optionalText(2))});
    }
    return apps;
}

QString boardName(const sql::Statement &row)
{
    return cappedTypedText(row.optionalText(1).value_or(QStringLiteral("Untitled")));
}

QList<Board> readPaste3Boards(sql::Database &db, WatchedQueries &watch)
{
    QList<Board> boards;
    sql::Statement rows = db.prepare(QStringLiteral(
        "SELECT Z_PK, %1, ZCOLOR, ZDISPLAYORDER FROM ZSNIPPETLIST "
        "WHERE ZIDENTIFIER IS NULL OR ZIDENTIFIER != 'sharedPasteboardHistory'").arg(typedColumn("ZNAME")));
    int count = 0;
    while (watch.step(rows)) {
        countRow(count, maxBoardRows, "pinboards");
        Board board{rows.int64(0), boardName(rows), std::nullopt, integerColumn(rows, 3)};
        if (!rows.isNull(2))
            board.rgb = unpackColor(integerColumn(rows, 2));
        boards.append(board);
    }
    return boards;
}

QList<Board> readPaste7Boards(sql::Database &db, WatchedQueries &watch)
{
    QList<Board> boards;
    sql::Statement rows = db.prepare(QStringLiteral(
        "SELECT l.Z_PK, %1, l.ZRAWATTRIBUTES\n"
        "FROM ZLISTENTITY l LEFT JOIN ZLISTMETADATAENTITY m ON m.Z_PK = l.ZMETADATA\n"
        "WHERE COALESCE(l.ZRAWTYPE, 2) != 1 AND COALESCE(l.ZIDENTIFIER, '') != 'sharedPasteboardHistory'\n"
        "ORDER BY m.ZINDEX IS NULL, m.ZINDEX, l.Z_PK").arg(typedColumn("l.ZNAME")));
    int count = 0;
    while (watch.step(rows)) {
        countRow(count, maxBoardRows, "pinboards");
        boards.append({rows.int64(0), boardName(rows), listColor(rows.blob(2)), qint64(boards.size())});
    }
    return boards;
}

// Clip key → list key, the first row of each clip winning.
QHash<qint64, qint64> readMembership(sql::Database &db, WatchedQueries &watch, const QList<Board> &boards)
{
    QHash<qint64, qint64> membership;
    const std::optional<JoinTable> join = findListJoinTable(db);
    if (!join)
        return membership;
    QSet<qint64> boardIDs;
    for (const Board &board : boards)
        boardIDs.insert(board.pasteID);
    sql::Statement rows = db.prepare(QStringLiteral("SELECT %1, %2 FROM %3")
                                         .arg(quoted(join->clipColumn), quoted(join->listColumn), quoted(join->table)));
    int count = 0;
    while (watch.step(rows)) {
        countRow(count, maxClipRows, "pinned clips");
        const qint64 list = rows.int64(1);
        if (boardIDs.contains(list) && !membership.contains(rows.int64(0)))
            membership.insert(rows.int64(0), list);
    }
    return membership;
}

// Where each generation keeps its rows' values.
struct DataColumn
{
    const char *table;
    const char *column;
};
constexpr DataColumn paste3Data{"ZSNIPPETDATA", "ZPASTEBOARDITEMS"};
constexpr DataColumn paste7Data{"ZITEMDATAENTITY", "ZRAWPASTEBOARDITEMS"};

// One clip row as stored, decoded later on the worker threads.
struct ClipRow
{
    qsizetype index = 0; // in the order of the rows
    qint64 key = 0;
    double date = 0;
    std::optional<QString> bundleID;
    std::optional<QString> appName;
    qint64 order = 0;
    std::optional<QByteArray> data;
    std::optional<QString> title;
    std::optional<qint64> list;
};

std::optional<Clip> clipFromItems(const ClipRow &row, std::optional<QList<PasteboardItem>> items,
                                  const CutTypes &cutTypes)
{
    if (!items)
        return std::nullopt;
    std::optional<ClipDraft> draft = makeDraft(*items, row.bundleID, row.appName, cutTypes);
    items.reset(); // a text's bytes need not be held while it is hashed
    if (!draft)
        return std::nullopt;
    Clip clip;
    clip.contentHash = makeContentHash(draft->kind, draft->text, draft->imageData, draft->filePaths);
    // Hashed here, off the main thread, the merge need not hash it again.
    draft->contentHash = clip.contentHash;
    clip.draft = std::move(*draft);
    clip.date = dateFromReference(row.date);
    clip.boardPasteID = row.list;
    clip.orderInBoard = row.order;
    clip.title = row.title;
    return clip;
}

std::optional<Clip> decodeRow(const ClipRow &row, Version version, const QString &externalFolder)
{
    if (!row.data)
        return std::nullopt;
    const std::optional<QByteArray> stored = resolveStoredData(*row.data, externalFolder);
    if (!stored)
        return std::nullopt;
    CutTypes cutTypes;
    auto items = version == Version::paste3 ? unarchiveItems(*stored) : rawPasteboardItems(*stored, &cutTypes);
    return clipFromItems(row, std::move(items), cutTypes);
}

// A row's value read from the database a chunk at a time, never whole.
class StoredBlob
{
public:
    StoredBlob(sql::Database &db, const char *table, const char *column, qint64 rowid)
    {
        if (sqlite3_blob_open(db.handle(), "main", table, column, rowid, 0, &m_blob) != SQLITE_OK) {
            sqlite3_blob_close(m_blob);
            m_blob = nullptr;
        }
    }
    ~StoredBlob() { sqlite3_blob_close(m_blob); }
    StoredBlob(const StoredBlob &) = delete;
    StoredBlob &operator=(const StoredBlob &) = delete;

    bool isOpen() const { return m_blob; }
    int size() const { return sqlite3_blob_bytes(m_blob); }
    // Bytes from `at`, as many as there are up to `length`; nothing on a failed read.
    std::optional<QByteArrayView> read(int at, int length)
    {
        m_buffer.resize(std::clamp(size() - at, 0, length));
        if (sqlite3_blob_read(m_blob, m_buffer.data(), int(m_buffer.size()), at) != SQLITE_OK)
            return std::nullopt;
        return QByteArrayView(m_buffer);
    }

private:
    sqlite3_blob *m_blob = nullptr;
    QByteArray m_buffer;
};

// A large row of the newer generation whose value is DEFLATE JSON held in
// the row: decoded as it is read, so that the row is never all in memory.
// Nothing when the value is stored another way.
std::optional<std::optional<Clip>> decodeStreamedRow(sql::Database &db, const ClipRow &row, qint64 rowid)
{
    StoredBlob blob(db, paste7Data.table, paste7Data.column, rowid);
    const std::optional<QByteArrayView> start = blob.isOpen() ? blob.read(0, 9) : std::nullopt;
    if (!start || !start->startsWith('\x01') || start->sliced(1).startsWith("bplist00")
        || start->sliced(1).startsWith("bvx"))
        return std::nullopt;
    constexpr int chunk = 1024 * 1024;
    int at = 1; // after the marker
    CutTypes cutTypes;
    std::optional<QList<PasteboardItem>> items = itemsFromDeflatedJson(
        [&]() -> std::optional<QByteArrayView> {
            const std::optional<QByteArrayView> bytes = blob.read(at, chunk);
            at += bytes ? int(bytes->size()) : 0;
            return bytes;
        },
        &cutTypes);
    return clipFromItems(row, std::move(items), cutTypes);
}

// Rows are decoded a batch at a time, spread over a few threads: a batch
// ends at this many rows or bytes, so large rows are never all in memory; as
// a small row may inflate to a whole text, only a few are decoded at once. A
// row this large is decoded alone: DEFLATE JSON as it is read, any other
// value from the database's own buffer.
constexpr qsizetype batchRows = 256;
constexpr qsizetype batchBytes = 32 * 1024 * 1024;
constexpr int decodingThreads = 3;

// The rows that hold each content first. A later row of a content read
// before keeps no draft: the merge finds that content's clip by its hash.
class FirstRows
{
public:
    // Whether row `index` holds `hash` before any row seen so far.
    bool claim(const QString &hash, qsizetype index)
    {
        const QMutexLocker lock(&m_mutex);
        const auto found = m_first.constFind(hash);
        if (found != m_first.constEnd() && *found < index)
            return false;
        m_first.insert(hash, index);
        return true;
    }
    bool isFirst(const QString &hash, qsizetype index) const
    {
        const QMutexLocker lock(&m_mutex);
        return m_first.value(hash, -1) == index;
    }

private:
    mutable QMutex m_mutex;
    QHash<QString, qsizetype> m_first;
};

std::optional<Clip> withoutLaterDraft(std::optional<Clip> clip, bool first)
{
    if (clip && !first)
        clip->draft = ClipDraft();
    return clip;
}

// A long text that would take what the snapshot holds of texts past this
// many bytes waits in the spool: many distinct long texts would otherwise
// all be held until merged.
constexpr qint64 textBytesInMemory = 64 * 1024 * 1024;
constexpr qsizetype spooledTextChars = 1024 * 1024;

void spoolPastBudget(Clip &clip, TextSpool *spool, std::atomic<qint64> &textBytesHeld)
{
    const std::optional<QString> &text = clip.draft.text;
    if (!text)
        return;
    const qint64 bytes = text->size() * qint64(sizeof(QChar));
    const qint64 held = textBytesHeld.fetch_add(bytes) + bytes;
    if (spool && text->size() >= spooledTextChars && held > textBytesInMemory) {
        if ((clip.spooledText = spool->put(*text))) {
            clip.draft.text.reset();
            textBytesHeld -= bytes;
        }
    }
}

void readClips(sql::Database &db, WatchedQueries &watch, Version version, const Apps &apps,
               const QHash<qint64, qint64> &membership, const QString &externalFolder,
               const std::atomic<bool> &cancelled, Snapshot &snapshot)
{
    // Sorted without their data, which is read a row at a time: a sort
    // would hold every row's data at once.
    const QString statement = version == Version::paste3
        ? QStringLiteral("SELECT s.Z_PK, s.ZTIMESTAMP, s.ZSOURCEAPPLICATION, s.ZDISPLAYORDERINPINBOARD, "
                         "d.rowid, substr(s.ZTITLE, 1, %1)\n"
                         "FROM ZSNIPPET s JOIN ZSNIPPETDATA d ON d.ZSNIPPET = s.Z_PK\n"
                         "ORDER BY s.ZTIMESTAMP DESC").arg(maxTypedLength + 1)
        : QStringLiteral("SELECT i.Z_PK, COALESCE(i.ZTIMESTAMP, i.ZCREATEDAT), i.ZSOURCEAPPLICATION,\n"
                         "       i.ZDISPLAYORDERINPINBOARD, d.rowid, substr(i.ZTITLE, 1, %1), i.ZLIST\n"
                         "FROM ZITEMENTITY i JOIN ZITEMDATAENTITY d ON d.ZITEM = i.Z_PK\n"
                         "ORDER BY COALESCE(i.ZTIMESTAMP, i.ZCREATEDAT) DESC").arg(maxTypedLength + 1);
    const DataColumn &stored = version == Version::paste3 ? paste3Data : paste7Data;
    // A value's size, and the value when it is small: SQLite does not read
    // a value that only length() asks for.
    sql::Statement sized = db.prepare(QStringLiteral("SELECT length(%1), CASE WHEN length(%1) < %3 THEN %1 END "
                                                     "FROM %2 WHERE rowid = ?")
                                          .arg(QLatin1String(stored.column), QLatin1String(stored.table))
                                          .arg(batchBytes));
    sql::Statement data = db.prepare(QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?")
                                         .arg(QLatin1String(stored.column), QLatin1String(stored.table)));
    QList<ClipRow> batch;
    qsizetype bytes = 0;
    int rowsRead = 0;
    FirstRows firstRows;
    static QThreadPool decoders;
    decoders.setMaxThreadCount(decodingThreads);
    auto keep = [&snapshot, &firstRows](std::optional<Clip> clip, qsizetype index) {
        if (!clip) {
            ++snapshot.unreadable;
            return;
        }
        const bool first = firstRows.isFirst(clip->contentHash, index);
        snapshot.clips.append(*withoutLaterDraft(std::move(clip), first));
    };
    // Spooled as soon as decoded, on the decoding thread: a batch's results
    // are all held until the last is decoded.
    std::atomic<qint64> textBytesHeld = 0;
    auto claimed = [&firstRows, &snapshot, &textBytesHeld](std::optional<Clip> clip, qsizetype index) {
        const bool first = clip && firstRows.claim(clip->contentHash, index);
        clip = withoutLaterDraft(std::move(clip), first);
        if (clip)
            spoolPastBudget(*clip, snapshot.textSpool.get(), textBytesHeld);
        return clip;
    };
    auto decodeBatch = [&] {
        const QList<std::optional<Clip>> decoded = QtConcurrent::blockingMapped(
            &decoders, batch, [version, externalFolder, &claimed](const ClipRow &row) {
                CrashHandler::coverThisThread();
                return claimed(decodeRow(row, version, externalFolder), row.index);
            });
        for (qsizetype i = 0; i < decoded.size(); ++i)
            keep(decoded[i], batch[i].index);
        batch.clear();
        bytes = 0;
        if (cancelled.load())
            throw ImportError::cancelled();
    };
    sql::Statement rows = db.prepare(statement);
    while (watch.step(rows)) {
        countRow(rowsRead, maxClipRows, "clips");
        ClipRow row;
        row.index = rowsRead;
        row.key = rows.int64(0);
        row.date = rows.real(1);
        const auto app = apps.value(rows.int64(2));
        row.bundleID = app.first;
        row.appName = app.second;
        row.order = integerColumn(rows, 3);
        if (std::optional<QString> title = rows.optionalText(5); title && !title->trimmed().isEmpty())
            row.title = cappedTypedText(*title);
        if (version == Version::paste3) {
            if (const auto list = membership.constFind(row.key); list != membership.constEnd())
                row.list = *list;
        } else if (!rows.isNull(6)) {
            row.list = rows.int64(6);
        }
        const qint64 rowid = rows.int64(4);
        sized.reset();
        sized.bindInt64(1, rowid);
        const bool found = watch.step(sized);
        const bool large = found && sized.int64(0) >= batchBytes;
        if (large && version == Version::paste7) {
            if (std::optional<std::optional<Clip>> clip = decodeStreamedRow(db, row, rowid)) {
                decodeBatch();
                keep(claimed(std::move(*clip), row.index), row.index);
                continue;
            }
        }
        if (large) {
            data.reset();
            data.bindInt64(1, rowid);
            if (watch.step(data))
                row.data = data.blobInPlace(0);
            decodeBatch();
            keep(claimed(decodeRow(row, version, externalFolder), row.index), row.index);
            data.reset();
            continue;
        }
        if (found && !sized.isNull(1))
            row.data = sized.blob(1);
        bytes += row.data ? row.data->size() : 0;
        batch.append(std::move(row));
        if (batch.size() == batchRows || bytes >= batchBytes)
            decodeBatch();
    }
    decodeBatch();
}

Snapshot readDatabase(const ReadEnvironment &environment, Version version, const QString &folder,
                      const QString &databaseName, const QString &externalFolder)
{
    CrashHandler::coverThisThread();
    PrivateCopy copy(environment.temporaryRoot);
    copy.copyDatabase(folder, databaseName);
    Snapshot snapshot;
    if (!environment.spoolFolder.isEmpty())
        snapshot.textSpool = std::make_shared<TextSpool>(environment.spoolFolder);
    sql::Database db;
    try {
        db.openReadOnly(copy.filePath(databaseName));
    } catch (const sql::Error &error) {
        throw ImportError::unreadable(error.message());
    }
    WatchedQueries watch(db, environment);
    try {
        const bool older = version == Version::paste3;
        const Apps apps =
            readApps(db, watch, older ? QStringLiteral("ZAPPLICATION") : QStringLiteral("ZAPPLICATIONENTITY"));
        snapshot.boards = older ? readPaste3Boards(db, watch) : readPaste7Boards(db, watch);
        const QHash<qint64, qint64> membership =
            older ? readMembership(db, watch, snapshot.boards) : QHash<qint64, qint64>();
        readClips(db, watch, version, apps, membership, externalFolder, *environment.cancelled, snapshot);
    } catch (const sql::Error &error) {
        throw watch.interruption().value_or(ImportError::unreadable(error.message()));
    } catch (const ImportError &error) {
        throw watch.interruption().value_or(error);
    }
    return snapshot;
}

int listFolderEntries(const QString &folder)
{
    DIR *dir = opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return errno;
    errno = 0;
    while (readdir(dir)) {
    }
    const int error = errno;
    closedir(dir);
    return error;
}

} // namespace

QString ImportError::text() const
{
    switch (m_kind) {
    case Kind::notFound:
        return m_version == Version::paste7
            ? QStringLiteral("Paste 7's history wasn't found. Open Paste once so it creates its history, then try "
                             "again. If you use an older Paste, choose its version instead.")
            : QStringLiteral("Paste 3's database wasn't found. Open Paste once so it creates its history, then try "
                             "again. If you use a newer Paste, choose its version instead.");
    case Kind::unreadable:
        return QStringLiteral("Paste's database couldn't be read: ") + m_message;
    case Kind::notInstalled:
        return QStringLiteral("Paste isn't installed on this computer.");
    case Kind::needsFullDiskAccess:
        return QStringLiteral("Paste 7 keeps its history in a protected folder. Give your user read access to that "
                              "folder, then import again.");
    case Kind::failed:
        return m_message;
    case Kind::cancelled:
        return QStringLiteral("The import was cancelled.");
    }
    return m_message;
}

Locations::Locations(const QString &home)
{
    const QDir dir(home);
    containerRoot = dir.filePath(QStringLiteral("Library/Containers/com.wiheads.paste"));
    paste3Folder = dir.filePath(QStringLiteral("Library/Application Support/com.wiheads.paste"));
    paste7Folder = containerRoot + QStringLiteral("/Data/Library/Application Support/Paste");
}

ReadEnvironment ReadEnvironment::standard(std::function<bool()> pasteInstalled)
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return {QDir::homePath(), !runtime.isEmpty() && QFileInfo(runtime).isDir() ? runtime : QDir::tempPath(),
            std::move(pasteInstalled), listFolderEntries};
}

Version detectedVersion(const QString &home)
{
    const Locations locations(home);
    if (QFileInfo::exists(locations.containerRoot) || QFileInfo(locations.containerRoot).isSymLink())
        return Version::paste7;
    if (QFileInfo::exists(QDir(locations.paste3Folder).filePath(paste3Database)))
        return Version::paste3;
    return Version::paste7;
}

Snapshot readPaste3Snapshot(const ReadEnvironment &environment)
{
    const QString folder = Locations(environment.home).paste3Folder;
    if (!QFileInfo::exists(QDir(folder).filePath(paste3Database)))
        throw ImportError::notFound(Version::paste3);
    return readDatabase(environment, Version::paste3, folder, paste3Database,
                        QDir(folder).filePath(QStringLiteral(".Paste_SUPPORT/_EXTERNAL_DATA")));
}

Snapshot readPaste7Snapshot(const ReadEnvironment &environment)
{
    const QString folder = Locations(environment.home).paste7Folder;
    if (const int error = environment.listFolder(folder))
        throw folderError(error, environment.pasteInstalled());
    if (!QFileInfo::exists(QDir(folder).filePath(paste7Database)))
        throw ImportError::notFound(Version::paste7);
    return readDatabase(environment, Version::paste7, folder, paste7Database,
                        QDir(folder).filePath(QStringLiteral(".db_SUPPORT/_EXTERNAL_DATA")));
}

Snapshot readSnapshot(Version version, const ReadEnvironment &environment)
{
    return version == Version::paste3 ? readPaste3Snapshot(environment) : readPaste7Snapshot(environment);
}

std::optional<JoinTable> findListJoinTable(sql::Database &db)
{
    try {
        QStringList tables;
        sql::Statement names = db.prepare(
            QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND name GLOB 'Z_[0-9]*LISTS'"));
        while (names.step()) {
            if (!names.isNull(0))
                tables.append(names.text(0));
        }
        // The names come from the file: bound, never spliced into the statement.
        sql::Statement columns = db.prepare(QStringLiteral("SELECT name FROM pragma_table_info(?)"));
        for (const QString &table : tables) {
            columns.reset();
            columns.bindText(1, table);
            QStringList names;
            while (columns.step())
                names.append(columns.text(0));
            const auto clip = std::find_if(names.cbegin(), names.cend(),
                                           [](const QString &name) { return name.endsWith(QLatin1String("SNIPPETS")); });
            const auto list = std::find_if(names.cbegin(), names.cend(),
                                           [](const QString &name) { return name.endsWith(QLatin1String("LISTS")); });
            if (clip != names.cend() && list != names.cend())
                return JoinTable{table, *clip, *list};
        }
        return std::nullopt;
    } catch (const sql::Error &error) {
        throw ImportError::unreadable(error.message());
    }
}

ImportError folderError(int error, bool pasteInstalled)
{
    if (error == EACCES || error == EPERM)
        return ImportError::needsFullDiskAccess();
    return pasteInstalled ? ImportError::notFound(Version::paste7) : ImportError::notInstalled();
}

QDateTime dateFromReference(double seconds)
{
    // 2001-01-01 00:00:00 UTC in Unix seconds.
    constexpr qint64 referenceDate = 978307200;
    constexpr double limit = 10000.0 * 365.25 * 86400.0;
    const double kept = std::isfinite(seconds) ? std::clamp(seconds, -limit, limit) : 0.0;
    return QDateTime::fromMSecsSinceEpoch(referenceDate * 1000 + qint64(std::llround(kept * 1000.0)), Qt::UTC);
}

} // namespace tamo::PasteImporter
