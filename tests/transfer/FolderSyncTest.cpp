#include "transfer/FolderSync.h"

#include "model/ClipDraft.h"
#include "model/ClipItem.h"
#include "model/LocalRecords.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"
#include "platform/Defaults.h"
#include "platform/FolderWatcher.h"
#include "support/HangGuard.h"
#include "support/TempDir.h"
#include "support/TestImages.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <gtest/gtest.h>

#include <string_view>
#include <sys/stat.h>
#include <functional>

namespace tamo {
namespace {

class StillWatcher final : public FolderWatcher
{
public:
    void watch(const QStringList &) override {}
};

// One machine as the app runs it: its store and its folder sync.
struct Machine
{
    explicit Machine(const QString &folder)
        : container(dir.path())
        , sync(folder, watcher)
    {
        sync.attach(container);
        QObject::connect(&sync, &SyncMirror::progressed, [this](const CloudEvent &event) {
            if (event.ended)
                ended.append(event);
        });
    }

    // Runs until `count` events in all have ended.
    bool waitForEnds(int count)
    {
        return QTest::qWaitFor([&] { return ended.size() >= count; }, 10'000);
    }

    testing::TempDir dir;
    ModelContainer container;
    StillWatcher watcher;
    FolderSync sync;
    QList<CloudEvent> ended;
};

TEST(FolderSync, LaunchSetsUpThenImportsAndHeldRecordsSeeWhatArrived)
{
    testing::TempDir shared;
    Machine a(shared.path());
    Machine b(shared.path());
    auto clip = std::make_shared<ClipItem>(ClipDraft::fromText(QStringLiteral("hello")), QDateTime::currentDateTime());
    a.container.mainContext().insert(clip);
    ASSERT_TRUE(a.container.mainContext().save());

    a.sync.start();
    ASSERT_TRUE(a.waitForEnds(2));
    EXPECT_EQ(a.ended[0].type, CloudEvent::Type::setup);
    EXPECT_EQ(a.ended[1].type, CloudEvent::Type::import);
    for (const CloudEvent &event : a.ended)
        EXPECT_TRUE(event.succeeded) << qPrintable(event.error);

    b.sync.start();
    ASSERT_TRUE(b.waitForEnds(2));
    const QList<ClipItemPtr> arrived = b.container.mainContext().fetch<ClipItem>();
    ASSERT_EQ(arrived.size(), 1);

    clip->setTitle(QStringLiteral("Greeting"));
    ASSERT_TRUE(a.container.mainContext().save());
    ASSERT_TRUE(a.waitForEnds(3));
    EXPECT_EQ(a.ended[2].type, CloudEvent::Type::export_) << "a save sends, it does not import and merge";
    b.sync.syncNow();
    ASSERT_TRUE(b.waitForEnds(3));
    EXPECT_EQ(arrived.first()->title(), QStringLiteral("Greeting"));
}

TEST(FolderSync, AFolderWhoseParentIsMissingIsNeitherCreatedNorUsed)
{
    testing::TempDir home;
    const QString folder = home.file(QStringLiteral("Sync/TamoCove"));
    Machine machine(folder);
    std::optional<AccountStatus> answer;
    machine.sync.queryAccount([&](std::optional<AccountStatus> status) { answer = status; });
    machine.sync.start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return answer.has_value(); }, 10'000));
    QTest::qWait(200);
    EXPECT_EQ(answer, AccountStatus::noAccount);
    EXPECT_TRUE(machine.ended.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(home.file(QStringLiteral("Sync"))));
}

// Each file another device wrote, made a FIFO or a link to one: the import
// goes on without it, and a quit right after start and one after the import
// both end at once.
TEST(FolderSync, AFifoInTheFolderNeitherHoldsUpTheImportNorTheQuit)
{
    const char *const cases[] = {"account.json", "kv", "device.json", "segment", "snapshot", "blob", "linked segment"};
    for (const char *name : cases) {
        SCOPED_TRACE(name);
        const testing::HangGuard guard(std::string("the sync folder with a FIFO as ") + name, std::chrono::seconds(30));
        testing::TempDir shared;
        QString deviceA;
        {
            Machine a(shared.path());
            auto clip = std::make_shared<ClipItem>(*ClipDraft::fromImage(testing::encodedImage(QSize(4, 4), Qt::red)),
                                                   QDateTime::currentDateTime());
            a.container.mainContext().insert(clip);
            ASSERT_TRUE(a.container.mainContext().save());
            a.sync.start();
            ASSERT_TRUE(a.waitForEnds(2));
            deviceA = SyncFolder(shared.path()).devices().value(0);
        }
        const SyncFolder folder(shared.path());
        const QString blobs = folder.deviceFolder(deviceA) + QStringLiteral("/blobs");
        const std::string_view kind(name);
        const QString target = kind == "account.json"  ? folder.accountFile()
                               : kind == "kv"          ? folder.keyValueFile(deviceA)
                               : kind == "device.json" ? folder.deviceFile(deviceA)
                               : kind == "snapshot"    ? folder.snapshotFile(deviceA, 2)
                               : kind == "blob"        ? blobs + u'/' + QDir(blobs).entryList(QDir::Files).value(0)
                                                       : folder.segmentFile(deviceA, 1);
        QDir().mkpath(QFileInfo(target).absolutePath());
        QFile::remove(target);
        const QString fifo = shared.file(QStringLiteral("fifo"));
        ASSERT_EQ(::mkfifo(QFile::encodeName(kind == "linked segment" ? fifo : target).constData(), 0600), 0);
        if (kind == "linked segment") {
            ASSERT_TRUE(QFile::link(fifo, target));
        }

        auto quitAtOnce = std::make_unique<Machine>(shared.path());
        quitAtOnce->sync.start();
        quitAtOnce.reset();

        Machine b(shared.path());
        b.sync.start();
        if (kind != "account.json") { // an unusable folder runs nothing
            ASSERT_TRUE(b.waitForEnds(2));
        }
        b.sync.syncNow();
    }
}

// A clip deleted on another machine left its picture, too large to sync, in
// this machine's store.
TEST(FolderSync, AClipDeletedElsewhereTakesItsLocalPictureWithIt)
{
    testing::TempDir shared;
    Machine a(shared.path());
    Machine b(shared.path());
    const QByteArray picture(1024 * 1024, 'p');
    auto clip = std::make_shared<ClipItem>(ClipDraft::fromText(QStringLiteral("large")), QDateTime::currentDateTime());
    clip->setImageIsLocalOnly(true);
    a.container.mainContext().insert(std::make_shared<LocalImage>(clip->id(), picture));
    a.container.mainContext().insert(clip);
    ASSERT_TRUE(a.container.mainContext().save());
    a.sync.start();
    ASSERT_TRUE(a.waitForEnds(2));
    b.sync.start();
    ASSERT_TRUE(b.waitForEnds(2));

    b.container.mainContext().remove(b.container.mainContext().fetch<ClipItem>().constFirst());
    ASSERT_TRUE(b.container.mainContext().save());
    ASSERT_TRUE(b.waitForEnds(3));
    a.sync.syncNow();
    ASSERT_TRUE(a.waitForEnds(3));
    EXPECT_EQ(a.container.mainContext().fetchCount<LocalImage>(), 0);
    for (const QString &name : QDir(a.dir.path()).entryList(QDir::Files))
        EXPECT_FALSE(testing::readFile(a.dir.file(name)).contains(picture.left(4096))) << qPrintable(name);
}

// A folder that became usable while the app ran stayed failed until a
// relaunch: its device folder was only made at start.
TEST(FolderSync, AFolderThatBecomesUsableWhileRunningIsSetUpAndUsed)
{
    testing::TempDir home;
    const QString folder = home.file(QStringLiteral("Sync/TamoCove"));
    const QString away = home.file(QStringLiteral("Sync/Away"));
    const struct
    {
        const char *name;
        std::function<void()> change;
        int events; // the runs Sync Now starts
    } steps[] = {
        {"its parent made after the start", [&] { QDir().mkpath(home.file(QStringLiteral("Sync"))); }, 2},
        {"moved away", [&] { QDir().rename(folder, away); }, 2},
        {"moved back", [&] {
             QDir(folder).removeRecursively();
             QDir().rename(away, folder);
         }, 1},
    };
    Machine machine(folder);
    machine.sync.start(); // finds no folder: nothing runs
    for (const auto &step : steps) {
        SCOPED_TRACE(step.name);
        step.change();
        const qsizetype before = machine.ended.size();
        machine.sync.syncNow();
        ASSERT_TRUE(machine.waitForEnds(int(before) + step.events));
        machine.container.mainContext().insert(std::make_shared<ClipItem>(
            ClipDraft::fromText(QLatin1String(step.name)), QDateTime::currentDateTime()));
        ASSERT_TRUE(machine.container.mainContext().save());
        ASSERT_TRUE(machine.waitForEnds(int(before) + step.events + 1)) << "the save went out";
        for (qsizetype i = before; i < machine.ended.size(); ++i)
            EXPECT_TRUE(machine.ended[i].succeeded) << qPrintable(machine.ended[i].error);
    }

    // Whatever the folder went through, a machine joining now finds every clip.
    Machine joining(folder);
    joining.sync.start();
    ASSERT_TRUE(joining.waitForEnds(2));
    EXPECT_EQ(joining.container.mainContext().fetchCount<ClipItem>(), 3);
}

} // namespace
} // namespace tamo

