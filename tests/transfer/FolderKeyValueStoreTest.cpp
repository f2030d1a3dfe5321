#include "transfer/FolderKeyValueStore.h"

#include "support/HangGuard.h"
#include "support/SynchronizeNow.h"
#include "support/TempDir.h"
#include "support/WarningLog.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <gtest/gtest.h>

#include <functional>
#include <sys/stat.h>

namespace tamo {
namespace {

using testing::synchronizeNow;

constexpr qint64 now = 1'700'000'000'000;
const QString deviceA = QStringLiteral("aaaaaaaa-0000-4000-8000-000000000001");
const QString deviceB = QStringLiteral("bbbbbbbb-0000-4000-8000-000000000002");
const QString key = QStringLiteral("historyCapacity");

void setDevice(FolderKeyValueStore &store, const QString &root, const QString &device)
{
    store.setDevice(device, FolderKeyValueStore::readDevice(SyncFolder(root), device));
}

// Two machines' shared settings over one folder, each with its own wall clock.
class FolderKeyValueStoreTest : public ::testing::Test
{
protected:
    FolderKeyValueStoreTest()
    {
        for (const QString &device : {deviceA, deviceB})
            QDir().mkpath(SyncFolder(folder.path()).deviceFolder(device)); // as the sync's setup leaves them
        setDevice(a, folder.path(), deviceA);
        setDevice(b, folder.path(), deviceB);
    }

    testing::TempDir folder;
    qint64 wallA = now;
    qint64 wallB = now;
    FolderKeyValueStore a{folder.path(), [this] { return wallA; }};
    FolderKeyValueStore b{folder.path(), [this] { return wallB; }};
};

TEST_F(FolderKeyValueStoreTest, AValueSetOnOneMachineReachesTheOtherAndTheLatestWriteWins)
{
    QSignalSpy changed(&b, &FolderKeyValueStore::changedExternally);
    a.setValue(key, 0);
    synchronizeNow(b);
    EXPECT_EQ(b.value(key).toInt(), 0);
    EXPECT_EQ(changed.size(), 1);
    synchronizeNow(b);
    EXPECT_EQ(changed.size(), 1) << "nothing new, no news";

    // A machine whose clock is an hour behind still wins once it has seen the other's write.
    wallB = now + 10;
    b.setValue(key, 1);
    wallA = now - 3'600'000;
    synchronizeNow(a);
    EXPECT_EQ(a.value(key).toInt(), 1);
    a.setValue(key, 3);
    synchronizeNow(b);
    EXPECT_EQ(b.value(key).toInt(), 3);
    EXPECT_EQ(changed.size(), 2);
    EXPECT_EQ(QDir(folder.file(QStringLiteral("kv"))).entryList(QDir::Files),
              (QStringList{deviceA + QStringLiteral(".json"), deviceB + QStringLiteral(".json")}))
        << "each machine writes only its own file";
}

TEST_F(FolderKeyValueStoreTest, NothingIsWrittenBeforeTheFolderIsSetUpForThisMachine)
{
    const QString deviceC = QStringLiteral("cccccccc-0000-4000-8000-000000000003");
    FolderKeyValueStore c(folder.path(), [] { return now; });
    c.setValue(key, 1);
    setDevice(c, folder.path(), deviceC);
    EXPECT_FALSE(QFileInfo::exists(SyncFolder(folder.path()).keyValueFile(deviceC)));
    EXPECT_EQ(c.value(key).toInt(), 1);

    QDir().mkpath(SyncFolder(folder.path()).deviceFolder(deviceC));
    synchronizeNow(c);
    synchronizeNow(a);
    EXPECT_EQ(a.value(key).toInt(), 1) << "kept until it could be written";
}

// A machine whose clock ran an hour ahead wrote last; restarted with its
// clock put right, its next value must still come after its own older one,
// or the other machine's older value would come back.
TEST_F(FolderKeyValueStoreTest, ARestartedMachineWithItsClockPutRightStillWritesLast)
{
    for (const bool readsFirst : {false, true}) {
        SCOPED_TRACE(readsFirst ? "reads the folder before it writes" : "writes at once");
        wallB = now + 1'800'000;
        b.setValue(key, 2);
        wallA = now + 3'600'000;
        synchronizeNow(a);
        a.setValue(key, 1);

        FolderKeyValueStore restarted(folder.path(), [] { return now + 10'000; });
        setDevice(restarted, folder.path(), deviceA);
        if (readsFirst)
            synchronizeNow(restarted);
        restarted.setValue(key, 3);
        synchronizeNow(b);
        synchronizeNow(restarted);
        EXPECT_EQ(b.value(key).toInt(), 3);
        EXPECT_EQ(restarted.value(key).toInt(), 3);
    }
}

// One stamp at the clock's limit set the history capacity to a day on every
// machine at once, and held it against every later write.
TEST_F(FolderKeyValueStoreTest, AValueStampedFarAheadIsNotTakenAndMovesNoClock)
{
    const struct
    {
        const char *name;
        std::function<void()> write;
    } cases[] = {
        {"a clock two days ahead",
         [this] {
             wallA = now + 2 * 24 * 3'600'000LL;
             a.setValue(key, 1);
         }},
        {"the largest stamp a reader takes",
         [this] {
             testing::writeFile(SyncFolder(folder.path()).keyValueFile(deviceA),
                                R"({"historyCapacity":{"v":1,"hlc":"999999999999999-999999998-)" + deviceA.toLatin1()
                                    + R"("}})");
         }},
    };
    const testing::WarningLog log;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        b.setValue(key, 3);
        c.write();
        synchronizeNow(b);
        EXPECT_EQ(b.value(key).toInt(), 3);
        b.setValue(key, 4);
        const HybridTime stamp = FolderKeyValueStore::readDevice(SyncFolder(folder.path()), deviceB).value(key).time;
        EXPECT_EQ(stamp.device, deviceB);
        EXPECT_LT(stamp.millis, now + 10'000) << "this machine's clock stays its own";
        wallA = now;
    }
    EXPECT_EQ(log.messages().filter(deviceA).size(), 1) << "once for the device: " << log.text();

