#pragma once

#include <QFuture>
#include <QList>
#include <QMutex>
#include <QString>

#include <atomic>
#include <memory>
#include <optional>
#include <stdexcept>

class QTimer;

namespace tamo {

class ModelContext;
namespace sql { class Database; }

// The only fatal failure of the app: the stores cannot be opened.
class StoreOpenError : public std::runtime_error
{
public:
    enum class Cause {
        other,
        newerVersion,  // written by a later TamoCove; left as it was
        damaged,       // not a database, truncated or corrupt; left as it was
    };

    explicit StoreOpenError(const QString &reason, Cause cause = Cause::other, const QString &file = {});
    QString message() const { return QString::fromStdString(what()); }
    Cause cause() const { return m_cause; }
    QString file() const { return m_file; }  // the store file at fault, when one is

private:
    Cause m_cause;
    QString m_file;
};

// A saved insert, change or deletion of a synced record, for the mirror that
// copies the synced store to the user's other machines.
struct MirrorChange
{
    qint64 sequence;
    QString entity;   // "ClipItem", "Pinboard" or "SourceApp"
    QString recordID; // the record's sync identity, never its content
    QString operation; // "insert", "update" or "delete"
};

// The two stores: "Tamo.store" (clips, pinboards, source apps; the one that
// syncs) and "TamoLocal.store" (local-only images and edit dates), served by
// one main context. Deletions are erased from the files: freed space is
// zero-filled and the write-ahead logs are checkpointed and truncated.
class ModelContainer
{
public:
    static constexpr const char *syncedStoreName = "Tamo.store";
    static constexpr const char *localStoreName = "TamoLocal.store";

    // Throws StoreOpenError and leaves an unusable file as it was. Opening
    // reads only what tells a refusal at once (the header, the schema version,
    // the page count against the file's size); verify() reads the rest.
    explicit ModelContainer(const QString &storeDirectory);
    ~ModelContainer();

    static bool syncedStoreExists(const QString &storeDirectory);
    // Throws StoreOpenError naming a file of the stores' folder that is there
    // but no regular file (a FIFO, a device, a folder); a missing one passes.
    static void refuseUnlessRegular(const QString &path);

    // Reads every page of both store files through connections of its own,
    // so it may run on any thread while the stores are in use. The first
    // damaged file, if any; none as well when `cancelled` was set meanwhile.
    static std::optional<StoreOpenError> verify(const QString &storeDirectory, const std::atomic<bool> &cancelled);

    QString storeDirectory() const { return m_directory; }
    ModelContext &mainContext() { return *m_context; }

    // A connection of its own to both stores, set up as the main context's
    // (waiting as long for a lock held elsewhere, changes queued for the
    // mirror while they are tracked), for writing on another thread.
    std::unique_ptr<sql::Database> openConnection() const;

    // From now on every saved change of a synced record is queued for the
    // mirror until it acknowledges it, on connections opened since too.
    void enableChangeTracking();
    QList<MirrorChange> pendingMirrorChanges(int limit = 1000);
    void acknowledgeMirrorChanges(qint64 upToSequence);

    // Copies the logs into the store files and truncates them; false (with a
    // "TamoCove: " line on standard error) when a reader kept it from finishing.
    bool checkpoint();
    // The same, run after every deletion here or from another connection: a
    // reader in the way (a backup tool) makes it try again later, further
    // apart each time, until it finishes. Never waits for the reader.
    void eraseLogs();

private:
    // Empty when done, else what kept it from finishing.
    QString tryCheckpoint();
    static void trackChanges(sql::Database &db);
    // Derives, on a worker, the heads of long texts stored without them.
    void fillTextHeads();
    void retryErasing();
    // Copies what the logs hold into the store files on a worker, through a
    // connection of its own; asked again while it runs, it copies once more.
    void copyLogsInBackground();

    QString m_directory;
    QMutex m_logCopyLock;
    bool m_logCopyRunning = false;
    bool m_logCopyAgain = false;
    QFuture<void> m_logCopy;
    std::atomic<bool> m_closing = false;
    QFuture<void> m_headFill;
    std::atomic<bool> m_trackingChanges = false;
    std::unique_ptr<sql::Database> m_db;
    std::unique_ptr<ModelContext> m_context;
    std::unique_ptr<QTimer> m_eraseRetry;
};

} // namespace tamo
