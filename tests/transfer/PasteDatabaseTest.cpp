#include "transfer/PasteFixtures.h"

#include "model/TypedText.h"
#include "support/HangGuard.h"
#include "support/TempDir.h"
#include "transfer/PrivateCopy.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <QUuid>
#include <QtConcurrent/QtConcurrentRun>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <unistd.h>

using namespace tamo;
using namespace tamo::testing;
using namespace tamo::PasteImporter;

namespace {

struct ReaderHome
{
    TempDir home;
    TempDir temporary;
    PasteHome paste{home.path()};
    bool installed = true;
    int listError = 0;

    ReadEnvironment environment()
    {
        return {home.path(), temporary.path(), [this] { return installed; }, [this](const QString &folder) {
                    return listError ? listError : (QFileInfo(folder).isDir() ? 0 : ENOENT);
                }};
    }

    bool leftNothingBehind() const { return QDir(temporary.path()).isEmpty(); }
};

QByteArray archived(const QString &text)
{
    return inlineValue(keyedArchive({textItem(text)}));
}

QByteArray raw(const QString &text)
{
    return inlineValue(jsonItems({textItem(text)}));
}

std::optional<ImportError> failure(const std::function<void()> &read)
{
    try {
        read();
    } catch (const ImportError &error) {
        return error;
    }
    return std::nullopt;
}

} // namespace

TEST(PasteDatabaseTest, PreselectsTheVersionFoundOnDisk)
{
    ReaderHome reader;
    EXPECT_EQ(detectedVersion(reader.home.path()), Version::paste7);
    reader.paste.paste3();
    EXPECT_EQ(detectedVersion(reader.home.path()), Version::paste3);
    QDir().mkpath(reader.paste.locations().containerRoot);
    EXPECT_EQ(detectedVersion(reader.home.path()), Version::paste7);
}

TEST(PasteDatabaseTest, OlderGenerationWithListsMembershipAndUnreadableRows)
{
    ReaderHome reader;
    sql::Database &db = reader.paste.paste3();
    db.exec(QStringLiteral("INSERT INTO ZAPPLICATION VALUES (1, 'com.apple.Safari', 'Safari');"
                           "INSERT INTO ZSNIPPETLIST VALUES (10, 'Work', 16744448, 2, NULL);"
                           "INSERT INTO ZSNIPPETLIST VALUES (11, NULL, NULL, 1, 'other');"
                           "INSERT INTO ZSNIPPETLIST VALUES (12, 'History', NULL, 0, 'sharedPasteboardHistory');"
                           "INSERT INTO Z_2LISTS VALUES (1, 12);"
                           "INSERT INTO Z_2LISTS VALUES (1, 11);"
                           "INSERT INTO Z_2LISTS VALUES (1, 10);"
                           "INSERT INTO Z_2LISTS VALUES (2, 10);"));
    reader.paste.addPaste3Clip(1, 100, archived(QStringLiteral("newest")), QStringLiteral("  a  "), 1, 3);
    reader.paste.addPaste3Clip(2, 50, archived(QStringLiteral("older")), QStringLiteral("   "));
    reader.paste.addPaste3Clip(3, 40, QVariant(QMetaType(QMetaType::QByteArray)));
    reader.paste.addPaste3Clip(4, 30, QByteArray("\x07xyz"));
    reader.paste.addPaste3Clip(5, 20, QByteArray("\x02missing"));
    reader.paste.addPaste3Clip(6, 10, inlineValue("garbage"));
    reader.paste.addPaste3Clip(7, 5, inlineValue(keyedArchive({{{QStringLiteral("com.other"), "x"}}})));
    reader.paste.close();

    const Snapshot snapshot = readPaste3Snapshot(reader.environment());
    ASSERT_EQ(snapshot.boards.size(), 2);
    EXPECT_EQ(snapshot.boards[0].name, QStringLiteral("Work"));
    EXPECT_EQ(snapshot.boards[0].rgb, (std::array<double, 3>{1.0, 128 / 255.0, 0.0}));
    EXPECT_EQ(snapshot.boards[0].order, 2);
    EXPECT_EQ(snapshot.boards[1].name, QStringLiteral("Untitled"));
    EXPECT_EQ(snapshot.boards[1].rgb, std::nullopt);
    ASSERT_EQ(snapshot.clips.size(), 2);
    EXPECT_EQ(snapshot.unreadable, 5);
    const Clip &newest = snapshot.clips[0];
    EXPECT_EQ(newest.draft.text, QStringLiteral("newest"));
    EXPECT_EQ(newest.draft.sourceBundleID, QStringLiteral("com.apple.Safari"));
    EXPECT_EQ(newest.draft.sourceAppName, QStringLiteral("Safari"));
    EXPECT_EQ(newest.date, QDateTime::fromSecsSinceEpoch(978307200 + 100, Qt::UTC));
    EXPECT_EQ(newest.boardPasteID, 11); // the first row naming one of the boards
    EXPECT_EQ(newest.orderInBoard, 3);
    EXPECT_EQ(newest.title, QStringLiteral("  a  "));
    EXPECT_EQ(snapshot.clips[1].boardPasteID, 10);
    EXPECT_EQ(snapshot.clips[1].title, std::nullopt);
    EXPECT_FALSE(newest.contentHash.isEmpty());
    EXPECT_TRUE(reader.leftNothingBehind());
}

