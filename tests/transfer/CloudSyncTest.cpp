#include "transfer/CloudSync.h"
#include "transfer/FolderKeyValueStore.h"
#include "transfer/SyncMirror.h"

#include "app/RelativeDate.h"
#include "model/SettingsKeys.h"
#include "platform/CloudKeyValueStore.h"
#include "platform/Defaults.h"
#include "support/FakeAlerts.h"
#include "support/FakeClock.h"
#include "support/FakeRelauncher.h"
#include "support/SynchronizeNow.h"
#include "support/TempDir.h"

#include <QDir>
#include <QMap>
#include <gtest/gtest.h>

namespace tamo {
namespace {

using Kind = SyncStatus::Kind;
using Type = CloudEvent::Type;

class FakeMirror final : public SyncMirror
{
public:
    int starts = 0;
    std::optional<AccountStatus> account = AccountStatus::available;

    void start() override { ++starts; }
    void syncNow() override {}
    void queryAccount(std::function<void(std::optional<AccountStatus>)> answer) override { answer(account); }
};

struct MapKeyValues final : CloudKeyValueStore
{
    QMap<QString, QVariant> values;
    int writes = 0;
    void setValue(const QString &key, const QVariant &value) override
    {
        values.insert(key, value);
        ++writes;
    }
    QVariant value(const QString &key) const override { return values.value(key); }
};

const QDateTime t0 = QDateTime(QDate(2026, 3, 15), QTime(12, 0));
const QUuid first = QUuid::createUuid();
const QUuid second = QUuid::createUuid();

CloudEvent began(const QUuid &id, Type type, int atSecond)
{
    return {id, type, t0.addSecs(atSecond), std::nullopt, false, {}, {}};
}

CloudEvent ended(const QUuid &id, Type type, int atSecond, bool succeeded = true, const QString &error = {})
{
    return {id, type, t0, t0.addSecs(atSecond), succeeded, error, {}};
}

class CloudSyncTest : public ::testing::Test
{
protected:
    std::unique_ptr<CloudSync> make()
    {
        auto sync = std::make_unique<CloudSync>(defaults, clock, keyValues, &mirror);
        sync->onImport = [this] { ++imports; };
        sync->onCapacityChange = [this] { ++capacityChanges; };
        sync->onAccountUnavailable = [this] { ++accountUnavailable; };
        return sync;
    }

