#include "platform/ProcessAncestry.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace tamo;

namespace {

struct FakeProcess
{
    qint64 pid;
    const char *name;
    qint64 parent;
    qint64 group;
    qint64 session;
};

// A /proc of a few processes: a terminal with its shell, a desktop session
// under the user's service manager, and init.
class ProcessAncestryTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const FakeProcess &process : std::initializer_list<FakeProcess>{
                 {1, "init", 0, 1, 1},
                 {50, "systemd", 1, 50, 50},
                 {100, "xterm", 1, 100, 100},
                 {200, "bash", 100, 200, 200},
                 {300, "xclip", 200, 300, 200},
                 {450, "sh", 100, 450, 450},
                 {501, "xclip", 1, 450, 450},          // its starter exited; its group's leader lives
                 {601, "xclip", 50, 600, 200},         // adopted by the service manager; group gone, session lives
                 {701, "a (b) c", 200, 701, 200},      // a name with spaces and parentheses
                 {800, "loop", 801, 800, 800},
                 {801, "loop", 800, 801, 801},
                 {861, "xclip", 1, 860, 860},          // another tool's fork, its leaders gone
                 {862, "xclip", 1, 450, 450},          // the fork of 860, which exited
             })
            add(process);
    }

    void add(const FakeProcess &process)
    {
        ASSERT_TRUE(QDir(proc.path()).mkpath(QString::number(process.pid)));
        QFile stat(proc.file(QStringLiteral("%1/stat").arg(process.pid)));
        ASSERT_TRUE(stat.open(QIODevice::WriteOnly));
        stat.write(QStringLiteral("%1 (%2) S %3 %4 %5 0 -1 4194368 34 0 0 0\n")
                       .arg(process.pid)
                       .arg(QString::fromUtf8(process.name))
                       .arg(process.parent)
                       .arg(process.group)
                       .arg(process.session)
                       .toUtf8());
    }

    tamo::testing::TempDir proc;
};

TEST_F(ProcessAncestryTest, WalksParentsAndLeadersOfAdoptedProcesses)
{
    const struct
    {
        qint64 pid;
        QList<qint64> ancestry;
        const char *why;
    } rows[] = {
        {300, {300, 200, 100}, "a tool run in a terminal's shell"},
        {500, {501, 450, 100}, "an owner that forked and exited: its fork, adopted by init, stands in; "
                               "its group's leader started it"},
        {501, {501, 450, 100}, "adopted by init"},
        {600, {601, 200, 100}, "adopted by the service manager, group gone: the session's leader"},
        {701, {701, 200, 100}, "parentheses in the name"},
        {800, {800, 801}, "a loop ends"},
        {100, {100}, "a process of init's"},
        {900, {}, "gone, and no fork above it"},
        {0, {}, "no process"},
    };
    for (const auto &row : rows)
        EXPECT_EQ(processAncestry(row.pid, proc.path()), row.ancestry) << row.why;
}

TEST_F(ProcessAncestryTest, NamesTheProgramAProcessRuns)
{
    const struct
    {
        qint64 pid;
        QString program;
        QString name;
    } rows[] = {
        {200, QStringLiteral("/usr/bin/bash"), QStringLiteral("bash")},
        {300, QStringLiteral("/usr/bin/xclip (deleted)"), QStringLiteral("xclip")}, // replaced by an upgrade
        {100, {}, {}},                                                               // /proc does not show it
        {0, {}, {}},
    };
    for (const auto &row : rows) {
        if (!row.program.isEmpty()) {
            ASSERT_TRUE(QFile::link(row.program, proc.file(QStringLiteral("%1/exe").arg(row.pid))));
        }
        EXPECT_EQ(executableName(row.pid, proc.path()), row.name) << row.pid;
    }
}

} // namespace

TEST_F(ProcessAncestryTest, EveryForkThatMayStandInForAGoneProcessIsOffered)
{
    EXPECT_EQ(possibleAncestries(860, proc.path()), (QList<QList<qint64>>{{861}, {862, 450, 100}}));
    EXPECT_EQ(possibleAncestries(300, proc.path()), (QList<QList<qint64>>{{300, 200, 100}}));
    EXPECT_TRUE(possibleAncestries(900, proc.path()).isEmpty());
}

// Tools copying on another X display at the same moment (another session, or
// tests side by side) leave forks among ours: they never stand in.
TEST_F(ProcessAncestryTest, AForkForAnotherDisplayNeverStandsIn)
{
    const QByteArray display = qgetenv("DISPLAY");
    qputenv("DISPLAY", ":5");
    const auto environ = [&](qint64 pid, const QByteArray &variables) {
        QFile file(proc.file(QStringLiteral("%1/environ").arg(pid)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(variables);
    };
    environ(861, QByteArrayLiteral("HOME=/home/u\0DISPLAY=:7\0"));
    environ(862, QByteArrayLiteral("DISPLAY=:5.0\0HOME=/home/u\0"));
    EXPECT_EQ(possibleAncestries(860, proc.path()), (QList<QList<qint64>>{{862, 450, 100}}));
    environ(861, QByteArrayLiteral("DISPLAY=:5\0"));
    EXPECT_EQ(possibleAncestries(860, proc.path()), (QList<QList<qint64>>{{861}, {862, 450, 100}}));
    if (display.isNull())
        qunsetenv("DISPLAY");
    else
        qputenv("DISPLAY", display);
}
