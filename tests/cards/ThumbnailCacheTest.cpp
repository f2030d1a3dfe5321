#include "support/HangGuard.h"
#include "support/TempDir.h"
#include "support/TestImages.h"

#include "cards/StoreImageReader.h"
#include "cards/ThumbnailCache.h"
#include "model/ClipDraft.h"
#include "model/ClipItem.h"
#include "model/LocalRecords.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>

#include <sys/stat.h>

using namespace tamo;
using namespace tamo::testing;

namespace {

QByteArray png(int width, int height, QColor color = Qt::darkCyan)
{
    return encodedImage({width, height}, color);
}

ThumbnailRequest bytesRequest(const QByteArray &bytes, QSize box = {200, 100})
{
    ThumbnailRequest request;
    request.clipID = QUuid::createUuid();
    request.box = box;
    request.readBytes = [bytes] { return std::optional<QByteArray>(bytes); };
    return request;
}

// Asks until the cache has it, as a card does on its next paint.
Thumbnail waitFor(ThumbnailCache &cache, const ThumbnailRequest &request)
{
    QSignalSpy ready(&cache, &ThumbnailCache::ready);
    if (auto done = cache.thumbnail(request))
        return *done;
    EXPECT_TRUE(ready.wait(10'000));
    EXPECT_EQ(ready.first().first().toUuid(), request.clipID);
    return cache.thumbnail(request).value_or(Thumbnail{});
}

} // namespace

TEST(ThumbnailCache, BuildsOffTheCallingThreadAndKeepsTheResult)
{
    ThumbnailCache cache;
    ThumbnailRequest request = bytesRequest(png(800, 400));
    std::atomic<bool> readOnMainThread = false;
    const auto read = request.readBytes;
    request.readBytes = [&, read] {
        readOnMainThread = QThread::currentThread() == qApp->thread();
        return read();
    };

    EXPECT_FALSE(cache.thumbnail(request)) << "the first ask only starts the work";
    const Thumbnail thumbnail = waitFor(cache, request);
    EXPECT_FALSE(readOnMainThread);
    ASSERT_EQ(thumbnail.status, Thumbnail::Status::ready);
    EXPECT_EQ(thumbnail.image.size(), QSize(200, 100));
    EXPECT_TRUE(cache.thumbnail(request)) << "kept for the next paint";
}

TEST(ThumbnailCache, FitsCoversAndNeverEnlarges)
{
    ThumbnailCache cache;
    const struct {
        QSize picture;
        QSize box;
        Qt::AspectRatioMode mode;
        QSize expected;
    } rows[] = {
        {{800, 400}, {200, 200}, Qt::KeepAspectRatio, {200, 100}},
        {{10'000, 1'200}, {544, 400}, Qt::KeepAspectRatio, {544, 65}},
        {{800, 400}, {200, 200}, Qt::KeepAspectRatioByExpanding, {200, 200}}, // cut to the box
        {{60, 30}, {200, 200}, Qt::KeepAspectRatio, {60, 30}},
        {{60, 30}, {200, 200}, Qt::KeepAspectRatioByExpanding, {60, 30}},
    };
    for (const auto &row : rows) {
        ThumbnailRequest request = bytesRequest(png(row.picture.width(), row.picture.height()), row.box);
        request.mode = row.mode;
        const Thumbnail thumbnail = waitFor(cache, request);
        EXPECT_EQ(thumbnail.image.size(), row.expected) << row.picture.width() << "x" << row.picture.height();
    }
}

TEST(ThumbnailCache, SaysWhyThereIsNoPicture)
{
    const tamo::testing::HangGuard guard("a thumbnail of a FIFO");
    TempDir folder;
    ThumbnailCache cache;
    const auto statusOf = [&](ThumbnailRequest request) { return waitFor(cache, request).status; };

    EXPECT_EQ(statusOf(bytesRequest(QByteArray("these bytes are no image"))), Thumbnail::Status::undecodable);
    ThumbnailRequest nothingStored = bytesRequest({});
    nothingStored.readBytes = [] { return std::optional<QByteArray>(); };
    EXPECT_EQ(statusOf(nothingStored), Thumbnail::Status::missing);

    ThumbnailRequest gone = bytesRequest({});
    gone.filePath = folder.file(QStringLiteral("gone.png"));
    EXPECT_EQ(statusOf(gone), Thumbnail::Status::missing);
    ThumbnailRequest folderItself = bytesRequest({});
    folderItself.filePath = folder.path();
    EXPECT_EQ(statusOf(folderItself), Thumbnail::Status::folder);
    ThumbnailRequest pipe = bytesRequest({});
    pipe.filePath = folder.file(QStringLiteral("pipe"));
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe.filePath).constData(), 0600), 0);
    EXPECT_EQ(statusOf(pipe), Thumbnail::Status::undecodable) << "not opened: that would wait for a writer";
    ThumbnailRequest picture = bytesRequest({});
    picture.filePath = folder.file(QStringLiteral("photo.png"));
    QImage(640, 480, QImage::Format_RGB32).save(picture.filePath);
    EXPECT_EQ(statusOf(picture), Thumbnail::Status::ready);
}

