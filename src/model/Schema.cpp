#include "model/Schema.h"

#include "model/Sqlite.h"

namespace tamo {

namespace {

const QString clipIndexes = QStringLiteral(R"(
            CREATE INDEX ClipItem_id ON ClipItem(id);
            CREATE INDEX ClipItem_contentHash ON ClipItem(contentHash);
            CREATE INDEX ClipItem_createdAt ON ClipItem(createdAt);
            CREATE INDEX ClipItem_pinboard ON ClipItem(pinboardID, pinnedAt);
)");

// How many clips came from each app, kept by the store itself on every
// connection, so the filter menus never count the whole history. The name is
// that of the app's newest clip as its clips arrive.
const QString sourceTallyTriggers = QStringLiteral(R"(
            CREATE TRIGGER ClipItem_tallyInsert AFTER INSERT ON ClipItem WHEN new.sourceBundleID IS NOT NULL BEGIN
                INSERT INTO ClipSourceTally VALUES (new.sourceBundleID, 1, new.sourceAppName, new.createdAt)
                    ON CONFLICT (bundleID) DO UPDATE SET clips = clips + 1,
                        appName = iif(excluded.newestAt >= newestAt, excluded.appName, appName),
                        newestAt = max(newestAt, excluded.newestAt);
            END;
            CREATE TRIGGER ClipItem_tallyDelete AFTER DELETE ON ClipItem WHEN old.sourceBundleID IS NOT NULL BEGIN
                UPDATE ClipSourceTally SET clips = clips - 1 WHERE bundleID = old.sourceBundleID;
                DELETE FROM ClipSourceTally WHERE bundleID = old.sourceBundleID AND clips <= 0;
            END;
            CREATE TRIGGER ClipItem_tallyUpdate AFTER UPDATE OF sourceBundleID, sourceAppName, createdAt ON ClipItem BEGIN
                UPDATE ClipSourceTally SET clips = clips - 1 WHERE bundleID = old.sourceBundleID;
                DELETE FROM ClipSourceTally WHERE bundleID = old.sourceBundleID AND clips <= 0;
                INSERT INTO ClipSourceTally
                    SELECT new.sourceBundleID, 1, new.sourceAppName, new.createdAt WHERE new.sourceBundleID IS NOT NULL
                    ON CONFLICT (bundleID) DO UPDATE SET clips = clips + 1,
                        appName = iif(excluded.newestAt >= newestAt, excluded.appName, appName),
                        newestAt = max(newestAt, excluded.newestAt);
            END;
)");

} // namespace

const QList<Migration> &syncedStoreMigrations()
{
    // Integer keys are explicit so that rows never get renumbered; ids are not
    // unique because sync and import can bring the same id twice.
    static const QList<Migration> migrations{
        {1, QStringLiteral(R"(
            CREATE TABLE ClipItem (
                pk INTEGER PRIMARY KEY,
                recordID TEXT NOT NULL,
                id TEXT NOT NULL,
                createdAt INTEGER NOT NULL,
                kindRaw TEXT NOT NULL,
                text TEXT,
                rtfData BLOB,
                imageData BLOB,
                imageWidth INTEGER NOT NULL DEFAULT 0,
                imageHeight INTEGER NOT NULL DEFAULT 0,
                filePaths TEXT NOT NULL DEFAULT '[]',
                sourceBundleID TEXT,
                sourceAppName TEXT,
                contentHash TEXT NOT NULL,
                pinboardID TEXT,
                pinnedAt INTEGER,
                title TEXT,
                keywords TEXT NOT NULL DEFAULT '[]',
                iconEmoji TEXT,
                linkTitle TEXT,
                linkImageData BLOB,
                linkPreviewFetched INTEGER NOT NULL DEFAULT 0,
                imageIsLocalOnly INTEGER NOT NULL DEFAULT 0);
        )") + clipIndexes + QStringLiteral(R"(
            CREATE TABLE Pinboard (
                pk INTEGER PRIMARY KEY,
                recordID TEXT NOT NULL,
                id TEXT NOT NULL,
                name TEXT NOT NULL,
                colorIndex INTEGER NOT NULL,
                sortOrder INTEGER NOT NULL);
            CREATE INDEX Pinboard_id ON Pinboard(id);
            CREATE TABLE SourceApp (
                pk INTEGER PRIMARY KEY,
                recordID TEXT NOT NULL,
                id TEXT NOT NULL,
                bundleID TEXT NOT NULL,
                name TEXT,
                iconData BLOB,
                tintHex TEXT NOT NULL);
            CREATE INDEX SourceApp_bundleID ON SourceApp(bundleID);
            -- Saved changes of synced records waiting for the mirror: record
            -- identities only, never content, so erasing a clip erases it here too.
            CREATE TABLE MirrorOutbox (
                seq INTEGER PRIMARY KEY,
                entity TEXT NOT NULL,
                recordID TEXT NOT NULL,
                op TEXT NOT NULL);
        )")},
        {2, QStringLiteral(R"(
            CREATE TABLE ClipSourceTally (
                bundleID TEXT PRIMARY KEY,
                clips INTEGER NOT NULL,
                appName TEXT,
                newestAt INTEGER NOT NULL) WITHOUT ROWID;
            INSERT INTO ClipSourceTally
                SELECT sourceBundleID, count(*), sourceAppName, max(createdAt) FROM ClipItem
                WHERE sourceBundleID IS NOT NULL GROUP BY sourceBundleID;
        )") + sourceTallyTriggers},
        // Lists read every column but the large ones, which SQLite finds only
        // by walking the pages of the large values before them: those go last.
        // A text's first characters are kept apart from it (textHead, with
        // textLonger 1; textLonger 0 when the text is no longer; NULL until
        // derived), local to this store: derived, never synced. A change of
        // the text through a connection that does not derive them (a sync
        // import) sets them back to NULL.
        {3, QStringLiteral(R"(
            CREATE TABLE ClipItemByWeight (
                pk INTEGER PRIMARY KEY,
                recordID TEXT NOT NULL,
                id TEXT NOT NULL,
                createdAt INTEGER NOT NULL,
                kindRaw TEXT NOT NULL,
                imageWidth INTEGER NOT NULL DEFAULT 0,
                imageHeight INTEGER NOT NULL DEFAULT 0,
                sourceBundleID TEXT,
                sourceAppName TEXT,
                contentHash TEXT NOT NULL,
                pinboardID TEXT,
                pinnedAt INTEGER,
                title TEXT,
                keywords TEXT NOT NULL DEFAULT '[]',
                iconEmoji TEXT,
                linkTitle TEXT,
                linkPreviewFetched INTEGER NOT NULL DEFAULT 0,
                imageIsLocalOnly INTEGER NOT NULL DEFAULT 0,
                textLonger INTEGER,
                textHead TEXT,
                filePaths TEXT NOT NULL DEFAULT '[]',
                text TEXT,
                rtfData BLOB,
                imageData BLOB,
                linkImageData BLOB);
            INSERT INTO ClipItemByWeight (pk, recordID, id, createdAt, kindRaw, imageWidth, imageHeight,
                sourceBundleID, sourceAppName, contentHash, pinboardID, pinnedAt, title, keywords, iconEmoji,
                linkTitle, linkPreviewFetched, imageIsLocalOnly, filePaths, text, rtfData, imageData, linkImageData)
                SELECT pk, recordID, id, createdAt, kindRaw, imageWidth, imageHeight,
                sourceBundleID, sourceAppName, contentHash, pinboardID, pinnedAt, title, keywords, iconEmoji,
                linkTitle, linkPreviewFetched, imageIsLocalOnly, filePaths, text, rtfData, imageData, linkImageData
                FROM ClipItem;
            DROP TABLE ClipItem;
            ALTER TABLE ClipItemByWeight RENAME TO ClipItem;
            CREATE INDEX ClipItem_textHeadMissing ON ClipItem(pk) WHERE textLonger IS NULL AND text IS NOT NULL;
            CREATE TRIGGER ClipItem_textChanged AFTER UPDATE OF text ON ClipItem
                WHEN new.textLonger IS NOT NULL AND new.textLonger IS old.textLonger AND new.textHead IS old.textHead BEGIN
                UPDATE ClipItem SET textLonger = NULL, textHead = NULL WHERE pk = new.pk;
            END;
        )") + clipIndexes + sourceTallyTriggers},
    };
    return migrations;
}

const QList<Migration> &localStoreMigrations()
{
    static const QList<Migration> migrations{
        {1, QStringLiteral(R"(
            CREATE TABLE LocalImage (
                pk INTEGER PRIMARY KEY,
                clipID TEXT NOT NULL,
                imageData BLOB NOT NULL);
            CREATE INDEX LocalImage_clipID ON LocalImage(clipID);
            CREATE TABLE ClipEdit (
                pk INTEGER PRIMARY KEY,
                clipID TEXT NOT NULL,
                editedAt INTEGER NOT NULL);
            CREATE INDEX ClipEdit_clipID ON ClipEdit(clipID);
        )")},
    };
    return migrations;
}

int schemaVersion(sql::Database &db)
{
    sql::Statement statement = db.prepare(QStringLiteral("PRAGMA user_version"));
    statement.step();
    return int(statement.int64(0));
}

void migrate(sql::Database &db, const QList<Migration> &migrations)
{
    const int current = schemaVersion(db);
    const int newest = migrations.isEmpty() ? 0 : migrations.last().version;
    if (current > newest) {
        throw sql::Error(QStringLiteral("the store was written by a newer version of TamoCove (schema %1, this version knows %2)")
                             .arg(current)
                             .arg(newest));
    }
    for (const Migration &migration : migrations) {
        if (migration.version <= current)
            continue;
        sql::Transaction transaction(db);
        db.exec(migration.sql);
        db.exec(QStringLiteral("PRAGMA user_version = %1").arg(migration.version));
        transaction.commit();
    }
}

void openStore(sql::Database &db, const QString &path, const QList<Migration> &migrations)
{
    db.open(path);
    db.exec(QStringLiteral("PRAGMA journal_mode = WAL"));
    migrate(db, migrations);
}

} // namespace tamo
