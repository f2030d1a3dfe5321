#pragma once

#include <QByteArray>
#include <QHash>
#include <QJsonObject>
#include <QJsonValue>
#include <QMap>
#include <QString>

#include <optional>

namespace tamo {

namespace sql { class Database; }
struct EntitySpec;

// The synced records as rows found by their sync identity, with their
// fields in the form they travel in: JSON values, and bytes kept apart.
class RecordRows
{
public:
    using Bytes = std::optional<QByteArray>; // empty for NULL

    struct Row
    {
        QJsonObject fields;
        QMap<QString, Bytes> blobs;
    };

    explicit RecordRows(sql::Database &db);

    std::optional<Row> read(const EntitySpec &entity, const QString &recordID);
    // Updates the given fields, inserting the record first when it is new
    // (fields not given yet take neutral values until their change arrives);
    // the row's key in its table.
    qint64 write(const EntitySpec &entity, const QString &recordID, const Row &row);
    // The removed row's key; none when there was no such record.
    std::optional<qint64> remove(const EntitySpec &entity, const QString &recordID);

private:
    std::optional<qint64> rowKey(const EntitySpec &entity, const QString &recordID);

    sql::Database &m_db;
    QHash<QString, QStringList> m_requiredColumns; // per table: NOT NULL without default
};

// A short fingerprint of a field's value, to tell which fields an edit changed.
QByteArray fieldDigest(const QJsonValue &value);

} // namespace tamo