TEST(PasteDatabaseTest, ADeeplyNestedRowIsSkippedInBothGenerations)
{
    const QByteArray nested = inlineValue(nestedArrays(100000));
    for (const Version version : {Version::paste3, Version::paste7}) {
        ReaderHome reader;
        if (version == Version::paste3) {
            reader.paste.addPaste3Clip(1, 2, archived(QStringLiteral("kept")));
            reader.paste.addPaste3Clip(2, 1, nested);
        } else {
            reader.paste.addPaste7Clip(1, 2.0, raw(QStringLiteral("kept")));
            reader.paste.addPaste7Clip(2, 1.0, nested);
        }
        reader.paste.close();
        const Snapshot snapshot = readSnapshot(version, reader.environment());
        ASSERT_EQ(snapshot.clips.size(), 1) << int(version);
        EXPECT_EQ(snapshot.clips[0].draft.text, QStringLiteral("kept"));
        EXPECT_EQ(snapshot.unreadable, 1);
        EXPECT_TRUE(reader.leftNothingBehind());
    }
}

TEST(PasteDatabaseTest, RowsTooLargeToBatchKeepTheStartOfTheirText)
{
    // Each row is over 32 MB: JSON is inflated as it is read from the
    // database, a property list read in place.
    const QByteArray text = QByteArray("ab").repeated(25 * 1024 * 1024 / 2);
    const QByteArray json = "[{\"dataByType\":{\"public.utf8-plain-text\":\"" + text.toBase64() + "\"}}]";
    const QString cut = QStringLiteral("Cut to the first 16 MB of a longer text");
    const struct
    {
        const char *name;
        std::function<QByteArray()> stored;
        std::optional<QString> title; // nothing: the row is skipped
    } cases[] = {
        {"DEFLATE JSON", [&] { return inlineValue(deflateRaw(json, 0)); }, cut},
        {"damaged DEFLATE JSON",
         [&] {
             QByteArray stream = deflateRaw(json, 0);
             stream[0] = '\x06'; // a block type that does not exist
             return inlineValue(stream);
         },
         std::nullopt},
        {"a property list",
         [&] {
             RawPlist plist;
             const quint32 types = plist.dictionary({plist.string("public.utf8-plain-text")}, {plist.data(text)});
             return inlineValue(plist.bytes(plist.array({plist.dictionary({plist.string("dataByType")}, {types})})));
         },
         cut},
    };
    for (const auto &c : cases) {
        ReaderHome reader;
        reader.paste.addPaste7Clip(1, 3.0, raw(QStringLiteral("before")));
        reader.paste.addPaste7Clip(2, 2.0, c.stored());
        reader.paste.addPaste7Clip(3, 1.0, raw(QStringLiteral("after")));
        reader.paste.close();
        const Snapshot snapshot = readPaste7Snapshot(reader.environment());
        ASSERT_EQ(snapshot.clips.size(), c.title ? 3 : 2) << c.name;
        EXPECT_EQ(snapshot.clips.first().draft.text, QStringLiteral("before")) << c.name;
        EXPECT_EQ(snapshot.clips.last().draft.text, QStringLiteral("after")) << c.name;
        EXPECT_EQ(snapshot.unreadable, c.title ? 0 : 1) << c.name;
        if (c.title) {
            const ClipDraft &draft = snapshot.clips[1].draft;
            EXPECT_EQ(draft.text->size(), ClipDraft::largestText) << c.name;
            EXPECT_TRUE(draft.text->startsWith(QStringLiteral("abab"))) << c.name;
            EXPECT_EQ(draft.title, c.title) << c.name;
        }
    }
}

