#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

namespace tamo::testing {
namespace {

// Real processes: copies of a small program in two install folders, each
// running the guard as TamoCove does at launch.
class SecondCopyGuardRun : public ::testing::Test
{
protected:
    SecondCopyGuardRun()
    {
        for (const char *name : {"A", "B"}) {
            QDir(root.path()).mkpath(QString::fromLatin1(name));
            const QString copy = root.file(QString::fromLatin1(name) + QStringLiteral("/tamo_guard_child"));
            EXPECT_TRUE(QFile::copy(QStringLiteral(TAMO_GUARD_CHILD), copy));
        }
    }

    ~SecondCopyGuardRun() override
    {
        for (const auto &process : processes) {
            process->kill();
            process->waitForFinished();
        }
    }

    QProcess &launch(const char *folder)
    {
        auto process = std::make_unique<QProcess>();
        process->start(root.file(QString::fromLatin1(folder) + QStringLiteral("/tamo_guard_child")),
                       {root.file(QStringLiteral("A")) + u':' + root.file(QStringLiteral("B"))});
        EXPECT_TRUE(QTest::qWaitFor([&] { return process->canReadLine(); }, 10000));
        EXPECT_EQ(process->readLine().trimmed(), QByteArray("ready"));
        processes.push_back(std::move(process));
        return *processes.back();
    }

    static bool running(QProcess &process) { return process.state() == QProcess::Running; }

    TempDir root;
    std::vector<std::unique_ptr<QProcess>> processes;
};

TEST_F(SecondCopyGuardRun, TheNewestCopyAloneSurvives)
{
    QProcess &first = launch("A");
    QProcess &again = launch("A"); // the very same copy: left alone
    QTest::qWait(200);
    EXPECT_TRUE(running(first));
    EXPECT_TRUE(running(again));

    QProcess &other = launch("B"); // quits both, older and of another place
    EXPECT_TRUE(QTest::qWaitFor([&] { return !running(first) && !running(again); }, 5000));
    // The survivor's watcher leaves no one behind it, and nobody quits it.
    QTest::qWait(2500);
    EXPECT_TRUE(running(other));
}

} // namespace
} // namespace tamo::testing
