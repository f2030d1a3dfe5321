#include "AppModelFixture.h"
#include "support/FullDisk.h"
#include "support/StoreHeldElsewhere.h"

#include "app/GlobalHotKeyRegistry.h"
#include "app/ScreenshotWatcher.h"
#include "model/ModelContainer.h"
#include "model/ClipDraft.h"
#include "model/ClipLibrary.h"
#include "model/ClipListQuery.h"
#include "model/ModelContext.h"
#include "model/Pinboards.h"
#include "model/Sqlite.h"
#include "model/SettingsKeys.h"
#include "platform/Pasteboard.h"
#include "platform/SessionLog.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

using namespace tamo;
using namespace tamo::testing;

namespace {

PasteboardItem textItem(const QString &text)
{
    return {{PasteboardType::string, text.toUtf8()}};
}

} // namespace

class AppModelTest : public AppModelFixture
{
protected:
    ClipItemPtr addClip(const QString &text, const QString &bundleID = {}, const QString &app = {})
    {
        clock.advance(1000);
        auto draft = ClipDraft::fromText(text);
        if (!bundleID.isEmpty()) {
            draft.sourceBundleID = bundleID;
            draft.sourceAppName = app;
        }
        return model().clips().ingest(draft)->clip;
    }
};

TEST_F(AppModelTest, StartRunsEachStepOnceInItsPlace)
{
    QStringList seen;
    ext.onLog = [&](const QString &entry) {
        // What must already hold when each outside part is reached.
        if (entry == QStringLiteral("cardSizes.start"))
            seen.append(QStringLiteral("registered:%1").arg(defaults.value(keys::cardScale).isValid()));
        if (entry == QStringLiteral("tour.due?"))
            seen.append(QStringLiteral("monitor:%1").arg(model().monitor() != nullptr));
        if (entry.startsWith(QStringLiteral("middleClick:")))
            seen.append(QStringLiteral("hotKey:%1").arg(hotKeys.isRegistered(MainShortcutSlot)));
        if (entry.startsWith(QStringLiteral("sync.start")))
            seen.append(QStringLiteral("callbacks:%1").arg(bool(ext.onImport && ext.onCapacityChange && ext.onAccountUnavailable)));
    };
    model().start();
    model().start(); // a second call does nothing

    EXPECT_EQ(ext.log, QStringList({"cardSizes.start", "tour.due?", "middleClick:0", "sizer:0", "inputSources:0",
                                    "sync.start(empty)", "icons.seed", "welcome.seed", "welcome.thanks",
                                    "updates.start", "middleClick?"}));
    EXPECT_EQ(seen, QStringList({"registered:1", "monitor:1", "hotKey:1", "callbacks:1"}));
    EXPECT_TRUE(model().screenshots() && !model().screenshots()->isRunning());
}

TEST_F(AppModelTest, WelcomeClipsWaitForTheFirstImportWhileSyncing)
{
    ext.syncEnabled = true; // importedOnce() stays false
    startedModel();
    EXPECT_FALSE(ext.log.contains(QStringLiteral("welcome.seed")));
    ext.onAccountUnavailable();
    EXPECT_EQ(ext.log.filter(QStringLiteral("welcome.")), QStringList({"welcome.seed", "welcome.thanks"}));
}

TEST_F(AppModelTest, InstallDependentDefaultsAreWrittenOnceBeforeRegistration)
{
    startedModel();
    for (const auto &key : {keys::cardStyle, keys::directPaste, keys::threeFingerMiddleClick})
        EXPECT_TRUE(defaults.hasPersistentValue(key)) << key.data();
    EXPECT_EQ(defaults.string(keys::cardStyle), std::optional(QStringLiteral("glass")));
    EXPECT_TRUE(defaults.boolValue(keys::directPaste));
    EXPECT_FALSE(defaults.boolValue(keys::threeFingerMiddleClick));
}