TEST(PasteDatabaseTest, OnlyTheNewestRowOfAContentKeepsItsDraft)
{
    // Rows of one content in one batch and across batches (a large row is
    // decoded alone), newest first.
    const QByteArray large = QByteArray("ab").repeated(25 * 1024 * 1024 / 2);
    const QByteArray largeJson = "[{\"dataByType\":{\"public.utf8-plain-text\":\"" + large.toBase64() + "\"}}]";
    ReaderHome reader;
    reader.paste.addPaste7Clip(1, 6.0, raw(QStringLiteral("same")));
    reader.paste.addPaste7Clip(2, 5.0, raw(QStringLiteral("other")));
    reader.paste.addPaste7Clip(3, 4.0, raw(QStringLiteral("same")));
    reader.paste.addPaste7Clip(4, 3.0, inlineValue(deflateRaw(largeJson, 0)));
    reader.paste.addPaste7Clip(5, 2.0, raw(QStringLiteral("same")));
    reader.paste.addPaste7Clip(6, 1.0, inlineValue(deflateRaw(largeJson, 0)));
    reader.paste.close();
    const Snapshot snapshot = readPaste7Snapshot(reader.environment());
    ASSERT_EQ(snapshot.clips.size(), 6);
    const bool keepsDraft[] = {true, true, false, true, false, false};
    for (qsizetype i = 0; i < snapshot.clips.size(); ++i)
        EXPECT_EQ(snapshot.clips[i].draft.text.has_value(), keepsDraft[i]) << i;
    EXPECT_EQ(snapshot.clips[4].contentHash, snapshot.clips[0].contentHash);
    EXPECT_EQ(snapshot.clips[5].contentHash, snapshot.clips[3].contentHash);
}

TEST(PasteDatabaseTest, JoinTablesFoundByTheirColumnsWhateverTheirNames)
{
    const struct
    {
        const char *schema;
        std::optional<JoinTable> expected;
    } cases[] = {
        {"CREATE TABLE Z_5LISTS (Z_5SNIPPETS INTEGER, Z_9LISTS INTEGER)", JoinTable{"Z_5LISTS", "Z_5SNIPPETS", "Z_9LISTS"}},
        {"CREATE TABLE Z_5LISTS (Z_5OTHER INTEGER, Z_9LISTS INTEGER)", std::nullopt},
        {"CREATE TABLE Z_5LISTS (Z_5SNIPPETS INTEGER)", std::nullopt},
        {"CREATE TABLE ZLISTS (Z_5SNIPPETS INTEGER, Z_9LISTS INTEGER)", std::nullopt},
        // Odd names are data, never part of a statement.
        {R"(CREATE TABLE "Z_1 x"") ; DROP TABLE ZSNIPPET; --LISTS" ("A""SNIPPETS" INTEGER, "B LISTS" INTEGER))",
         JoinTable{R"(Z_1 x") ; DROP TABLE ZSNIPPET; --LISTS)", R"(A"SNIPPETS)", "B LISTS"}},
    };
    for (const auto &c : cases) {
        TempDir dir;
        sql::Database db;
        db.open(dir.file(QStringLiteral("db")));
        db.exec(QString::fromUtf8(c.schema));
        EXPECT_EQ(findListJoinTable(db), c.expected) << c.schema;
    }
}

