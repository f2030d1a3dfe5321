#include "StoreFixture.h"

#include "support/FakeAlerts.h"
#include "support/StoreHeldElsewhere.h"

#include "model/ClipLibrary.h"
#include "model/DefaultSettings.h"
#include "model/History.h"
#include "model/LocalRecords.h"
#include "model/Sqlite.h"
#include "model/SourceAppPublisher.h"
#include "model/StoreMaintenance.h"
#include "model/SyncState.h"
#include "platform/CloudKeyValueStore.h"
#include "platform/Defaults.h"

#include <QFileInfo>
#include <QTest>

using namespace tamo;
using namespace tamo::testing;

namespace {

const QByteArray marker("ZX-erase-marker-9341");

QByteArray withMarker(int size)
{
    QByteArray bytes(size, '\x5a');
    bytes.replace(size / 2, marker.size(), marker);
    return bytes;
}

} // namespace

// Every way of removing clips must leave none of their content readable in
// the store files or their logs.
class Erasure : public StoreFixture, public ::testing::WithParamInterface<const char *>
{
protected:
    Erasure() { registerDefaultSettings(defaults); }

    // With `inContent` false the marker stays out of the hashed content, so
    // that a twin can share it.
    ClipItemPtr addMarkedClip(const QDateTime &createdAt, bool inContent = true)
    {
        ClipDraft draft = ClipDraft::fromText(inContent ? QString::fromLatin1("text " + marker) : QStringLiteral("twin"));
        draft.rtfData = "{\\rtf1 " + marker + "}";
        if (inContent)
            draft.imageData = withMarker(64 * 1024);
        auto clip = std::make_shared<ClipItem>(draft, createdAt);
        clip->setTitle(QString::fromLatin1("title " + marker));
        clip->setKeywords({QString::fromLatin1(marker)});
        context().insert(clip);
        context().insert(std::make_shared<LocalImage>(clip->id(), withMarker(300 * 1024)));
        return clip;
    }

    QList<QUuid> removeBy(const std::string &way, const ClipItemPtr &clip)
    {
        History history(context(), defaults, clock, sync, keyValueStore);
        if (way == "delete") {
            SourceAppPublisher publisher(context(), sync, nullptr);
            return ClipLibrary(context(), clock, publisher).deleteClips({clip});
        }
        if (way == "trim")
            return history.trimHistory(); // the clip is older than the month kept
        if (way == "clear") {
            alerts.answer(0);
            return history.clearHistory(alerts);
        }
        // merge: a newer twin with a title and keywords of its own survives
        auto twin = std::make_shared<ClipItem>(ClipDraft::fromText(*clip->text()), clock.now());
        twin->setTitle(QStringLiteral("survivor"));
        twin->setKeywords({QStringLiteral("kept")});
        context().insert(twin);
        context().insert(std::make_shared<LocalImage>(twin->id(), QByteArray("survivor's own image")));
        clip->setKeywords({}); // merging keeps every keyword: none of them may carry the marker
        context().save();
        return StoreMaintenance(context()).mergeDuplicates();
    }

    void expectNoMarkerAnywhere()
    {
        for (const char *name : {"Tamo.store", "Tamo.store-wal", "TamoLocal.store", "TamoLocal.store-wal"}) {
            const QByteArray bytes = storeBytes(QLatin1String(name));
            EXPECT_FALSE(bytes.contains(marker)) << name;
        }
        EXPECT_EQ(QFileInfo(dir.file(QStringLiteral("Tamo.store-wal"))).size(), 0);
        EXPECT_EQ(QFileInfo(dir.file(QStringLiteral("TamoLocal.store-wal"))).size(), 0);
    }

    TempDir configDir;
    Defaults defaults{configDir.file(QStringLiteral("defaults.json"))};
    NoSync sync;
    NullKeyValueStore keyValueStore;
    FakeAlerts alerts;
};

