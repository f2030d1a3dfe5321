#include "platform/PrivateFiles.h"

#include "support/FileMode.h"
#include "support/HangGuard.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

using tamo::privatefiles::makeFolder;
using tamo::privatefiles::tighten;
using tamo::testing::modeOf;

// Whatever the umask lets through, as a user's shell commonly sets it.
class PrivateFilesTest : public ::testing::Test
{
protected:
    PrivateFilesTest() : m_umask(::umask(022)) {}
    ~PrivateFilesTest() override { ::umask(m_umask); }

private:
    mode_t m_umask;
};

TEST_F(PrivateFilesTest, EveryFolderMadeIsTheUsersAlone)
{
    tamo::testing::TempDir dir;
    const QString deep = dir.file(QStringLiteral("a/b/c"));
    ASSERT_TRUE(makeFolder(deep));
    for (const char *folder : {"a", "a/b", "a/b/c"})
        EXPECT_EQ(modeOf(dir.file(QLatin1String(folder))), 0700u) << folder;

    ASSERT_TRUE(QDir().mkdir(dir.file(QStringLiteral("open"))));
    ASSERT_TRUE(makeFolder(dir.file(QStringLiteral("open"))));
    EXPECT_EQ(modeOf(dir.file(QStringLiteral("open"))), 0700u) << "an existing folder is tightened";

    tamo::testing::writeFile(dir.file(QStringLiteral("file")), "x");
    EXPECT_FALSE(makeFolder(dir.file(QStringLiteral("file"))));
}

TEST_F(PrivateFilesTest, TighteningReachesEverythingInsideButNotWhatLinksPointAt)
{
    const tamo::testing::HangGuard guard("tightening a folder with a FIFO");
    tamo::testing::TempDir dir;
    tamo::testing::TempDir elsewhere;
    const QString root = dir.file(QStringLiteral("root"));
    ASSERT_TRUE(QDir().mkpath(root + QStringLiteral("/sub/.hidden")));
    tamo::testing::writeFile(root + QStringLiteral("/store"), "x");
    tamo::testing::writeFile(root + QStringLiteral("/sub/.hidden/wal"), "x");
    ASSERT_EQ(::mkfifo(QFile::encodeName(root + QStringLiteral("/fifo")).constData(), 0644), 0);
    const QString outside = elsewhere.file(QStringLiteral("outside"));
    tamo::testing::writeFile(outside, "x");
    ASSERT_TRUE(QFile::link(outside, root + QStringLiteral("/link")));
    ASSERT_TRUE(QFile::link(elsewhere.path(), root + QStringLiteral("/folder-link")));

    const unsigned elsewhereMode = modeOf(elsewhere.path());
    tighten(root);

    const struct
    {
        const char *name;
        unsigned mode;
    } expected[] = {{"", 0700}, {"/sub", 0700}, {"/sub/.hidden", 0700}, {"/store", 0600},
                    {"/sub/.hidden/wal", 0600}, {"/fifo", 0600}};
    for (const auto &e : expected)
        EXPECT_EQ(modeOf(root + QLatin1String(e.name)), e.mode) << e.name;
    EXPECT_EQ(modeOf(outside), 0644u);
    EXPECT_EQ(modeOf(elsewhere.path()), elsewhereMode);
}

} // namespace
