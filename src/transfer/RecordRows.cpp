#include "transfer/RecordRows.h"

#include "model/Record.h"
#include "model/Sqlite.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>

namespace tamo {

namespace {

QJsonValue toJson(ColumnType type, const sql::Statement &row, int index)
{
    if (row.isNull(index))
        return type == ColumnType::stringList ? QJsonValue(QJsonArray()) : QJsonValue(QJsonValue::Null);
    switch (type) {
    case ColumnType::text:
    case ColumnType::uuid:
        return row.text(index);
    case ColumnType::date:
    case ColumnType::integer:
        return row.int64(index);
    case ColumnType::boolean:
        return row.int64(index) != 0;
    case ColumnType::stringList:
        return QJsonDocument::fromJson(row.text(index).toUtf8()).array();
    case ColumnType::blob:
        break;
    }
    return QJsonValue::Null;
}

QVariant toSql(ColumnType type, const QJsonValue &value)
{
    if (value.isNull())
        return {};
    switch (type) {
    case ColumnType::text:
    case ColumnType::uuid:
        return value.toString();
    case ColumnType::date:
    case ColumnType::integer:
        return qint64(value.toDouble());
    case ColumnType::boolean:
        return value.toBool() ? 1 : 0;
    case ColumnType::stringList:
        return QString::fromUtf8(QJsonDocument(value.toArray()).toJson(QJsonDocument::Compact));
    case ColumnType::blob:
        break;
    }
    return {};
}

QVariant neutralValue(const QString &declaredType)
{
    return declaredType.compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0 ? QVariant(0)
                                                                                  : QVariant(QStringLiteral(""));
}

} // namespace

QByteArray fieldDigest(const QJsonValue &value)
{
    const QByteArray bytes = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).first(16);
}

RecordRows::RecordRows(sql::Database &db)
    : m_db(db)
{
}

std::optional<RecordRows::Row> RecordRows::read(const EntitySpec &entity, const QString &recordID)
{
    QStringList names;
    for (const ColumnSpec &column : entity.columns)
        names.append(QLatin1String(column.name));
    auto statement = m_db.cached(QStringLiteral("SELECT %1 FROM main.%2 WHERE recordID = ?")
                                     .arg(names.join(QLatin1Char(',')), QLatin1String(entity.name)));
    statement->bindText(1, recordID);
    if (!statement->step())
        return std::nullopt;
    Row row;
    for (int c = 0; c < int(entity.columns.size()); ++c) {
        const ColumnSpec &column = entity.columns[c];
        if (column.type == ColumnType::blob)
            row.blobs.insert(QLatin1String(column.name), statement->blob(c));
        else
            row.fields.insert(QLatin1String(column.name), toJson(column.type, *statement, c));
    }
    return row;
}

std::optional<qint64> RecordRows::rowKey(const EntitySpec &entity, const QString &recordID)
{
    auto statement = m_db.cached(QStringLiteral("SELECT pk FROM main.%1 WHERE recordID = ?").arg(QLatin1String(entity.name)));
    statement->bindText(1, recordID);
    return statement->step() ? std::optional(statement->int64(0)) : std::nullopt;
}

qint64 RecordRows::write(const EntitySpec &entity, const QString &recordID, const Row &row)
{
    const QString table = QLatin1String(entity.name);
    std::optional<qint64> key = rowKey(entity, recordID);
    if (!key) {
        if (!m_requiredColumns.contains(table)) {
            QStringList required;
            sql::Statement info = m_db.prepare(QStringLiteral("SELECT name, type FROM pragma_table_info(?) "
                                                              "WHERE \"notnull\" AND dflt_value IS NULL AND pk = 0"));
            info.bindText(1, table);
            while (info.step())
                required.append(info.text(0) + QLatin1Char(' ') + info.text(1));
            m_requiredColumns.insert(table, required);
        }
        QStringList names{QStringLiteral("recordID")};
        QVariantList values{recordID};
        for (const QString &column : m_requiredColumns.value(table)) {
            const QString name = column.section(QLatin1Char(' '), 0, 0);
            if (name != QLatin1String("recordID")) {
                names.append(name);
                values.append(neutralValue(column.section(QLatin1Char(' '), 1)));
            }
        }
        sql::Statement insert = m_db.prepare(QStringLiteral("INSERT INTO main.%1 (%2) VALUES (%3)")
                                                 .arg(table, names.join(QLatin1Char(',')),
                                                      QStringList(names.size(), QStringLiteral("?")).join(QLatin1Char(','))));
        for (int i = 0; i < values.size(); ++i)
            insert.bind(i + 1, values[i]);
        insert.run();
        key = m_db.lastInsertRowID();
    }
    QStringList assignments;
    QVariantList values;
    for (const ColumnSpec &column : entity.columns) {
        const QString name = QLatin1String(column.name);
        if (column.type == ColumnType::blob && row.blobs.contains(name)) {
            const Bytes &bytes = row.blobs.value(name);
            values.append(bytes ? QVariant(*bytes) : QVariant());
        } else if (column.type != ColumnType::blob && row.fields.contains(name)) {
            values.append(toSql(column.type, row.fields.value(name)));
        } else {
            continue;
        }
        assignments.append(name + QStringLiteral(" = ?"));
    }
    if (assignments.isEmpty())
        return *key;
    sql::Statement update = m_db.prepare(
        QStringLiteral("UPDATE main.%1 SET %2 WHERE recordID = ?").arg(table, assignments.join(QLatin1Char(','))));
    for (int i = 0; i < values.size(); ++i)
        update.bind(i + 1, values[i]);
    update.bindText(int(values.size()) + 1, recordID);
    update.run();
    return *key;
}

std::optional<qint64> RecordRows::remove(const EntitySpec &entity, const QString &recordID)
{
    const std::optional<qint64> key = rowKey(entity, recordID);
    auto statement = m_db.cached(QStringLiteral("DELETE FROM main.%1 WHERE recordID = ?").arg(QLatin1String(entity.name)));
    statement->bindText(1, recordID);
    statement->run();
    return key;
}

} // namespace tamo
