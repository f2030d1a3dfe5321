#include "app/AppModelFixture.h"
#include "support/HangGuard.h"
#include "support/FakeFilePanels.h"
#include "support/TestImages.h"

#include "model/ClipItem.h"
#include "model/ClipLibrary.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"
#include "model/Pinboards.h"
#include "model/SettingsKeys.h"
#include "model/Sqlite.h"
#include "platform/ClipLimits.h"
#include "transfer/ImportPlan.h"
#include "transfer/FakeImportProgress.h"
#include "transfer/PinboardFiles.h"
#include "transfer/PinboardImport.h"
#include "transfer/PinboardPicker.h"
#include "app/AppDelegate.h"
#include "app/SingleInstance.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QThreadPool>
#include <QTimer>

#include <sys/stat.h>

using namespace tamo;
using namespace tamo::testing;

namespace {

class FakePicker final : public PinboardPicker
{
public:
    QList<PickerAnswer> answers;
    QList<PickerRequest> requests;
    std::function<void()> whileShown; // capture and sync go on while the dialog waits

    PickerAnswer run(const PickerRequest &request) override
    {
        requests.append(request);
        if (whileShown)
            whileShown();
        if (answers.isEmpty()) {
            ADD_FAILURE() << "unexpected picker";
            return {};
        }
        return answers.takeFirst();
    }
};

// One installation: its own store, settings and dialogs.
struct Home : FakePlatform
{
    Home()
    {
        AppExtensions extensions = ext.extensions();
        extensions.pinboardFiles = &files;
        model = std::make_unique<AppModel>(services(), storeDir.path(), extensions);
        files.attach(*model);
    }

    ModelContext &context() { return model->container().mainContext(); }

    PinboardPtr pinboard(const QString &name, int color)
    {
        auto board = std::make_shared<Pinboard>(name, color, int(model->pinboards().orderedPinboards().size()));
        context().insert(board);
        context().save();
        return board;
    }

    ClipItemPtr pinned(const ClipDraft &draft, const PinboardPtr &board, int minutes)
    {
        auto clip = model->clips().makeClip(draft);
        clip->setPin(board->id(), clock.now().addSecs(60 * minutes));
        context().save();
        return clip;
    }

    ClipItemPtr clipWithID(const QUuid &id)
    {
        const auto found = context().fetch<ClipItem>(FetchDescriptor().where(ClipItem::IdColumn, FetchDescriptor::Compare::equal, id));
        return found.isEmpty() ? nullptr : found.first();
    }

    FakeFilePanels panels;
    FakePicker picker;
    FakeImportProgress progress;
    PinboardFiles files{defaults, alerts, panels, picker, progress, clock};
    std::unique_ptr<AppModel> model;
};

PickerAnswer tick(QList<int> rows, bool option = false) { return {rows, option}; }

QByteArray archiveBytes(const QString &boardsJson)
{
    return (QStringLiteral(R"({"format":"tamo-pinboards","version":1,"exportedAt":"2026-01-02T03:04:05.678Z","apps":[],"pinboards":)")
            + boardsJson + u'}').toUtf8();
}

QString clipJson(const QString &text, const QString &extra = {})
{
    return QStringLiteral(R"({"kind":"text","text":"%1","keywords":[],"createdAt":"2026-01-01T00:00:00Z"%2})").arg(text, extra);
}

} // namespace

