#include "support/TempDir.h"

#include "model/ClipDraft.h"
#include "model/ClipItem.h"
#include "model/ClipListQuery.h"
#include "model/ContentHash.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"
#include "model/Schema.h"
#include "model/Sqlite.h"

#include <QCoreApplication>
#include <QDir>
#include <QTest>
#include <QThread>
#include <QUuid>

#include <sqlite3.h>

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <mutex>

using namespace tamo;
using namespace tamo::testing;

namespace {

constexpr int head = ClipItem::textPreviewLength;

// Counts the bytes SQLite reads on the main thread, from any file, while it
// is the default VFS.
class ReadCount
{
public:
    ReadCount()
    {
        s_real = sqlite3_vfs_find(nullptr);
        m_vfs = *s_real;
        m_vfs.zName = "read-count";
        m_vfs.szOsFile = s_real->szOsFile;
        m_vfs.xOpen = open;
        sqlite3_vfs_register(&m_vfs, 1);
    }
    ~ReadCount()
    {
        sqlite3_vfs_unregister(&m_vfs);
        sqlite3_vfs_register(s_real, 1);
    }

    static inline std::atomic<qint64> bytes = 0;

private:
    static int open(sqlite3_vfs *, const char *name, sqlite3_file *file, int flags, int *outFlags)
    {
        const int result = s_real->xOpen(s_real, name, file, flags, outFlags);
        if (result == SQLITE_OK && file->pMethods) {
            const std::lock_guard lock(s_lock);
            // Each kind of file keeps its own methods, reads counted.
            auto [counted, added] = s_counted.try_emplace(file->pMethods, *file->pMethods);
            if (added)
                counted->second.xRead = read;
            s_originals[file] = file->pMethods;
            file->pMethods = &counted->second;
        }
        return result;
    }
    static int read(sqlite3_file *file, void *into, int amount, sqlite3_int64 offset)
    {
        if (QThread::currentThread() == QCoreApplication::instance()->thread())
            bytes += amount;
        const sqlite3_io_methods *original = nullptr;
        {
            const std::lock_guard lock(s_lock);
            original = s_originals.at(file);
        }
        return original->xRead(file, into, amount, offset);
    }