namespace tamo {
namespace {

unsigned modeOf(const QString &path)
{
    struct stat info {};
    EXPECT_EQ(::lstat(QFile::encodeName(path).constData(), &info), 0) << qPrintable(path);
    return info.st_mode & 07777;
}

// Under the common umask 022, in a sync folder an earlier version left open
// (its root, devices/, kv/ and account.json were not tightened): after a
// copy is saved, its settings written and it is synced, no folder of the
// store, the settings or the sync folder is open to others, and no file.
TEST(FolderSync, EveryFolderAndFileTheAppKeepsIsTheUsersAlone)
{
    const mode_t savedMask = ::umask(022);
    testing::TempDir home;
    const QString root = home.file(QStringLiteral("TamoCove"));
    for (const char *folder : {"", "/devices", "/kv"})
        ASSERT_TRUE(QDir().mkpath(root + QLatin1String(folder)));
    testing::writeFile(root + QStringLiteral("/account.json"),
                       R"({"format":1,"accountID":"6a1f0f3e-2b8c-4d7e-9a55-0c1d2e3f4a5b"})");
    {
        Machine machine(root);
        Defaults defaults(home.file(QStringLiteral("config/TamoCove/defaults.json")));
        defaults.setValue(QStringLiteral("soundEffects"), false);
        defaults.flush();
        auto clip = std::make_shared<ClipItem>(*ClipDraft::fromImage(testing::encodedImage(QSize(4, 4), Qt::red)),
                                               QDateTime::currentDateTime());
        machine.container.mainContext().insert(clip);
        ASSERT_TRUE(machine.container.mainContext().save());
        machine.sync.keyValues().setValue(QStringLiteral("historyCapacity"), 1);
        machine.sync.start();
        ASSERT_TRUE(machine.waitForEnds(2));
        ASSERT_TRUE(QTest::qWaitFor([&] { return !QDir(root + QStringLiteral("/kv")).isEmpty(QDir::Files); }, 10'000))
            << "the shared settings are written";
        const QStringList kept{machine.dir.path(), home.file(QStringLiteral("config")), root};
        QStringList open;
        for (const QString &top : kept) {
            QDirIterator it(top, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                            QDirIterator::Subdirectories);
            for (QString path = top; !path.isEmpty(); path = it.hasNext() ? it.next() : QString()) {
                if (modeOf(path) != (QFileInfo(path).isDir() ? 0700u : 0600u))
                    open.append(QStringLiteral("%1 %2").arg(modeOf(path), 0, 8).arg(path));
            }
        }
        EXPECT_TRUE(open.isEmpty()) << qPrintable(open.join(u'\n'));
    }
    ::umask(savedMask);
}

} // namespace
} // namespace tamo