TEST(PasteDatabaseTest, AnOddJoinTableStillPinsItsClips)
{
    ReaderHome reader;
    sql::Database &db = reader.paste.paste3();
    db.exec(QStringLiteral(R"(DROP TABLE Z_2LISTS; CREATE TABLE "Z_2 ""LISTS" ("my SNIPPETS" INTEGER, "x""LISTS" INTEGER);)"
                           R"(INSERT INTO "Z_2 ""LISTS" VALUES (1, 10); INSERT INTO ZSNIPPETLIST VALUES (10, 'A', NULL, 0, NULL);)"));
    reader.paste.addPaste3Clip(1, 1, archived(QStringLiteral("x")));
    reader.paste.close();
    const Snapshot snapshot = readPaste3Snapshot(reader.environment());
    ASSERT_EQ(snapshot.clips.size(), 1);
    EXPECT_EQ(snapshot.clips[0].boardPasteID, 10);
}

TEST(PasteDatabaseTest, NewerGenerationWithListOrderColoursAndDates)
{
    ReaderHome reader;
    sql::Database &db = reader.paste.paste7();
    db.exec(QStringLiteral("INSERT INTO ZAPPLICATIONENTITY VALUES (2, 'com.app', NULL);"
                           "INSERT INTO ZLISTMETADATAENTITY VALUES (1, 5);"
                           "INSERT INTO ZLISTMETADATAENTITY VALUES (2, 1);"
                           "INSERT INTO ZLISTENTITY VALUES (20, 'Second', NULL, 1, NULL, NULL);"
                           "INSERT INTO ZLISTENTITY VALUES (21, 'First', CAST('{\"colorCode\":255}' AS BLOB), 2, 2, NULL);"
                           "INSERT INTO ZLISTENTITY VALUES (22, 'No index', NULL, NULL, NULL, NULL);"
                           "INSERT INTO ZLISTENTITY VALUES (23, 'History', NULL, NULL, NULL, 'sharedPasteboardHistory');"
                           "INSERT INTO ZLISTENTITY VALUES (24, 'Smart', NULL, NULL, 1, NULL);"));
    reader.paste.addPaste7Clip(1, QVariant(), raw(QStringLiteral("created only")), 21, {}, 2, 500.0, 2);
    reader.paste.addPaste7Clip(2, 100.0, inlineValue(plistItems({textItem(QStringLiteral("plist"))})), 99);
    reader.paste.close();

    const Snapshot snapshot = readPaste7Snapshot(reader.environment());
    QStringList names;
    QList<qint64> orders;
    for (const Board &board : snapshot.boards) {
        names.append(board.name);
        orders.append(board.order);
    }
    EXPECT_EQ(names, (QStringList{QStringLiteral("First"), QStringLiteral("Second"), QStringLiteral("No index")}));
    EXPECT_EQ(orders, (QList<qint64>{0, 1, 2}));
    EXPECT_EQ(snapshot.boards[0].rgb, (std::array<double, 3>{0, 0, 1.0}));
    ASSERT_EQ(snapshot.clips.size(), 2);
    EXPECT_EQ(snapshot.clips[0].draft.text, QStringLiteral("created only"));
    EXPECT_EQ(snapshot.clips[0].date, QDateTime::fromSecsSinceEpoch(978307200 + 500, Qt::UTC));
    EXPECT_EQ(snapshot.clips[0].draft.sourceBundleID, QStringLiteral("com.app"));
    EXPECT_EQ(snapshot.clips[0].draft.sourceAppName, std::nullopt);
    EXPECT_EQ(snapshot.clips[0].boardPasteID, 21);
    EXPECT_EQ(snapshot.clips[1].boardPasteID, 99);
    EXPECT_TRUE(reader.leftNothingBehind());
}

