#pragma once

#include "model/FetchDescriptor.h"
#include "model/IdentityTable.h"
#include "model/Record.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QUuid>

#include <functional>
#include <memory>
#include <vector>

struct sqlite3;

namespace tamo {

namespace sql { class Database; class Error; class Statement; }

// What one save wrote, for the views that re-query and for closing previews
// of removed clips.
struct GroupCount
{
    QVariant value;
    int count;
};

// An app clips came from, with how many of the saved clips it gave.
struct SourceAppCount
{
    QString bundleID;
    QString name; // of its newest clip; empty when that clip had none
    int clips;
};

struct SaveSummary
{
    QSet<QString> entities;     // names of the record types touched
    QList<QUuid> removedClipIDs;
    // The records inserted or changed, for views that place them in what they
    // hold; unknown (none) for changes made through another connection.
    std::optional<std::vector<std::shared_ptr<Record>>> savedRecords;
};

// The one place records are fetched, inserted, changed and removed. Records
// fetched twice are the same object, so a view and an operation never hold
// diverging copies; changes stay pending until save().
class ModelContext : public QObject
{
    Q_OBJECT

public:
    using Checkpoint = std::function<void()>;

    // `afterDeletion` runs after a save that removed rows, to erase their old
    // page images from the write-ahead logs.
    ModelContext(sql::Database &db, Checkpoint afterDeletion, QObject *parent = nullptr);
    ~ModelContext() override;

    template<typename R>
    void insert(const std::shared_ptr<R> &record) { insertRecord(record); }

    void remove(const std::shared_ptr<Record> &record);

    // Removes every clip the descriptor selects without loading them; returns
    // their ids. Pending until save() like every other change.
    QList<QUuid> removeClips(const FetchDescriptor &descriptor);

    // A failed fetch gives an empty list (and lastError()).
    template<typename R>
    QList<std::shared_ptr<R>> fetch(const FetchDescriptor &descriptor = {})
    {
        QList<std::shared_ptr<R>> result;
        const auto records = fetchRecords(R::spec(), descriptor, [] { return std::shared_ptr<Record>(new R); });
        result.reserve(records.size());
        for (const auto &record : records)
            result.append(std::static_pointer_cast<R>(record));
        return result;
    }

    // The records the descriptor selects, in its order, `pageSize` at a time,
    // until a page comes short (an empty one included) or `page` returns
    // false. The keys are read first: records added meanwhile are not met,
    // removed ones are left out of their page.
    template<typename R>
    void fetchInPages(const FetchDescriptor &descriptor, int pageSize,
                      const std::function<bool(const QList<std::shared_ptr<R>> &)> &page)
    {
        fetchPages(R::spec(), descriptor, pageSize, [] { return std::shared_ptr<Record>(new R); },
                   [&](const std::vector<std::shared_ptr<Record>> &records) {
                       QList<std::shared_ptr<R>> typed;
                       typed.reserve(records.size());
                       for (const auto &record : records)
                           typed.append(std::static_pointer_cast<R>(record));
                       return page(typed);
                   });
    }

    // Records inserted since the last save; fetches read the store only.
    template<typename R>
    QList<std::shared_ptr<R>> pendingInserts() const
    {
        QList<std::shared_ptr<R>> result;
        for (const auto &record : m_inserted) {
            if (&record->entity() == &R::spec())
                result.append(std::static_pointer_cast<R>(record));
        }
        return result;
    }

    // A failed count gives -1 (and lastError()); a limit caps the count.
    template<typename R>
    int fetchCount(const FetchDescriptor &descriptor = {}) { return countRecords(R::spec(), descriptor); }

    // How many records share each value of a column, most first; only the
    // values held by at least `atLeast` records. Reads the store only, so
    // pending changes don't count yet.
    template<typename R>
    QList<GroupCount> countBy(int column, const FetchDescriptor &descriptor = {}, int atLeast = 1)
    {
        return countGroups(R::spec(), column, descriptor, atLeast);
    }

    // The apps the saved clips came from, most clips first, at most `limit`:
    // a tally the store keeps, read at the same cost for any history. Empty
    // when it fails (and lastError()).
    QList<SourceAppCount> sourceAppsByClipCount(int limit);

