#include "AppModelFixture.h"

#include "app/StoreOpening.h"
#include "model/ClipItem.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"
#include "model/Sqlite.h"

#include <QDir>

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