int mode(const QString &path)
{
    struct stat info{};
    ::stat(QFile::encodeName(path).constData(), &info);
    return int(info.st_mode & 0777);
}

TEST(PasteDatabaseTest, TheCopyIsForThisUserOnlyAndGoesAway)
{
    TempDir root;
    TempDir source;
    writeFile(source.file(QStringLiteral("db.sqlite")), "db");
    writeFile(source.file(QStringLiteral("db.sqlite-shm")), "shm");
    QString path;
    {
        PrivateCopy copy(root.file(QStringLiteral("runtime")));
        path = copy.path();
        copy.copyDatabase(source.path(), QStringLiteral("db.sqlite"));
        EXPECT_TRUE(QFileInfo(path).fileName().startsWith(QLatin1String("TamoPasteImport-")));
        EXPECT_EQ(mode(path), 0700);
        EXPECT_EQ(mode(copy.filePath(QStringLiteral("db.sqlite"))), 0600);
        EXPECT_EQ(readFile(copy.filePath(QStringLiteral("db.sqlite-shm"))), QByteArray("shm"));
        EXPECT_FALSE(QFileInfo::exists(copy.filePath(QStringLiteral("db.sqlite-wal"))));
    }
    EXPECT_FALSE(QFileInfo::exists(path));
}

TEST(PasteDatabaseTest, ReadsWhatIsStillInTheWriteAheadLog)
{
    ReaderHome reader;
    sql::Database &db = reader.paste.paste7();
    db.exec(QStringLiteral("PRAGMA journal_mode=WAL; PRAGMA wal_autocheckpoint=0;"));
    reader.paste.addPaste7Clip(1, 1.0, raw(QStringLiteral("only in the log")));
    // The other app is still running: its log holds the clip.
    ASSERT_TRUE(QFileInfo::exists(reader.paste.locations().paste7Folder + QStringLiteral("/db.sqlite-wal")));
    const Snapshot snapshot = readPaste7Snapshot(reader.environment());
    ASSERT_EQ(snapshot.clips.size(), 1);
    EXPECT_TRUE(reader.leftNothingBehind());
}

