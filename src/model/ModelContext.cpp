#include "model/ModelContext.h"

#include "model/ClipItem.h"
#include "model/LocalRecords.h"
#include "model/Sqlite.h"
#include "model/TextHead.h"

#include <QDateTime>
#include <QDebug>
#include <QJsonArray>
#include <QJsonDocument>

#include <sqlite3.h>

#include <algorithm>

namespace tamo {

namespace {

constexpr int keysPerStatement = 500; // stays far below SQLite's bound-parameter limit

QString tableOf(const EntitySpec &entity)
{
    const char *schema = entity.store == StoreFile::synced ? "main." : "local.";
    return QLatin1String(schema) + QLatin1String(entity.name);
}

QVariant toSql(ColumnType type, const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return {};
    switch (type) {
    case ColumnType::date:
        return value.toDateTime().toMSecsSinceEpoch();
    case ColumnType::uuid:
        return value.toUuid().toString(QUuid::WithoutBraces);
    case ColumnType::boolean:
        return value.toBool() ? 1 : 0;
    case ColumnType::stringList:
        return QString::fromUtf8(QJsonDocument(QJsonArray::fromStringList(value.toStringList()))
                                     .toJson(QJsonDocument::Compact));
    case ColumnType::text:
        return value.toString();
    case ColumnType::blob:
        return value.toByteArray();
    case ColumnType::integer:
        return value.toLongLong();
    }
    return value;
}

QVariant fromSql(ColumnType type, const sql::Statement &row, int index)
{
    if (row.isNull(index))
        return {};
    switch (type) {
    case ColumnType::date:
        // An instant: local time would look the time zone up for every date
        // read, and what shows a date converts it.
        return QDateTime::fromMSecsSinceEpoch(row.int64(index), Qt::UTC);
    case ColumnType::uuid:
        return QUuid::fromString(row.text(index));
    case ColumnType::boolean:
        return row.int64(index) != 0;
    case ColumnType::stringList: {
        QStringList list;
        const QJsonArray array = QJsonDocument::fromJson(row.text(index).toUtf8()).array();
        list.reserve(array.size());
        for (const auto &item : array)
            list.append(item.toString());
        return list;
    }
    case ColumnType::text:
        return row.text(index);
    case ColumnType::blob:
        return row.blob(index).value_or(QByteArray());
    case ColumnType::integer:
        return row.int64(index);
    }
    return {};
}

const char *operatorOf(FetchDescriptor::Compare compare)
{
    switch (compare) {
    case FetchDescriptor::Compare::equal: return " = ?";
    case FetchDescriptor::Compare::notEqual: return " IS NOT ?";
    case FetchDescriptor::Compare::less: return " < ?";
    case FetchDescriptor::Compare::greaterOrEqual: return " >= ?";
    case FetchDescriptor::Compare::isNull: return " IS NULL";
    case FetchDescriptor::Compare::isNotNull: return " IS NOT NULL";
    }
    return " = ?";
}

bool takesValue(FetchDescriptor::Compare compare)
{
    return compare != FetchDescriptor::Compare::isNull && compare != FetchDescriptor::Compare::isNotNull;
}

QString placeholders(qsizetype count)
{
    QString list = QStringLiteral("?");
    for (qsizetype i = 1; i < count; ++i)
        list += QStringLiteral(",?");
    return list;
}

// "WHERE …" with its values, shared by fetches, counts and bulk removals.
struct WhereClause
{
    QString sql;
    QVariantList values;

    WhereClause(const EntitySpec &entity, const FetchDescriptor &descriptor)
    {
        QStringList parts;
        for (const auto &condition : descriptor.conditions) {
            const ColumnSpec &column = entity.columns[condition.column];
            // IS NULL matches most rows of a long history (every unpinned
            // clip): "+" keeps SQLite from taking it for a selective index.
            // IS NOT NULL is the selective one (the pinned clips): it keeps it.
            const bool mostRows = condition.compare == FetchDescriptor::Compare::isNull;
            parts.append((mostRows ? QStringLiteral("+") : QString()) + QLatin1String(column.name)
                         + QLatin1String(operatorOf(condition.compare)));
            if (takesValue(condition.compare))
                values.append(toSql(column.type, condition.value));
        }
        if (!parts.isEmpty())
            sql = QStringLiteral(" WHERE ") + parts.join(QStringLiteral(" AND "));
    }

