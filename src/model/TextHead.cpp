#include "model/TextHead.h"

#include "model/Sqlite.h"

#include <algorithm>

namespace tamo::texthead {

namespace {

QString head(const ColumnSpec &column) { return QLatin1String(column.name) + QStringLiteral("Head"); }
QString longer(const ColumnSpec &column) { return QLatin1String(column.name) + QStringLiteral("Longer"); }

// Cut as SQLite's substr() cuts: by code points.
QString cutSql(const ColumnSpec &column)
{
    return QStringLiteral("substr(%1, 1, %2)").arg(QLatin1String(column.name)).arg(column.previewLength);
}

// length() stops at a NUL, which a copied text may hold: such a text is
// read whole when asked for.
QString longerThanCutSql(const ColumnSpec &column)
{
    return QStringLiteral("ifnull(length(%1) > %2 OR instr(CAST(%1 AS BLOB), x'00') > 0, 0)")
        .arg(QLatin1String(column.name))
        .arg(column.previewLength);
}

QList<qint64> missingKeys(sql::Database &db, const EntitySpec &entity, const ColumnSpec &column, int limit = -1)
{
    QList<qint64> keys;
    sql::Statement missing = db.prepare(QStringLiteral("SELECT pk FROM %1 WHERE %2 IS NULL AND %3 IS NOT NULL LIMIT %4")
                                            .arg(QLatin1String(entity.name), longer(column), QLatin1String(column.name))
                                            .arg(limit));
    while (missing.step())
        keys.append(missing.int64(0));
    return keys;
}

} // namespace

QStringList columns(const ColumnSpec &column)
{
    return {head(column), longer(column)};
}

QString listedSql(const ColumnSpec &column)
{
    return QStringLiteral("CASE %1 WHEN 0 THEN %2 WHEN 1 THEN %3 ELSE %4 END")
        .arg(longer(column), QLatin1String(column.name), head(column), cutSql(column));
}

QString longerSql(const ColumnSpec &column)
{
    return QStringLiteral("ifnull(%1, %2)").arg(longer(column), longerThanCutSql(column));
}

QString rederiveSql(const EntitySpec &entity, const ColumnSpec &column)
{
    return QStringLiteral("UPDATE %1 SET %2 = ?, %3 = ? WHERE pk = ? AND %3 IS NULL")
        .arg(QLatin1String(entity.name), head(column), longer(column));
}

int bind(sql::Statement &statement, int index, const QVariant &text, int length)
{
    if (text.isNull()) {
        statement.bindNull(index);
        statement.bindInt64(index + 1, 0);
        return index + 2;
    }
    // Cut where substr() cuts: after `length` code points or at a NUL.
    const QString whole = text.toString();
    qsizetype end = 0;
    for (int points = 0; points < length && end < whole.size() && !whole.at(end).isNull(); ++points)
        end += whole.at(end).isHighSurrogate() && end + 1 < whole.size() ? 2 : 1;
    if (end < whole.size())
        statement.bindText(index, whole.first(end)).bindInt64(index + 1, 1);
    else
        statement.bindNull(index).bindInt64(index + 1, 0);
    return index + 2;
}

bool anyMissing(sql::Database &db, const EntitySpec &entity)
{
    return std::any_of(entity.columns.begin(), entity.columns.end(), [&](const ColumnSpec &column) {
        return column.previewLength > 0 && !missingKeys(db, entity, column, 1).isEmpty();
    });
}

void fillMissing(sql::Database &db, const EntitySpec &entity, const std::atomic<bool> &stop)
{
    for (const ColumnSpec &column : entity.columns) {
        if (column.previewLength == 0)
            continue;
        const QList<qint64> keys = missingKeys(db, entity, column);
        sql::Statement derive = db.prepare(
            QStringLiteral("UPDATE %1 SET %2 = iif(%4, %5, NULL), %3 = %4 WHERE pk = ? AND %3 IS NULL")
                .arg(QLatin1String(entity.name), head(column), longer(column), longerThanCutSql(column),
                     cutSql(column)));
        for (const qint64 key : keys) {
            if (stop)
                return;
            derive.bindInt64(1, key);
            derive.run();
        }
    }
}

} // namespace tamo::texthead