TEST_F(AppModelTest, AnExistingInstallKeepsItsClassicCardsAndWhatTheUserChose)
{
    { ModelContainer existing(storeDir.path()); }
    defaults.setValue(keys::directPaste, false);
    startedModel();
    EXPECT_TRUE(model().isExistingInstall());
    EXPECT_EQ(defaults.string(keys::cardStyle), std::optional(QStringLiteral("classic")));
    EXPECT_FALSE(defaults.boolValue(keys::directPaste));
}

TEST_F(AppModelTest, CapturesNewCopiesButNeitherTheLaunchContentsNorOurOwnWrites)
{
    pasteboard.copy(textItem(QStringLiteral("there before launch")));
    startedModel();
    QCoreApplication::processEvents();
    EXPECT_EQ(model().container().mainContext().fetchCount<ClipItem>(), 0);

    pasteboard.copy(textItem(QStringLiteral("copied later")));
    QTRY_COMPARE_WITH_TIMEOUT(model().container().mainContext().fetchCount<ClipItem>(), 1, 2000);
    EXPECT_EQ(sounds.played(), QStringList{QStringLiteral("Bottle")});

    const auto clips = model().container().mainContext().fetch<ClipItem>();
    defaults.setValue(keys::directPaste, false);
    model().paste(clips, false);
    QTest::qWait(400); // more than one tick of the monitor
    EXPECT_EQ(model().container().mainContext().fetchCount<ClipItem>(), 1);
    EXPECT_EQ(sounds.played().size(), 1);

    defaults.setValue(keys::soundEffects, false);
    pasteboard.copy(textItem(QStringLiteral("copied quietly")));
    QTRY_COMPARE_WITH_TIMEOUT(model().container().mainContext().fetchCount<ClipItem>(), 2, 2000);
    EXPECT_EQ(sounds.played().size(), 1);
}

TEST_F(AppModelTest, CopiesMadeWhileTheSettingsAlertWaitsAreKept)
{
    TempDir dir;
    QFile garbage(dir.file(QStringLiteral("defaults.json")));
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly) && garbage.write("{ not json") > 0);
    garbage.close();
    Defaults unreadable(garbage.fileName());
    ASSERT_TRUE(unreadable.loadProblem());
    PlatformServices platform = services();
    platform.defaults = &unreadable;
    AppModel app(platform, storeDir.path(), ext.extensions());

    ModelContext &context = app.container().mainContext();
    alerts.answer(0);
    alerts.whileShown = [&] {
        pasteboard.copy(textItem(QStringLiteral("copied while the alert waits")));
        (void)QTest::qWaitFor([&] { return context.fetchCount<ClipItem>() == 1; }, 2000);
    };
    app.start();
    QTRY_COMPARE_WITH_TIMEOUT(alerts.shown().size(), 1, 2000);
    EXPECT_EQ(context.fetchCount<ClipItem>(), 1);
}

TEST_F(AppModelTest, FileNamesComeBackByteForByte)
{
    // A Latin-1 name beside a UTF-8 one: paths are bytes, not text.
    const QByteArray list = "file:///tmp/caf%E9.txt\r\nfile:///tmp/%C3%A9t%C3%A9.txt\r\n";
    startedModel();
    pasteboard.copy({{PasteboardType::fileURL, list}});
    QTRY_COMPARE_WITH_TIMEOUT(model().container().mainContext().fetchCount<ClipItem>(), 1, 2000);

    const auto clips = model().container().mainContext().fetch<ClipItem>();
    EXPECT_EQ(clips[0]->filePaths(), QStringList({"file:///tmp/caf%E9.txt", "/tmp/été.txt"}));
    defaults.setValue(keys::directPaste, false);
    model().paste(clips, false);
    ASSERT_FALSE(pasteboard.writes().isEmpty());
    const PasteboardItem pasted = pasteboard.writes().last().first();
    EXPECT_EQ(pasted.value(PasteboardType::fileURL), list);
    EXPECT_EQ(pasted.value(PasteboardType::string), QByteArray("/tmp/caf\xE9.txt\n/tmp/été.txt"));
}

