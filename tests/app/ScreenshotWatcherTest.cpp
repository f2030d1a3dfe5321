#include "app/ClipboardMonitor.h"
#include "support/TestImages.h"
#include "app/ScreenshotWatcher.h"
#include "platform/Defaults.h"
#include "platform/XdgScreenshotFolder.h"
#include "support/FakeAlerts.h"
#include "support/FakePasteboard.h"
#include "support/FakeScreenshotFolder.h"
#include "support/FakeWorkspace.h"
#include "support/TempDir.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QTest>
#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace tamo;
using namespace tamo::testing;

namespace {

using tamo::testing::encodedImage;

class ScreenshotWatcherTest : public ::testing::Test
{
protected:
    // Writes a file into the folder the way a screenshot tool does, and has
    // the folder report it.
    void save(const QString &name, const QByteArray &bytes)
    {
        write(name, bytes, QIODevice::WriteOnly);
        folder.addFile(name);
    }

    void write(const QString &name, const QByteArray &bytes, QIODevice::OpenMode mode)
    {
        QFile file(dir.file(name));
        ASSERT_TRUE(file.open(mode));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }

    bool waitForWrites(qsizetype count)
    {
        return QTest::qWaitFor([&] { return pasteboard.writes().size() >= count; }, 10000);
    }

    // The PNG of each write to the pasteboard.
    QList<QByteArray> copiedImages() const
    {
        QList<QByteArray> images;
        for (const QList<PasteboardItem> &write : pasteboard.writes()) {
            EXPECT_EQ(write.size(), 1);
            EXPECT_EQ(write.value(0).keys(), QStringList{PasteboardType::png});
            images.append(write.value(0).value(PasteboardType::png));
        }
        return images;
    }