TEST(PinboardFilesTest, ExportOnOneInstallationImportsIdenticallyOnAnotherAndIsRecognisedAfter)
{
    Home mine;
    const auto work = mine.pinboard(QStringLiteral("Work"), 8);
    mine.pinboard(QStringLiteral("Empty"), 2);
    auto note = mine.pinned(ClipDraft::fromText(QStringLiteral("Meet at the north entrance")), work, 1);
    note->setTitle(QStringLiteral("Meeting"));
    note->setKeywords({QStringLiteral("work"), QStringLiteral("Home")});
    note->setIconEmoji(QStringLiteral("📌"));
    const auto picture = mine.pinned(*ClipDraft::fromImage(encodedImage(QSize(5, 3), Qt::red)), work, 2);
    ClipDraft fileDraft;
    fileDraft.kind = ClipKind::file;
    fileDraft.filePaths = {QStringLiteral("/home/me/a b.txt")};
    const auto file = mine.pinned(fileDraft, work, 3);
    mine.context().save();

    const QString path = mine.configDir.file(QStringLiteral("boards.tamocove"));
    mine.picker.answers = {tick({0, 1})};
    mine.panels.answer(path);
    EXPECT_TRUE(mine.files.exportPinboards());
    EXPECT_EQ(mine.panels.proposedNames, QStringList{QStringLiteral("TamoCove Pinboards")});
    EXPECT_EQ(mine.picker.requests[0].rows[0].detail, QStringLiteral("3 clips"));
    EXPECT_TRUE(mine.ext.log.contains(QStringLiteral("toast:Exported 2 pinboards, 3 clips")));

    Home theirs;
    theirs.picker.answers = {tick({0, 1})};
    theirs.alerts.answer(0);
    theirs.files.importPinboards(path);
    ASSERT_EQ(theirs.alerts.shown().size(), 1);
    EXPECT_EQ(theirs.alerts.shown()[0].message, QStringLiteral("Imported 2 pinboards"));
    EXPECT_EQ(theirs.alerts.shown()[0].informativeText, QStringLiteral("3 clips added, 2 new pinboards."));
    const auto boards = theirs.model->pinboards().orderedPinboards();
    ASSERT_EQ(boards.size(), 2);
    EXPECT_EQ(boards[0]->id(), work->id());
    EXPECT_EQ(boards[0]->colorIndex(), 8);
    EXPECT_EQ(boards[1]->name(), QStringLiteral("Empty"));
    for (const ClipItemPtr &original : {note, picture, file}) {
        const ClipItemPtr copy = theirs.clipWithID(original->id());
        ASSERT_TRUE(copy);
        EXPECT_EQ(copy->contentHash(), original->contentHash());
        EXPECT_EQ(copy->title(), original->title());
        EXPECT_EQ(copy->keywords(), original->keywords());
        EXPECT_EQ(copy->iconEmoji(), original->iconEmoji());
        EXPECT_EQ(copy->pinnedAt(), original->pinnedAt());
        EXPECT_EQ(copy->imageData(), original->imageData());
        EXPECT_EQ(copy->filePaths(), original->filePaths());
    }

    theirs.clock.advance(3600 * 1000);
    theirs.alerts.answer(0);
    theirs.files.importPinboards(path);
    ASSERT_EQ(theirs.alerts.shown().size(), 2);
    EXPECT_EQ(theirs.alerts.shown()[1].message, QStringLiteral("Nothing new to import"));
    EXPECT_TRUE(theirs.alerts.shown()[1].informativeText.startsWith(
        QStringLiteral("Everything in “boards.tamocove” is already in TamoCove. You imported this file on ")));
}

