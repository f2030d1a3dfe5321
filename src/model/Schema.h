#pragma once

#include <QList>
#include <QString>

namespace tamo {

namespace sql { class Database; }

// One step of a store's schema; user_version records the last step applied.
struct Migration
{
    int version;
    QString sql;
};

const QList<Migration> &syncedStoreMigrations();
const QList<Migration> &localStoreMigrations();

// Applies the steps the file has not seen yet, each in its own transaction so
// a failed step leaves the file at the previous version. Throws sql::Error,
// also for a file written by a newer version than these steps know.
void migrate(sql::Database &db, const QList<Migration> &migrations);

int schemaVersion(sql::Database &db);

// Opens (and creates) a store file in write-ahead-log mode and brings its
// schema up to date. Throws sql::Error.
void openStore(sql::Database &db, const QString &path, const QList<Migration> &migrations);

} // namespace tamo