    // Restarted, the machine whose value went out far ahead writes it again, readable.
    FolderKeyValueStore restarted(folder.path(), [] { return now + 10'000; });
    setDevice(restarted, folder.path(), deviceA);
    synchronizeNow(b);
    EXPECT_EQ(b.value(key).toInt(), 1);
}

TEST_F(FolderKeyValueStoreTest, EntriesThatAreNotTheWritersOwnOrNotWellFormedAreIgnored)
{
    const SyncFolder shared(folder.path());
    QDir().mkpath(folder.file(QStringLiteral("kv")));
    testing::writeFile(shared.keyValueFile(deviceB),
                       R"({"historyCapacity":{"v":0,"hlc":"1800000000000-0-aaaaaaaa-0000-4000-8000-000000000001"},)"
                       R"("other":{"hlc":"1800000000000-0-bbbbbbbb-0000-4000-8000-000000000002"}})");
    testing::writeFile(folder.file(QStringLiteral("kv/not-a-device.json")),
                       R"({"historyCapacity":{"v":0,"hlc":"1800000000000-0-bbbbbbbb-0000-4000-8000-000000000002"}})");
    synchronizeNow(a);
    EXPECT_FALSE(a.value(key).isValid());
    EXPECT_FALSE(a.value(QStringLiteral("other")).isValid());
}

TEST_F(FolderKeyValueStoreTest, AFileThatIsNoRegularFileIsSkippedWithoutWaitingOnIt)
{
    const tamo::testing::HangGuard guard("shared settings that are a FIFO");
    const SyncFolder shared(folder.path());
    const QByteArray fifo = QFile::encodeName(folder.file(QStringLiteral("fifo")));
    ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
    QDir().mkpath(folder.file(QStringLiteral("kv")));
    for (const QString &target : {folder.file(QStringLiteral("fifo")), QStringLiteral("/dev/zero")}) {
        SCOPED_TRACE(target.toStdString());
        for (const QString &device : {deviceA, deviceB}) {
            QFile::remove(shared.keyValueFile(device));
            ASSERT_TRUE(QFile::link(target, shared.keyValueFile(device)));
        }
        EXPECT_TRUE(FolderKeyValueStore::readDevice(shared, deviceA).isEmpty());
        synchronizeNow(a);
        EXPECT_FALSE(a.value(key).isValid());
    }
    QFile::remove(shared.keyValueFile(deviceB));
    ASSERT_TRUE(QFile::rename(folder.file(QStringLiteral("fifo")), shared.keyValueFile(deviceB)));
    synchronizeNow(a);
    EXPECT_FALSE(a.value(key).isValid());
}

} // namespace
} // namespace tamo
