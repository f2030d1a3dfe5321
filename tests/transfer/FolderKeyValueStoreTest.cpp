#include "transfer/FolderKeyValueStore.h"

#include "support/TempDir.h"

#include <QDir>
#include <QSignalSpy>
#include <gtest/gtest.h>

namespace tamo {
namespace {

constexpr qint64 now = 1'700'000'000'000;
const QString deviceA = QStringLiteral("aaaaaaaa-0000-4000-8000-000000000001");
const QString deviceB = QStringLiteral("bbbbbbbb-0000-4000-8000-000000000002");
const QString key = QStringLiteral("historyCapacity");

// Two machines' shared settings over one folder, each with its own wall clock.
class FolderKeyValueStoreTest : public ::testing::Test
{
protected:
    FolderKeyValueStoreTest()
    {
        for (const QString &device : {deviceA, deviceB})
            QDir().mkpath(SyncFolder(folder.path()).deviceFolder(device)); // as the sync's setup leaves them
        a.setDevice(deviceA);
        b.setDevice(deviceB);
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
    b.synchronize();
    EXPECT_EQ(b.value(key).toInt(), 0);
    EXPECT_EQ(changed.size(), 1);
    b.synchronize();
    EXPECT_EQ(changed.size(), 1) << "nothing new, no news";

    // A machine whose clock is an hour behind still wins once it has seen the other's write.
    wallB = now + 10;
    b.setValue(key, 1);
    wallA = now - 3'600'000;
    a.synchronize();
    EXPECT_EQ(a.value(key).toInt(), 1);
    a.setValue(key, 3);
    b.synchronize();
    EXPECT_EQ(b.value(key).toInt(), 3);
    EXPECT_EQ(changed.size(), 2);
    EXPECT_EQ(QDir(folder.file(QStringLiteral("kv"))).entryList(QDir::Files),
              (QStringList{deviceA + QStringLiteral(".json"), deviceB + QStringLiteral(".json")}))
        << "each machine writes only its own file";
}

TEST_F(FolderKeyValueStoreTest, NothingIsWrittenBeforeTheFolderIsSetUpForThisMachine)
{
    const QString deviceC = QStringLiteral("cccccccc-0000-4000-8000-000000000003");
    FolderKeyValueStore c(folder.path());
    c.setValue(key, 1);
    c.setDevice(deviceC);
    EXPECT_FALSE(QFileInfo::exists(SyncFolder(folder.path()).keyValueFile(deviceC)));
    EXPECT_EQ(c.value(key).toInt(), 1);

    QDir().mkpath(SyncFolder(folder.path()).deviceFolder(deviceC));
    c.synchronize();
    a.synchronize();
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
        a.synchronize();
        a.setValue(key, 1);

        FolderKeyValueStore restarted(folder.path(), [] { return now + 10'000; });
        restarted.setDevice(deviceA);
        if (readsFirst)
            restarted.synchronize();
        restarted.setValue(key, 3);
        b.synchronize();
        restarted.synchronize();
        EXPECT_EQ(b.value(key).toInt(), 3);
        EXPECT_EQ(restarted.value(key).toInt(), 3);
    }
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
    a.synchronize();
    EXPECT_FALSE(a.value(key).isValid());
    EXPECT_FALSE(a.value(QStringLiteral("other")).isValid());
}

} // namespace
} // namespace tamo
