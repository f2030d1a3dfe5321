#include "app/AppModelFixture.h"
#include "transfer/FakeImportProgress.h"
#include "transfer/PasteFixtures.h"

#include "model/ClipLibrary.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"
#include "model/PinboardPalette.h"
#include "model/Pinboards.h"
#include "model/SettingsKeys.h"
#include "model/ContentHash.h"
#include "transfer/PasteImport.h"
#include "transfer/PinboardImport.h"
#include "transfer/PinboardPicker.h"
#include "support/FakeFilePanels.h"

#include <QDeadlineTimer>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include <algorithm>

using namespace tamo;
using namespace tamo::testing;
using namespace tamo::PasteImporter;

namespace {

class FakePrompt final : public PasteVersionPrompt
{
public:
    std::optional<Version> answer;
    QList<Version> preselected;

    std::optional<Version> ask(Version version) override
    {
        preselected.append(version);
        return answer;
    }
};

struct ImportHome : FakePlatform
{
    ImportHome()
    {
        AppExtensions extensions = ext.extensions();
        extensions.windows = &importer;
        model = std::make_unique<AppModel>(services(), storeDir.path(), extensions);
        importer.attach(*model);
    }

    ModelContext &context() { return model->container().mainContext(); }

    // Runs the whole flow with the user choosing `version`.
    void runImport(Version version, int alertAnswer = 0)
    {
        prompt.answer = version;
        alerts.answer(alertAnswer);
        QSignalSpy finished(&importer, &PasteHistoryImport::finished);
        model->windows().importPasteHistory();
        ASSERT_TRUE(finished.wait(20000));
    }

    QString summary() const
    {
        const AlertSpec &last = alerts.shown().last();
        return last.message + u'|' + last.informativeText;
    }

    ClipItemPtr clipWithText(const QString &text)
    {
        for (const ClipItemPtr &clip : context().fetch<ClipItem>()) {
            if (clip->text() == text)
                return clip;
        }
        return nullptr;
    }

    PinboardPtr pinboard(const QString &name, int order = 0)
    {
        auto board = std::make_shared<Pinboard>(name, 4, order);
        context().insert(board);
        context().save();
        return board;
    }

    ReadEnvironment readEnvironment() const
    {
        return {home.path(), temporary.path(), [] { return true; },
                [](const QString &folder) { return QDir(folder).exists() ? 0 : ENOENT; }};
    }

    // A second importer whose reads may take ten minutes, to be stopped midway.
    std::unique_ptr<PasteHistoryImport> patientImporter()
    {
        ReadEnvironment environment = readEnvironment();
        environment.stepBudget = std::chrono::minutes(10);
        auto patient = std::make_unique<PasteHistoryImport>(defaults, alerts, prompt, progress, environment);
        patient->attach(*model);
        return patient;
    }

    TempDir home;
    TempDir temporary;
    PasteHome paste{home.path()};
    FakePrompt prompt;
    FakeImportProgress progress;
    PasteHistoryImport importer{defaults, alerts, prompt, progress, readEnvironment()};
    std::unique_ptr<AppModel> model;
};

QByteArray raw(const QString &text)
{
    return inlineValue(jsonItems({textItem(text)}));
}

} // namespace