    void bind(sql::Statement &statement, int first = 1) const
    {
        for (int i = 0; i < values.size(); ++i)
            statement.bind(first + i, values[i]);
    }
};

QString selectSql(const EntitySpec &entity, const FetchDescriptor &descriptor, const WhereClause &where,
                  const QString &columns)
{
    QString sql = QStringLiteral("SELECT ") + columns + QStringLiteral(" FROM ") + tableOf(entity) + where.sql;
    QStringList order;
    for (const auto &key : descriptor.sortBy) {
        order.append(QLatin1String(entity.columns[key.column].name)
                     + (key.ascending ? QStringLiteral(" ASC") : QStringLiteral(" DESC")));
    }
    order.append(QStringLiteral("pk ASC")); // equal sort keys keep insertion order
    sql += QStringLiteral(" ORDER BY ") + order.join(QStringLiteral(", "));
    if (descriptor.limit >= 0 || descriptor.offset > 0)
        sql += QStringLiteral(" LIMIT %1 OFFSET %2").arg(descriptor.limit).arg(descriptor.offset);
    return sql;
}

} // namespace

ModelContext::ModelContext(sql::Database &db, Checkpoint afterDeletion, QObject *parent)
    : QObject(parent), m_db(db), m_afterDeletion(std::move(afterDeletion))
{
}

ModelContext::~ModelContext() = default;

void ModelContext::insertRecord(const std::shared_ptr<Record> &record)
{
    if (!record || record->m_context)
        return;
    record->m_context = this;
    record->m_gone = false;
    m_inserted.push_back(record);
}

void ModelContext::remove(const std::shared_ptr<Record> &record)
{
    if (!record || record->m_context != this)
        return;
    if (record->m_rowID == 0) {
        // Never saved: dropping it from the pending inserts is enough.
        std::erase(m_inserted, record);
        record->m_context = nullptr;
        return;
    }
    m_changed.remove(record.get());
    m_removed.insert(record.get(), record);
}

QList<QUuid> ModelContext::removeClips(const FetchDescriptor &descriptor)
{
    QList<QUuid> ids;
    try {
        const EntitySpec &entity = ClipItem::spec();
        const WhereClause where(entity, descriptor);
        auto select = m_db.cached(selectSql(entity, descriptor, where, QStringLiteral("pk, id")));
        where.bind(*select);
        while (select->step()) {
            const qint64 key = select->int64(0);
            if (m_removedClipKeys.contains(key))
                continue;
            const QUuid id = QUuid::fromString(select->text(1));
            m_removedClipKeys.insert(key, id);
            ids.append(id);
        }
    } catch (const sql::Error &error) {
        m_lastError = error.message();
    }
    return ids;
}

std::vector<std::shared_ptr<Record>> ModelContext::fetchRecords(const EntitySpec &entity,
                                                                const FetchDescriptor &descriptor,
                                                                const RecordFactory &factory)
{
    try {
        return recordsFor(entity, selectKeys(entity, descriptor), factory);
    } catch (const sql::Error &error) {
        m_lastError = error.message();
        return {};
    }
}

void ModelContext::fetchPages(const EntitySpec &entity, const FetchDescriptor &descriptor, int pageSize,
                              const RecordFactory &factory,
                              const std::function<bool(const std::vector<std::shared_ptr<Record>> &)> &page)
{
    try {
        const QList<qint64> keys = selectKeys(entity, descriptor);
        for (qsizetype start = 0;; start += pageSize) {
            const QList<qint64> chunk = keys.mid(start, pageSize);
            if (!page(recordsFor(entity, chunk, factory)) || chunk.size() < pageSize)
                return;
        }
    } catch (const sql::Error &error) {
        m_lastError = error.message();
    }
}

std::vector<std::shared_ptr<Record>> ModelContext::recordsFor(const EntitySpec &entity, const QList<qint64> &keys,
                                                              const RecordFactory &factory)
{
    std::vector<std::shared_ptr<Record>> records;
    const auto loaded = materialize(entity, keys, factory);
    const auto &known = m_identityMap[&entity];
    records.reserve(keys.size());
    for (qint64 key : keys) {
        std::shared_ptr<Record> record = known.find(key);
        if (!record)
            record = loaded.value(key);
        // Removed but not yet saved: already gone for the views.
        if (record && !m_removed.contains(record.get()) && !(&entity == &ClipItem::spec() && m_removedClipKeys.contains(key)))
            records.push_back(std::move(record));
    }
    return records;
}

int ModelContext::countRecords(const EntitySpec &entity, const FetchDescriptor &descriptor)
{
    try {
        const WhereClause where(entity, descriptor);
        // A limit stops the count there: "is there any" need not read them all.
        const QString rows = descriptor.limit >= 0
                                 ? QStringLiteral("(SELECT 1 FROM %1%2 LIMIT %3)").arg(tableOf(entity), where.sql).arg(descriptor.limit)
                                 : tableOf(entity) + where.sql;
        auto statement = m_db.cached(QStringLiteral("SELECT count(*) FROM ") + rows);
        where.bind(*statement);
        statement->step();
        return int(statement->int64(0));
    } catch (const sql::Error &error) {
        m_lastError = error.message();
        return -1;
    }
}

QList<GroupCount> ModelContext::countGroups(const EntitySpec &entity, int column, const FetchDescriptor &descriptor,
                                            int atLeast)
{
    QList<GroupCount> groups;
    try {
        const ColumnSpec &spec = entity.columns[column];
        const QString name = QLatin1String(spec.name);
        const WhereClause where(entity, descriptor);
        sql::Statement statement = m_db.prepare(QStringLiteral("SELECT %1, count(*) AS n FROM ").arg(name)
                                                + tableOf(entity) + where.sql
                                                + QStringLiteral(" GROUP BY %1 HAVING n >= %2 ORDER BY n DESC")
                                                      .arg(name)
                                                      .arg(atLeast));
        where.bind(statement);
        while (statement.step())
            groups.append({fromSql(spec.type, statement, 0), int(statement.int64(1))});
    } catch (const sql::Error &error) {
        m_lastError = error.message();
    }
    return groups;
}

QList<SourceAppCount> ModelContext::sourceAppsByClipCount(int limit)
{
    QList<SourceAppCount> apps;
    try {
        auto statement = m_db.cached(
            QStringLiteral("SELECT bundleID, appName, clips FROM main.ClipSourceTally ORDER BY clips DESC LIMIT ?"));
        statement->bindInt64(1, limit);
        while (statement->step())
            apps.append({statement->text(0), statement->text(1), int(statement->int64(2))});
    } catch (const sql::Error &error) {
        m_lastError = error.message();
        apps.clear();
    }
    return apps;
}

QList<qint64> ModelContext::selectKeys(const EntitySpec &entity, const FetchDescriptor &descriptor)
{
    const WhereClause where(entity, descriptor);
    auto statement = m_db.cached(selectSql(entity, descriptor, where, QStringLiteral("pk")));
    where.bind(*statement);
    QList<qint64> keys;
    while (statement->step())
        keys.append(statement->int64(0));
    return keys;
}

QHash<qint64, std::shared_ptr<Record>> ModelContext::materialize(const EntitySpec &entity, const QList<qint64> &keys,
                                                                 const RecordFactory &factory)
{
    QHash<qint64, std::shared_ptr<Record>> loaded;
    auto &known = m_identityMap[&entity];
    QList<qint64> missing;
    for (qint64 key : keys) {
        if (!known.find(key))
            missing.append(key);
    }

    forEachRow(entity, missing, [&](const sql::Statement &statement) {
        std::shared_ptr<Record> record = factory();
        record->m_context = this;
        record->m_rowID = statement.int64(0);
        readColumns(*record, statement);
        known.remember(record->m_rowID, record);
        loaded.insert(record->m_rowID, record);
    });
    return loaded;
}

void ModelContext::forEachRow(const EntitySpec &entity, const QList<qint64> &keys,
                              const std::function<void(const sql::Statement &)> &row)
{
    // Lazy columns are selected as NULL so that lists never pull image bytes,
    // and long texts as their first characters, with whether more follows.
    QStringList columns{QStringLiteral("pk")};
    QStringList longerThanPreview;
    for (const ColumnSpec &column : entity.columns) {
        const QString name = QLatin1String(column.name);
        if (column.lazy) {
            columns.append(QStringLiteral("NULL"));
        } else if (column.previewLength > 0) {
            // The head kept apart spares SQLite reading a long text whole to
            // cut it; a row whose head is not derived yet is cut here.
            columns.append(texthead::listedSql(column));
            longerThanPreview.append(texthead::longerSql(column));
        } else {
            columns.append(name);
        }
    }
    columns += longerThanPreview;
    const QString select = QStringLiteral("SELECT ") + columns.join(QLatin1Char(',')) + QStringLiteral(" FROM ")
        + tableOf(entity) + QStringLiteral(" WHERE pk IN (");
    for (qsizetype start = 0; start < keys.size(); start += keysPerStatement) {
        const QList<qint64> chunk = keys.mid(start, keysPerStatement);
        sql::Statement statement = m_db.prepare(select + placeholders(chunk.size()) + QLatin1Char(')'));
        for (int i = 0; i < chunk.size(); ++i)
            statement.bindInt64(i + 1, chunk[i]);
        while (statement.step())
            row(statement);
    }
}

void ModelContext::readColumns(Record &record, const sql::Statement &statement)
{
    const EntitySpec &entity = record.entity();
    int longer = int(entity.columns.size()) + 1;
    for (int c = 0; c < int(entity.columns.size()); ++c) {
        const QVariant value = fromSql(entity.columns[c].type, statement, c + 1);
        if (entity.columns[c].previewLength > 0 && statement.int64(longer++) != 0)
            record.setColumnPreview(c, value);
        else
            record.setColumnValue(c, value);
    }
}

void ModelContext::refreshAfterExternalChange(const QHash<QString, QSet<qint64>> &changedRows)
{
    SaveSummary summary;
    for (auto changed = changedRows.begin(); changed != changedRows.end(); ++changed)
        summary.entities.insert(changed.key());
    for (auto it = m_identityMap.begin(); it != m_identityMap.end(); ++it) {
        const EntitySpec &entity = *it.key();
        const QSet<qint64> rows = changedRows.value(QLatin1String(entity.name));
        // Records with changes of their own keep them; the next save decides.
        QHash<qint64, std::shared_ptr<Record>> held;
        for (const qint64 key : rows) {
            std::shared_ptr<Record> record = it.value().find(key);
            if (record && record->m_dirty == 0 && !m_removed.contains(record.get()))
                held.insert(key, std::move(record));
        }
        forEachRow(entity, held.keys(), [&](const sql::Statement &statement) {
            readColumns(*held.take(statement.int64(0)), statement);
        });
        for (auto gone = held.begin(); gone != held.end(); ++gone) {
            gone.value()->m_gone = true;
            it.value().remove(gone.key());
            if (&entity == &ClipItem::spec())
                summary.removedClipIDs.append(static_cast<const ClipItem &>(*gone.value()).id());
        }
    }
    if (!summary.entities.isEmpty())
        emit didSave(summary);
}

void ModelContext::discardInsert(const std::shared_ptr<Record> &record)
{
    const auto pending = std::find(m_inserted.begin(), m_inserted.end(), record);
    if (pending == m_inserted.end())
        return;
    m_inserted.erase(pending);
    record->m_gone = true;
}

void ModelContext::discardChanges()
{
    for (const auto &record : m_inserted)
        record->m_gone = true;
    m_inserted.clear();
    m_removed.clear();
    m_removedClipKeys.clear();
    readBackChanges();
}

void ModelContext::readBackChanges()
{
    const auto changed = std::exchange(m_changed, {});
    for (Record *record : changed.keys()) {
        const EntitySpec &entity = record->entity();
        QStringList columns;
        for (const ColumnSpec &column : entity.columns)
            columns.append(column.lazy ? QStringLiteral("NULL") : QLatin1String(column.name));
        try {
            sql::Statement statement = m_db.prepare(QStringLiteral("SELECT ") + columns.join(QLatin1Char(','))
                                                    + QStringLiteral(" FROM ") + tableOf(entity)
                                                    + QStringLiteral(" WHERE pk = ?"));
            statement.bindInt64(1, record->m_rowID);
            if (statement.step()) {
                for (int c = 0; c < int(entity.columns.size()); ++c)
                    record->setColumnValue(c, fromSql(entity.columns[c].type, statement, c));
            }
        } catch (const sql::Error &error) {
            m_lastError = error.message();
        }
        record->m_dirty = 0;
        emit recordChanged(record);
    }
}

void ModelContext::noteChanged(Record *record)
{
    if (record->m_rowID != 0 && !m_removed.contains(record))
        m_changed.insert(record, record->shared_from_this());
    emit recordChanged(record);
}

std::optional<QByteArray> ModelContext::loadColumn(const Record &record, int column)
{
    try {
        const EntitySpec &entity = record.entity();
        auto statement = m_db.cached(QStringLiteral("SELECT ") + QLatin1String(entity.columns[column].name)
                                                + QStringLiteral(" FROM ") + tableOf(entity)
                                                + QStringLiteral(" WHERE pk = ?"));
        statement->bindInt64(1, record.m_rowID);
        if (statement->step())
            return statement->blob(0);
    } catch (const sql::Error &error) {
        m_lastError = error.message();
    }
    return std::nullopt;
}

bool ModelContext::hasChanges() const
{
    return !m_inserted.empty() || !m_changed.isEmpty() || !m_removed.isEmpty() || !m_removedClipKeys.isEmpty();
}

void ModelContext::writeInsert(Record &record)
{
    const EntitySpec &entity = record.entity();
    QStringList names;
    for (const ColumnSpec &column : entity.columns) {
        names.append(QLatin1String(column.name));
        if (column.previewLength > 0)
            names += texthead::columns(column);
    }
    if (entity.hasRecordID)
        names.append(QStringLiteral("recordID"));
    auto statement = m_db.cached(QStringLiteral("INSERT INTO ") + tableOf(entity) + QLatin1String(" (")
                                            + names.join(QLatin1Char(',')) + QStringLiteral(") VALUES (")
                                            + placeholders(names.size()) + QLatin1Char(')'));
    int index = 1;
    for (int c = 0; c < int(entity.columns.size()); ++c) {
        const ColumnSpec &column = entity.columns[c];
        const QVariant value = record.columnValue(c);
        statement->bind(index++, toSql(column.type, value));
        if (column.previewLength > 0)
            index = texthead::bind(*statement, index, value, column.previewLength);
    }
    if (entity.hasRecordID)
        statement->bindText(index, QUuid::createUuid().toString(QUuid::WithoutBraces));
    statement->step();
    record.m_rowID = m_db.lastInsertRowID();
}

void ModelContext::writeUpdate(Record &record)
{
    const EntitySpec &entity = record.entity();
    QStringList assignments;
    QList<int> columns;
    for (int c = 0; c < int(entity.columns.size()); ++c) {
        if (record.m_dirty & (uint64_t(1) << c)) {
            assignments.append(QLatin1String(entity.columns[c].name) + QStringLiteral(" = ?"));
            if (entity.columns[c].previewLength > 0) {
                for (const QString &head : texthead::columns(entity.columns[c]))
                    assignments.append(head + QStringLiteral(" = ?"));
            }
            columns.append(c);
        }
    }
    if (columns.isEmpty())
        return;
    auto statement = m_db.cached(QStringLiteral("UPDATE ") + tableOf(entity) + QStringLiteral(" SET ")
                                            + assignments.join(QLatin1Char(',')) + QStringLiteral(" WHERE pk = ?"));
    int index = 1;
    for (int c : columns) {
        const QVariant value = record.columnValue(c);
        statement->bind(index++, toSql(entity.columns[c].type, value));
        if (entity.columns[c].previewLength > 0)
            index = texthead::bind(*statement, index, value, entity.columns[c].previewLength);
    }
    statement->bindInt64(index, record.m_rowID);
    statement->step();
    for (int c : columns) {
        const ColumnSpec &column = entity.columns[c];
        if (column.previewLength == 0)
            continue;
        // A new text with the same head as the old one looks to the store
        // like a change by a connection that does not derive heads.
        auto again = m_db.cached(texthead::rederiveSql(entity, column));
        texthead::bind(*again, 1, record.columnValue(c), column.previewLength);
        again->bindInt64(3, record.m_rowID);
        again->step();
    }
}

void ModelContext::writeDeletions(SaveSummary &summary)
{
    QHash<const EntitySpec *, QList<qint64>> keys;
    QList<QUuid> removedClipIDs;
    for (Record *record : m_removed.keys()) {
        keys[&record->entity()].append(record->m_rowID);
        if (auto *clip = dynamic_cast<ClipItem *>(record))
            removedClipIDs.append(clip->id());
    }
    for (auto it = m_removedClipKeys.cbegin(); it != m_removedClipKeys.cend(); ++it) {
        keys[&ClipItem::spec()].append(it.key());
        removedClipIDs.append(it.value());
    }

    for (auto it = keys.cbegin(); it != keys.cend(); ++it) {
        summary.entities.insert(QLatin1String(it.key()->name));
        for (qsizetype start = 0; start < it->size(); start += keysPerStatement) {
            const QList<qint64> chunk = it->mid(start, keysPerStatement);
            sql::Statement statement = m_db.prepare(QStringLiteral("DELETE FROM ") + tableOf(*it.key())
                                                    + QStringLiteral(" WHERE pk IN (") + placeholders(chunk.size())
                                                    + QLatin1Char(')'));
            for (int i = 0; i < chunk.size(); ++i)
                statement.bindInt64(i + 1, chunk[i]);
            statement.step();
        }
    }

    // A removed clip takes its local-only image and edit date with it, unless
    // another record still carries its id.
    for (qsizetype start = 0; start < removedClipIDs.size(); start += keysPerStatement) {
        const QList<QUuid> chunk = removedClipIDs.mid(start, keysPerStatement);
        for (const EntitySpec *local : {&LocalImage::spec(), &ClipEdit::spec()}) {
            sql::Statement statement = m_db.prepare(
                QStringLiteral("DELETE FROM ") + tableOf(*local) + QStringLiteral(" WHERE clipID IN (")
                + placeholders(chunk.size()) + QStringLiteral(") AND clipID NOT IN (SELECT id FROM main.ClipItem)"));
            for (int i = 0; i < chunk.size(); ++i)
                statement.bindText(i + 1, chunk[i].toString(QUuid::WithoutBraces));
            statement.step();
            if (m_db.changes() > 0)
                summary.entities.insert(QLatin1String(local->name));
        }
    }
    summary.removedClipIDs = removedClipIDs;
}

bool ModelContext::save()
{
    if (!hasChanges())
        return true;

    SaveSummary summary;
    summary.savedRecords.emplace(m_inserted);
    for (const auto &changed : std::as_const(m_changed))
        summary.savedRecords->push_back(changed);
    if (!commitLocalInsertsFirst(summary))
        return false;
    std::vector<Record *> newlyKeyed;
    try {
        sql::Transaction transaction(m_db);
        for (const auto &record : m_inserted) {
            writeInsert(*record);
            newlyKeyed.push_back(record.get());
            summary.entities.insert(QLatin1String(record->entity().name));
        }
        for (Record *record : m_changed.keys()) {
            writeUpdate(*record);
            summary.entities.insert(QLatin1String(record->entity().name));
        }
        writeDeletions(summary);
        transaction.commit();
    } catch (const sql::Error &error) {
        // Nothing was written: new records stay pending for the next save.
        for (Record *record : newlyKeyed)
            record->m_rowID = 0;
        noteFailure(error);
        takeBackRemovals();
        return false;
    }

    for (const auto &record : m_inserted) {
        record->m_dirty = 0;
        record->releaseStoredContent();
        m_identityMap[&record->entity()].remember(record->m_rowID, record);
    }
    for (Record *record : m_changed.keys()) {
        record->m_dirty = 0;
        record->releaseStoredContent();
    }
    for (const auto &record : std::as_const(m_removed)) {
        record->m_gone = true;
        m_identityMap[&record->entity()].remove(record->m_rowID);
    }
    QSet<qint64> bulkKeys(m_removedClipKeys.keyBegin(), m_removedClipKeys.keyEnd());
    forgetRemovedClips(bulkKeys);

    const bool deleted = !summary.removedClipIDs.isEmpty() || !m_removed.isEmpty();
    m_inserted.clear();
    m_changed.clear();
    m_removed.clear();
    m_removedClipKeys.clear();
    m_lastError.clear();
    m_diskFull = false;
    m_storeHeld = false;

    if (deleted && m_afterDeletion)
        m_afterDeletion();
    emit didSave(summary);
    return true;
}

namespace {

// SQLite's own: a commit that leaves more pages in the log copies them.
constexpr int defaultLogPagesBeforeCopy = 1000;

} // namespace

bool ModelContext::saveImported()
{
    std::optional<sql::UnsyncedCommits> unsynced;
    try {
        unsynced.emplace(m_db, QList<QString>{QStringLiteral("main"), QStringLiteral("local")});
    } catch (const sql::Error &error) {
        qWarning("an import's commit waits for the disk: %s", qPrintable(error.message()));
    }
    const bool saved = save();
    if (m_copyLog)
        m_copyLog();
    return saved;
}

void ModelContext::setLogCopier(Checkpoint copyLog)
{
    m_copyLog = std::move(copyLog);
    // Copying a large commit's log (a copy of 15 MB) took a third of its
    // save on the thread that saved.
    if (m_copyLog)
        sqlite3_wal_hook(m_db.handle(), &ModelContext::logGrew, this);
    else
        sqlite3_wal_autocheckpoint(m_db.handle(), defaultLogPagesBeforeCopy);
}

int ModelContext::logGrew(void *context, sqlite3 *, const char *, int pages)
{
    if (pages >= defaultLogPagesBeforeCopy)
        static_cast<ModelContext *>(context)->m_copyLog();
    return SQLITE_OK;
}

bool ModelContext::commitLocalInsertsFirst(SaveSummary &summary)
{
    // SQLite commits the two store files of one transaction one after the
    // other, shared store first. A local record (a large image) goes first
    // in a transaction of its own, so a crash in between leaves at most a
    // record without its clip, which the launch sweep removes, never a clip
    // pointing at nothing.
    const auto local = std::stable_partition(m_inserted.begin(), m_inserted.end(), [](const auto &record) {
        return record->entity().store == StoreFile::local;
    });
    const bool sharedChanges = local != m_inserted.end() || !m_changed.isEmpty() || !m_removed.isEmpty()
                               || !m_removedClipKeys.isEmpty();
    if (local == m_inserted.begin() || !sharedChanges)
        return true;
    try {
        sql::Transaction transaction(m_db);
        for (auto record = m_inserted.begin(); record != local; ++record)
            writeInsert(**record);
        transaction.commit();
    } catch (const sql::Error &error) {
        for (auto record = m_inserted.begin(); record != local; ++record)
            (*record)->m_rowID = 0;
        noteFailure(error);
        takeBackRemovals();
        return false;
    }
    for (auto record = m_inserted.begin(); record != local; ++record) {
        (*record)->m_dirty = 0;
        m_identityMap[&(*record)->entity()].remember((*record)->m_rowID, *record);
        summary.entities.insert(QLatin1String((*record)->entity().name));
    }
    m_inserted.erase(m_inserted.begin(), local);
    return true;
}

void ModelContext::noteFailure(const sql::Error &error)
{
    m_lastError = error.message();
    m_diskFull = error.isDiskFull();
    m_storeHeld = (error.code() & 0xff) == SQLITE_BUSY;
}

// A removal kept pending would be lost without a word by a quit before room
// is made, and the clip would be back at the next launch. So it is taken back
// at once, with the edits made alongside it (a deleted pinboard's unpinned
// clips), and the views list the records as the store still holds them.
void ModelContext::takeBackRemovals()
{
    if (m_removed.isEmpty() && m_removedClipKeys.isEmpty())
        return;
    qWarning().noquote() << QStringLiteral("TamoCove: could not delete %1 records: %2")
                             .arg(QString::number(m_removed.size() + m_removedClipKeys.size()), m_lastError);
    SaveSummary restored;
    for (Record *record : m_removed.keys())
        restored.entities.insert(QLatin1String(record->entity().name));
    for (Record *record : m_changed.keys())
        restored.entities.insert(QLatin1String(record->entity().name));
    if (!m_removedClipKeys.isEmpty())
        restored.entities.insert(QLatin1String(ClipItem::spec().name));
    m_removed.clear();
    m_removedClipKeys.clear();
    readBackChanges();
    emit didSave(restored);
    emit removalsTakenBack();
}

void ModelContext::forgetRemovedClips(const QSet<qint64> &keys)
{
    auto &clips = m_identityMap[&ClipItem::spec()];
    for (qint64 key : keys) {
        if (auto record = clips.take(key))
            record->m_gone = true;
    }
}

} // namespace tamo