    testing::TempDir dir;
    Defaults defaults{dir.file(QStringLiteral("defaults.json"))};
    testing::FakeClock clock{t0};
    MapKeyValues keyValues;
    FakeMirror mirror;
    int imports = 0;
    int capacityChanges = 0;
    int accountUnavailable = 0;
};

TEST_F(CloudSyncTest, StatusFollowsTheEvents)
{
    const struct
    {
        const char *name;
        QList<CloudEvent> events;
        SyncStatus status;
        std::optional<QDateTime> lastSynced;
        std::optional<QDateTime> activityStart;
    } cases[] = {
        {"nothing yet", {}, SyncStatus::of(Kind::syncing), std::nullopt, std::nullopt},
        {"one run ends", {began(first, Type::setup, 0), ended(first, Type::setup, 5)}, SyncStatus::upToDate(t0.addSecs(5)), t0.addSecs(5), std::nullopt},
        {"the later of two ends", {began(first, Type::setup, 0), began(second, Type::export_, 1), ended(second, Type::export_, 3)},
         SyncStatus::of(Kind::syncing), t0.addSecs(3), t0},
        {"a failure while another runs", {began(first, Type::setup, 0), began(second, Type::export_, 1), ended(second, Type::export_, 3, false, QStringLiteral("Disk full."))},
         SyncStatus::failed(QStringLiteral("Disk full.")), std::nullopt, t0},
        {"a failure without a text", {ended(first, Type::import, 2, false)}, SyncStatus::failed(QStringLiteral("Sync failed.")), std::nullopt, std::nullopt},
        {"an end never started", {ended(second, Type::import, 9)}, SyncStatus::upToDate(t0.addSecs(9)), t0.addSecs(9), std::nullopt},
        {"a new run replaces a failure", {ended(first, Type::import, 2, false), began(second, Type::export_, 4)}, SyncStatus::of(Kind::syncing), std::nullopt, t0.addSecs(4)},
    };
    for (const auto &c : cases) {
        defaults.remove(keys::iCloudLastSynced);
        auto sync = make();
        for (const CloudEvent &event : c.events)
            emit mirror.progressed(event);
        EXPECT_EQ(sync->status(), c.status) << c.name;
        EXPECT_EQ(sync->lastSynced(), c.lastSynced) << c.name;
        EXPECT_EQ(sync->activity() ? std::optional(sync->activity()->started) : std::nullopt, c.activityStart) << c.name;
    }
}

TEST_F(CloudSyncTest, EverySuccessfulImportIsRememberedAndReported)
{
    auto sync = make();
    for (const Type type : {Type::setup, Type::export_, Type::import, Type::import})
        emit mirror.progressed(ended(first, type, 1));
    EXPECT_EQ(imports, 2);
    EXPECT_TRUE(defaults.boolValue(keys::iCloudImportedOnce));
    EXPECT_EQ(defaults.date(keys::iCloudLastSynced), t0.addSecs(1));
}

TEST_F(CloudSyncTest, AccountAnswersDecideBetweenSyncingAndNoAccount)
{
    const struct
    {
        std::optional<AccountStatus> answer;
        Kind status;
        int callbacks;
    } cases[] = {
        {AccountStatus::available, Kind::syncing, 0},
        {AccountStatus::noAccount, Kind::noAccount, 1},
        {AccountStatus::restricted, Kind::noAccount, 0},
        {AccountStatus::temporarilyUnavailable, Kind::noAccount, 0},
        {std::nullopt, Kind::noAccount, 0},
    };
    for (const auto &c : cases) {
        accountUnavailable = 0;
        mirror.account = c.answer;
        auto sync = make();
        sync->start(false);
        emit mirror.progressed(began(first, Type::setup, 0));
        EXPECT_EQ(sync->status().kind, c.status) << int(c.answer.value_or(AccountStatus(-1)));
        EXPECT_EQ(accountUnavailable, c.callbacks);
        EXPECT_EQ(sync->importedOnce(), c.status == Kind::noAccount) << "trimming waits for an import only while one can come";
    }
    mirror.account = AccountStatus::noAccount;
    auto sync = make();
    sync->start(false);
    mirror.account = AccountStatus::available;
    emit mirror.accountChanged();
    EXPECT_EQ(sync->status().kind, Kind::syncing) << "an account that came back";
}

TEST_F(CloudSyncTest, SharedCapacityIsAppliedOrPublished)
{
    const struct
    {
        const char *name;
        QVariant remote;
        qint64 local;
        bool storeIsEmpty;
        qint64 localAfter;
        QVariant remoteAfter;
        int changes;
    } cases[] = {
        {"same value", 3, 3, false, 3, 3, 0},
        {"not a capacity", 7, 1, false, 1, 7, 0},
        {"applied over an invalid local value", 0, 9, false, 0, 0, 1},
        {"not a number", QStringLiteral("2"), 1, false, 1, QStringLiteral("2"), 0},
        {"none shared: a store with clips publishes, invalid as month", {}, 5, false, 5, 2, 0},
        {"none shared: an empty store waits", {}, 1, true, 1, {}, 0},
    };
    for (const auto &c : cases) {
        capacityChanges = 0;
        keyValues.values.clear();
        if (c.remote.isValid())
            keyValues.values.insert(keys::historyCapacity, c.remote);
        defaults.setValue(keys::historyCapacity, c.local);
        auto sync = make();
        sync->start(c.storeIsEmpty);
        EXPECT_EQ(defaults.integer(keys::historyCapacity), c.localAfter) << c.name;
        EXPECT_EQ(keyValues.values.value(keys::historyCapacity), c.remoteAfter) << c.name;
        EXPECT_EQ(capacityChanges, c.changes) << c.name;
    }
}

TEST_F(CloudSyncTest, ACapacityChangedOnAnotherMachineIsAppliedHereThroughTheFolder)
{
    testing::TempDir folder;
    FolderKeyValueStore here(folder.path());
    FolderKeyValueStore elsewhere(folder.path());
    for (auto [store, device] : {std::pair{&here, "aaaaaaaa-0000-4000-8000-000000000001"},
                                 std::pair{&elsewhere, "bbbbbbbb-0000-4000-8000-000000000002"}}) {
        QDir().mkpath(SyncFolder(folder.path()).deviceFolder(QLatin1String(device)));
        store->setDevice(QLatin1String(device), FolderKeyValueStore::readDevice(SyncFolder(folder.path()), QLatin1String(device)));
    }
    QObject::connect(&here, &FolderKeyValueStore::changedExternally, &mirror, &SyncMirror::keyValuesChangedExternally);
    defaults.setValue(keys::historyCapacity, 2);
    CloudSync sync(defaults, clock, here, &mirror);
    sync.onCapacityChange = [this] { ++capacityChanges; };
    sync.start(false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return here.value(keys::historyCapacity).isValid(); }, 10000));
    testing::synchronizeNow(elsewhere);
    EXPECT_EQ(elsewhere.value(keys::historyCapacity).toInt(), 2) << "a machine with clips publishes its capacity";

    elsewhere.setValue(keys::historyCapacity, 0);
    testing::synchronizeNow(here);
    EXPECT_EQ(defaults.integer(keys::historyCapacity), 0);
    EXPECT_EQ(capacityChanges, 1) << "the history is trimmed to the new capacity";
}

