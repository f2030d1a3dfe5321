#include "AppModelFixture.h"

#include "app/StoreOpening.h"
#include "model/ClipDraft.h"
#include "model/ClipItem.h"
#include "support/FakeRelauncher.h"
#include "support/HangGuard.h"
#include "support/WarningLog.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"
#include "model/Sqlite.h"

#include <QDir>
#include <QSignalSpy>
#include <QTest>

#include <functional>
#include <sys/stat.h>

using namespace tamo;
using namespace tamo::testing;

class StoreOpeningTest : public AppModelFixture
{
protected:
    QString syncedStore() const { return storeDir.file(QStringLiteral("Tamo.store")); }

    void damageSyncedStore() { writeFile(syncedStore(), QByteArray("no database here\n").repeated(300)); }
};

TEST_F(StoreOpeningTest, ADamagedStoreIsNamedAndMovedAsideOnlyWhenTheUserAgrees)
{
    enum { startFresh = 0, quit = 1 };
    for (const int answer : {quit, startFresh}) {
        SCOPED_TRACE(answer);
        damageSyncedStore();
        const QByteArray damaged = readFile(syncedStore());
        const int alertsBefore = int(alerts.shown().size());
        alerts.answer(answer);

        const auto model = openAppModel(services(), storeDir.path(), ext.extensions());

        ASSERT_EQ(alerts.shown().size(), alertsBefore + 1);
        EXPECT_TRUE(alerts.shown().last().informativeText.contains(syncedStore()));
        const QStringList aside = QDir(storeDir.path()).entryList({QStringLiteral("Tamo.store.damaged-*")});
        if (answer == quit) {
            EXPECT_FALSE(model);
            EXPECT_EQ(readFile(syncedStore()), damaged);
            EXPECT_TRUE(aside.isEmpty());
        } else {
            ASSERT_TRUE(model);
            EXPECT_EQ(model->container().mainContext().fetchCount<ClipItem>(), 0);
            ASSERT_EQ(aside.size(), 1);
            EXPECT_EQ(readFile(storeDir.file(aside.first())), damaged);
        }
    }
}

TEST_F(StoreOpeningTest, AStoreFromANewerVersionIsRefusedWithAnAlertNamingIt)
{
    { ModelContainer container(storeDir.path()); }
    {
        sql::Database db;
        db.open(syncedStore());
        db.exec(QStringLiteral("PRAGMA user_version = 99"));
    }
    alerts.answer(0);
    EXPECT_FALSE(openAppModel(services(), storeDir.path(), ext.extensions()));
    ASSERT_EQ(alerts.shown().size(), 1);
    EXPECT_TRUE(alerts.shown().first().informativeText.contains(syncedStore()));
}

// A store damaged past its first pages opens, so capture starts at once; the
// read that follows finds the damage and makes the same offer.
TEST_F(StoreOpeningTest, DamageFoundWhileRunningIsMovedAsideAtTheNextLaunchWhenTheUserAgrees)
{
    enum { startFresh = 0, quit = 1 };
    for (const int answer : {quit, startFresh}) {
        SCOPED_TRACE(answer);
        TempDir home;
        const QString store = home.file(QStringLiteral("Tamo.store"));
        {
            ModelContainer container(home.path());
            for (int i = 0; i < 300; ++i)
                container.mainContext().insert(std::make_shared<ClipItem>(
                    ClipDraft::fromText(QStringLiteral("clip %1 %2").arg(i).arg(QString(200, QLatin1Char('x')))),
                    QDateTime::currentDateTime().addSecs(i)));
            ASSERT_TRUE(container.mainContext().save());
            ASSERT_TRUE(container.checkpoint());
        }
        QByteArray bytes = readFile(store);
        bytes.replace(bytes.size() / 2 / 4096 * 4096, 4096, QByteArray(4096, '\xff'));
        writeFile(store, bytes);

        auto model = openAppModel(services(), home.path(), ext.extensions());
        ASSERT_TRUE(model) << "opening reads only the first pages";
        FakeRelauncher relauncher;
        StoreVerifier verifier(home.path(), alerts, relauncher);
        QSignalSpy quitRequested(&verifier, &StoreVerifier::quitRequested);
        const int alertsBefore = int(alerts.shown().size());
        alerts.answer(answer);
        verifier.start();
        ASSERT_TRUE(QTest::qWaitFor([&] { return alerts.shown().size() > alertsBefore; }, 10000));
        EXPECT_TRUE(alerts.shown().last().informativeText.contains(store));
        EXPECT_EQ(quitRequested.size(), answer == quit ? 1 : 0);
        EXPECT_EQ(relauncher.relaunches, answer == startFresh ? 1 : 0);
        model.reset();

        auto relaunched = openAppModel(services(), home.path(), ext.extensions());
        ASSERT_TRUE(relaunched);
        const QStringList aside = QDir(home.path()).entryList({QStringLiteral("Tamo.store.damaged-*[0-9]")});
        EXPECT_EQ(aside.size(), answer == startFresh ? 1 : 0);
        if (answer == startFresh) {
            EXPECT_GT(relaunched->container().mainContext().fetchCount<ClipItem>(), 0) << "readable rows kept";
        }
        EXPECT_FALSE(QFile::exists(home.file(QStringLiteral("Tamo.store.rescue"))));
    }
}

// A named pipe in the store's folder held the launch for ever, with no window
// and no word; a rescue marker that was no file was passed over in silence.
TEST_F(StoreOpeningTest, AStoreFileThatIsNoFileIsNamedInAnAlertAndNeverWaitedOn)
{
    const HangGuard guard("a launch over a FIFO");
    const auto fifo = [](const QString &path) { return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0; };
    const auto folder = [](const QString &path) { return QDir().mkdir(path); };
    const struct
    {
        const char *name;
        std::function<bool(const QString &)> make;
    } cases[] = {
        {"Tamo.store", fifo},
        {"TamoLocal.store", fifo},
        {"Tamo.store.rescue", fifo},
        {"Tamo.store.rescue", folder},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TempDir home;
        const QString path = home.file(QLatin1String(c.name));
        ASSERT_TRUE(c.make(path));
        const qsizetype shownBefore = alerts.shown().size();
        alerts.answer(0);
        const tamo::testing::WarningLog log;
        EXPECT_FALSE(openAppModel(services(), home.path(), ext.extensions()));
        // Named in this run's log as every other line is.
        EXPECT_FALSE(log.messages().filter(path).isEmpty()) << log.text();
        ASSERT_EQ(alerts.shown().size(), shownBefore + 1);
        EXPECT_TRUE(alerts.shown().last().informativeText.contains(path));
        EXPECT_TRUE(alerts.shown().last().informativeText.contains(QStringLiteral("not a regular file")));
    }
}