TEST(PasteImportTest, ImportsAHistoryWithItsDatesAppsPinboardsAndTitlesThenSkipsItTheSecondTime)
{
    ImportHome home;
    home.defaults.setValue(keys::historyCapacity, 1);
    sql::Database &db = home.paste.paste7();
    db.exec(QStringLiteral("INSERT INTO ZAPPLICATIONENTITY VALUES (1, 'org.gnome.gedit', 'Text Editor');"
                           "INSERT INTO ZLISTENTITY VALUES (5, 'Work', CAST('{\"colorCode\":16711680}' AS BLOB), NULL, 2, NULL);"));
    home.paste.addPaste7Clip(1, 1000.0, raw(QStringLiteral("pinned")), 5, QStringLiteral("A title"), 1, {}, 1);
    home.paste.addPaste7Clip(2, 900.0, raw(QStringLiteral("loose")), {}, {}, 0, {}, 1);
    home.paste.addPaste7Clip(3, 800.0, raw(QStringLiteral("loose")));
    home.paste.addPaste7Clip(4, 700.0, inlineValue("bad"));
    home.paste.close();

    home.runImport(Version::paste7);
    EXPECT_EQ(home.ext.log.first(), QStringLiteral("drawer.hide"));
    EXPECT_EQ(home.summary(), QStringLiteral("Imported 2 clips|1 new pinboard created. 1 card title brought over. "
                                             "1 clips were already in TamoCove. 1 clips had no content TamoCove can "
                                             "show and were skipped. Unpinned clips older than a week are removed by "
                                             "your history capacity setting."));
    const ClipItemPtr pinned = home.clipWithText(QStringLiteral("pinned"));
    ASSERT_TRUE(pinned);
    EXPECT_EQ(pinned->createdAt(), QDateTime::fromSecsSinceEpoch(978307200 + 1000, Qt::UTC));
    EXPECT_EQ(pinned->sourceBundleID(), QStringLiteral("org.gnome.gedit"));
    EXPECT_EQ(pinned->title(), QStringLiteral("A title"));
    const auto boards = home.model->pinboards().orderedPinboards();
    ASSERT_EQ(boards.size(), 1);
    EXPECT_EQ(boards[0]->name(), QStringLiteral("Work"));
    EXPECT_EQ(boards[0]->colorIndex(), nearestPaletteIndex(1, 0, 0));
    EXPECT_EQ(pinned->pinboardID(), boards[0]->id());
    EXPECT_EQ(pinned->pinnedAt(), home.clock.now().addSecs(-1));

    home.runImport(Version::paste7);
    EXPECT_EQ(home.summary().section(u'|', 0, 0), QStringLiteral("Imported 0 clips"));
    EXPECT_TRUE(home.summary().contains(QStringLiteral("0 new pinboards created. 3 clips were already in TamoCove.")));
    EXPECT_EQ(home.context().fetchCount<ClipItem>(), 2);
    EXPECT_EQ(home.prompt.preselected, (QList<Version>{Version::paste7, Version::paste7}));
}

TEST(PasteImportTest, TheOlderGenerationAndAPreselectionByWhatIsOnDisk)
{
    ImportHome home;
    home.paste.paste3().exec(QStringLiteral("INSERT INTO ZSNIPPETLIST VALUES (3, 'Old', NULL, 0, NULL);"
                                            "INSERT INTO Z_2LISTS VALUES (1, 3);"));
    home.paste.addPaste3Clip(1, 10, inlineValue(keyedArchive({textItem(QStringLiteral("archived"))})));
    home.paste.close();
    home.runImport(Version::paste3);
    EXPECT_EQ(home.prompt.preselected, QList<Version>{Version::paste3});
    const ClipItemPtr clip = home.clipWithText(QStringLiteral("archived"));
    ASSERT_TRUE(clip);
    EXPECT_TRUE(clip->pinboardID());
}

TEST(PasteImportTest, CancellingReadsAndChangesNothing)
{
    ImportHome home;
    home.prompt.answer = std::nullopt;
    home.model->windows().importPasteHistory();
    QTest::qWait(50);
    EXPECT_TRUE(home.alerts.shown().isEmpty());
    EXPECT_TRUE(QDir(home.temporary.path()).isEmpty());
    EXPECT_FALSE(home.importer.isRunning());
}

TEST(PasteImportTest, PinboardsMatchByExactNameAndNewOnesTakeTheNextPlace)
{
    ImportHome home;
    home.pinboard(QStringLiteral("Work"), 0);
    Snapshot snapshot;
    snapshot.boards = {{1, QStringLiteral("work"), std::nullopt, 5}, {2, QStringLiteral("Work"), std::nullopt, 1},
                       {3, QStringLiteral("New"), std::nullopt, 2}, {4, QStringLiteral("New"), std::nullopt, 3},
                       {5, QStringLiteral("Red"), std::array<double, 3>{1, 0, 0}, 4}};
    PasteMerge merge(home.context(), home.model->clips(), home.model->pinboards(), home.clock, snapshot);
    ASSERT_TRUE(merge.mergeSlice(1000, nullptr));
    EXPECT_EQ(merge.summary().pinboardsCreated, 3);
    QStringList names;
    QList<int> orders, colors;
    for (const PinboardPtr &board : home.model->pinboards().orderedPinboards()) {
        names.append(board->name());
        orders.append(board->order());
        colors.append(board->colorIndex());
    }
    EXPECT_EQ(names, (QStringList{QStringLiteral("Work"), QStringLiteral("New"), QStringLiteral("Red"), QStringLiteral("work")}));
    EXPECT_EQ(orders, (QList<int>{0, 1, 2, 3}));
    EXPECT_EQ(colors, (QList<int>{4, 1, nearestPaletteIndex(1, 0, 0), 3}));
}