TEST_F(AppModelTest, PasteEndsInTheKeystrokeThePromptOrTheNotice)
{
    startedModel();
    const QList<ClipItemPtr> one{addClip(QStringLiteral("a"))};
    const QList<ClipItemPtr> three{addClip(QStringLiteral("b")), addClip(QStringLiteral("c")), addClip(QStringLiteral("d"))};

    ext.log.clear();
    ext.drawerVisible = true;
    defaults.setValue(keys::directPaste, true);
    model().paste(one, false);
    EXPECT_EQ(ext.log, QStringList({"drawer.hide", "menubar.hide"})); // no fade that could catch the keystroke
    EXPECT_EQ(poster.pasteCount, 0);
    QTRY_COMPARE_WITH_TIMEOUT(poster.pasteCount, 1, 1000);

    accessibility.trusted = false;
    model().paste(one, false);
    EXPECT_EQ(accessibility.promptCount, 1);

    ext.log.clear();
    defaults.setValue(keys::directPaste, false);
    model().paste(one, false);
    model().paste(three, true);
    EXPECT_EQ(ext.log.filter(QStringLiteral("notice:")),
              QStringList({"notice:Clip is ready", "notice:3 clips are ready"}));
    QTest::qWait(100);
    EXPECT_EQ(poster.pasteCount, 1);
}

TEST_F(AppModelTest, SelectTogglesAndRangeSelectsFromTheAnchor)
{
    startedModel();
    QList<ClipItemPtr> clips;
    QList<QUuid> order;
    for (const char *text : {"a", "b", "c", "d"}) {
        clips.append(addClip(QLatin1String(text)));
        order.append(clips.last()->id());
    }
    model().setSelectedItemID(order[0]);
    model().select(*clips[2]); // ⌘-click adds
    EXPECT_EQ(model().multiSelection(), QSet<QUuid>({order[0], order[2]}));
    EXPECT_EQ(model().selectedItemID(), order[2]);
    model().select(*clips[2]); // and removes again: one left is no multi-selection
    EXPECT_TRUE(model().multiSelection().isEmpty());
    EXPECT_EQ(model().selectedItemID(), order[0]);

    model().selectRange(order[3], order); // ⇧-click from the current clip
    EXPECT_EQ(model().multiSelection(), QSet<QUuid>({order[0], order[1], order[2], order[3]}));
    model().selectRange(order[1], order); // the anchor stays where the range began
    EXPECT_EQ(model().multiSelection(), QSet<QUuid>({order[0], order[1]}));
    EXPECT_EQ(model().selectionAnchor(), order[0]);
}

TEST_F(AppModelTest, DeletingMovesSelectionAndPreviewOffTheRemovedClips)
{
    startedModel();
    const auto a = addClip(QStringLiteral("a"));
    const auto b = addClip(QStringLiteral("b"));
    const auto c = addClip(QStringLiteral("c"));
    model().setSelectedItemID(b->id());
    model().setMultiSelection({a->id(), b->id(), c->id()});
    model().openPreview(*b, QList<QUuid>{a->id(), b->id(), c->id()});
    ext.log.clear();

    model().deleteItems({b, c});
    EXPECT_TRUE(model().selectedItemID().isNull());
    EXPECT_TRUE(model().multiSelection().isEmpty());
    EXPECT_TRUE(model().previewItemID().isNull());
    EXPECT_FALSE(model().previewOrder().has_value());
    EXPECT_EQ(ext.log, QStringList{QStringLiteral("preview.close")});
}

TEST_F(AppModelTest, TheHotKeyTogglesTheDrawerOrTheMenuBarPanel)
{
    startedModel();
    ext.log.clear();
    hotKeys.press(MainShortcutSlot);
    hotKeys.press(MainShortcutSlot);
    EXPECT_EQ(ext.log, QStringList({"menubar.hide", "drawer.show", "menubar.hide", "drawer.hide.animated"}));
    EXPECT_EQ(poster.rememberCount, 1); // the window to paste into, noted before the drawer takes focus

    defaults.setValue(keys::shortcutTarget, QStringLiteral("menuBar"));
    ext.statusItem = true;
    ext.log.clear();
    ext.resigned = clock.now().addMSecs(-100); // the press that took the panel's focus away
    model().handleHotKey();
    ext.resigned = clock.now().addMSecs(-400);
    model().handleHotKey();
    model().handleHotKey();
    EXPECT_EQ(ext.log, QStringList({"drawer.hide", "drawer.hide", "menubar.show", "drawer.hide", "menubar.hide.animated"}));
}