TEST(PinboardFilesTest, ExportWithoutPinboardsOrWithAFailedWriteSaysSoAndLeavesNoFile)
{
    Home empty;
    empty.alerts.answer(0);
    EXPECT_FALSE(empty.files.exportPinboards());
    EXPECT_EQ(empty.alerts.shown()[0].message, QStringLiteral("No pinboards to export"));

    Home mine;
    mine.pinboard(QStringLiteral("Work"), 0);
    const QString folder = mine.configDir.file(QStringLiteral("taken"));
    QDir().mkpath(folder + QStringLiteral("/inside")); // a folder in the way of the file
    mine.picker.answers = {tick({0})};
    mine.panels.answer(folder);
    mine.alerts.answer(0);
    EXPECT_FALSE(mine.files.exportPinboards());
    EXPECT_EQ(mine.panels.proposedNames, QStringList{QStringLiteral("Work")});
    EXPECT_EQ(mine.alerts.shown().last().message, QStringLiteral("Export failed"));
    const QStringList left = QDir(mine.configDir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    EXPECT_EQ(left, QStringList{QStringLiteral("taken")});
}

TEST(PinboardFilesTest, ExportLeavesOutPinboardsDeletedWhileTheDialogsWereOpen)
{
    Home mine;
    mine.pinboard(QStringLiteral("Work"), 0);
    const auto gone = mine.pinboard(QStringLiteral("Gone"), 1);
    mine.picker.answers = {tick({0, 1})};
    mine.picker.whileShown = [&] { mine.model->pinboards().deletePinboard(gone); };
    mine.panels.answer(mine.configDir.file(QStringLiteral("a.tamocove")));
    EXPECT_TRUE(mine.files.exportPinboards());
    EXPECT_TRUE(mine.ext.log.contains(QStringLiteral("toast:Exported 1 pinboard, 0 clips")));
}

TEST(PinboardFilesTest, FilesThatCannotBeImportedSayWhyAndChangeNothing)
{
    const std::vector<std::tuple<const char *, QByteArray, QString, QString>> cases{
        {"not JSON", "{\"format\":", QStringLiteral("Couldn't open “x.tamocove”"), QString()},
        {"newer", archiveBytes(QStringLiteral("[]")).replace("\"version\":1", "\"version\":2"),
         QStringLiteral("Couldn't open “x.tamocove”"),
         QStringLiteral("This file was made by a newer version of TamoCove. Update TamoCove to import it.")},
        {"no pinboards", archiveBytes(QStringLiteral("[]")), QStringLiteral("Nothing to import"),
         QStringLiteral("This file doesn't contain TamoCove pinboards.")},
        // Nothing of a file is imported when a cap is passed at its end.
        {"past a cap in its last clip",
         archiveBytes(QStringLiteral(R"([{"name":"A","color":"Blue","clips":[%1]},{"name":"B","color":"Red","clips":[%2]}])")
                          .arg(clipJson(QStringLiteral("kept")),
                               clipJson(QStringLiteral("too"), QStringLiteral(R"(,"sourceBundleID":"%1")")
                                                                   .arg(QString(PinboardArchive::maxNameLength + 1, u'x'))))),
         QStringLiteral("Couldn't open “x.tamocove”"),
         QStringLiteral("The value for the key “sourceBundleID” is longer than 1024 characters.")},
    };
    for (const auto &[name, bytes, message, detail] : cases) {
        Home home;
        const QString path = home.configDir.file(QStringLiteral("x.tamocove"));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        home.alerts.answer(0);
        home.files.importPinboards(path);
        ASSERT_EQ(home.alerts.shown().size(), 1) << name;
        EXPECT_EQ(home.alerts.shown()[0].message, message) << name;
        if (!detail.isEmpty()) {
            EXPECT_EQ(home.alerts.shown()[0].informativeText, detail) << name;
        }
        EXPECT_TRUE(home.model->pinboards().orderedPinboards().isEmpty()) << name;
        EXPECT_FALSE(home.defaults.hasPersistentValue(keys::importedPinboardFiles)) << name;
    }
    Home home;
    home.alerts.answer(0);
    home.files.importPinboards(home.configDir.file(QStringLiteral("missing.tamocove")));
    EXPECT_EQ(home.alerts.shown()[0].message, QStringLiteral("Couldn't open “missing.tamocove”"));
}

TEST(PinboardFilesTest, AHandedOverFifoOrDeviceIsRefusedWithoutWaitingOnIt)
{
    const tamo::testing::HangGuard guard("a handed-over FIFO");
    Home home;
    const QString fifo = home.configDir.file(QStringLiteral("fifo.tamocove"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString toFifo = home.configDir.file(QStringLiteral("to-fifo.tamocove"));
    const QString toZero = home.configDir.file(QStringLiteral("zero.tamocove"));
    ASSERT_TRUE(QFile::link(fifo, toFifo));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), toZero));
    for (const QString &path : {fifo, toFifo, toZero}) {
        home.alerts.answer(0);
        home.files.importPinboards(path);
        EXPECT_EQ(home.alerts.shown().last().message, QStringLiteral("Couldn't open “%1”").arg(QFileInfo(path).fileName()));
        EXPECT_EQ(home.alerts.shown().last().informativeText, QStringLiteral("It is not a regular file."));
    }
    EXPECT_EQ(home.alerts.shown().size(), 3);
}