TEST(PasteImportTest, ClipsAlreadyHereKeepTheirPinboardAndTitleAndGainWhatTheyLack)
{
    ImportHome home;
    const PinboardPtr mine = home.pinboard(QStringLiteral("Mine"));
    auto pinnedHere = home.model->clips().makeClip(ClipDraft::fromText(QStringLiteral("pinned here")));
    pinnedHere->setPin(mine->id(), home.clock.now().addSecs(-100));
    pinnedHere->setTitle(QStringLiteral("Mine"));
    home.model->clips().makeClip(ClipDraft::fromText(QStringLiteral("loose here")));
    home.context().save();

    auto clip = [](const QString &text, std::optional<qint64> board, qint64 order, std::optional<QString> title) {
        Clip c;
        c.draft = ClipDraft::fromText(text);
        c.contentHash = makeContentHash(c.draft.kind, c.draft.text, c.draft.imageData, c.draft.filePaths);
        c.date = QDateTime::fromSecsSinceEpoch(1000000, Qt::UTC);
        c.boardPasteID = board;
        c.orderInBoard = order;
        c.title = title;
        return c;
    };
    Snapshot snapshot;
    snapshot.boards = {{7, QStringLiteral("Theirs"), std::nullopt, 0}};
    snapshot.clips = {clip(QStringLiteral("pinned here"), 7, 0, QStringLiteral("Theirs")),
                      clip(QStringLiteral("loose here"), 7, 1, QStringLiteral("New title")),
                      clip(QStringLiteral("new"), 7, 2, std::nullopt), clip(QStringLiteral("new"), 99, 3, std::nullopt),
                      clip(QStringLiteral("far"), 7, qint64(1) << 62, std::nullopt)};
    PasteMerge merge(home.context(), home.model->clips(), home.model->pinboards(), home.clock, snapshot);
    ASSERT_TRUE(merge.mergeSlice(1000, nullptr));
    EXPECT_EQ(merge.summary(), (PasteImportSummary{2, 1, 3, 0, 1}));

    const QUuid theirs = home.model->pinboards().orderedPinboards().last()->id();
    const ClipItemPtr kept = home.clipWithText(QStringLiteral("pinned here"));
    EXPECT_EQ(kept->pinboardID(), mine->id());
    EXPECT_EQ(kept->title(), QStringLiteral("Mine"));
    const ClipItemPtr gained = home.clipWithText(QStringLiteral("loose here"));
    EXPECT_EQ(gained->pinboardID(), theirs);
    EXPECT_EQ(gained->pinnedAt(), home.clock.now().addSecs(-1));
    EXPECT_EQ(gained->title(), QStringLiteral("New title"));
    const ClipItemPtr added = home.clipWithText(QStringLiteral("new"));
    EXPECT_EQ(added->pinnedAt(), home.clock.now().addSecs(-2));
    EXPECT_EQ(added->createdAt(), QDateTime::fromSecsSinceEpoch(1000000, Qt::UTC));
    EXPECT_TRUE(home.clipWithText(QStringLiteral("far"))->pinnedAt()->isValid());
}