    bool hasChanges() const;
    // Forgets one record inserted since the last save, as if never inserted;
    // a record already saved is left as it is.
    void discardInsert(const std::shared_ptr<Record> &record);
    // Forgets every pending change: inserted records are dropped, changed ones
    // read their stored values again, removals are undone. For a failed save
    // that must not be completed by the next one.
    void discardChanges();
    // Writes every pending change in one transaction, after new local
    // records, which commit on their own first. On failure lastError() says
    // why and new records stay pending; removals are taken back with the
    // edits made alongside them (the views list those records again, as
    // after a save), so nothing the user deleted waits in memory only.
    bool save();
    // save() for what can be written again from where it came from (an
    // import): its commit does not wait for the disk, and `copyLog` (when
    // set) copies the log into the store files after it, off this thread.
    bool saveImported();
    // Once set, a commit that grows a log past SQLite's own limit has
    // `copyLog` copy it into its store file off this thread, rather than the
    // commit copying it here.
    void setLogCopier(Checkpoint copyLog);
    QString lastError() const { return m_lastError; }
    bool lastSaveFoundDiskFull() const { return m_diskFull; }
    // Another connection or process held the write lock past the wait.
    bool lastSaveFoundStoreHeld() const { return m_storeHeld; }

    // These rows (keys per entity) were changed through another connection:
    // the records held here among them read their rows again (removed ones
    // are gone) and observers re-query as after a save. Only those rows are
    // read, so a large import costs the main thread no more than it changed
    // of what is held.
    void refreshAfterExternalChange(const QHash<QString, QSet<qint64>> &changedRows);

signals:
    // A field of an inserted record changed in memory.
    void recordChanged(const tamo::Record *record);
    void didSave(const tamo::SaveSummary &summary);
    // A save failed and took back its removals (with lastError()).
    void removalsTakenBack();

private:
    friend class Record;
    using RecordFactory = std::function<std::shared_ptr<Record>()>;

    void insertRecord(const std::shared_ptr<Record> &record);
    std::vector<std::shared_ptr<Record>> fetchRecords(const EntitySpec &entity, const FetchDescriptor &descriptor,
                                                      const RecordFactory &factory);
    void fetchPages(const EntitySpec &entity, const FetchDescriptor &descriptor, int pageSize,
                    const RecordFactory &factory,
                    const std::function<bool(const std::vector<std::shared_ptr<Record>> &)> &page);
    std::vector<std::shared_ptr<Record>> recordsFor(const EntitySpec &entity, const QList<qint64> &keys,
                                                    const RecordFactory &factory);
    int countRecords(const EntitySpec &entity, const FetchDescriptor &descriptor);
    QList<GroupCount> countGroups(const EntitySpec &entity, int column, const FetchDescriptor &descriptor, int atLeast);
    QList<qint64> selectKeys(const EntitySpec &entity, const FetchDescriptor &descriptor);
    QHash<qint64, std::shared_ptr<Record>> materialize(const EntitySpec &entity, const QList<qint64> &keys,
                                                       const RecordFactory &factory);

    void forEachRow(const EntitySpec &entity, const QList<qint64> &keys,
                    const std::function<void(const sql::Statement &)> &row);
    void readColumns(Record &record, const sql::Statement &statement);
    void noteChanged(Record *record);
    std::optional<QByteArray> loadColumn(const Record &record, int column);

    void writeInsert(Record &record);
    void writeUpdate(Record &record);
    void writeDeletions(SaveSummary &summary);
    bool commitLocalInsertsFirst(SaveSummary &summary);
    void noteFailure(const sql::Error &error);
    static int logGrew(void *context, sqlite3 *db, const char *schema, int pages);
    void takeBackRemovals();
    // Changed records read their stored values again.
    void readBackChanges();
    void forgetRemovedClips(const QSet<qint64> &keys);

    sql::Database &m_db;
    Checkpoint m_afterDeletion;
    Checkpoint m_copyLog;
    QHash<const EntitySpec *, IdentityTable> m_identityMap;
    std::vector<std::shared_ptr<Record>> m_inserted;
    QHash<Record *, std::shared_ptr<Record>> m_changed;   // held until saved
    QHash<Record *, std::shared_ptr<Record>> m_removed;
    QHash<qint64, QUuid> m_removedClipKeys;                 // bulk removals
    QString m_lastError;
    bool m_diskFull = false;
    bool m_storeHeld = false;
};

} // namespace tamo

Q_DECLARE_METATYPE(tamo::SaveSummary)
