#include "StoreFixture.h"

#include "model/ClipLibrary.h"
#include "model/LocalRecords.h"
#include "model/Pinboard.h"
#include "model/SourceApp.h"
#include "model/SourceAppPublisher.h"
#include "model/StoreMaintenance.h"
#include "model/Sqlite.h"
#include "model/SyncState.h"

#include <QProcess>

using namespace tamo;
using namespace tamo::testing;

namespace {

class SyncOn final : public SyncState
{
public:
    bool isEnabled() const override { return true; }
    bool importedOnce() const override { return true; }
};

class FakeIcons final : public AppIconSource
{
public:
    std::optional<AppIconInfo> iconFor(const QString &bundleID) override
    {
        if (bundleID == QStringLiteral("not.installed"))
            return std::nullopt;
        return AppIconInfo{QByteArray("png:") + bundleID.toUtf8(), QStringLiteral("#112233")};
    }
};

ClipDraft textFrom(const QString &text, const QString &bundleID, const QString &app)
{
    return ClipDraft::fromText(text, std::nullopt, bundleID, app);
}

} // namespace

class ClipLibraryTest : public StoreFixture
{
protected:
    ClipLibrary &library()
    {
        if (!m_library) {
            m_publisher = std::make_unique<SourceAppPublisher>(context(), *sync, &icons);
            m_library = std::make_unique<ClipLibrary>(context(), clock, *m_publisher);
        }
        return *m_library;
    }

    QList<ClipItemPtr> history()
    {
        return context().fetch<ClipItem>(FetchDescriptor().sorted(ClipItem::CreatedAtColumn, false));
    }

    std::unique_ptr<SyncState> sync = std::make_unique<NoSync>();
    FakeIcons icons;

private:
    std::unique_ptr<SourceAppPublisher> m_publisher;
    std::unique_ptr<ClipLibrary> m_library;
};