TEST(PasteImportTest, AFailedSaveTakesBackEverySliceTheMergeSaved)
{
    ImportHome home;
    auto existing = home.model->clips().makeClip(ClipDraft::fromText(QStringLiteral("existing")));
    home.context().save();
    {
        sql::Database db;
        db.open(home.storeDir.file(QStringLiteral("Tamo.store")));
        db.exec(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON ClipItem WHEN (SELECT count(*) FROM ClipItem) >= 60 "
                               "BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    }
    Snapshot snapshot;
    snapshot.boards = {{1, QStringLiteral("Board"), std::nullopt, 0}};
    // The first slice (50 clips) is saved; a later one fails.
    for (int i = 0; i < 200; ++i) {
        Clip c;
        c.draft = ClipDraft::fromText(i == 0 ? QStringLiteral("existing") : QString::number(i));
        c.contentHash = makeContentHash(c.draft.kind, c.draft.text, c.draft.imageData, c.draft.filePaths);
        c.date = home.clock.now();
        c.boardPasteID = 1;
        c.title = QStringLiteral("T");
        snapshot.clips.append(c);
    }
    PasteMerge merge(home.context(), home.model->clips(), home.model->pinboards(), home.clock, snapshot);
    QString error;
    ASSERT_TRUE(merge.mergeSlice(PasteHistoryImport::sliceMilliseconds, &error));
    ASSERT_EQ(home.context().fetchCount<ClipItem>(), 50);
    bool ok = true;
    while (ok && !merge.isFinished())
        ok = merge.mergeSlice(PasteHistoryImport::sliceMilliseconds, &error);
    EXPECT_FALSE(ok);
    EXPECT_TRUE(error.contains(QStringLiteral("refused"))) << error.toStdString();
    EXPECT_FALSE(home.context().hasChanges());
    EXPECT_EQ(home.context().fetchCount<ClipItem>(), 1);
    EXPECT_TRUE(home.model->pinboards().orderedPinboards().isEmpty());
    EXPECT_EQ(existing->title(), std::nullopt);
    EXPECT_EQ(existing->pinboardID(), std::nullopt);
    // The next capture saves only itself.
    home.model->clips().makeClip(ClipDraft::fromText(QStringLiteral("next")));
    ASSERT_TRUE(home.context().save());
    EXPECT_EQ(home.context().fetchCount<ClipItem>(), 2);
}

TEST(PasteImportTest, TheSummaryCountsInItsWords)
{
    Defaults defaults{QString()};
    EXPECT_EQ(PasteHistoryImport::summaryMessage({1234, 0, 0, 0, 0}), QStringLiteral("Imported 1,234 clips"));
    EXPECT_EQ(PasteHistoryImport::summaryMessage({1, 0, 0, 0, 0}), QStringLiteral("Imported 1 clips"));
    defaults.setValue(keys::historyCapacity, 3);
    EXPECT_EQ(PasteHistoryImport::summaryDetail({0, 0, 0, 0, 0}, defaults), QStringLiteral("0 new pinboards created."));
    EXPECT_EQ(PasteHistoryImport::summaryDetail({5, 1, 1234, 1234, 2}, defaults),
              QStringLiteral("1 new pinboard created. 2 card titles brought over. 1,234 clips were already in TamoCove. "
                             "1234 clips had no content TamoCove can show and were skipped."));
    defaults.setValue(keys::historyCapacity, 9);
    EXPECT_TRUE(PasteHistoryImport::summaryDetail({}, defaults)
                    .endsWith(QStringLiteral("Unpinned clips older than a month are removed by your history capacity setting.")));
}

TEST(PasteImportTest, FailuresShowTheirAlert)
{
    struct Case
    {
        const char *name;
        std::function<void(ImportHome &)> prepare;
        QString message;
        QStringList buttons;
    };
    const Case cases[] = {
        {"not found", [](ImportHome &) {}, QStringLiteral("Paste wasn't found"), {}},
        {"unreadable", [](ImportHome &h) {
             QDir().mkpath(h.paste.locations().paste7Folder);
             writeFile(h.paste.locations().paste7Folder + QStringLiteral("/db.sqlite"), QByteArray(4096, 'x'));
         }, QStringLiteral("Import failed"), {}},
    };
    for (const Case &c : cases) {
        ImportHome home;
        c.prepare(home);
        home.runImport(Version::paste7);
        EXPECT_EQ(home.alerts.shown().last().message, c.message) << c.name;
        EXPECT_EQ(home.alerts.shown().last().buttons, c.buttons) << c.name;
    }
}

TEST(PasteImportTest, AFolderItMayNotReadOffersToShowIt)
{
    for (const int answer : {0, 1}) {
        ImportHome home;
        PasteHistoryImport refused{home.defaults, home.alerts, home.prompt, home.progress,
                                   ReadEnvironment{home.home.path(), home.temporary.path(), [] { return true; },
                                                   [](const QString &) { return EACCES; }}};
        refused.attach(*home.model);
        home.prompt.answer = Version::paste7;
        home.alerts.answer(answer);
        QSignalSpy finished(&refused, &PasteHistoryImport::finished);
        refused.importPasteHistory();
        ASSERT_TRUE(finished.wait(5000));
        const AlertSpec &alert = home.alerts.shown().last();
        EXPECT_EQ(alert.message, QStringLiteral("TamoCove needs access to Paste's folder"));
        EXPECT_EQ(alert.buttons, (QStringList{QStringLiteral("Show Folder"), QStringLiteral("Cancel")}));
        EXPECT_EQ(home.workspace.revealedFiles().size(), answer == 0 ? 1 : 0);
    }
}

TEST(PasteImportTest, QuittingDuringAReadThatNeverEndsLeavesNothingBehind)
{
    ImportHome home;
    home.paste.makeEndlessClipView();
    home.paste.close();
    auto importer = home.patientImporter();
    importer->runPasteImport(Version::paste7);
    QDeadlineTimer deadline(std::chrono::seconds(60));
    while (QDir(home.temporary.path()).isEmpty() && !deadline.hasExpired())
        QThread::msleep(10);
    ASSERT_FALSE(QDir(home.temporary.path()).isEmpty());
    importer.reset();
    EXPECT_TRUE(QDir(home.temporary.path()).isEmpty());
    EXPECT_TRUE(home.alerts.shown().isEmpty());
}

TEST(PasteImportTest, AnImportCutShortIsContinuedAndSaysSo)
{
    ImportHome home;
    home.paste.addPaste7Clip(1, 1.0, raw(QStringLiteral("one")));
    home.paste.addPaste7Clip(2, 2.0, raw(QStringLiteral("two")));
    home.paste.close();
    // What an import that quit or died while merging leaves on disk.
    home.defaults.setValue(keys::pasteImportUnfinished, true);
    const QString note = QStringLiteral("It continued an earlier import that did not finish.");

    home.runImport(Version::paste7);
    EXPECT_TRUE(home.summary().contains(QStringLiteral("|") + note + QStringLiteral(" 0 new pinboards created.")))
        << home.summary().toStdString();
    EXPECT_FALSE(home.defaults.hasPersistentValue(keys::pasteImportUnfinished));

    home.runImport(Version::paste7);
    EXPECT_FALSE(home.summary().contains(note));
}

TEST(PasteImportTest, AMergeInProgressIsMarkedOnDisk)
{
    ImportHome home;
    home.paste.addPaste7Clip(1, 1.0, raw(QStringLiteral("one")));
    home.paste.close();
    bool markedWhileMerging = false;
    QObject::connect(&home.context(), &ModelContext::didSave, &home.importer, [&] {
        markedWhileMerging = home.defaults.boolValue(keys::pasteImportUnfinished);
    });
    home.runImport(Version::paste7);
    EXPECT_TRUE(markedWhileMerging);
    EXPECT_FALSE(home.defaults.boolValue(keys::pasteImportUnfinished));
}

namespace {

// More clips than the merge's first slice takes.
constexpr int manyClips = 120;

void addManyClips(ImportHome &home)
{
    for (int key = 1; key <= manyClips; ++key)
        home.paste.addPaste7Clip(key, double(key), raw(QStringLiteral("clip %1").arg(key)));
    home.paste.close();
}

// Runs `act` once the read or the merge is under way, between two slices
// of a merge: before the one that follows the first.
struct Phase
{
    const char *name;
    void (*prepare)(ImportHome &);
    void (*arm)(ImportHome &, std::function<void()> act);
};

const Phase phases[] = {
    {"reading", [](ImportHome &home) {
         home.paste.makeEndlessClipView();
         home.paste.close();
     }, [](ImportHome &home, std::function<void()> act) {
         // Under way once its private copy is there.
         auto *poll = new QTimer(home.model.get());
         QObject::connect(poll, &QTimer::timeout, [&home, poll, act] {
             if (QDir(home.temporary.path()).isEmpty())
                 return;
             poll->deleteLater();
             poll->stop();
             act();
         });
         poll->start(5);
     }},
    {"merging", addManyClips, [](ImportHome &home, std::function<void()> act) {
         home.progress.onUpdate = [&home, act](const QString &step) {
             if (!step.startsWith(QStringLiteral("Adding")))
                 return;
             QMetaObject::invokeMethod(home.model.get(), act, Qt::QueuedConnection);
             home.progress.onUpdate = nullptr; // ends this lambda's captures
         };
     }},
};

} // namespace

// Cancel stops a read at once and changes nothing; it stops a merge between
// slices, keeping what was saved, and the next import adds the rest once.
TEST(PasteImportTest, StoppingLeavesTheStoreWholeAndTheNextImportAddsTheRest)
{
    for (const Phase &phase : phases) {
        ImportHome home;
        phase.prepare(home);
        home.alerts.answer(0);
        QSignalSpy finished(&home.importer, &PasteHistoryImport::finished);
        bool stopped = false;
        phase.arm(home, [&] {
            stopped = bool(home.progress.stop);
            home.progress.stop();
        });
        home.importer.runPasteImport(Version::paste7);
        EXPECT_EQ(home.progress.titles, QStringList{QStringLiteral("Importing from Paste")}) << phase.name;
        ASSERT_TRUE(finished.wait(20000)) << phase.name;
        ASSERT_TRUE(stopped) << phase.name;
        EXPECT_FALSE(home.progress.shown) << phase.name;
        EXPECT_TRUE(QDir(home.temporary.path()).isEmpty()) << phase.name;
        const qsizetype kept = home.context().fetchCount<ClipItem>();
        if (std::string(phase.name) == "reading") {
            EXPECT_TRUE(home.alerts.shown().isEmpty()) << phase.name;
            EXPECT_EQ(kept, 0) << phase.name;
            EXPECT_FALSE(home.defaults.boolValue(keys::pasteImportUnfinished)) << phase.name;
            continue;
        }
        ASSERT_EQ(home.alerts.shown().size(), 1) << phase.name;
        EXPECT_EQ(home.alerts.shown().last().message, QStringLiteral("Import stopped"));
        EXPECT_TRUE(home.alerts.shown().last().informativeText.startsWith(QLocale().toString(kept) +
                                                                          QStringLiteral(" clips were imported before")))
            << home.alerts.shown().last().informativeText.toStdString();
        EXPECT_GT(kept, 0);
        EXPECT_LT(kept, manyClips);
        EXPECT_TRUE(home.progress.steps.contains(QStringLiteral("Adding %1 of %2 clips…").arg(kept).arg(manyClips)));
        EXPECT_TRUE(home.defaults.boolValue(keys::pasteImportUnfinished));

        home.runImport(Version::paste7);
        EXPECT_EQ(home.context().fetchCount<ClipItem>(), manyClips);
        EXPECT_TRUE(home.summary().startsWith(QStringLiteral("Imported %1 clips|It continued").arg(manyClips - kept)))
            << home.summary().toStdString();
        EXPECT_FALSE(home.defaults.boolValue(keys::pasteImportUnfinished));
    }
}

// A quit leaves the import where it is without waiting on it: a read is
// cancelled and its copy removed, a merge keeps its saved slices for the
// next import to continue; no alert comes up either way.
TEST(PasteImportTest, AQuitDuringAnyPartEndsTheImportAtOnce)
{
    for (const Phase &phase : phases) {
        ImportHome home;
        phase.prepare(home);
        auto importer = home.patientImporter();
        QSignalSpy finished(importer.get(), &PasteHistoryImport::finished);
        bool quit = false;
        phase.arm(home, [&] {
            quit = finished.isEmpty();
            importer.reset();
        });
        importer->runPasteImport(Version::paste7);
        QDeadlineTimer deadline(std::chrono::seconds(60));
        while (importer && !deadline.hasExpired())
            QTest::qWait(5);
        ASSERT_TRUE(quit) << phase.name;
        EXPECT_FALSE(home.progress.shown) << phase.name;
        EXPECT_TRUE(QDir(home.temporary.path()).isEmpty()) << phase.name;
        EXPECT_TRUE(home.alerts.shown().isEmpty()) << phase.name;
        const qsizetype kept = home.context().fetchCount<ClipItem>();
        EXPECT_EQ(home.defaults.boolValue(keys::pasteImportUnfinished), kept > 0) << phase.name;
        EXPECT_FALSE(home.context().hasChanges()) << phase.name;
    }
}

// Both imports share one progress window: a second one while the first is
// under way says so and leaves the first's Cancel stopping the first.
TEST(PasteImportTest, AnotherImportWaitsForTheOneUnderWay)
{
    const QString busy = QStringLiteral("Another import is under way");
    {
        ImportHome home;
        int stops = 0;
        home.progress.begin(QStringLiteral("Importing “boards.tamocove”"), [&stops] { ++stops; });
        home.prompt.answer = Version::paste7;
        home.alerts.answer(0);
        home.model->windows().importPasteHistory();
        ASSERT_EQ(home.alerts.shown().size(), 1);
        EXPECT_EQ(home.alerts.shown().last().message, busy);
        EXPECT_TRUE(home.prompt.preselected.isEmpty());
        EXPECT_FALSE(home.importer.isRunning());
        home.progress.stop();
        EXPECT_EQ(stops, 1);
    }
    {
        ImportHome home;
        phases[0].prepare(home);
        struct : PinboardPicker
        {
            PickerAnswer run(const PickerRequest &) override { return {}; }
        } picker;
        FakeFilePanels panels;
        PinboardImport pinboards({*home.model, home.defaults, home.alerts, panels, picker, home.progress, home.clock});
        QSignalSpy finished(&home.importer, &PasteHistoryImport::finished);
        home.alerts.answer(0);
        phases[0].arm(home, [&] {
            pinboards.run(home.temporary.file(QStringLiteral("boards.tamocove")));
            home.progress.stop();
        });
        home.importer.runPasteImport(Version::paste7);
        ASSERT_TRUE(finished.wait(20000));
        ASSERT_EQ(home.alerts.shown().size(), 1);
        EXPECT_EQ(home.alerts.shown().last().message, busy);
        EXPECT_EQ(home.progress.titles, QStringList{QStringLiteral("Importing from Paste")});
    }
}

// Many distinct long texts would all be held until merged: past what the
// read keeps in memory they wait in a spool, and come back whole.
TEST(PasteImportTest, LongTextsPastWhatTheReadHoldsWaitInTheSpoolAndArriveWhole)
{
    ImportHome home;
    QStringList texts;
    for (int i = 0; i < 6; ++i) {
        texts.append(QString(8 * 1024 * 1024, QChar(u'a' + i)));
        home.paste.addPaste7Clip(i + 1, double(i), raw(texts.last()));
    }
    for (const bool spooling : {false, true}) {
        ReadEnvironment environment = home.readEnvironment();
        if (spooling)
            environment.spoolFolder = home.temporary.path();
        const Snapshot snapshot = readPaste7Snapshot(environment);
        ASSERT_EQ(snapshot.clips.size(), 6);
        const auto spooled = std::count_if(snapshot.clips.cbegin(), snapshot.clips.cend(),
                                           [](const PasteImporter::Clip &clip) { return clip.spooledText.has_value(); });
        EXPECT_EQ(spooled, spooling ? 2 : 0) << spooling;
    }

    home.runImport(Version::paste7);
    for (const QString &text : std::as_const(texts))
        EXPECT_TRUE(home.clipWithText(text)) << text.at(0).toLatin1();
}

// A slice is timed only once saved: one of many long texts would hold the
// window for seconds, so a slice takes new long texts a few at a time.
TEST(PasteImportTest, ASliceStopsOnceItsNewTextsAreLong)
{
    ImportHome home;
    Snapshot snapshot;
    for (int i = 0; i < 3; ++i) {
        Clip c;
        c.draft = ClipDraft::fromText(QString(3 * 1024 * 1024, QChar(u'a' + i)));
        c.contentHash = makeContentHash(c.draft.kind, c.draft.text, c.draft.imageData, c.draft.filePaths);
        c.date = home.clock.now();
        snapshot.clips.append(c);
    }
    PasteMerge merge(home.context(), home.model->clips(), home.model->pinboards(), home.clock, snapshot);
    ASSERT_TRUE(merge.mergeSlice(PasteHistoryImport::sliceMilliseconds, nullptr));
    EXPECT_EQ(merge.mergedClips(), 2);
    ASSERT_TRUE(merge.mergeSlice(PasteHistoryImport::sliceMilliseconds, nullptr));
    EXPECT_TRUE(merge.isFinished());
    EXPECT_EQ(merge.summary().imported, 3);
}