TEST(PasteDatabaseTest, FailuresNameTheirCauseAndLeaveNothingBehind)
{
    struct Case
    {
        const char *name;
        std::function<void(ReaderHome &)> prepare;
        Version version;
        ImportError expected;
    };
    const Case cases[] = {
        {"no older database", [](ReaderHome &) {}, Version::paste3, ImportError::notFound(Version::paste3)},
        {"no folder, app installed", [](ReaderHome &) {}, Version::paste7, ImportError::notFound(Version::paste7)},
        {"no folder, no app", [](ReaderHome &r) { r.installed = false; }, Version::paste7, ImportError::notInstalled()},
        {"folder refused", [](ReaderHome &r) { r.listError = EACCES; }, Version::paste7,
         ImportError::needsFullDiskAccess()},
        {"folder not permitted", [](ReaderHome &r) { r.listError = EPERM; }, Version::paste7,
         ImportError::needsFullDiskAccess()},
        {"folder without database", [](ReaderHome &r) { QDir().mkpath(r.paste.locations().paste7Folder); },
         Version::paste7, ImportError::notFound(Version::paste7)},
        {"a log without its database", [](ReaderHome &r) {
             QDir().mkpath(r.paste.locations().paste7Folder);
             writeFile(r.paste.locations().paste7Folder + QStringLiteral("/db.sqlite-wal"), "log");
         }, Version::paste7, ImportError::notFound(Version::paste7)},
        {"not a database", [](ReaderHome &r) {
             QDir().mkpath(r.paste.locations().paste7Folder);
             writeFile(r.paste.locations().paste7Folder + QStringLiteral("/db.sqlite"), QByteArray(4096, 'x'));
         }, Version::paste7, ImportError::unreadable(QStringLiteral("file is not a database"))},
        {"another app's tables", [](ReaderHome &r) {
             r.paste.paste3().exec(QStringLiteral("DROP TABLE ZSNIPPET"));
             r.paste.close();
         }, Version::paste3, ImportError::unreadable(QStringLiteral("no such table: ZSNIPPET"))},
        {"more pinboards than it may hold", [](ReaderHome &r) {
             r.paste.paste7().exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                                                  "WHERE i <= %1) INSERT INTO ZLISTENTITY (Z_PK, ZNAME) SELECT i, 'list' "
                                                  "FROM n").arg(maxBoardRows));
             r.paste.close();
         }, Version::paste7,
         ImportError::unreadable(QStringLiteral("it holds more than %1 pinboards").arg(QLocale().toString(maxBoardRows)))},
    };
    for (const Case &c : cases) {
        ReaderHome reader;
        c.prepare(reader);
        const auto error = failure([&] { readSnapshot(c.version, reader.environment()); });
        EXPECT_EQ(error, c.expected) << c.name << ": " << (error ? error->text().toStdString() : "none");
        EXPECT_TRUE(reader.leftNothingBehind()) << c.name;
    }
}

TEST(PasteDatabaseTest, NamesIdentitiesAndTitlesAreReadNoLongerThanATypedText)
{
    ReaderHome reader;
    const QString longText(3 * maxTypedLength, u'n');
    reader.paste.paste7().prepare(QStringLiteral("INSERT INTO ZAPPLICATIONENTITY VALUES (1, ?, ?)"))
        .bind(1, longText).bind(2, longText).run();
    reader.paste.paste7().prepare(QStringLiteral("INSERT INTO ZLISTENTITY (Z_PK, ZNAME) VALUES (1, ?)")).bind(1, longText).run();
    reader.paste.addPaste7Clip(1, 1.0, raw(QStringLiteral("text")), 1, longText, 0, {}, 1);
    reader.paste.close();
    const Snapshot snapshot = readPaste7Snapshot(reader.environment());
    ASSERT_EQ(snapshot.clips.size(), 1);
    ASSERT_EQ(snapshot.boards.size(), 1);
    const Clip &clip = snapshot.clips.first();
    for (const std::optional<QString> &text : {clip.draft.sourceBundleID, clip.draft.sourceAppName, clip.title,
                                               std::optional(snapshot.boards.first().name)})
        EXPECT_EQ(text.value_or(QString()).size(), maxTypedLength);
}

