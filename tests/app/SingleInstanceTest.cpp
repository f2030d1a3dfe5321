#include "app/SingleInstance.h"
#include "support/TempDir.h"

#include <QDateTime>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <memory>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace tamo;
using namespace tamo::testing;

TEST(SingleInstanceTest, OfLaunchesRacingForOneStoreOneOwnsItAndTheOthersHandOverTheirFiles)
{
    TempDir store;
    TempDir runtime;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    constexpr int launches = 4;
    const QString startAt = QString::number(QDateTime::currentMSecsSinceEpoch() + 500);
    std::vector<std::unique_ptr<QProcess>> children;
    for (int i = 0; i < launches; ++i) {
        auto &child = children.emplace_back(std::make_unique<QProcess>());
        child->setProcessEnvironment(environment);
        child->start(QStringLiteral(TAMO_INSTANCE_CHILD),
                     {store.path(), QStringLiteral("/f%1").arg(i), QString::number(launches - 1), startAt});
    }

    QStringList owners;
    QStringList handedOver;
    QStringList received;
    for (int i = 0; i < launches; ++i) {
        QProcess &child = *children[i];
        ASSERT_TRUE(child.waitForFinished(15'000));
        const QByteArray errors = child.readAllStandardError();
        EXPECT_EQ(child.exitCode(), 0) << errors.toStdString();
        QStringList lines = QString::fromUtf8(child.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
        if (lines.value(0) == u"owner") {
            owners.append(QStringLiteral("/f%1").arg(i));
            received = lines.mid(1);
        } else {
            handedOver.append(QStringLiteral("/f%1").arg(i));
            EXPECT_TRUE(errors.startsWith("TamoCove: already running")) << errors.toStdString();
        }
    }
    ASSERT_EQ(owners.size(), 1);
    received.sort();
    EXPECT_EQ(received, handedOver);
}

TEST(SingleInstanceTest, EachStoreHasItsOwnOwnerAndChannel)
{
    TempDir first;
    TempDir second;
    SingleInstance firstOwner(first.path());
    SingleInstance secondOwner(second.path());
    ASSERT_EQ(firstOwner.claimOrHandOver({}), std::nullopt);
    ASSERT_EQ(secondOwner.claimOrHandOver({}), std::nullopt);

    QSignalSpy firstHeard(&firstOwner, &SingleInstance::activated);
    QSignalSpy secondHeard(&secondOwner, &SingleInstance::activated);
    EXPECT_EQ(SingleInstance(second.path()).claimOrHandOver({QStringLiteral("/x.tamocove")}), 0);
    ASSERT_TRUE(secondHeard.wait(2000));
    EXPECT_EQ(secondHeard.first().first().toStringList(), QStringList{QStringLiteral("/x.tamocove")});
    EXPECT_TRUE(firstHeard.isEmpty());
}

TEST(SingleInstanceTest, TheChannelLivesOnlyInAFolderNoOtherUserCanEnter)
{
    TempDir root;
    const QString runtime = root.file(QStringLiteral("runtime"));
    const QString temp = root.file(QStringLiteral("tmp"));
    const QString ours = temp + QStringLiteral("/tamocove-%1").arg(::getuid());
    const QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR");
    const QByteArray savedTemp = qgetenv("TMPDIR");
    qputenv("TMPDIR", temp.toUtf8());
    ::mkdir(temp.toUtf8().constData(), 0700);

    struct Case { const char *name; int runtimeMode; int oursMode; QString expected; };
    const Case cases[] = {
        {"private runtime folder", 0700, -1, runtime},
        {"runtime folder others can enter", 0755, -1, ours},
        {"our folder made open by someone", 0755, 0777, QString()},
    };
    for (const Case &c : cases) {
        ::mkdir(runtime.toUtf8().constData(), 0700);
        ::chmod(runtime.toUtf8().constData(), c.runtimeMode);
        ::rmdir(ours.toUtf8().constData());
        if (c.oursMode >= 0) {
            ::mkdir(ours.toUtf8().constData(), 0700);
            ::chmod(ours.toUtf8().constData(), c.oursMode);
        }
        qputenv("XDG_RUNTIME_DIR", runtime.toUtf8());
        EXPECT_EQ(SingleInstance::channelFolder(), c.expected) << c.name;
    }
    qputenv("XDG_RUNTIME_DIR", savedRuntime);
    qputenv("TMPDIR", savedTemp);
}

// A lock file that cannot be opened once let every launch run as the owner,
// so each copy was saved twice.
TEST(SingleInstanceTest, ALockThatCannotBeTakenIsNoClaimAndSaysWhy)
{
    TempDir store;
    const QString lock = store.file(QStringLiteral("Tamo.store.lock"));
    ASSERT_EQ(::mkdir(QFile::encodeName(lock).constData(), 0700), 0);
    for (int launch = 0; launch < 2; ++launch) {
        SingleInstance instance(store.path());
        EXPECT_EQ(instance.claimOrHandOver({}), 1) << launch;
        EXPECT_TRUE(instance.problem().contains(lock)) << instance.problem().toStdString();
    }
}

// A copy told to quit lets the store go a moment later; the launch that
// ended it must wait for that rather than hand itself to a copy about to die.
TEST(SingleInstanceTest, ALaunchWaitsForAStoreLetGoWithinItsWait)
{
    TempDir store;
    const int held = ::open(QFile::encodeName(store.file(QStringLiteral("Tamo.store.lock"))).constData(),
                            O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    std::thread quittingCopy([held] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        ::close(held);
    });
    SingleInstance instance(store.path());
    EXPECT_EQ(instance.claimOrHandOver({}, 20'000), std::nullopt);
    EXPECT_TRUE(instance.problem().isEmpty());
    quittingCopy.join();
}