TEST_P(Erasure, LeavesNoContentInTheFiles)
{
    const std::string way = GetParam();
    auto keep = std::make_shared<ClipItem>(ClipDraft::fromText(QStringLiteral("keep me")), clock.now());
    keep->setPin(QUuid::createUuid(), clock.now());
    context().insert(keep);
    auto clip = addMarkedClip(clock.now().addDays(-40), way != "merge");
    ASSERT_TRUE(context().save());
    // Edits after the first save leave older page images in the log.
    clip->setTitle(QString::fromLatin1("retitled " + marker));
    ASSERT_TRUE(context().save());
    ASSERT_TRUE(storeBytes(QStringLiteral("Tamo.store-wal")).contains(marker));

    EXPECT_EQ(removeBy(way, clip), QList<QUuid>{clip->id()});
    expectNoMarkerAnywhere();
    EXPECT_FALSE(keep->isGone());
}

INSTANTIATE_TEST_SUITE_P(EveryRemoval, Erasure, ::testing::Values("delete", "trim", "clear", "merge"));

TEST_F(Erasure, AReaderThatBlocksTheCheckpointDelaysErasingButNotDeleting)
{
    auto clip = addMarkedClip(clock.now());
    ASSERT_TRUE(context().save());

    sql::Database reader;
    reader.open(dir.file(QStringLiteral("Tamo.store")));
    reader.exec(QStringLiteral("BEGIN"));
    sql::Statement read = reader.prepare(QStringLiteral("SELECT count(*) FROM ClipItem"));
    read.step(); // holds a snapshot, so the log cannot be emptied yet

    ::testing::internal::CaptureStderr();
    context().remove(clip);
    EXPECT_TRUE(context().save());
    const std::string printed = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(printed.rfind("TamoCove: ", 0), 0u) << printed;
    EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 1);
    EXPECT_EQ(context().fetchCount<ClipItem>(), 0);

    read.reset();
    reader.exec(QStringLiteral("COMMIT"));
    reader.close();
    // The next deletion finishes the job.
    auto other = addMarkedClip(clock.now());
    ASSERT_TRUE(context().save());
    context().remove(other);
    ASSERT_TRUE(context().save());
    expectNoMarkerAnywhere();
}

// The deleted text stayed in the log until quit or the next deletion while a
// backup tool held the store.
TEST_F(Erasure, ErasingIsTriedAgainUntilTheReaderInTheWayHasGone)
{
    auto clip = addMarkedClip(clock.now());
    ASSERT_TRUE(context().save());
    {
        sql::Database reader;
        reader.open(dir.file(QStringLiteral("Tamo.store")));
        reader.exec(QStringLiteral("BEGIN"));
        sql::Statement read = reader.prepare(QStringLiteral("SELECT count(*) FROM ClipItem"));
        read.step();
        ::testing::internal::CaptureStderr();
        context().remove(clip);
        ASSERT_TRUE(context().save());
        ::testing::internal::GetCapturedStderr();
        ASSERT_TRUE(storeBytes(QStringLiteral("Tamo.store")).contains(marker)
                    || storeBytes(QStringLiteral("Tamo.store-wal")).contains(marker))
            << "the reader holds it up";
    }
    const auto erased = [this] {
        for (const char *name : {"Tamo.store", "Tamo.store-wal", "TamoLocal.store", "TamoLocal.store-wal"}) {
            if (storeBytes(QLatin1String(name)).contains(marker))
                return false;
        }
        return true;
    };
    EXPECT_TRUE(QTest::qWaitFor(erased, 20'000));
    expectNoMarkerAnywhere();
}

// A backup tool that held the store past the first try left the deleted text
// in the log until the next deletion or quit: a failed try was not followed.
TEST_F(Erasure, ErasingIsTriedAgainWhileABackupToolHoldsTheStorePastTheFirstTry)
{
    auto clip = addMarkedClip(clock.now());
    ASSERT_TRUE(context().save());
    {
        StoreHeldElsewhere backup(dir.file(QStringLiteral("Tamo.store")),
                                  QStringLiteral("BEGIN; SELECT count(*) FROM ClipItem;"));
        ::testing::internal::CaptureStderr();
        context().remove(clip);
        ASSERT_TRUE(context().save());
        QTest::qWait(1500); // past the first tries, which fail while it reads
        ::testing::internal::GetCapturedStderr();
        ASSERT_TRUE(storeBytes(QStringLiteral("Tamo.store-wal")).size() > 0) << "the backup holds it up";
    }
    EXPECT_TRUE(QTest::qWaitFor([this] { return storeBytes(QStringLiteral("Tamo.store-wal")).isEmpty(); }, 30'000));
    expectNoMarkerAnywhere();
}