TEST(PasteDatabaseTest, CorruptPagesFailTheReadInsteadOfCuttingItShort)
{
    ReaderHome reader;
    sql::Database &db = reader.paste.paste7();
    db.exec(QStringLiteral("PRAGMA page_size=1024; BEGIN"));
    for (int i = 0; i < 400; ++i) {
        QString text;
        for (int j = 0; j < 20; ++j)
            text += QUuid::createUuid().toString();
        reader.paste.addPaste7Clip(i + 1, double(i), raw(text));
    }
    db.exec(QStringLiteral("COMMIT"));
    reader.paste.close();
    const QString path = reader.paste.locations().paste7Folder + QStringLiteral("/db.sqlite");
    QByteArray bytes = readFile(path);
    ASSERT_GT(bytes.size(), 200 * 1024);
    // Scribble over pages in the middle of the clip data.
    for (qsizetype i = 120 * 1024; i < 160 * 1024; ++i)
        bytes[i] = char(0xa5);
    writeFile(path, bytes);
    const auto error = failure([&] { readPaste7Snapshot(reader.environment()); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind(), ImportError::Kind::unreadable) << error->text().toStdString();
    EXPECT_TRUE(reader.leftNothingBehind());
}

TEST(PasteDatabaseTest, AMillionRowsAreRefusedBeforeTheyFillMemory)
{
    ReaderHome reader;
    sql::Database &db = reader.paste.paste7();
    db.exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1000000) "
                           "INSERT INTO ZITEMENTITY (Z_PK, ZTIMESTAMP) SELECT i, i FROM n;"
                           "INSERT INTO ZITEMDATAENTITY (ZITEM, ZRAWPASTEBOARDITEMS) SELECT Z_PK, x'01' FROM ZITEMENTITY;"));
    reader.paste.close();
    const auto error = failure([&] { readPaste7Snapshot(reader.environment()); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->text(), QStringLiteral("Paste's database couldn't be read: it holds more than 500,000 clips"));
    EXPECT_TRUE(reader.leftNothingBehind());
}

TEST(PasteDatabaseTest, FilesThatNeverEndAreNotRead)
{
    const tamo::testing::HangGuard guard("a Paste history with FIFOs");
    struct Case
    {
        const char *name;
        std::function<void(ReaderHome &, const QString &folder)> prepare;
        std::optional<QString> failure; // else every row naming a file is skipped
    };
    auto fifo = [](const QString &path) { ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0); };
    const QString external = QStringLiteral(".db_SUPPORT/_EXTERNAL_DATA/");
    const Case cases[] = {
        {"external data that is a FIFO", [&](ReaderHome &, const QString &folder) { fifo(folder + external + "A"); }, {}},
        {"external data linking to an endless device", [&](ReaderHome &, const QString &folder) {
             QFile::link(QStringLiteral("/dev/zero"), folder + external + "A");
         }, {}},
        {"a database that is a FIFO", [&](ReaderHome &, const QString &folder) {
             QFile::remove(folder + "/db.sqlite");
             fifo(folder + "/db.sqlite");
         }, QStringLiteral("“db.sqlite” couldn't be copied: not a regular file")},
        {"a log that is a FIFO", [&](ReaderHome &, const QString &folder) { fifo(folder + "/db.sqlite-wal"); },
         QStringLiteral("“db.sqlite-wal” couldn't be copied: not a regular file")},
    };
    for (const Case &c : cases) {
        ReaderHome reader;
        for (int key = 1; key <= 30; ++key)
            reader.paste.addPaste7Clip(key, double(key), QByteArray("\x02" "A"));
        reader.paste.close();
        const QString folder = reader.paste.locations().paste7Folder;
        QDir().mkpath(folder + external);
        c.prepare(reader, folder);
        Snapshot snapshot;
        const auto error = failure([&] { snapshot = readPaste7Snapshot(reader.environment()); });
        if (c.failure) {
            EXPECT_EQ(error, ImportError::failed(*c.failure)) << c.name;
        } else {
            EXPECT_EQ(error, std::nullopt) << c.name;
            EXPECT_EQ(snapshot.unreadable, 30) << c.name;
        }
        EXPECT_TRUE(reader.leftNothingBehind()) << c.name;
    }
}

TEST(PasteDatabaseTest, AQueryThatNeverEndsRunsOutOfTime)
{
    ReaderHome reader;
    reader.paste.makeEndlessClipView();
    reader.paste.close();
    ReadEnvironment environment = reader.environment();
    environment.stepBudget = std::chrono::milliseconds(200);
    const auto error = failure([&] { readPaste7Snapshot(environment); });
    EXPECT_EQ(error, ImportError::unreadable(QStringLiteral("one of its queries took longer than 0.2 seconds")));
    EXPECT_TRUE(reader.leftNothingBehind());
}

