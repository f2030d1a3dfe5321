#include "StoreFixture.h"

#include "support/FullDisk.h"
#include "support/HangGuard.h"

#include "model/ClipListQuery.h"
#include "model/LocalRecords.h"
#include "model/Pinboard.h"
#include "model/Schema.h"
#include "model/Sqlite.h"
#include "model/StoreRescue.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QThread>
#include <QSignalSpy>

#include <sqlite3.h>

#include <functional>
#include <optional>
#include <sys/stat.h>

using namespace tamo;
using namespace tamo::testing;
using Compare = FetchDescriptor::Compare;

namespace {

QList<ClipItemPtr> allClips(ModelContext &context)
{
    return context.fetch<ClipItem>(FetchDescriptor().sorted(ClipItem::CreatedAtColumn, false));
}

// Local time is another zone's while it lives.
class TimeZoneOverride
{
public:
    explicit TimeZoneOverride(const char *zone)
        : m_before(qgetenv("TZ"))
        , m_wasSet(qEnvironmentVariableIsSet("TZ"))
    {
        qputenv("TZ", zone);
    }
    ~TimeZoneOverride()
    {
        if (m_wasSet)
            qputenv("TZ", m_before);
        else
            qunsetenv("TZ");
    }

private:
    const QByteArray m_before;
    const bool m_wasSet;
};

} // namespace

class Store : public StoreFixture {};

TEST_F(Store, FirstOpenCreatesBothStoresWithTheirLogs)
{
    for (const char *name : {"Tamo.store", "Tamo.store-wal", "Tamo.store-shm", "TamoLocal.store",
                             "TamoLocal.store-wal", "TamoLocal.store-shm"})
        EXPECT_TRUE(QFile::exists(dir.file(QLatin1String(name)))) << name;
    EXPECT_TRUE(ModelContainer::syncedStoreExists(dir.path()));
    EXPECT_FALSE(ModelContainer::syncedStoreExists(dir.file(QStringLiteral("elsewhere"))));
}

TEST_F(Store, EveryClipFieldSurvivesReopening)
{
    ClipDraft draft;
    draft.kind = ClipKind::image;
    draft.text = QString();                       // empty, not absent
    draft.rtfData = QByteArray("{\\rtf1 x}");
    draft.imageData = QByteArray("\x89PNG\0\1\2", 7);
    draft.imageWidth = 640;
    draft.imageHeight = 480;
    draft.filePaths = {QStringLiteral("/tmp/a b.png"), QStringLiteral("/tmp/ü.txt")};
    draft.sourceBundleID = QStringLiteral("org.gnome.Nautilus");
    const QDateTime created = QDateTime::fromMSecsSinceEpoch(1'773'000'000'123);
    const QUuid pinboard = QUuid::createUuid();
    auto clip = std::make_shared<ClipItem>(draft, created);
    clip->setPin(pinboard, created.addMSecs(1));
    clip->setTitle(QStringLiteral("Holiday"));
    clip->setKeywords({QStringLiteral("beach"), QStringLiteral("2026")});
    clip->setIconEmoji(QStringLiteral("🏖️"));
    clip->setLinkTitle(QStringLiteral("A page"));
    clip->setLinkImageData(QByteArray("link"));
    clip->setLinkPreviewFetched(true);
    context().insert(clip);
    ASSERT_TRUE(context().save()) << context().lastError().toStdString();
    const QUuid id = clip->id();
    const QString hash = clip->contentHash();
    clip.reset();
    reopen();

    const auto clips = allClips(context());
    ASSERT_EQ(clips.size(), 1);
    const ClipItem &stored = *clips.first();
    EXPECT_EQ(stored.id(), id);
    EXPECT_EQ(stored.createdAt(), created);
    EXPECT_EQ(stored.kind(), ClipKind::image);
    EXPECT_EQ(stored.text(), std::optional(QString()));
    EXPECT_EQ(stored.rtfData(), draft.rtfData);
    EXPECT_EQ(stored.imageData(), draft.imageData);
    EXPECT_EQ(stored.imageWidth(), 640);
    EXPECT_EQ(stored.imageHeight(), 480);
    EXPECT_EQ(stored.filePaths(), draft.filePaths);
    EXPECT_EQ(stored.sourceBundleID(), draft.sourceBundleID);
    EXPECT_EQ(stored.sourceAppName(), std::nullopt);
    EXPECT_EQ(stored.contentHash(), hash);
    EXPECT_EQ(stored.pinboardID(), std::optional(pinboard));
    EXPECT_EQ(stored.pinnedAt(), std::optional(created.addMSecs(1)));
    EXPECT_EQ(stored.title(), std::optional(QStringLiteral("Holiday")));
    EXPECT_EQ(stored.keywords(), QStringList({QStringLiteral("beach"), QStringLiteral("2026")}));
    EXPECT_EQ(stored.iconEmoji(), std::optional(QStringLiteral("🏖️")));
    EXPECT_EQ(stored.linkTitle(), std::optional(QStringLiteral("A page")));
    EXPECT_EQ(stored.linkImageData(), std::optional(QByteArray("link")));
    EXPECT_TRUE(stored.linkPreviewFetched());
    EXPECT_FALSE(stored.imageIsLocalOnly());
}