TEST_F(AppModelTest, TheWindowSwitcherExistsOnlyWhileOnAndTrusted)
{
    startedModel();
    defaults.setValue(keys::windowSwitcherEnabled, true);
    model().applyWindowSwitcher();
    EXPECT_TRUE(ext.switcher);
    EXPECT_TRUE(hotKeys.isRegistered(WindowSwitcherSlot));

    accessibility.trusted = false;
    QSignalSpy granted(&model(), &AppModel::accessibilityGrantedChanged);
    model().refreshPermissions();
    model().refreshPermissions();
    EXPECT_EQ(granted.size(), 1);
    EXPECT_FALSE(ext.switcher);
    EXPECT_FALSE(hotKeys.isRegistered(WindowSwitcherSlot));
}

TEST_F(AppModelTest, SourceAppFiltersCountClipsPerApp)
{
    startedModel();
    addClip(QStringLiteral("1"), QStringLiteral("org.gnome.Nautilus"), QStringLiteral("Files.app"));
    addClip(QStringLiteral("2"), QStringLiteral("firefox"), QStringLiteral("Firefox"));
    addClip(QStringLiteral("3"), QStringLiteral("firefox"), QStringLiteral("Firefox"));
    addClip(QStringLiteral("4"));
    const auto filters = model().sourceAppFilters(5);
    ASSERT_EQ(filters.size(), 2);
    EXPECT_EQ(filters[0].bundleID, QStringLiteral("firefox"));
    EXPECT_EQ(filters[1].name, QStringLiteral("Files"));
    EXPECT_EQ(model().sourceAppFilters(1).size(), 1);
}

TEST_F(AppModelTest, ObservedPropertiesNotifyOnlyOnChange)
{
    QSignalSpy text(&model(), &AppModel::searchTextChanged);
    model().setSearchText(QStringLiteral("x"));
    model().setSearchText(QStringLiteral("x"));
    EXPECT_EQ(text.size(), 1);
    EXPECT_TRUE(model().isSearchActive());
    model().resetSearch();
    EXPECT_FALSE(model().isSearchActive());
    const int token = model().focusToken();
    model().toggleSearchFilter(SearchFilter::kind(ClipKind::image));
    EXPECT_TRUE(model().searchOpened());
    EXPECT_EQ(model().focusToken(), token + 1);
}

TEST_F(AppModelTest, AFullDiskIsToldOnceAndTheCopiesWaitForRoom)
{
    { ModelContainer created(storeDir.path()); }
    FullDisk disk;
    model();
    alerts.answer(0);
    for (const QString &text : {QStringLiteral("first "), QStringLiteral("second ")})
        model().ingest(ClipDraft::fromText(text.repeated(5000)));
    QCoreApplication::processEvents();
    EXPECT_EQ(alerts.shown().size(), 1);
    EXPECT_EQ(model().container().mainContext().fetchCount<ClipItem>(), 0);

    disk.lift();
    model().ingest(ClipDraft::fromText(QStringLiteral("third")));
    EXPECT_EQ(model().container().mainContext().fetchCount<ClipItem>(), 3);
}