TEST_F(ClipLibraryTest, CopyingKnownContentAgainMovesThatClipToNowWithTheNewSource)
{
    const auto first = library().ingest(textFrom(QStringLiteral("hello"), QStringLiteral("org.a"), QStringLiteral("A")));
    ASSERT_TRUE(first && first->isNew);
    auto board = std::make_shared<Pinboard>(QStringLiteral("Work"), 0, 0);
    first->clip->setTitle(QStringLiteral("greeting"));
    ASSERT_TRUE(library().pin({first->clip}, *board));
    clock.advance(60'000);
    library().ingest(textFrom(QStringLiteral("other"), QStringLiteral("org.a"), QStringLiteral("A")));
    clock.advance(60'000);

    const auto again = library().ingest(textFrom(QStringLiteral("hello"), QStringLiteral("org.b"), QStringLiteral("B")));
    ASSERT_TRUE(again);
    EXPECT_FALSE(again->isNew);
    EXPECT_EQ(again->clip.get(), first->clip.get());
    reopen();
    const auto clips = history();
    ASSERT_EQ(clips.size(), 2);
    const ClipItem &front = *clips.first();
    EXPECT_EQ(front.text(), std::optional(QStringLiteral("hello")));
    EXPECT_EQ(front.createdAt(), clock.now());
    EXPECT_EQ(front.sourceBundleID(), std::optional(QStringLiteral("org.b")));
    EXPECT_EQ(front.sourceAppName(), std::optional(QStringLiteral("B")));
    EXPECT_EQ(front.title(), std::optional(QStringLiteral("greeting")));
    EXPECT_EQ(front.pinboardID(), std::optional(board->id()));
}

TEST_F(ClipLibraryTest, ImagesOverTheSyncLimitStayLocalButHashTheWholeImage)
{
    for (const qsizetype size : {ClipLibrary::largestSyncedImage, ClipLibrary::largestSyncedImage + 1}) {
        ClipDraft draft;
        draft.kind = ClipKind::image;
        draft.imageData = QByteArray(size, char(size % 7));
        const auto clip = library().makeClip(draft);
        EXPECT_TRUE(context().hasChanges()) << "makeClip leaves the save to its caller";
        ASSERT_TRUE(context().save());
        const bool local = size > ClipLibrary::largestSyncedImage;
        EXPECT_EQ(clip->imageIsLocalOnly(), local) << size;
        EXPECT_EQ(clip->imageData().has_value(), !local) << size;
        EXPECT_EQ(library().storedImageData(*clip), draft.imageData) << size;
        EXPECT_EQ(clip->contentHash(), ClipItem(draft, clock.now()).contentHash()) << size;
    }
    EXPECT_EQ(context().fetchCount<LocalImage>(), 1);
}

TEST_F(ClipLibraryTest, PinKeepsTheShownOrderAndUnpinLeavesClipsInTheHistory)
{
    QList<ClipItemPtr> shown;
    for (const char *text : {"first", "second", "third"})
        shown.append(library().ingest(ClipDraft::fromText(QLatin1String(text)))->clip);
    auto board = std::make_shared<Pinboard>(QStringLiteral("Board"), 0, 0);
    ASSERT_TRUE(library().pin(shown, *board));
    const auto pinned = context().fetch<ClipItem>(
        FetchDescriptor()
            .where(ClipItem::PinboardIDColumn, FetchDescriptor::Compare::equal, board->id())
            .sorted(ClipItem::PinnedAtColumn, false));
    ASSERT_EQ(pinned.size(), 3);
    EXPECT_EQ(pinned[0]->text(), std::optional(QStringLiteral("first")));
    EXPECT_EQ(pinned[2]->text(), std::optional(QStringLiteral("third")));

    ASSERT_TRUE(library().unpin(shown));
    EXPECT_EQ(history().size(), 3);
    for (const auto &clip : shown)
        EXPECT_FALSE(clip->pinboardID() || clip->pinnedAt());
}

TEST_F(ClipLibraryTest, DeleteReturnsWhatItRemovedAndSkipsClipsAlreadyGone)
{
    const auto a = library().ingest(ClipDraft::fromText(QStringLiteral("a")))->clip;
    const auto b = library().ingest(ClipDraft::fromText(QStringLiteral("b")))->clip;
    EXPECT_EQ(library().deleteClips({a}), QList<QUuid>{a->id()});
    EXPECT_EQ(library().deleteClips({a, b}), QList<QUuid>{b->id()});
    EXPECT_TRUE(history().isEmpty());
}

TEST_F(ClipLibraryTest, EditDatesKeepOneRecordPerClipWithTheLatestDate)
{
    const auto clip = library().ingest(ClipDraft::fromText(QStringLiteral("a")))->clip;
    const auto untouched = library().ingest(ClipDraft::fromText(QStringLiteral("b")))->clip;
    library().recordEdit(*clip, clock.now());
    library().recordEdit(*clip, clock.now().addSecs(5)); // before any save
    ASSERT_TRUE(context().save());
    library().recordEdit(*clip, clock.now().addSecs(9));
    ASSERT_TRUE(context().save());
    const auto dates = library().editDatesByClip();
    EXPECT_EQ(dates.size(), 1);
    EXPECT_EQ(dates.value(clip->id()), clock.now().addSecs(9));
    EXPECT_FALSE(dates.contains(untouched->id()));
    EXPECT_EQ(context().fetchCount<ClipEdit>(), 1);
}

TEST_F(ClipLibraryTest, SourceAppsArePublishedOnlyWhileSyncingAndOnlyOnce)
{
    library().ingest(textFrom(QStringLiteral("off"), QStringLiteral("org.a"), QStringLiteral("A")));
    EXPECT_EQ(context().fetchCount<SourceApp>(), 0);

    ClipLibraryTest::TearDown();
    sync = std::make_unique<SyncOn>();
    SourceAppPublisher publisher(context(), *sync, &icons);
    ClipLibrary syncing(context(), clock, publisher);
    syncing.ingest(textFrom(QStringLiteral("on"), QStringLiteral("org.a"), QStringLiteral("A")));
    syncing.ingest(textFrom(QStringLiteral("on again"), QStringLiteral("org.a"), QStringLiteral("A")));
    syncing.ingest(textFrom(QStringLiteral("x"), QStringLiteral("not.installed"), QStringLiteral("X")));
    publisher.publishAll();
    const auto apps = context().fetch<SourceApp>();
    ASSERT_EQ(apps.size(), 1);
    EXPECT_EQ(apps.first()->bundleID(), QStringLiteral("org.a"));
    EXPECT_EQ(apps.first()->tintHex(), QStringLiteral("#112233"));
}

TEST_F(ClipLibraryTest, HugeAndOddContentIsStoredWithoutLoss)
{
    QString huge(50 * 1024 * 1024 / 2, QLatin1Char('a'));
    const QString invalid = QString::fromUtf8(QByteArray("ok \xff\xfe bad"));
    ClipDraft files;
    files.kind = ClipKind::file;
    for (int i = 0; i < 10'000; ++i)
        files.filePaths.append(QStringLiteral("/home/user/file-%1.txt").arg(i));

    ASSERT_TRUE(library().ingest(ClipDraft::fromText(huge)));
    clock.advance(1);
    ASSERT_TRUE(library().ingest(ClipDraft::fromText(invalid)));
    clock.advance(1);
    ASSERT_TRUE(library().ingest(files));
    huge.clear();
    reopen();
    const auto clips = history();
    ASSERT_EQ(clips.size(), 3);
    EXPECT_EQ(clips[0]->filePaths().size(), 10'000);
    EXPECT_EQ(clips[1]->text(), std::optional(invalid));
    EXPECT_EQ(clips[2]->text()->size(), 50 * 1024 * 1024 / 2);
}

TEST(ClipLibraryCrash, AKilledIngestLosesNoSavedClipAndLeavesAHealthyStore)
{
    TempDir dir;
    QProcess child;
    child.start(QStringLiteral(TAMO_INGEST_CHILD), {dir.path()});
    ASSERT_TRUE(child.waitForStarted());
    int lastSaved = -1;
    while (lastSaved < 150 && child.waitForReadyRead(10'000)) {
        while (child.canReadLine())
            lastSaved = child.readLine().trimmed().toInt();
    }
    ::kill(pid_t(child.processId()), SIGKILL);
    child.waitForFinished();
    ASSERT_GE(lastSaved, 150);

    sql::Database db;
    db.open(dir.file(QStringLiteral("Tamo.store")));
    sql::Statement check = db.prepare(QStringLiteral("PRAGMA integrity_check"));
    ASSERT_TRUE(check.step());
    EXPECT_EQ(check.text(0), QStringLiteral("ok"));
    db.close();

    ModelContainer container(dir.path());
    EXPECT_GE(container.mainContext().fetchCount<ClipItem>(), lastSaved + 1);
}

// Saves that write both store files commit them one after the other; a kill
// in between must leave every clip with its large image, or none at all.
TEST(ClipLibraryCrash, AKillBetweenTheStoreFilesLeavesNoClipWithoutItsImage)
{
    struct Case { const char *mode; int clipsLeft; int orphansSwept; };
    for (const Case c : {Case{"--die-ingesting", 0, 1}, Case{"--die-merging", 2, 0}}) {
        SCOPED_TRACE(c.mode);
        TempDir dir;
        QProcess child;
        child.start(QStringLiteral(TAMO_INGEST_CHILD), {dir.path(), QString::fromLatin1(c.mode)});
        ASSERT_TRUE(child.waitForFinished(30'000));
        ASSERT_EQ(child.exitStatus(), QProcess::CrashExit) << "the save should write both store files";

        ModelContainer container(dir.path());
        ModelContext &context = container.mainContext();
        const auto clips = context.fetch<ClipItem>();
        EXPECT_EQ(clips.size(), c.clipsLeft);
        for (const ClipItemPtr &clip : clips) {
            EXPECT_EQ(context.fetchCount<LocalImage>(
                          FetchDescriptor().where(LocalImage::ClipIDColumn, FetchDescriptor::Compare::equal, clip->id())),
                      1);
        }
        StoreMaintenance launch(context);
        launch.mergeDuplicates();
        EXPECT_EQ(launch.removeOrphanLocalRecords(), c.orphansSwept);
        EXPECT_EQ(context.fetchCount<LocalImage>(), context.fetchCount<ClipItem>());
    }
}

TEST_F(ClipLibraryTest, CopyingALargeImageAgainRestoresAPictureItsClipLost)
{
    ClipDraft draft;
    draft.kind = ClipKind::image;
    draft.imageData = QByteArray(ClipLibrary::largestSyncedImage + 1, 'x');
    const ClipItemPtr clip = library().ingest(draft)->clip;
    for (const LocalImagePtr &image : context().fetch<LocalImage>())
        context().remove(image);
    ASSERT_TRUE(context().save());

    clock.advance(1000);
    ASSERT_EQ(library().ingest(draft)->clip, clip);
    reopen();
    const auto images = context().fetch<LocalImage>();
    ASSERT_EQ(images.size(), 1);
    EXPECT_EQ(images.first()->clipID(), clip->id());
    EXPECT_EQ(images.first()->imageData(), draft.imageData);
}