// Dates read back as the instants stored; shown in local time they are the
// local times they were made at, even where local time is far from UTC.
TEST_F(Store, AStoredDateIsTheSameInstantAndLocalTime)
{
    // UTC+14: the local day differs from the UTC day for most of it.
    const TimeZoneOverride zone("Pacific/Kiritimati");
    const QDateTime created(QDate(2026, 3, 1), QTime(9, 30, 15, 250));
    auto clip = std::make_shared<ClipItem>(ClipDraft::fromText(QStringLiteral("x")), created);
    clip->setPin(QUuid::createUuid(), created.addSecs(60));
    context().insert(clip);
    ASSERT_TRUE(context().save());
    reopen();
    const auto stored = allClips(context()).first();
    const QDateTime createdShown = stored->createdAt().toLocalTime();
    const QDateTime pinnedShown = stored->pinnedAt()->toLocalTime();

    EXPECT_EQ(stored->createdAt().toMSecsSinceEpoch(), created.toMSecsSinceEpoch());
    EXPECT_EQ(createdShown.date(), created.date());
    EXPECT_EQ(createdShown.time(), created.time());
    EXPECT_EQ(pinnedShown.time(), QTime(9, 31, 15, 250));
}

TEST_F(Store, FetchingTwiceGivesTheSameRecordAndKeepsUnsavedEdits)
{
    addClip(QStringLiteral("one"), clock.now());
    ASSERT_TRUE(context().save());
    const auto first = allClips(context());
    first.first()->setTitle(QStringLiteral("edited"));
    const auto second = allClips(context());
    EXPECT_EQ(first.first().get(), second.first().get());
    EXPECT_EQ(second.first()->title(), std::optional(QStringLiteral("edited")));
    EXPECT_TRUE(context().hasChanges());
}

TEST_F(Store, EditsOfARecordNoViewHoldsAreStillSaved)
{
    addClip(QStringLiteral("one"), clock.now());
    ASSERT_TRUE(context().save());
    allClips(context()).first()->setTitle(QStringLiteral("kept"));
    ASSERT_TRUE(context().save());
    reopen();
    EXPECT_EQ(allClips(context()).first()->title(), std::optional(QStringLiteral("kept")));
}

TEST_F(Store, SavedHeavyContentLeavesMemoryAndIsReadBackWhole)
{
    const QString longText = QString(ClipItem::textPreviewLength, QLatin1Char('a')) + QStringLiteral(" needle");
    ClipDraft image;
    image.kind = ClipKind::image;
    image.imageData = QByteArray(1 << 20, 'x');
    const QByteArray imageBytes = *image.imageData;
    context().insert(std::make_shared<ClipItem>(image, clock.now()));
    image.imageData.reset();
    const ClipItemPtr text = addClip(longText, clock.now().addSecs(1));
    ASSERT_TRUE(context().save());
    EXPECT_TRUE(imageBytes.isDetached()) << "the saved clip still holds the image";
    EXPECT_TRUE(longText.isDetached()) << "the saved clip still holds the whole text";

    for (bool reopened : {false, true}) {
        if (reopened)
            reopen();
        const QList<ClipItemPtr> clips = allClips(context());
        ASSERT_EQ(clips.size(), 2);
        EXPECT_EQ(clips[0]->textPreview()->size(), ClipItem::textPreviewLength) << reopened;
        EXPECT_EQ(clips[0]->text(), longText) << reopened;
        EXPECT_TRUE(clips[0]->matches(QStringLiteral("needle"), {})) << reopened;
        EXPECT_EQ(clips[1]->imageData(), imageBytes) << reopened;
    }

    // A text held as its beginning, edited to exactly that beginning, still changes.
    const ClipItemPtr held = allClips(context()).first();
    const QString prefix = *held->textPreview();
    held->setText(prefix);
    ASSERT_TRUE(context().save());
    reopen();
    EXPECT_EQ(allClips(context()).first()->text(), prefix);
}