TEST(ThumbnailCache, StaysWithinItsBudgetDroppingTheLeastRecentlyUsed)
{
    // Each 200 × 100 thumbnail takes 80,000 bytes: three fit, not four.
    ThumbnailCache cache(250'000);
    QList<ThumbnailRequest> requests;
    for (int i = 0; i < 4; ++i) {
        requests.append(bytesRequest(png(400, 200)));
        waitFor(cache, requests.last());
        if (i == 2)
            cache.thumbnail(requests.first()); // used again: the second is now the oldest
    }
    EXPECT_LE(cache.usedBytes(), cache.byteBudget());
    EXPECT_TRUE(cache.thumbnail(requests[0]));
    EXPECT_FALSE(cache.thumbnail(requests[1]));
    EXPECT_TRUE(cache.thumbnail(requests[3]));
}

TEST(ThumbnailCache, ForgettingAClipDropsWhatWasBuiltForItsOldContent)
{
    ThumbnailCache cache;
    QByteArray current = png(400, 200, Qt::red);
    ThumbnailRequest request = bytesRequest({});
    request.readBytes = [&current] { return std::optional<QByteArray>(current); };
    EXPECT_EQ(waitFor(cache, request).image.pixelColor(100, 50), QColor(Qt::red));

    current = png(400, 200, Qt::blue);
    cache.forget(request.clipID);
    EXPECT_EQ(waitFor(cache, request).image.pixelColor(100, 50), QColor(Qt::blue));
}

TEST(ThumbnailCache, KeepsNothingOfAClipDeletedFromTheStore)
{
    TempDir folder;
    ModelContainer container(folder.path());
    ModelContext &context = container.mainContext();
    ThumbnailCache cache;
    cache.forgetClipsRemovedIn(context);
    QList<ClipItemPtr> clips;
    for (int i = 0; i < 2; ++i) {
        clips.append(std::make_shared<ClipItem>(*ClipDraft::fromImage(png(400, 200)), QDateTime::currentDateTime()));
        context.insert(clips.last());
    }
    ASSERT_TRUE(context.save());
    for (const ClipItemPtr &clip : std::as_const(clips)) {
        ThumbnailRequest request = bytesRequest(png(400, 200));
        request.clipID = clip->id();
        waitFor(cache, request);
    }
    const qint64 bothBytes = cache.usedBytes();

    context.remove(clips.first());
    ASSERT_TRUE(context.save());
    EXPECT_EQ(cache.usedBytes(), bothBytes / 2);
}

TEST(ThumbnailCache, ClearingDropsEveryPictureAndEveryBuildUnderWay)
{
    ThumbnailCache cache;
    waitFor(cache, bytesRequest(png(400, 200)));
    std::atomic<bool> released = false;
    std::atomic<bool> read = false;
    ThumbnailRequest slow = bytesRequest(png(400, 200));
    const auto bytes = slow.readBytes;
    slow.readBytes = [&, bytes] {
        while (!released)
            QThread::msleep(1);
        read = true;
        return bytes();
    };
    EXPECT_FALSE(cache.thumbnail(slow));
    QSignalSpy ready(&cache, &ThumbnailCache::ready);

    cache.clear();
    released = true;
    ASSERT_TRUE(QTest::qWaitFor([&] { return read.load(); }));
    QTest::qWait(100); // the finished build's result comes back through the event loop
    EXPECT_EQ(cache.usedBytes(), 0);
    EXPECT_TRUE(ready.isEmpty());
}

TEST(ThumbnailCache, RoundsCornersWhenAsked)
{
    ThumbnailCache cache;
    ThumbnailRequest request = bytesRequest(png(400, 200));
    request.cornerRadius = 20;
    const QImage image = waitFor(cache, request).image;
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(image.pixel(100, 50)), 255);
}

TEST(StoreImageReader, ReadsWhereTheLibraryKeepsEachPicture)
{
    TempDir folder;
    ModelContainer container(folder.path());
    ModelContext &context = container.mainContext();
    const QByteArray inClip = png(64, 64, Qt::red);
    const QByteArray apart = png(64, 64, Qt::green);
    const QByteArray page = png(64, 64, Qt::blue);

    ClipDraft draft;
    draft.kind = ClipKind::image;
    draft.imageData = inClip;
    auto kept = std::make_shared<ClipItem>(draft, QDateTime::currentDateTime());
    auto large = std::make_shared<ClipItem>(draft, QDateTime::currentDateTime());
    large->setImageData(std::nullopt);
    large->setImageIsLocalOnly(true);
    auto link = std::make_shared<ClipItem>(ClipDraft::fromText(QStringLiteral("https://example.org")),
                                           QDateTime::currentDateTime());
    link->setLinkImageData(page);
    auto unsaved = std::make_shared<ClipItem>(draft, QDateTime::currentDateTime());
    context.insert(kept);
    context.insert(large);
    context.insert(std::make_shared<LocalImage>(large->id(), apart));
    context.insert(link);
    ASSERT_TRUE(context.save());

    using Picture = StoreImageReader::Picture;
    EXPECT_EQ(StoreImageReader(folder.path(), *kept, Picture::image).read(), inClip);
    EXPECT_EQ(StoreImageReader(folder.path(), *large, Picture::image).read(), apart);
    EXPECT_EQ(StoreImageReader(folder.path(), *link, Picture::linkImage).read(), page);
    EXPECT_EQ(StoreImageReader(folder.path(), *link, Picture::image).read(), std::nullopt);
    EXPECT_EQ(StoreImageReader(folder.path(), *unsaved, Picture::image).read(), std::nullopt);
    EXPECT_EQ(StoreImageReader(QDir(folder.path()).filePath(QStringLiteral("nowhere")), *kept, Picture::image).read(),
              std::nullopt);
}