TEST(PinboardFilesTest, MatchingTheFileUnpinsOnlyWhatNoPinboardOfTheFileHas)
{
    Home home;
    const auto work = home.pinboard(QStringLiteral("Work"), 0);
    const auto x = home.pinned(ClipDraft::fromText(QStringLiteral("x")), work, 1);
    const auto y = home.pinned(ClipDraft::fromText(QStringLiteral("y")), work, 2);
    const auto z = home.pinned(ClipDraft::fromText(QStringLiteral("z")), work, 3);
    const QString path = home.configDir.file(QStringLiteral("two.tamocove"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    // Both pinboards of the file land on "Work"; between them they have x and y.
    file.write(archiveBytes(QStringLiteral(R"([{"name":"work","color":"Red","clips":[%1]},{"name":"WORK","color":"Red","clips":[%2,%3]}])")
                                .arg(clipJson(QStringLiteral("x")), clipJson(QStringLiteral("y")), clipJson(QStringLiteral("new")))));
    file.close();
    home.picker.answers = {tick({0, 1}, true)};
    home.alerts.answer(0); // unpin and import
    home.alerts.answer(0); // result
    home.files.importPinboards(path);

    EXPECT_EQ(home.picker.requests[0].rows[0].detail, QStringLiteral("1 unchanged, 1 not in the file"));
    EXPECT_EQ(home.picker.requests[0].rows[1].detail, QStringLiteral("1 new, 1 unchanged, 1 not in the file"));
    ASSERT_EQ(home.alerts.shown().size(), 2);
    EXPECT_EQ(home.alerts.shown()[0].message, QStringLiteral("Unpin 1 clip?"));
    EXPECT_EQ(home.alerts.shown()[1].informativeText, QStringLiteral("1 clip added, 1 unpinned, 2 already there."));
    EXPECT_EQ(x->pinboardID(), work->id());
    EXPECT_EQ(y->pinboardID(), work->id());
    EXPECT_FALSE(z->pinboardID());
    EXPECT_EQ(home.model->pinboards().orderedPinboards()[0]->name(), QStringLiteral("WORK"));
}

TEST(PinboardFilesTest, WithoutMatchingTheFileTheOtherClipsOfThePinboardStayPinned)
{
    Home home;
    const auto work = home.pinboard(QStringLiteral("Work"), 0);
    const auto x = home.pinned(ClipDraft::fromText(QStringLiteral("x")), work, 1);
    const auto y = home.pinned(ClipDraft::fromText(QStringLiteral("y")), work, 2);
    const QString path = home.configDir.file(QStringLiteral("one.tamocove"));
    writeFile(path, archiveBytes(QStringLiteral(R"([{"name":"Work","color":"Red","clips":[%1,%2]}])")
                                     .arg(clipJson(QStringLiteral("x")), clipJson(QStringLiteral("new")))));
    home.picker.answers = {tick({0}, false)};
    home.alerts.answer(0);
    home.files.importPinboards(path);

    ASSERT_TRUE(home.picker.requests[0].optionTitle);
    ASSERT_EQ(home.alerts.shown().size(), 1);
    EXPECT_EQ(home.alerts.shown()[0].informativeText, QStringLiteral("1 clip added, 1 already there."));
    EXPECT_EQ(x->pinboardID(), work->id());
    EXPECT_EQ(y->pinboardID(), work->id());
    EXPECT_EQ(home.context().fetchCount<ClipItem>(FetchDescriptor().where(
                  ClipItem::PinboardIDColumn, FetchDescriptor::Compare::equal, work->id())),
              3);
}

TEST(PinboardFilesTest, RepeatedIdsAndRepeatedContentInAFileMakeNoClashingClips)
{
    Home home;
    const QString id = QStringLiteral(R"(,"id":"8F2C1A3E-0B7D-4C61-9E51-3F1A2B4C5D6E")");
    const QString path = home.configDir.file(QStringLiteral("dup.tamocove"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(archiveBytes(QStringLiteral(R"([{"name":"A","color":"Blue","clips":[%1,%2,%3]}])")
                                .arg(clipJson(QStringLiteral("one"), id), clipJson(QStringLiteral("two"), id),
                                     clipJson(QStringLiteral("two")))));
    file.close();
    home.picker.answers = {tick({0})};
    home.alerts.answer(0);
    home.files.importPinboards(path);
    EXPECT_EQ(home.alerts.shown().last().informativeText,
              QStringLiteral("2 clips added, 1 new pinboard. 1 clip was already pinned to another pinboard and stayed there."));
    const auto clips = home.context().fetch<ClipItem>();
    ASSERT_EQ(clips.size(), 2);
    EXPECT_NE(clips[0]->id(), clips[1]->id());
    EXPECT_TRUE(home.clipWithID(QUuid::fromString(QStringLiteral("8F2C1A3E-0B7D-4C61-9E51-3F1A2B4C5D6E"))));
}

TEST(PinboardFilesTest, AFailedSaveRollsTheImportBackAndForgetsTheFile)
{
    Home home;
    const QString path = home.configDir.file(QStringLiteral("f.tamocove"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(archiveBytes(QStringLiteral(R"([{"name":"A","color":"Blue","clips":[%1]}])").arg(clipJson(QStringLiteral("a")))));
    file.close();
    {
        sql::Database db;
        db.open(home.storeDir.file(QStringLiteral("Tamo.store")));
        db.exec(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON Pinboard BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    }
    home.picker.answers = {tick({0})};
    home.alerts.answer(0);
    home.files.importPinboards(path);
    ASSERT_EQ(home.alerts.shown().size(), 1);
    EXPECT_EQ(home.alerts.shown()[0].message, QStringLiteral("Import failed"));
    EXPECT_FALSE(home.context().hasChanges());
    EXPECT_FALSE(home.defaults.hasPersistentValue(keys::importedPinboardFiles));
}

TEST(PinboardFilesTest, TheResultAlertCountsInItsOrder)
{
    ImportResult result;
    EXPECT_EQ(PinboardImport::resultDetail(result), QStringLiteral("0 clips added."));
    result = {1, 5, 1, 3, 1, 0, 0};
    EXPECT_EQ(PinboardImport::resultDetail(result),
              QStringLiteral("5 clips added, 1 updated, 1 new pinboard, 3 already there. 1 clip was already pinned to "
                             "another pinboard and stayed there."));
    EXPECT_EQ(PinboardImport::resultMessage(1), QStringLiteral("Imported 1 pinboard"));
}

// A clip still in the history was once reported as added, and a pinboard
// the import left as it was as imported.
TEST(PinboardFilesTest, TheResultCountsWhatTheImportChanged)
{
    const struct
    {
        const char *name;
        QString boards; // the file's
        QString message;
        QString detail;
    } cases[] = {
        {"a pinboard deleted here, its clip still in the history",
         QStringLiteral(R"([{"name":"Keep","color":"Red","clips":[%1,%2]},{"name":"Gone","color":"Blue","clips":[%3]}])")
             .arg(clipJson(QStringLiteral("x")), clipJson(QStringLiteral("y")), clipJson(QStringLiteral("lonely"))),
         QStringLiteral("Imported 1 pinboard"),
         QStringLiteral("0 clips added, 1 pinned from your history, 1 new pinboard, 2 already there.")},
        {"a new clip on one of two pinboards",
         QStringLiteral(R"([{"name":"Keep","color":"Red","clips":[%1,%2,%3]},{"name":"Other","color":"Red","clips":[%4]}])")
             .arg(clipJson(QStringLiteral("x")), clipJson(QStringLiteral("y")), clipJson(QStringLiteral("new")),
                  clipJson(QStringLiteral("z"))),
         QStringLiteral("Imported 1 pinboard"), QStringLiteral("1 clip added, 3 already there.")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        Home home;
        const auto keep = home.pinboard(QStringLiteral("Keep"), 0);
        const auto other = home.pinboard(QStringLiteral("Other"), 0);
        home.pinned(ClipDraft::fromText(QStringLiteral("x")), keep, 1);
        home.pinned(ClipDraft::fromText(QStringLiteral("y")), keep, 2);
        home.pinned(ClipDraft::fromText(QStringLiteral("z")), other, 3);
        home.model->clips().makeClip(ClipDraft::fromText(QStringLiteral("lonely")));
        home.context().save();
        const qsizetype before = home.context().fetchCount<ClipItem>();
        const QString path = home.configDir.file(QStringLiteral("boards.tamocove"));
        writeFile(path, archiveBytes(c.boards));
        home.picker.answers = {tick({0, 1})};
        home.alerts.answer(0);
        home.files.importPinboards(path);

        ASSERT_EQ(home.alerts.shown().size(), 1);
        EXPECT_EQ(home.alerts.shown()[0].message, c.message);
        EXPECT_EQ(home.alerts.shown()[0].informativeText, c.detail);
        const qsizetype added = c.detail.section(u' ', 0, 0).toInt();
        EXPECT_EQ(home.context().fetchCount<ClipItem>(), before + added);
    }
}

TEST(PinboardFilesTest, ARunningInstanceHandedGoodBadAndCutFilesStaysUpAndImportsTheGoodOnce)
{
    Home home;
    SingleInstance instance(home.storeDir.path());
    ASSERT_EQ(instance.claimOrHandOver({}), std::nullopt);
    AppDelegate delegate(*home.model, home.defaults);
    QObject::connect(&instance, &SingleInstance::activated, &instance,
                     [&delegate](const QStringList &files) { delegate.launchedAgain(files); });

    const QByteArray good = archiveBytes(QStringLiteral(R"([{"name":"A","color":"Blue","clips":[%1,%2]}])")
                                             .arg(clipJson(QStringLiteral("one")), clipJson(QStringLiteral("two"))));
    const QString goodPath = home.configDir.file(QStringLiteral("good.tamocove"));
    const QString garbagePath = home.configDir.file(QStringLiteral("garbage.tamocove"));
    const QString cutPath = home.configDir.file(QStringLiteral("cut.tamocove"));
    writeFile(goodPath, good);
    writeFile(garbagePath, QByteArray("\x89PNG garbage \xff\xfe"));
    writeFile(cutPath, good.left(good.size() / 2));

    // A person reads each dialog for a moment while its event loop runs, in
    // which the launches that handed the files over go away.
    auto readForAMoment = [] {
        QEventLoop loop;
        QTimer::singleShot(100, &loop, &QEventLoop::quit);
        loop.exec();
    };
    home.alerts.whileShown = readForAMoment;
    home.picker.whileShown = readForAMoment;
    home.picker.answers = {tick({0})};
    for (int i = 0; i < 4; ++i)
        home.alerts.answer(0);
    // Handed over one after the other, each while the one before may still be open.
    for (const QString &path : {goodPath, garbagePath, cutPath, goodPath})
        ASSERT_EQ(SingleInstance(home.storeDir.path()).claimOrHandOver({path}), 0);

    QEventLoop waiting;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, &waiting, [&] {
        if (home.alerts.shown().size() >= 4)
            waiting.quit();
    });
    tick.start(20);
    QTimer::singleShot(10'000, &waiting, &QEventLoop::quit);
    waiting.exec();

    QStringList messages;
    for (const AlertSpec &alert : home.alerts.shown())
        messages.append(alert.message);
    EXPECT_EQ(messages.join(u'|').toStdString(), "Imported 1 pinboard|Couldn't open “garbage.tamocove”|"
                                                 "Couldn't open “cut.tamocove”|Nothing new to import");
    EXPECT_EQ(home.context().fetchCount<ClipItem>(), 2);
    EXPECT_EQ(home.model->pinboards().orderedPinboards().size(), 1);
}

namespace {

// Two pinboards of `clips` texts each: more than one slice of work.
QString twoLongPinboards(Home &home, int clips)
{
    QStringList boards;
    for (const QString &name : {QStringLiteral("A"), QStringLiteral("B")}) {
        QStringList texts;
        for (int i = 0; i < clips; ++i)
            texts.append(clipJson(name + QString::number(i)));
        boards.append(QStringLiteral(R"({"name":"%1","color":"Blue","clips":[%2]})").arg(name, texts.join(u',')));
    }
    const QString path = home.configDir.file(QStringLiteral("long.tamocove"));
    writeFile(path, archiveBytes(u'[' + boards.join(u',') + u']'));
    return path;
}

// What a stopped or cut-short import leaves: whole clips, each pinned to a
// pinboard of the file, and nothing pending.
void expectConsistentlyPartial(Home &home, qsizetype clips, const char *name)
{
    EXPECT_FALSE(home.context().hasChanges()) << name;
    EXPECT_EQ(home.context().fetchCount<ClipItem>(), clips) << name;
    QSet<QUuid> boards;
    for (const PinboardPtr &board : home.model->pinboards().orderedPinboards())
        boards.insert(board->id());
    for (const ClipItemPtr &clip : home.context().fetch<ClipItem>())
        EXPECT_TRUE(clip->pinboardID() && boards.contains(*clip->pinboardID())) << name;
    EXPECT_FALSE(home.defaults.hasPersistentValue(keys::importedPinboardFiles)) << name;
}

// Where an import can be stopped: no step stops it before it began.
const std::vector<std::pair<const char *, QString>> stoppingPoints{
    {"while reading", QString()},
    {"while comparing", QStringLiteral("Comparing")},
    {"while adding", QStringLiteral("Adding")},
};

} // namespace

// A text of 200 MB once arrived whole, 1.7 GB of memory on the way.
TEST(PinboardFilesTest, AnOversizedTextIsCutAsACopyIsCut)
{
    Home home;
    const QString path = home.configDir.file(QStringLiteral("big.tamocove"));
    writeFile(path, archiveBytes(QStringLiteral(R"([{"name":"A","color":"Blue","clips":[%1]}])")
                                     .arg(clipJson(QString(ClipDraft::largestText + 1024 * 1024, u'a')))));
    home.picker.answers = {tick({0})};
    home.alerts.answer(0);
    home.files.importPinboards(path);
    const auto clips = home.context().fetch<ClipItem>();
    ASSERT_EQ(clips.size(), 1);
    EXPECT_EQ(clips[0]->text()->size(), ClipDraft::largestText);
    EXPECT_EQ(clips[0]->title(), ClipDraft::fromCappedText(QString(ClipDraft::largestText + 1024 * 1024, u'a')).title);
}

// Rich text over 64 MB, an image and a file list as large as a clip holds,
// in a file over 512 MB: each was once refused by the import of its own
// export.
TEST(PinboardFilesTest, ClipsAsLargeAsAClipHoldsComeBackWholeFromTheirExport)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "gigabytes of memory under the address sanitizer";
#endif
    Home mine;
    const auto board = mine.pinboard(QStringLiteral("Large"), 0);
    const auto styled =
        mine.pinned(ClipDraft::fromText(QStringLiteral("styled"), QByteArray(100 * 1024 * 1024, 'r')), board, 1);
    // Wider than files once allowed; a PNG keeps what follows its end, byte for byte.
    QByteArray png = encodedImage(QSize(40000, 1), Qt::red);
    png.append(QByteArray(ClipLimits::largestImage - png.size(), '\0'));
    const auto picture = mine.pinned(*ClipDraft::fromImage(png), board, 2);
    QStringList paths;
    for (int i = 0; i < ClipLimits::mostFiles; ++i) {
        const QString name = QStringLiteral("/%1/").arg(i, 5, 10, QLatin1Char('0'));
        paths.append(name + QStringLiteral("a/").repeated((ClipLimits::longestPath - name.size()) / 2));
    }
    const auto files = mine.pinned(ClipDraft::fromFiles(paths, false), board, 3);
    ASSERT_EQ(mine.model->clips().storedImageData(*picture)->size(), ClipLimits::largestImage);

    const QString path = mine.configDir.file(QStringLiteral("large.tamocove"));
    mine.picker.answers = {tick({0})};
    mine.panels.answer(path);
    ASSERT_TRUE(mine.files.exportPinboards());
    EXPECT_GT(QFileInfo(path).size(), 512 * 1024 * 1024);

    Home theirs;
    theirs.picker.answers = {tick({0})};
    theirs.alerts.answer(0);
    theirs.files.importPinboards(path);
    ASSERT_EQ(theirs.alerts.shown().size(), 1);
    EXPECT_EQ(theirs.alerts.shown()[0].informativeText, QStringLiteral("3 clips added, 1 new pinboard."));
    for (const ClipItemPtr &original : {styled, picture, files}) {
        const ClipItemPtr copy = theirs.clipWithID(original->id());
        ASSERT_TRUE(copy);
        EXPECT_EQ(copy->rtfData(), original->rtfData());
        EXPECT_EQ(theirs.model->clips().storedImageData(*copy), mine.model->clips().storedImageData(*original));
        EXPECT_EQ(copy->filePaths(), original->filePaths());
    }
}

TEST(PinboardFilesTest, AStoppedImportKeepsWholeClipsAndImportingAgainAddsTheRest)
{
    for (const auto &[name, step] : stoppingPoints) {
        Home home;
        const QString path = twoLongPinboards(home, 300);
        home.progress.onUpdate = [&, step = step](const QString &now) {
            if (home.progress.stop && now.startsWith(step) && (!step.isEmpty() || now.isEmpty()))
                home.progress.stop();
        };
        home.picker.answers = {tick({0, 1})};
        home.alerts.answer(0);
        home.files.importPinboards(path);
        EXPECT_FALSE(home.progress.shown) << name;
        const qsizetype kept = home.context().fetchCount<ClipItem>();
        if (step == u"Adding") {
            ASSERT_EQ(home.alerts.shown().size(), 1) << name;
            EXPECT_EQ(home.alerts.shown()[0].message, QStringLiteral("Import stopped")) << name;
            EXPECT_TRUE(home.alerts.shown()[0].informativeText.startsWith(
                QStringLiteral("%1 clips added").arg(kept))) << name;
            EXPECT_GT(kept, 0) << name;
            EXPECT_LT(kept, 600) << name;
        } else {
            EXPECT_TRUE(home.alerts.shown().isEmpty()) << name;
            EXPECT_EQ(kept, 0) << name;
        }
        expectConsistentlyPartial(home, kept, name);

        home.progress.onUpdate = nullptr;
        home.picker.answers = {tick({0, 1})};
        home.alerts.answer(0);
        home.files.importPinboards(path);
        EXPECT_EQ(home.alerts.shown().last().message, QStringLiteral("Imported 2 pinboards")) << name;
        EXPECT_EQ(home.context().fetchCount<ClipItem>(), 600) << name;
        EXPECT_EQ(home.model->pinboards().orderedPinboards().size(), 2) << name;
    }
}

TEST(PinboardFilesTest, AQuitDuringAnImportEndsItAtOnceAndLeavesWholeClips)
{
    for (const auto &[name, step] : stoppingPoints) {
        Home home;
        const QString path = twoLongPinboards(home, 300);
        home.progress.onUpdate = [step = step](const QString &now) {
            if (now.startsWith(step) && (!step.isEmpty() || now.isEmpty()))
                QCoreApplication::quit();
        };
        home.picker.answers = {tick({0, 1})};
        bool returned = false;
        QTimer::singleShot(0, [&] {
            home.files.importPinboards(path);
            returned = true;
        });
        QTimer giveUp;
        QObject::connect(&giveUp, &QTimer::timeout, [] { QCoreApplication::exit(1); });
        giveUp.start(60'000);
        EXPECT_EQ(QCoreApplication::exec(), 0) << name;
        EXPECT_TRUE(returned) << name;
        EXPECT_TRUE(home.alerts.shown().isEmpty()) << name;
        expectConsistentlyPartial(home, home.context().fetchCount<ClipItem>(), name);
        // A read cut short ends: nothing is left running on the pool a quit waits on.
        EXPECT_TRUE(QThreadPool::globalInstance()->waitForDone(60'000)) << name;
        // Files handed over while quitting are left alone.
        home.files.importPinboards(path);
        EXPECT_TRUE(home.alerts.shown().isEmpty()) << name;
    }
}