// SQLite's length() stops at a NUL, which a copied text may hold.
TEST_F(Store, ATextWithANulIsReadBackWhole)
{
    const QString text = QString::fromUtf8(QByteArray("nul-\0-inside", 12));
    addClip(text, clock.now());
    ASSERT_TRUE(context().save());
    reopen();
    EXPECT_EQ(allClips(context()).first()->text(), text);
}

TEST_F(Store, DuplicateIdsAreLegal)
{
    const QUuid shared = QUuid::createUuid();
    context().insert(std::make_shared<Pinboard>(QStringLiteral("A"), 0, 1, shared));
    context().insert(std::make_shared<Pinboard>(QStringLiteral("B"), 1, 0, shared));
    ASSERT_TRUE(context().save());
    const auto pinboards = context().fetch<Pinboard>(
        FetchDescriptor().where(Pinboard::IdColumn, Compare::equal, shared).sorted(Pinboard::OrderColumn, true));
    ASSERT_EQ(pinboards.size(), 2);
    EXPECT_EQ(Pinboard::uniquedByID(pinboards).size(), 1);
    EXPECT_EQ(Pinboard::uniquedByID(pinboards).first()->name(), QStringLiteral("B"));
}

TEST_F(Store, FetchFiltersSortsAndPages)
{
    const QDateTime start = clock.now();
    for (int i = 0; i < 10; ++i)
        addClip(QStringLiteral("clip %1").arg(i), start.addSecs(i));
    const QUuid board = QUuid::createUuid();
    ASSERT_TRUE(context().save());
    const auto toPin = allClips(context()); // newest first
    toPin[3]->setPin(board, start.addSecs(100));
    toPin[5]->setPin(board, start.addSecs(200));
    ASSERT_TRUE(context().save());

    const auto page = context().fetch<ClipItem>(
        FetchDescriptor().sorted(ClipItem::CreatedAtColumn, false).limited(3, 2));
    ASSERT_EQ(page.size(), 3);
    EXPECT_EQ(page.first()->text(), std::optional(QStringLiteral("clip 7")));

    const auto pinned = context().fetch<ClipItem>(FetchDescriptor()
                                                      .where(ClipItem::PinboardIDColumn, Compare::equal, board)
                                                      .sorted(ClipItem::PinnedAtColumn, false));
    ASSERT_EQ(pinned.size(), 2);
    EXPECT_EQ(pinned.first()->text(), std::optional(QStringLiteral("clip 4")));
    EXPECT_EQ(pinned.last()->text(), std::optional(QStringLiteral("clip 6")));

    EXPECT_EQ(context().fetchCount<ClipItem>(FetchDescriptor().where(ClipItem::PinboardIDColumn, Compare::isNull)), 8);
    EXPECT_EQ(context().fetchCount<ClipItem>(
                  FetchDescriptor().where(ClipItem::CreatedAtColumn, Compare::less, start.addSecs(4))),
              4);
}

TEST_F(Store, SaveTellsWhatItTouchedAndWhichClipsItRemoved)
{
    QSignalSpy saved(&context(), &ModelContext::didSave);
    auto clip = addClip(QStringLiteral("x"), clock.now());
    ASSERT_TRUE(context().save());
    ASSERT_EQ(saved.size(), 1);
    EXPECT_TRUE(saved.last().first().value<SaveSummary>().entities.contains(QStringLiteral("ClipItem")));

    context().remove(clip);
    ASSERT_TRUE(context().save());
    EXPECT_EQ(saved.last().first().value<SaveSummary>().removedClipIDs, QList<QUuid>{clip->id()});
    EXPECT_TRUE(clip->isGone());
}

TEST_F(Store, BulkRemovalMarksLoadedClipsGoneAndTakesTheirLocalRecords)
{
    auto old = addClip(QStringLiteral("old"), clock.now().addDays(-3));
    auto fresh = addClip(QStringLiteral("fresh"), clock.now());
    context().insert(std::make_shared<LocalImage>(old->id(), QByteArray(100, 'x')));
    context().insert(std::make_shared<ClipEdit>(old->id(), clock.now()));
    context().insert(std::make_shared<ClipEdit>(fresh->id(), clock.now()));
    ASSERT_TRUE(context().save());

    const auto removed = context().removeClips(
        FetchDescriptor().where(ClipItem::CreatedAtColumn, Compare::less, clock.now().addDays(-1)));
    EXPECT_EQ(removed, QList<QUuid>{old->id()});
    EXPECT_EQ(allClips(context()).size(), 1); // already gone for the views
    ASSERT_TRUE(context().save());
    EXPECT_TRUE(old->isGone());
    EXPECT_FALSE(fresh->isGone());
    EXPECT_EQ(context().fetchCount<LocalImage>(), 0);
    EXPECT_EQ(context().fetchCount<ClipEdit>(), 1);
}

