#include "model/StoreRescue.h"

#include "model/ModelContainer.h"
#include "model/Schema.h"
#include "model/Sqlite.h"

#include <QDateTime>
#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <algorithm>

namespace tamo {

namespace {

const QStringList logSuffixes{QStringLiteral("-wal"), QStringLiteral("-shm")};

QString freeAsideName(const QString &file)
{
    const QString base = file + QStringLiteral(".damaged-")
                         + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString name = base;
    for (int n = 2; QFileInfo::exists(name); ++n)
        name = base + QStringLiteral("-%1").arg(n);
    return name;
}

// The logs travel with the file: the newest commits may be in them.
bool moveWithLogs(const QString &from, const QString &to)
{
    if (!QFile::rename(from, to))
        return false;
    for (const QString &suffix : logSuffixes) {
        if (QFileInfo::exists(from + suffix))
            QFile::rename(from + suffix, to + suffix);
    }
    return true;
}

// Reads forward until the damage stops the cursor, then backward from the last
// row, so rows on both sides of one damaged stretch come back. Only the
// `columns` named are copied, by name.
int copyReadableRows(sql::Database &from, sql::Database &to, const QString &table, const QStringList &columns)
{
    int copied = 0;
    const QString names = columns.join(QLatin1Char(','));
    sql::Statement insert = to.prepare(QStringLiteral("INSERT OR IGNORE INTO %1 (%2) VALUES (%3)")
                                           .arg(table, names, QStringList(columns.size(), QStringLiteral("?")).join(QLatin1Char(','))));
    auto copyInOrder = [&](const QString &order) {
        try {
            sql::Statement rows = from.prepare(QStringLiteral("SELECT %1 FROM %2 ORDER BY rowid %3").arg(names, table, order));
            while (rows.step()) {
                for (int column = 0; column < rows.columnCount(); ++column)
                    insert.bind(column + 1, rows.value(column));
                insert.run();
                copied += to.changes();
            }
            return true;
        } catch (const sql::Error &) {
            return false;
        }
    };
    if (!copyInOrder(QStringLiteral("ASC")))
        copyInOrder(QStringLiteral("DESC"));
    return copied;
}

// The table's column names in order; empty when it cannot be read.
QStringList columnsOf(sql::Database &db, const QString &table)
{
    QStringList names;
    try {
        sql::Statement columns = db.prepare(QStringLiteral("SELECT name FROM pragma_table_info(?) ORDER BY cid"));
        columns.bindText(1, table);
        while (columns.step())
            names.append(columns.text(0));
    } catch (const sql::Error &) {
        names.clear();
    }
    return names;
}

int recoverRows(const QString &damagedFile, sql::Database &fresh, const QStringList &tables)
{
    try {
        sql::Database damaged;
        damaged.openReadOnly(damagedFile);
        sql::Transaction transaction(fresh);
        int rows = 0;
        for (const QString &table : tables) {
            // Rows of a table with columns ours lacks would lose them; an
            // older schema whose columns we all still have (maybe in
            // another order) gives them all back.
            const QStringList columns = columnsOf(damaged, table);
            const QStringList ours = columnsOf(fresh, table);
            if (!columns.isEmpty()
                && std::all_of(columns.cbegin(), columns.cend(), [&](const QString &name) { return ours.contains(name); }))
                rows += copyReadableRows(damaged, fresh, table, columns);
        }
        transaction.commit();
        return rows;
    } catch (const sql::Error &error) {
        qWarning().noquote() << QStringLiteral("TamoCove: could not recover clips from %1: %2")
                                 .arg(damagedFile, error.message());
        return 0;
    }
}

} // namespace

std::optional<StoreRescue::Result> StoreRescue::moveAsideAndStartFresh(const QString &storeFile)
{
    const bool isLocal = QFileInfo(storeFile).fileName() == QLatin1String(ModelContainer::localStoreName);
    const QList<Migration> &migrations = isLocal ? localStoreMigrations() : syncedStoreMigrations();
    const QStringList tables = isLocal ? QStringList{QStringLiteral("LocalImage"), QStringLiteral("ClipEdit")}
                                       : QStringList{QStringLiteral("ClipItem"), QStringLiteral("Pinboard"),
                                                     QStringLiteral("SourceApp")};

    Result result{freeAsideName(storeFile)};
    if (!moveWithLogs(storeFile, result.movedTo))
        return std::nullopt;
    try {
        sql::Database fresh;
        openStore(fresh, storeFile, migrations);
        result.rowsRecovered = recoverRows(result.movedTo, fresh, tables);
    } catch (const sql::Error &error) {
        // Opening the fresh store reports its own failure on the next try.
        qWarning().noquote() << QStringLiteral("TamoCove: could not start a fresh store at %1: %2")
                                 .arg(storeFile, error.message());
    }
    return result;
}

} // namespace tamo