TEST(PasteDatabaseTest, ACancelledReadEndsAtOnceWhateverItWaitsOn)
{
    ReaderHome reader;
    reader.paste.makeEndlessClipView();
    reader.paste.close();
    ReadEnvironment environment = reader.environment();
    environment.stepBudget = std::chrono::minutes(10);
    QFuture<std::optional<ImportError>> read =
        QtConcurrent::run([environment] { return failure([&] { readPaste7Snapshot(environment); }); });
    // Cancelled once the copy is made, while its query runs.
    QDeadlineTimer deadline(std::chrono::seconds(60));
    while (reader.leftNothingBehind() && !deadline.hasExpired())
        QThread::msleep(10);
    environment.cancelled->store(true);
    read.waitForFinished();
    EXPECT_EQ(read.result(), ImportError::cancelled());
    EXPECT_TRUE(reader.leftNothingBehind());
}

TEST(PasteDatabaseTest, NamesAndTitlesAreCutToWhatCanBeTyped)
{
    ReaderHome reader;
    reader.paste.paste7().prepare(QStringLiteral("INSERT INTO ZLISTENTITY VALUES (5, ?, NULL, NULL, 2, NULL)"))
        .bindText(1, QString(100000, u'n')).run();
    reader.paste.addPaste7Clip(1, 1.0, raw(QStringLiteral("x")), 5, QString(300000, u't'));
    reader.paste.close();
    const Snapshot snapshot = readPaste7Snapshot(reader.environment());
    ASSERT_EQ(snapshot.boards.size(), 1);
    EXPECT_EQ(snapshot.boards[0].name, QString(maxTypedLength, u'n'));
    ASSERT_EQ(snapshot.clips.size(), 1);
    EXPECT_EQ(snapshot.clips[0].title, QString(maxTypedLength, u't'));
}

TEST(PasteDatabaseTest, NumbersNoIntegerHoldsReadAsTheirFallback)
{
    EXPECT_EQ(dateFromReference(std::nan("")), QDateTime::fromSecsSinceEpoch(978307200, Qt::UTC));
    EXPECT_EQ(dateFromReference(HUGE_VAL), dateFromReference(0));
    EXPECT_TRUE(dateFromReference(-1e300).isValid());

    ReaderHome reader;
    reader.paste.paste3().exec(QStringLiteral("INSERT INTO ZSNIPPETLIST VALUES (10, 'A', 1e300, 9e99, NULL)"));
    reader.paste.addPaste3Clip(1, 1e308, archived(QStringLiteral("x")));
    reader.paste.paste3().exec(QStringLiteral("UPDATE ZSNIPPET SET ZDISPLAYORDERINPINBOARD = 1e300"));
    reader.paste.close();
    const Snapshot snapshot = readPaste3Snapshot(reader.environment());
    ASSERT_EQ(snapshot.clips.size(), 1);
    EXPECT_EQ(snapshot.clips[0].orderInBoard, 0);
    EXPECT_EQ(snapshot.boards[0].order, 0);
    EXPECT_TRUE(snapshot.clips[0].date.isValid());
}

TEST(PasteDatabaseTest, TheErrorTexts)
{
    EXPECT_EQ(ImportError::notFound(Version::paste7).text(),
              QStringLiteral("Paste 7's history wasn't found. Open Paste once so it creates its history, then try again. "
                             "If you use an older Paste, choose its version instead."));
    EXPECT_EQ(ImportError::notFound(Version::paste3).text(),
              QStringLiteral("Paste 3's database wasn't found. Open Paste once so it creates its history, then try again. "
                             "If you use a newer Paste, choose its version instead."));
    EXPECT_EQ(ImportError::unreadable(QStringLiteral("boom")).text(), QStringLiteral("Paste's database couldn't be read: boom"));
    EXPECT_EQ(ImportError::notInstalled().text(), QStringLiteral("Paste isn't installed on this computer."));
}