// A deletion the disk could not take was left pending on the path that saves
// a large image first: the views had dropped the clip, a quit lost the
// deletion, and the clip was back after a restart.
TEST_F(Store, ADeletionTheDiskCannotTakeIsTakenBackOnEitherSavePath)
{
    const struct
    {
        const char *name;
        bool imageWaiting; // a local-only image is saved in a transaction of its own first
    } cases[] = {{"the deletion alone", false}, {"with a large image waiting for room", true}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        auto doomed = addClip(QStringLiteral("doomed"), clock.now());
        ASSERT_TRUE(context().save());
        const QUuid doomedID = doomed->id();
        QSignalSpy takenBack(&context(), &ModelContext::removalsTakenBack);
        {
            DiskWithoutRoom disk;
            if (c.imageWaiting) {
                auto large = addClip(QStringLiteral("large"), clock.now());
                context().insert(std::make_shared<LocalImage>(large->id(), QByteArray(64 * 1024, 'i')));
            }
            context().remove(doomed);
            EXPECT_FALSE(context().save());
            EXPECT_TRUE(context().lastSaveFoundDiskFull());
        }
        EXPECT_EQ(takenBack.size(), 1);
        EXPECT_FALSE(doomed->isGone());
        ASSERT_TRUE(context().save()) << "room again: what waited goes in, the deletion was taken back";
        reopen();
        EXPECT_EQ(context().fetchCount<ClipItem>(
                      FetchDescriptor().where(ClipItem::IdColumn, Compare::equal, doomedID)), 1);
    }
}

TEST_F(Store, ANeverSavedClipCanBeRemovedBeforeSaving)
{
    auto clip = addClip(QStringLiteral("draft"), clock.now());
    context().remove(clip);
    EXPECT_FALSE(context().hasChanges());
    EXPECT_FALSE(clip->isInserted());
}

namespace {

// A store of `count` clips whose texts fill many pages, closed and checkpointed.
void makeStore(const QString &directory, int count)
{
    ModelContainer container(directory);
    for (int i = 0; i < count; ++i) {
        const QString text = QStringLiteral("clip %1 ").arg(i).repeated(40);
        container.mainContext().insert(std::make_shared<ClipItem>(ClipDraft::fromText(text),
                                                                  QDateTime::fromMSecsSinceEpoch(i * 1000)));
    }
    ASSERT_TRUE(container.mainContext().save());
}

} // namespace

// A refused file is judged through a connection that cannot write: not a byte
// of either store changes, not even the journal mode of the other one.
TEST(StoreOpening, AStoreWeRefuseIsNamedAndNeitherFileIsTouched)
{
    enum Fault { newerSynced, newerLocal, notADatabase, truncated };
    for (const Fault fault : {newerSynced, newerLocal, notADatabase, truncated}) {
        SCOPED_TRACE(int(fault));
        TempDir dir;
        makeStore(dir.path(), 200);
        const QString synced = dir.file(QStringLiteral("Tamo.store"));
        const QString local = dir.file(QStringLiteral("TamoLocal.store"));
        const QString faulty = fault == newerLocal ? local : synced;
        for (const QString &path : {synced, local}) {
            sql::Database db;
            db.open(path);
            db.exec(QStringLiteral("PRAGMA journal_mode = DELETE"));
            if (path == faulty && (fault == newerSynced || fault == newerLocal))
                db.exec(QStringLiteral("PRAGMA user_version = 99"));
        }
        if (fault == notADatabase)
            writeFile(synced, QByteArray("this is not a database, it is someone's notes\n").repeated(200));
        if (fault == truncated)
            writeFile(synced, readFile(synced).left(readFile(synced).size() / 2));
        const QByteArray syncedBefore = readFile(synced);
        const QByteArray localBefore = readFile(local);

        try {
            ModelContainer container(dir.path());
            FAIL() << "opened a store it should refuse";
        } catch (const StoreOpenError &error) {
            const bool newer = fault == newerSynced || fault == newerLocal;
            EXPECT_EQ(error.cause(), newer ? StoreOpenError::Cause::newerVersion : StoreOpenError::Cause::damaged);
            EXPECT_EQ(error.file(), faulty);
            EXPECT_TRUE(error.message().contains(faulty)) << error.message().toStdString();
        }
        EXPECT_EQ(readFile(synced), syncedBefore);
        EXPECT_EQ(readFile(local), localBefore);
        EXPECT_FALSE(QFile::exists(synced + QStringLiteral("-wal")));
    }
}

