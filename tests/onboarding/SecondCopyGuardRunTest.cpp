#include "support/TempDir.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>
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

TEST_F(SecondCopyGuardRun, OfTwoCopiesStartedAtOnceExactlyOneKeepsRunning)
{
    TempDir store;
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE(round);
        // In the last round both are slow to quit, so the older is forced.
        const bool stubborn = round == 19;
        const QString startAt = QString::number(QDateTime::currentMSecsSinceEpoch() + 300);
        struct Copy
        {
            std::unique_ptr<QProcess> process = std::make_unique<QProcess>();
            QByteArray output;
        };
        Copy copies[2];
        for (int i = 0; i < 2; ++i) {
            QStringList arguments{root.file(QStringLiteral("A")) + u':' + root.file(QStringLiteral("B")), store.path(),
                                  startAt};
            if (stubborn)
                arguments.append(QStringLiteral("stubborn"));
            copies[i].process->start(root.file(QLatin1String(i == 0 ? "A" : "B") + QStringLiteral("/tamo_guard_child")),
                                     arguments);
            ASSERT_TRUE(copies[i].process->waitForStarted());
        }
        const auto owner = [](Copy &copy) {
            copy.output += copy.process->readAllStandardOutput();
            return copy.output.contains("owner\n") && running(*copy.process);
        };
        // Settled once each has ended or holds the store.
        const auto settled = [&] {
            return std::all_of(std::begin(copies), std::end(copies),
                               [&](Copy &copy) { return !running(*copy.process) || owner(copy); });
        };
        EXPECT_TRUE(QTest::qWaitFor(settled, 20000));
        EXPECT_EQ(std::count_if(std::begin(copies), std::end(copies), owner), 1);
        for (Copy &copy : copies) {
            copy.process->kill();
            copy.process->waitForFinished();
        }
    }
}

} // namespace
} // namespace tamo::testing
