#include "app/TinyHttpServer.h"
#include "bonus/BrowserFavicons.h"
#include "model/ImageEncoding.h"
#include "support/FakeClock.h"
#include "support/TempDir.h"

#include <QFile>
#include <QImage>
#include <QNetworkAccessManager>
#include <QTest>
#include <gtest/gtest.h>

using namespace tamo;
using namespace tamo::testing;

namespace {

const QString host = QStringLiteral("127.0.0.1");

QByteArray pngOf(QColor colour, int side)
{
    QImage image(side, side, QImage::Format_ARGB32);
    image.fill(colour);
    return encodePng(image);
}

// Sites on a loopback server; the clock decides what counts as fresh.
class FaviconsTest : public ::testing::Test
{
protected:
    FaviconsTest()
    {
        server.route("/", {"200 OK", {"Content-Type: text/html"}, "<head><link rel='shortcut icon' href='/i.png'></head>"});
        server.route("/i.png", {"200 OK", {"Content-Type: image/png"}, pngOf(Qt::red, 128)});
    }

    FaviconLimits limits() const
    {
        FaviconLimits limits;
        limits.addressTemplate = QStringLiteral("http://%1:") + QString::number(server.url("/").port()) + QStringLiteral("/");
        limits.timeout = std::chrono::milliseconds(3000);
        return limits;
    }

    // A file on disk last changed the given number of days ago.
    void writeIcon(int daysOld)
    {
        writeFile(favicons.filePath(host).value(), pngOf(Qt::blue, 16));
        QFile file(favicons.filePath(host).value());
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        file.setFileTime(clock.now().addDays(-daysOld), QFileDevice::FileModificationTime);
    }


    TempDir dir;
    TinyHttpServer server;
    FakeClock clock{QDateTime::currentDateTime()};
    QNetworkAccessManager network;
    BrowserFavicons favicons{network, clock, dir.path(), limits()};
};

TEST_F(FaviconsTest, OnlySafeHostsHaveAFile)
{
    EXPECT_TRUE(favicons.filePath(QStringLiteral("example.com")));
    for (const QString &bad : {QStringLiteral("under_score.com"), QStringLiteral("Upper.com"), QStringLiteral(".hidden"),
                               QStringLiteral("../etc"), QString(), QString(254, QLatin1Char('a'))}) {
        EXPECT_FALSE(favicons.filePath(bad)) << bad.toStdString();
        favicons.request(bad);
    }
    QTest::qWait(50);
    EXPECT_EQ(server.hits("/"), 0);
}

TEST_F(FaviconsTest, FetchesOnceScaledDownAndKeepsTheFile)
{
    favicons.request(host);
    favicons.request(host);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !favicons.icon(host).isNull(); }, 5000));
    EXPECT_EQ(server.hits("/"), 1) << "one fetch per host";
    EXPECT_EQ(favicons.icon(host).size(), QSize(64, 64));
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(favicons.filePath(host).value()); }, 2000));
}

TEST_F(FaviconsTest, AFileYoungerThanThirtyDaysIsNotFetchedAgain)
{
    writeIcon(29);
    favicons.request(host);
    EXPECT_EQ(favicons.icon(host).pixelColor(0, 0), QColor(Qt::blue));
    QTest::qWait(100);
    EXPECT_EQ(server.hits("/"), 0);
}

TEST_F(FaviconsTest, AnOlderFileShowsAndIsFetchedOnce)
{
    writeIcon(31);
    favicons.request(host);
    EXPECT_EQ(favicons.icon(host).pixelColor(0, 0), QColor(Qt::blue)) << "shown while the new one comes";
    ASSERT_TRUE(QTest::qWaitFor([&] { return favicons.icon(host).pixelColor(0, 0) == QColor(Qt::red); }, 5000));
    EXPECT_EQ(server.hits("/"), 1);
}

TEST_F(FaviconsTest, AFailedFetchIsNotRetriedThisRunAndHugeIconsAreRefused)
{
    server.route("/i.png", {"200 OK", {"Content-Type: image/png"}, pngOf(Qt::red, 2048)});
    favicons.request(host);
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.hits("/i.png") == 1; }, 5000));
    QTest::qWait(200);
    EXPECT_TRUE(favicons.icon(host).isNull());
    favicons.request(host);
    QTest::qWait(100);
    EXPECT_EQ(server.hits("/"), 1);
}

TEST_F(FaviconsTest, WithoutAnIconLinkTheSitesFaviconIsUsed)
{
    server.route("/", {"200 OK", {"Content-Type: text/html"}, "<title>no icon here</title>"});
    server.route("/favicon.ico", {"200 OK", {"Content-Type: image/png"}, pngOf(Qt::green, 32)});
    favicons.request(host);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !favicons.icon(host).isNull(); }, 5000));
    EXPECT_EQ(favicons.icon(host).size(), QSize(32, 32));
}

} // namespace
