#include "platform/XdgScreenshotFolder.h"

#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using tamo::XdgScreenshotFolder;

namespace {

void writeFile(const QString &path)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("png");
}

} // namespace

TEST(XdgScreenshotFolder, PrefersTheScreenshotsSubfolderOfPictures)
{
    tamo::testing::TempDir pictures;
    EXPECT_EQ(XdgScreenshotFolder::locate(pictures.path()), pictures.path());
    ASSERT_TRUE(QDir(pictures.path()).mkdir(QStringLiteral("Screenshots")));
    EXPECT_EQ(XdgScreenshotFolder::locate(pictures.path()), pictures.file(QStringLiteral("Screenshots")));
}

TEST(XdgScreenshotFolder, AMissingFolderCannotBeWatched)
{
    tamo::testing::TempDir dir;
    XdgScreenshotFolder folder(dir.file(QStringLiteral("missing")));
    EXPECT_FALSE(folder.isReadable());
    EXPECT_FALSE(folder.startWatching());
}

TEST(XdgScreenshotFolder, ReportsEachNewFileOnceAndNotTheOldOnes)
{
    tamo::testing::TempDir dir;
    writeFile(dir.file(QStringLiteral("Screenshot old.png")));
    XdgScreenshotFolder folder(dir.path());
    QSignalSpy added(&folder, &XdgScreenshotFolder::fileAdded);
    ASSERT_TRUE(folder.isReadable());
    ASSERT_TRUE(folder.startWatching());
    ASSERT_TRUE(folder.startWatching()); // a second start changes nothing

    // Tools that write under a hidden name and rename at the end are seen
    // once, under the final name.
    writeFile(dir.file(QStringLiteral(".Screenshot new.png.part")));
    QFile::rename(dir.file(QStringLiteral(".Screenshot new.png.part")), dir.file(QStringLiteral("Screenshot new.png")));
    ASSERT_TRUE(added.wait(5000));
    writeFile(dir.file(QStringLiteral("Screenshot second.png")));
    EXPECT_TRUE(QTest::qWaitFor([&] { return added.size() >= 2; }, 5000));

    ASSERT_EQ(added.size(), 2);
    EXPECT_EQ(added[0][0].toString(), dir.file(QStringLiteral("Screenshot new.png")));
    EXPECT_EQ(added[1][0].toString(), dir.file(QStringLiteral("Screenshot second.png")));
}

TEST(XdgScreenshotFolder, AFileRemovedAndSavedAgainIsNewAgain)
{
    tamo::testing::TempDir dir;
    XdgScreenshotFolder folder(dir.path());
    QSignalSpy added(&folder, &XdgScreenshotFolder::fileAdded);
    ASSERT_TRUE(folder.startWatching());
    const QString path = dir.file(QStringLiteral("Screenshot.png"));
    writeFile(path);
    ASSERT_TRUE(added.wait(5000));
    QFile::remove(path);
    // Once the next file is reported, the folder has seen the removal.
    writeFile(dir.file(QStringLiteral("Screenshot other.png")));
    ASSERT_TRUE(added.wait(5000));
    writeFile(path);
    ASSERT_TRUE(added.wait(5000));

    ASSERT_EQ(added.size(), 3);
    EXPECT_EQ(added[2][0].toString(), path);
}

TEST(XdgScreenshotFolder, StopsReportingWhenStopped)
{
    tamo::testing::TempDir dir;
    XdgScreenshotFolder folder(dir.path());
    QSignalSpy added(&folder, &XdgScreenshotFolder::fileAdded);
    ASSERT_TRUE(folder.startWatching());
    folder.stopWatching();
    writeFile(dir.file(QStringLiteral("Screenshot ignored.png")));

    // Watching again starts from what is there now.
    ASSERT_TRUE(folder.startWatching());
    writeFile(dir.file(QStringLiteral("Screenshot seen.png")));
    ASSERT_TRUE(added.wait(5000));
    ASSERT_EQ(added.size(), 1);
    EXPECT_EQ(added[0][0].toString(), dir.file(QStringLiteral("Screenshot seen.png")));
}