// A named pipe in a store's place held the launch for ever, with no window
// and no word; a full disk was called "disk I/O error".
TEST(StoreOpening, AStoreThatIsNoFileOrHasNoRoomIsRefusedSayingWhy)
{
    const tamo::testing::HangGuard guard("opening a store that is a FIFO");
    const struct
    {
        const char *name;
        const char *file;
        std::function<void(const QString &path)> make;
        const char *reason;
    } cases[] = {
        {"store as a FIFO", "Tamo.store", [](const QString &path) { ::mkfifo(QFile::encodeName(path).constData(), 0600); },
         "not a regular file"},
        {"local store as a FIFO", "TamoLocal.store",
         [](const QString &path) { ::mkfifo(QFile::encodeName(path).constData(), 0600); }, "not a regular file"},
        {"log as a FIFO", "Tamo.store-wal",
         [](const QString &path) { ::mkfifo(QFile::encodeName(path).constData(), 0600); }, "not a regular file"},
        {"shared memory file as a FIFO", "Tamo.store-shm",
         [](const QString &path) { ::mkfifo(QFile::encodeName(path).constData(), 0600); }, "not a regular file"},
        {"store as a folder", "Tamo.store", [](const QString &path) { QDir().mkdir(path); }, "not a regular file"},
        {"no room on the disk", "Tamo.store", [](const QString &) {}, "the disk is full"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        makeStore(dir.path(), 1);
        const QString path = dir.file(QLatin1String(c.file));
        QFile::remove(path);
        c.make(path);
        std::optional<DiskWithoutRoom> noRoom;
        if (std::string_view(c.reason) == "the disk is full")
            noRoom.emplace();
        try {
            ModelContainer container(dir.path());
            ADD_FAILURE() << "opened";
        } catch (const StoreOpenError &error) {
            EXPECT_TRUE(error.message().contains(QLatin1String(c.reason))) << error.message().toStdString();
            if (!noRoom) {
                EXPECT_TRUE(error.message().contains(path)) << error.message().toStdString();
            }
        }
    }
}

TEST(StoreOpening, ADamagedStoreMovedAsideGivesAFreshStoreWithTheRowsStillReadable)
{
    TempDir dir;
    makeStore(dir.path(), 300);
    const QString synced = dir.file(QStringLiteral("Tamo.store"));
    QByteArray bytes = readFile(synced);
    const qsizetype pageSize = 4096;
    bytes.replace(bytes.size() / 2 / pageSize * pageSize, pageSize, QByteArray(pageSize, '\xff'));
    writeFile(synced, bytes);
    const std::atomic<bool> notCancelled = false;
    const auto damage = ModelContainer::verify(dir.path(), notCancelled);
    ASSERT_TRUE(damage) << "the full read finds what opening does not look for";
    EXPECT_EQ(damage->cause(), StoreOpenError::Cause::damaged);
    EXPECT_EQ(damage->file(), synced);
    EXPECT_FALSE(ModelContainer::verify(dir.path(), std::atomic<bool>(true))) << "a cancelled read reports nothing";

    const auto rescue = StoreRescue::moveAsideAndStartFresh(synced);
    ASSERT_TRUE(rescue);
    EXPECT_EQ(readFile(rescue->movedTo), bytes);
    ModelContainer container(dir.path());
    const QList<ClipItemPtr> clips = allClips(container.mainContext());
    EXPECT_EQ(clips.size(), rescue->rowsRecovered);
    ASSERT_GE(clips.size(), 2);
    EXPECT_TRUE(clips.first()->text()->startsWith(QStringLiteral("clip 299 ")));
    EXPECT_TRUE(clips.last()->text()->startsWith(QStringLiteral("clip 0 ")));
}

TEST(StoreMigration, AppliesOnlyNewStepsAndKeepsDataAndStopsAtAFailedStep)
{
    TempDir dir;
    sql::Database db;
    db.open(dir.file(QStringLiteral("m.db")));
    const QList<Migration> first{{1, QStringLiteral("CREATE TABLE t (a TEXT); INSERT INTO t VALUES ('kept');")}};
    migrate(db, first);
    migrate(db, first); // nothing to do the second time
    EXPECT_EQ(schemaVersion(db), 1);

    QList<Migration> later = first;
    later.append({2, QStringLiteral("ALTER TABLE t ADD COLUMN b INTEGER NOT NULL DEFAULT 7;")});
    later.append({3, QStringLiteral("ALTER TABLE t ADD COLUMN c; THIS IS NOT SQL;")});
    EXPECT_THROW(migrate(db, later), sql::Error);
    EXPECT_EQ(schemaVersion(db), 2);
    sql::Statement row = db.prepare(QStringLiteral("SELECT a, b FROM t"));
    ASSERT_TRUE(row.step());
    EXPECT_EQ(row.text(0), QStringLiteral("kept"));
    EXPECT_EQ(row.int64(1), 7);
}

TEST_F(Store, MirrorSeesSavedChangesOfSyncedRecordsButNoContent)
{
    container->enableChangeTracking();
    auto clip = addClip(QStringLiteral("secret marker 4711"), clock.now());
    auto board = std::make_shared<Pinboard>(QStringLiteral("Work"), 0, 0);
    context().insert(board);
    context().insert(std::make_shared<ClipEdit>(clip->id(), clock.now())); // local: never mirrored
    ASSERT_TRUE(context().save());
    clip->setTitle(QStringLiteral("t"));
    ASSERT_TRUE(context().save());
    context().remove(clip);
    ASSERT_TRUE(context().save());

    const auto changes = container->pendingMirrorChanges();
    QStringList seen;
    for (const auto &change : changes) {
        seen.append(change.entity + QLatin1Char(':') + change.operation);
        EXPECT_FALSE(change.recordID.contains(QStringLiteral("4711")));
    }
    EXPECT_EQ(seen, QStringList({QStringLiteral("ClipItem:insert"), QStringLiteral("Pinboard:insert"),
                                 QStringLiteral("ClipItem:update"), QStringLiteral("ClipItem:delete")}));
    EXPECT_EQ(changes[0].recordID, changes[3].recordID); // the tombstone names the record
    container->acknowledgeMirrorChanges(changes[2].sequence);
    EXPECT_EQ(container->pendingMirrorChanges().size(), 1);
}

namespace {

// The tally's view of the history, and the same counted from the clips.
QStringList talliedApps(ModelContext &context)
{
    QStringList apps;
    for (const SourceAppCount &app : context.sourceAppsByClipCount(100))
        apps.append(QStringLiteral("%1 %2 %3").arg(app.bundleID, app.name).arg(app.clips));
    apps.sort();
    return apps;
}

QStringList countedApps(ModelContext &context)
{
    QStringList apps;
    for (const GroupCount &group : context.countBy<ClipItem>(
             ClipItem::SourceBundleIDColumn, FetchDescriptor().where(ClipItem::SourceBundleIDColumn, Compare::isNotNull))) {
        const QString bundleID = group.value.toString();
        const auto newest = context.fetch<ClipItem>(FetchDescriptor()
                                                        .where(ClipItem::SourceBundleIDColumn, Compare::equal, bundleID)
                                                        .sorted(ClipItem::CreatedAtColumn, false)
                                                        .limited(1));
        apps.append(QStringLiteral("%1 %2 %3").arg(bundleID, newest.first()->sourceAppName().value_or(QString()))
                        .arg(group.count));
    }
    apps.sort();
    return apps;
}

ClipItemPtr clipFrom(const QString &bundleID, const QString &appName, const QDateTime &createdAt)
{
    return std::make_shared<ClipItem>(ClipDraft::fromText(QUuid::createUuid().toString(), {}, bundleID, appName),
                                      createdAt);
}

} // namespace

// The filter menus read how many clips each app gave from a tally the store
// keeps, never from the whole history: it must agree with a count of the
// clips after every kind of change, made here or through another connection.
TEST_F(Store, TheSourceAppTallyAgreesWithTheClipsAfterEveryChange)
{
    const QDateTime now = clock.now();
    auto older = clipFrom(QStringLiteral("org.a"), QStringLiteral("Old A"), now.addSecs(-60));
    auto newer = clipFrom(QStringLiteral("org.a"), QStringLiteral("A"), now);
    auto other = clipFrom(QStringLiteral("org.b"), QStringLiteral("B"), now.addSecs(-30));
    auto bare = addClip(QStringLiteral("no app"), now.addSecs(-10));
    const QList<std::pair<const char *, std::function<void()>>> steps{
        {"inserted", [&] { for (const auto &clip : {older, newer, other}) context().insert(clip); }},
        {"copied again from another app",
         [&] {
             older->setSource(QStringLiteral("org.b"), QStringLiteral("B"));
             older->setCreatedAt(now.addSecs(5));
         }},
        {"an app given to a clip without one", [&] { bare->setSource(QStringLiteral("org.c"), {}); }},
        {"removed", [&] { context().remove(other); }},
        {"removed in bulk",
         [&] { context().removeClips(FetchDescriptor().where(ClipItem::SourceBundleIDColumn, Compare::equal,
                                                             QStringLiteral("org.c"))); }},
        {"changed through another connection",
         [&] {
             for (ClipItemPtr *held : {&older, &newer, &other, &bare})
                 held->reset(); // read again below, as the rows now are
             sql::Database elsewhere;
             elsewhere.open(dir.file(QLatin1String(ModelContainer::syncedStoreName)));
             elsewhere.exec(QStringLiteral("UPDATE ClipItem SET sourceBundleID = 'org.d', sourceAppName = 'D'"));
             elsewhere.exec(QStringLiteral("DELETE FROM ClipItem WHERE createdAt = (SELECT min(createdAt) FROM ClipItem)"));
         }},
    };
    for (const auto &[step, change] : steps) {
        change();
        ASSERT_TRUE(context().save()) << step;
        EXPECT_EQ(talliedApps(context()), countedApps(context())) << step;
    }
    EXPECT_EQ(talliedApps(context()), QStringList{QStringLiteral("org.d D 1")});
}

// A store written before the tally existed gets its history counted once,
// whether it opens as it is or, damaged, has its rows moved to a fresh store.
TEST(StoreMigration, AStoreFromBeforeTheSourceAppTallyIsCountedWhenOpenedOrRescued)
{
    for (const bool rescued : {false, true}) {
        TempDir dir;
        const QString synced = dir.file(QLatin1String(ModelContainer::syncedStoreName));
        {
            sql::Database db;
            openStore(db, synced, {syncedStoreMigrations().first()});
            // As that version wrote its rows: today's context writes today's.
            const qint64 now = QDateTime::currentMSecsSinceEpoch();
            for (int i = 0; i < 5; ++i) {
                sql::Statement insert = db.prepare(QStringLiteral(
                    "INSERT INTO ClipItem (recordID, id, createdAt, kindRaw, text, contentHash, sourceBundleID, "
                    "sourceAppName) VALUES (?1, ?1, ?2, 'text', ?1, '', ?3, ?4)"));
                insert.bindText(1, QUuid::createUuid().toString(QUuid::WithoutBraces));
                insert.bindInt64(2, now + i * 1000);
                insert.bindText(3, i < 3 ? QStringLiteral("org.a") : QStringLiteral("org.b"));
                insert.bindText(4, QStringLiteral("App %1").arg(i));
                insert.run();
            }
        }
        if (rescued) {
            ASSERT_TRUE(StoreRescue::moveAsideAndStartFresh(synced));
        }
        ModelContainer container(dir.path());
        EXPECT_EQ(container.mainContext().fetchCount<ClipItem>(), 5) << rescued;
        EXPECT_EQ(talliedApps(container.mainContext()),
                  (QStringList{QStringLiteral("org.a App 2 3"), QStringLiteral("org.b App 4 2")}))
            << rescued;
    }
}

namespace {

// The plan SQLite takes for what a fetch or count selected, as EXPLAIN QUERY
// PLAN tells it: the fetch runs on a connection of its own, whose cached
// statements are then looked through.
QString planOf(const QString &storeFile, const std::function<void(ModelContext &)> &fetch)
{
    sql::Database db;
    db.open(storeFile);
    ModelContext context(db, {});
    fetch(context);
    for (sqlite3_stmt *statement = sqlite3_next_stmt(db.handle(), nullptr); statement;
         statement = sqlite3_next_stmt(db.handle(), statement)) {
        const QString text = QString::fromUtf8(sqlite3_sql(statement));
        if (!text.startsWith(QStringLiteral("SELECT")))
            continue;
        QStringList plan;
        sql::Statement explain = db.prepare(QStringLiteral("EXPLAIN QUERY PLAN ") + text);
        while (explain.step())
            plan.append(explain.text(3));
        return plan.join(QStringLiteral("; "));
    }
    return {};
}

} // namespace

// What the panels read as they open, and the trim's count, go through an
// index: none of them may read the whole history. Walking the date index
// newest first is fine for a list with a limit; it stops there.
TEST_F(Store, ListsThePanelsOpenWithAndTheTrimsCountUseTheirIndexes)
{
    const QString storeFile = dir.file(QLatin1String(ModelContainer::syncedStoreName));
    const QDateTime cutoff = clock.now().addDays(-30);
    const struct
    {
        const char *list;
        std::function<void(ModelContext &)> fetch;
        const char *plan;
    } cases[] = {
        {"pinned clips", [](ModelContext &context) { ClipListQuery::pinned().fetch(context); },
         "SEARCH main.ClipItem USING COVERING INDEX ClipItem_pinboard (pinboardID>?)"},
        {"one pinboard", [](ModelContext &context) { ClipListQuery::pinboard(QUuid::createUuid()).fetch(context); },
         "SEARCH main.ClipItem USING COVERING INDEX ClipItem_pinboard (pinboardID=?)"},
        {"the newest clips", [](ModelContext &context) { ClipListQuery::history(2000).first(64).fetch(context); },
         "SCAN main.ClipItem USING COVERING INDEX ClipItem_createdAt"},
        {"unpinned clips past the capacity",
         [&](ModelContext &context) {
             context.fetchCount<ClipItem>(FetchDescriptor()
                                              .where(ClipItem::PinboardIDColumn, Compare::isNull)
                                              .where(ClipItem::CreatedAtColumn, Compare::less, cutoff));
         },
         "SEARCH main.ClipItem USING INDEX ClipItem_createdAt (createdAt<?)"},
    };
    for (const auto &[list, fetch, expected] : cases) {
        const QString plan = planOf(storeFile, fetch);
        EXPECT_TRUE(plan.startsWith(QLatin1String(expected))) << list << ": " << plan.toStdString();
    }
}

// A long writer on one connection ends its transaction for a write of this
// process waiting on another, which is how a sync import lets a copy in.
TEST(StoreTransactions, AWriterWaitingOnAnotherConnectionIsSeenUntilItBegins)
{
    TempDir dir;
    const QString path = dir.file(QStringLiteral("shared.db"));
    sql::Database holder;
    holder.open(path);
    holder.exec(QStringLiteral("PRAGMA journal_mode = WAL; CREATE TABLE t(x)"));
    auto holding = std::make_unique<sql::Transaction>(holder);
    EXPECT_FALSE(sql::Transaction::writerWaiting());

    std::atomic<bool> written{false};
    std::unique_ptr<QThread> waiter(QThread::create([&] {
        sql::Database db;
        db.open(path);
        db.exec(QStringLiteral("PRAGMA busy_timeout = 60000"));
        sql::Transaction transaction(db);
        db.exec(QStringLiteral("INSERT INTO t VALUES (1)"));
        transaction.commit();
        written = true;
    }));
    waiter->start();
    const QDeadlineTimer deadline(30'000);
    while (!sql::Transaction::writerWaiting() && !deadline.hasExpired())
        QThread::msleep(1);
    EXPECT_TRUE(sql::Transaction::writerWaiting());
    holding->commit();
    holding.reset();
    EXPECT_TRUE(waiter->wait(30'000));
    EXPECT_TRUE(written);
    EXPECT_FALSE(sql::Transaction::writerWaiting());
}

namespace {

// More than the thousand pages after which a commit copies the log.
QString textOverLogLimit(QChar fill)
{
    return QString(6 * 1024 * 1024, fill);
}

} // namespace

class ImportedSave : public StoreFixture
{
protected:
    qint64 storeFileSize() const { return QFileInfo(dir.file(QLatin1String(ModelContainer::syncedStoreName))).size(); }
};

// A commit that copies the log into the store file stalls the thread that
// saves; an import's save and a large copy's leave that to the copier, and
// without one a save does it again as before.
TEST_F(ImportedSave, LeavesCopyingTheLogToItsCopier)
{
    int copies = 0;
    context().setLogCopier([&copies] { ++copies; });
    const qint64 before = storeFileSize();
    addClip(textOverLogLimit(u'a'), QDateTime::currentDateTime());
    ASSERT_TRUE(context().saveImported()) << context().lastError().toStdString();
    EXPECT_GE(copies, 1);
    addClip(textOverLogLimit(u'b'), QDateTime::currentDateTime());
    ASSERT_TRUE(context().save()) << context().lastError().toStdString();
    EXPECT_GE(copies, 2);
    EXPECT_LT(storeFileSize(), before + 1024 * 1024);

    context().setLogCopier({});
    addClip(textOverLogLimit(u'c'), QDateTime::currentDateTime());
    ASSERT_TRUE(context().save()) << context().lastError().toStdString();
    EXPECT_GT(storeFileSize(), before + 12 * 1024 * 1024);
}

TEST_F(ImportedSave, TheLogReachesTheStoreFileWithoutAnotherSave)
{
    const qint64 before = storeFileSize();
    addClip(textOverLogLimit(u'a'), QDateTime::currentDateTime());
    ASSERT_TRUE(context().saveImported()) << context().lastError().toStdString();
    const QDeadlineTimer deadline(std::chrono::seconds(30));
    while (storeFileSize() < before + 6 * 1024 * 1024 && !deadline.hasExpired())
        QThread::msleep(10);
    EXPECT_GE(storeFileSize(), before + 6 * 1024 * 1024);
    reopen();
    EXPECT_EQ(context().fetchCount<ClipItem>(), 1);
}