    static inline sqlite3_vfs *s_real = nullptr;
    static inline std::mutex s_lock;
    static inline std::map<const sqlite3_io_methods *, sqlite3_io_methods> s_counted;
    static inline std::map<sqlite3_file *, const sqlite3_io_methods *> s_originals;
    sqlite3_vfs m_vfs;
};

// How each text came to be in the store.
enum class Written { here, byAnOlderVersion, changedElsewhere };

// A store as the version before derived heads wrote it, holding `texts`.
void writeAsAnOlderVersion(const QString &folder, const QStringList &texts)
{
    sql::Database db;
    db.open(QDir(folder).filePath(QLatin1String(ModelContainer::syncedStoreName)));
    db.exec(QStringLiteral("PRAGMA journal_mode = WAL"));
    migrate(db, syncedStoreMigrations().first(2));
    for (int i = 0; i < texts.size(); ++i) {
        sql::Statement insert = db.prepare(QStringLiteral(
            "INSERT INTO ClipItem (recordID, id, createdAt, kindRaw, text, contentHash) VALUES (?, ?, ?, 'text', ?, ?)"));
        insert.bindText(1, QUuid::createUuid().toString(QUuid::WithoutBraces));
        insert.bindText(2, QUuid::createUuid().toString(QUuid::WithoutBraces));
        insert.bindInt64(3, i * 1000);
        insert.bindText(4, texts[i]);
        insert.bindText(5, contentHashOf(ClipDraft::fromText(texts[i])));
        insert.run();
    }
}

void store(const QString &folder, const QStringList &texts, Written written)
{
    if (written == Written::byAnOlderVersion) {
        writeAsAnOlderVersion(folder, texts);
        return;
    }
    ModelContainer container(folder);
    ModelContext &context = container.mainContext();
    for (int i = 0; i < texts.size(); ++i) {
        context.insert(std::make_shared<ClipItem>(
            ClipDraft::fromText(written == Written::here ? texts[i] : QStringLiteral("before %1").arg(i)),
            QDateTime::fromMSecsSinceEpoch(i * 1000)));
    }
    ASSERT_TRUE(context.save()) << context.lastError().toStdString();
    if (written == Written::changedElsewhere) {
        // As a sync import changes a text: through a connection of its own.
        sql::Database other;
        other.open(QDir(folder).filePath(QLatin1String(ModelContainer::syncedStoreName)));
        sql::Statement keys = other.prepare(QStringLiteral("SELECT pk FROM ClipItem ORDER BY pk"));
        for (const QString &text : texts) {
            ASSERT_TRUE(keys.step());
            sql::Statement update = other.prepare(QStringLiteral("UPDATE ClipItem SET text = ? WHERE pk = ?"));
            update.bindText(1, text);
            update.bindInt64(2, keys.int64(0));
            update.run();
        }
    }
}

// Opens the store and waits until it has noted the head of every text.
bool headsNoted(const QString &folder)
{
    const ModelContainer container(folder);
    return QTest::qWaitFor(
        [&] {
            sql::Database db;
            db.open(QDir(folder).filePath(QLatin1String(ModelContainer::syncedStoreName)));
            sql::Statement missing = db.prepare(
                QStringLiteral("SELECT count(*) FROM ClipItem WHERE textLonger IS NULL AND text IS NOT NULL"));
            missing.step();
            return missing.int64(0) == 0;
        },
        30'000);
}

const struct
{
    const char *name;
    Written written;
} ways[] = {
    {"saved here", Written::here},
    {"written by an older version", Written::byAnOlderVersion},
    {"changed through another connection", Written::changedElsewhere},
};

} // namespace

// Cards show a text's first characters as SQLite's substr() cuts them (by code
// point, up to a NUL), and the whole text is read when asked for.
TEST(TextHead, ListsShowTheFirstCharactersOfEachTextAndReadTheRestWhenAskedHoweverItWasWritten)
{
    const QString emoji = QStringLiteral("\U0001F600");
    const QStringList texts{
        QStringLiteral("short"),
        QString(head, u'a'),
        QString(head + 1, u'b'),
        QString(head - 1, u'c') + emoji + QStringLiteral("after"),
        QString(head - 1, u'd') + emoji,
        QStringLiteral("nul") + QChar(0) + QStringLiteral("inside"),
        QString(head, u'e') + QChar(0),
    };
    for (const auto &way : ways) {
        SCOPED_TRACE(way.name);
        for (const bool noted : {false, true}) {
            SCOPED_TRACE(noted ? "once noted" : "before it is noted");
            TempDir folder;
            store(folder.path(), texts, way.written);
            if (noted)
                ASSERT_TRUE(headsNoted(folder.path()));
            ModelContainer container(folder.path());
            const QList<ClipItemPtr> clips = ClipListQuery::history(100).fetch(container.mainContext());
            QStringList shown;
            QStringList whole;
            for (const ClipItemPtr &clip : clips) {
                shown.prepend(clip->textPreview().value_or(QString()));
                whole.prepend(clip->text().value_or(QString()));
            }
            ASSERT_EQ(shown.size(), texts.size());
            for (qsizetype i = 0; i < texts.size(); ++i) {
                const qsizetype nul = texts[i].indexOf(QChar(0));
                const QList<uint> points = (nul < 0 ? texts[i] : texts[i].first(nul)).toUcs4();
                EXPECT_TRUE(shown[i] == QString::fromUcs4(points.constData(), std::min<qsizetype>(points.size(), head)))
                    << "shown of text " << i << ": " << shown[i].left(20).toStdString();
                EXPECT_TRUE(whole[i] == texts[i]) << "whole text " << i;
            }
        }
    }
}

// Opening the drawer over 30 texts of 15 MB read each whole on the main
// thread to cut its first characters, and walked its pages to reach the
// columns stored after it.
TEST(TextHead, AListOfLongTextsReadsNoneOfThemWhole)
{
    constexpr qsizetype length = 4 * 1024 * 1024;
    QStringList texts;
    for (int i = 0; i < 4; ++i)
        texts.append(QString(length, QLatin1Char(char('a' + i))));
    for (const auto &way : ways) {
        SCOPED_TRACE(way.name);
        TempDir folder;
        store(folder.path(), texts, way.written);
        ASSERT_TRUE(headsNoted(folder.path()));
        ReadCount reads;
        ModelContainer container(folder.path());
        ReadCount::bytes = 0;
        const QList<ClipItemPtr> clips = ClipListQuery::history(100).fetch(container.mainContext());
        ASSERT_EQ(clips.size(), texts.size());
        EXPECT_LT(ReadCount::bytes, length) << "bytes read to list them";
    }
}