TEST_F(CloudSyncTest, SyncOffTouchesNothing)
{
    defaults.setValue(keys::iCloudSync, false);
    keyValues.values.insert(keys::historyCapacity, 0);
    auto sync = make();
    sync->start(false);
    emit mirror.progressed(began(first, Type::setup, 0));
    EXPECT_EQ(sync->status(), SyncStatus::of(Kind::off));
    EXPECT_EQ(mirror.starts, 0);
    EXPECT_EQ(keyValues.writes, 0);
    EXPECT_EQ(capacityChanges, 0);
}

TEST_F(CloudSyncTest, TextsSayWhatRunsAndWhenItLastWorked)
{
    auto sync = make();
    EXPECT_EQ(sync->activityTitle(), QStringLiteral("Syncing through the sync folder…"));
    emit mirror.progressed(ended(second, Type::export_, -60));
    emit mirror.progressed(began(first, Type::import, 0));
    clock.set(t0.addSecs(300));
    EXPECT_EQ(sync->activityTitle(), QStringLiteral("Reading the sync folder · started 5 minutes ago"));
    EXPECT_EQ(sync->detailLines(t0.addSecs(120)), QStringList{QStringLiteral("Last synced 3 minutes ago")});
    EXPECT_EQ(sync->detailLines(t0.addSecs(121)),
              (QStringList{QStringLiteral("Large histories can take several minutes. You can keep using TamoCove."),
                           QStringLiteral("Last synced 3 minutes ago")}));
    CloudEvent noticed = ended(second, Type::export_, -60);
    noticed.notice = QStringLiteral("This computer now syncs as a new device.");
    emit mirror.progressed(noticed);
    emit mirror.progressed(ended(second, Type::export_, -60));
    EXPECT_EQ(sync->notice(), noticed.notice) << "kept while the app runs";

    const struct
    {
        qint64 seconds;
        const char *text;
    } dates[] = {{0, "now"}, {-1, "1 second ago"}, {-3600, "1 hour ago"}, {-86400, "yesterday"},
                 {-3 * 86400, "3 days ago"}, {-8 * 86400, "last week"}, {7200, "in 2 hours"}, {86400, "tomorrow"}};
    for (const auto &d : dates)
        EXPECT_EQ(relativeDateText(t0.addSecs(d.seconds), t0), QLatin1String(d.text));
}

TEST_F(CloudSyncTest, TheSwitchAsksThenRelaunchesOrPutsTheOldValueBack)
{
    const struct
    {
        const char *name;
        int answer;
        bool launches;
        bool storedAfter;
        int relaunches;
        int alerts;
    } cases[] = {
        {"confirmed", 0, true, false, 1, 1},
        {"cancelled", 1, true, true, 0, 1},
        {"relaunch could not start", 0, false, true, 1, 2},
    };
    for (const auto &c : cases) {
        defaults.setValue(keys::iCloudSync, true);
        testing::FakeAlerts alerts;
        alerts.answer(c.answer);
        alerts.answer(0);
        bool storedWhileAsking = true;
        alerts.whileShown = [&] { storedWhileAsking = storedWhileAsking && !defaults.boolValue(keys::iCloudSync); };
        testing::FakeRelauncher relauncher;
        relauncher.launches = c.launches;
        CloudSync::confirmToggle(false, defaults, alerts, relauncher);
        EXPECT_EQ(defaults.boolValue(keys::iCloudSync), c.storedAfter) << c.name;
        EXPECT_EQ(relauncher.relaunches, c.relaunches) << c.name;
        EXPECT_EQ(alerts.shown().size(), c.alerts) << c.name;
        EXPECT_EQ(alerts.shown().first().message, QStringLiteral("Turn off sync?"));
    }
}

TEST_F(CloudSyncTest, AtTheFirstLaunchSyncIsOnOnlyWhereItsFolderCanBeMade)
{
    const struct
    {
        const char *name;
        bool parentExists;
        QVariant stored; // invalid: never written
        bool enabled;
    } cases[] = {
        {"fresh, the folder's parent exists", true, QVariant(), true},
        {"fresh, no parent: no warning to come", false, QVariant(), false},
        {"turned off by the user", true, false, false},
        {"turned on by the user before making the folder", false, true, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        testing::TempDir home;
        const QString parent = home.file(QStringLiteral("Sync"));
        if (c.parentExists) {
            ASSERT_TRUE(QDir().mkpath(parent));
        }
        defaults.setValue(keys::syncFolder, parent + QStringLiteral("/TamoCove"));
        defaults.remove(keys::iCloudSync);
        if (c.stored.isValid())
            defaults.setValue(keys::iCloudSync, c.stored);
        CloudSync::chooseFirstLaunchDefault(defaults);
        EXPECT_EQ(CloudSync::isEnabled(defaults), c.enabled);

        // Making the folder later does not switch sync on unasked.
        QDir().mkpath(parent);
        CloudSync::chooseFirstLaunchDefault(defaults);
        EXPECT_EQ(CloudSync::isEnabled(defaults), c.enabled);
    }
}

} // namespace
} // namespace tamo