    TempDir dir;
    FakeScreenshotFolder folder{dir.path()};
    FakePasteboard pasteboard;
    FakeAlerts alerts;
    ScreenshotWatcher watcher{folder, pasteboard, alerts};
};

TEST_F(ScreenshotWatcherTest, UnreadableFolderGetsOneAlertPerStartAndNoWatching)
{
    folder.setReadable(false);
    alerts.answer(0);
    alerts.answer(0);

    watcher.start();
    ASSERT_EQ(alerts.shown().size(), 1);
    EXPECT_EQ(alerts.shown()[0].message, QStringLiteral("TamoCove can't read your screenshot folder"));
    EXPECT_TRUE(alerts.shown()[0].informativeText.contains(dir.path()));
    EXPECT_FALSE(watcher.isRunning());
    EXPECT_FALSE(folder.isWatching());

    watcher.start();
    EXPECT_EQ(alerts.shown().size(), 2);
}

TEST_F(ScreenshotWatcherTest, NewScreenshotIsCopiedAsPngAndCapturedLikeAnyCopy)
{
    Defaults defaults(dir.file(QStringLiteral("defaults.json")));
    FakeWorkspace workspace;
    ClipboardMonitor monitor(pasteboard, workspace, defaults);
    QList<ClipDraft> captured;
    QObject::connect(&monitor, &ClipboardMonitor::captured, [&](const ClipDraft &draft) { captured.append(draft); });
    monitor.start();
    watcher.start();
    watcher.start(); // no second session, no second copy
    ASSERT_TRUE(watcher.isRunning());

    save(QStringLiteral("Screenshot from 2024-05-01.jpg"), encodedImage({40, 30}, Qt::blue, "JPEG"));

    ASSERT_TRUE(QTest::qWaitFor([&] { return !captured.isEmpty(); }, 10000));
    const QList<QByteArray> images = copiedImages();
    ASSERT_EQ(images.size(), 1);
    EXPECT_EQ(QImage::fromData(images[0], "PNG").size(), QSize(40, 30));
    EXPECT_EQ(captured[0].kind, ClipKind::image);
    EXPECT_EQ(captured[0].imageData, images[0]);
}

TEST_F(ScreenshotWatcherTest, FilesThatAreNoImagesAreDroppedQuietly)
{
    const QByteArray good = encodedImage({8, 8}, Qt::green, "PNG");
    watcher.start();

    save(QStringLiteral("broken.png"), "not an image at all");
    save(QStringLiteral("notes.txt"), good);
    save(QStringLiteral("shot.png.part"), good);
    save(QStringLiteral("good.png"), good);

    ASSERT_TRUE(waitForWrites(1));
    // The others were looked at first; give a wrong copy of theirs time to show.
    QTest::qWait(300);
    EXPECT_EQ(copiedImages(), QList<QByteArray>{good});
}

TEST_F(ScreenshotWatcherTest, FileBeingWrittenIsCopiedOnceComplete)
{
    const QByteArray png = encodedImage({300, 200}, Qt::darkCyan, "PNG");
    watcher.start();

    save(QStringLiteral("slow.png"), png.left(png.size() / 2));
    // The writer pauses long enough for the watcher to try the half file.
    QTest::qWait(500);
    write(QStringLiteral("slow.png"), png.mid(png.size() / 2), QIODevice::Append);

    ASSERT_TRUE(waitForWrites(1));
    EXPECT_EQ(copiedImages(), QList<QByteArray>{png});
}

TEST_F(ScreenshotWatcherTest, StopForgetsFilesStillWaitedFor)
{
    const QByteArray second = encodedImage({9, 9}, Qt::yellow, "PNG");
    watcher.start();
    save(QStringLiteral("first.png"), encodedImage({8, 8}, Qt::red, "PNG"));
    watcher.stop();
    EXPECT_FALSE(watcher.isRunning());
    EXPECT_FALSE(folder.isWatching());

    watcher.start();
    save(QStringLiteral("second.png"), second);

    ASSERT_TRUE(waitForWrites(1));
    EXPECT_EQ(copiedImages(), QList<QByteArray>{second});
}

TEST_F(ScreenshotWatcherTest, FilesInTheFolderBeforeStartAreNotCopied)
{
    const QByteArray fresh = encodedImage({7, 7}, Qt::magenta, "PNG");
    write(QStringLiteral("old.png"), encodedImage({6, 6}, Qt::gray, "PNG"), QIODevice::WriteOnly);
    XdgScreenshotFolder realFolder(dir.path());
    ScreenshotWatcher realWatcher(realFolder, pasteboard, alerts);
    realWatcher.start();

    write(QStringLiteral("new.png"), fresh, QIODevice::WriteOnly);

    ASSERT_TRUE(waitForWrites(1));
    EXPECT_EQ(copiedImages(), QList<QByteArray>{fresh});
}

} // namespace

// Others can write the folder: a link, a FIFO and a file too large for a
// screenshot are never read, whatever their names say.
TEST_F(ScreenshotWatcherTest, LinksFifosAndOversizedFilesAreNeverRead)
{
    const QByteArray good = encodedImage({8, 8}, Qt::green, "PNG");
    TempDir elsewhere;
    const QString target = elsewhere.file(QStringLiteral("private.png"));
    {
        QFile file(target);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(encodedImage({7, 7}, Qt::blue, "PNG"));
    }
    watcher.start();

    ASSERT_TRUE(QFile::link(target, dir.file(QStringLiteral("link.png"))));
    folder.addFile(QStringLiteral("link.png"));
    ASSERT_EQ(mkfifo(QFile::encodeName(dir.file(QStringLiteral("fifo.png"))).constData(), 0600), 0);
    folder.addFile(QStringLiteral("fifo.png"));
    // An image, then zeros up to a byte past the cap (a sparse file).
    write(QStringLiteral("large.png"), encodedImage({6, 6}, Qt::red, "PNG"), QIODevice::WriteOnly);
    ASSERT_TRUE(QFile::resize(dir.file(QStringLiteral("large.png")), ScreenshotWatcher::largestFile + 1));
    folder.addFile(QStringLiteral("large.png"));
    save(QStringLiteral("good.png"), good);

    ASSERT_TRUE(waitForWrites(1));
    // The others were looked at first; give a wrong copy of theirs time to show.
    QTest::qWait(300);
    EXPECT_EQ(copiedImages(), QList<QByteArray>{good});
}