// A copy made while another connection (a sync, an import) held the store
// past the wait stayed unsaved until the next copy.
TEST_F(AppModelTest, ACopyTheStoreWasHeldForIsSavedOnceItIsFree)
{
    model();
    sql::Database other;
    other.open(QDir(storeDir.path()).filePath(QLatin1String(ModelContainer::syncedStoreName)));
    other.exec(QStringLiteral("BEGIN IMMEDIATE"));
    model().ingest(ClipDraft::fromText(QStringLiteral("copied while another connection wrote")));
    ModelContext &context = model().container().mainContext();
    EXPECT_EQ(context.fetchCount<ClipItem>(), 0);
    other.exec(QStringLiteral("COMMIT"));
    const QDeadlineTimer deadline(30'000);
    while (context.fetchCount<ClipItem>() == 0 && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    EXPECT_EQ(context.fetchCount<ClipItem>(), 1);
    EXPECT_TRUE(alerts.shown().isEmpty());
}

// While another process (a backup tool, the sqlite3 shell) held the store,
// every save froze the window and the copies made then did not show.
TEST_F(AppModelTest, CopiesMadeWhileAnotherProcessHoldsTheStoreAreSavedAndShownOnceItLetsGo)
{
    model();
    ModelContext &context = model().container().mainContext();
    const ClipListQuery history = ClipListQuery::history(100);
    QList<ClipItemPtr> shown = history.fetch(context);
    QObject::connect(&context, &ModelContext::didSave, &context, [&](const SaveSummary &summary) {
        if (!history.followSave(shown, summary))
            shown = history.fetch(context);
    });
    const QStringList copies{QStringLiteral("first"), QStringLiteral("second"), QStringLiteral("third")};
    for (const char *hold : {"BEGIN IMMEDIATE", "BEGIN EXCLUSIVE"}) {
        SCOPED_TRACE(hold);
        StoreHeldElsewhere other(QDir(storeDir.path()).filePath(QLatin1String(ModelContainer::syncedStoreName)),
                                 QLatin1String(hold) + u';');
        ::testing::internal::CaptureStderr();
        const qsizetype shownBefore = shown.size();
        for (const QString &text : copies) {
            clock.advance(1000);
            model().ingest(ClipDraft::fromText(text + u' ' + QLatin1String(hold)));
        }
        // Tried again while it is still held: nothing is lost meanwhile.
        QTest::qWait(1200);
        EXPECT_EQ(shown.size(), shownBefore);
        other.release();
        const QString newest = copies.last() + u' ' + QLatin1String(hold);
        const bool saved = QTest::qWaitFor(
            [&] { return !shown.isEmpty() && shown.first()->text() == newest; }, 30'000);
        ::testing::internal::GetCapturedStderr();
        EXPECT_TRUE(saved) << "the copies never showed";
        EXPECT_TRUE(context.pendingInserts<ClipItem>().isEmpty());
    }
    EXPECT_EQ(context.fetchCount<ClipItem>(), 2 * copies.size());
    EXPECT_EQ(shown.size(), 2 * copies.size());
    EXPECT_TRUE(alerts.shown().isEmpty());
}

// An 11 MB image commits on its own first; its full disk went untold and held
// back every later copy without a word.
TEST_F(AppModelTest, EveryKindOfCopyTellsOfAFullDisk)
{
    ClipDraft largeImage;
    largeImage.imageData = QByteArray(ClipLibrary::largestSyncedImage + 1024 * 1024, 'x');
    const struct
    {
        const char *name;
        ClipDraft draft;
    } copies[] = {
        {"text", ClipDraft::fromText(QStringLiteral("a text"))},
        {"image kept on this machine", largeImage},
    };
    for (const auto &copy : copies) {
        SCOPED_TRACE(copy.name);
        TempDir store;
        AppModel app(services(), store.path(), ext.extensions());
        const qsizetype shownBefore = alerts.shown().size();
        DiskWithoutRoom disk;
        alerts.answer(0);
        app.ingest(copy.draft);
        QCoreApplication::processEvents();
        ASSERT_EQ(alerts.shown().size(), shownBefore + 1);
        EXPECT_EQ(alerts.shown().last().message, QStringLiteral("TamoCove cannot save new clips: the disk is full"));

        disk.lift();
        app.ingest(ClipDraft::fromText(QStringLiteral("later")));
        EXPECT_EQ(app.container().mainContext().fetchCount<ClipItem>(), 2) << "the waiting copy went in with the next";
    }
}

// A deletion the disk could not take was hidden, lost at quit, and the clip
// was back at the next launch.
TEST_F(AppModelTest, ADeletionTheDiskCannotTakeIsUndoneAtOnceAndTold)
{
    const struct
    {
        const char *name;
        std::function<void(AppModel &, const ClipItemPtr &)> remove;
    } deletions[] = {
        {"delete", [](AppModel &app, const ClipItemPtr &clip) { app.deleteItems({clip}); }},
        {"clear history", [this](AppModel &app, const ClipItemPtr &) {
             alerts.answer(0);
             app.clearHistory();
         }},
        {"delete its pinboard", [](AppModel &app, const ClipItemPtr &) {
             app.deletePinboard(app.pinboards().orderedPinboards().first());
         }},
    };
    for (const auto &deletion : deletions) {
        SCOPED_TRACE(deletion.name);
        TempDir store;
        QUuid clipID;
        {
            AppModel app(services(), store.path(), ext.extensions());
            ModelContext &context = app.container().mainContext();
            const ClipItemPtr clip = app.clips().ingest(ClipDraft::fromText(QStringLiteral("private")))->clip;
            clipID = clip->id();
            const QList<ClipItemPtr> pinned{app.clips().ingest(ClipDraft::fromText(QStringLiteral("pinned")))->clip};
            ASSERT_TRUE(app.clips().pin(pinned, *app.newPinboard()));
            QSignalSpy listed(&context, &ModelContext::didSave);
            const qsizetype shownBefore = alerts.shown().size();

            DiskWithoutRoom disk;
            alerts.answer(0);
            deletion.remove(app, clip);
            QCoreApplication::processEvents();
            ASSERT_GT(alerts.shown().size(), shownBefore);
            EXPECT_EQ(alerts.shown().last().message, QStringLiteral("TamoCove cannot delete: the disk is full"));
            EXPECT_EQ(context.fetch<ClipItem>().size(), 2) << "listed again";
            EXPECT_EQ(context.fetch<Pinboard>().size(), 1);
            EXPECT_TRUE(pinned.first()->pinboardID()) << "the edits made with it are undone too";
            EXPECT_FALSE(listed.isEmpty()) << "the views read the store again";
            EXPECT_FALSE(context.hasChanges()) << "nothing waits in memory for a quit to lose";
        }
        AppModel restarted(services(), store.path(), ext.extensions());
        EXPECT_EQ(restarted.container().mainContext().fetchCount<ClipItem>(), 2);
        restarted.deleteItems(restarted.container().mainContext().fetch<ClipItem>(
            FetchDescriptor().where(ClipItem::IdColumn, FetchDescriptor::Compare::equal, clipID)));
        EXPECT_EQ(restarted.container().mainContext().fetchCount<ClipItem>(), 1) << "deleted once there is room";
    }
}

// Repeats only a cut-short sync or import leaves behind are folded after the
// launch, from a scan that runs off the main thread.
TEST_F(AppModelTest, RepeatedClipsFoundAtStartAreFoldedAfterTheLaunch)
{
    {
        ModelContainer container(storeDir.path());
        for (int i = 0; i < 3; ++i)
            container.mainContext().insert(std::make_shared<ClipItem>(ClipDraft::fromText(QStringLiteral("twice")),
                                                                      clock.now().addSecs(-60 + i)));
        container.mainContext().insert(
            std::make_shared<ClipItem>(ClipDraft::fromText(QStringLiteral("once")), clock.now().addSecs(-30)));
        ASSERT_TRUE(container.mainContext().save());
    }
    ModelContext &context = startedModel().container().mainContext();
    QTRY_COMPARE_WITH_TIMEOUT(context.fetchCount<ClipItem>(), 2, 5000);
}

// The support report's log held none of the lines a held store printed.
TEST_F(AppModelTest, ACopyTheStoreCouldNotTakeYetIsInThisRunsLog)
{
    const sessionlog::Recording recording;
    model();
    sql::Database other;
    other.open(QDir(storeDir.path()).filePath(QLatin1String(ModelContainer::syncedStoreName)));
    other.exec(QStringLiteral("BEGIN IMMEDIATE"));
    model().ingest(ClipDraft::fromText(QStringLiteral("copied while another connection wrote")));
    other.exec(QStringLiteral("ROLLBACK"));
    EXPECT_TRUE(sessionlog::text().contains(u"could not save a copied clip yet")) << sessionlog::text().toStdString();
}
