#include "app/TinyHttpServer.h"
#include "support/FakeAlerts.h"
#include "support/FakeClock.h"
#include "support/FakeWorkspace.h"
#include "support/TempDir.h"

#include "model/DefaultSettings.h"
#include "model/ProductLinks.h"
#include "model/SettingsKeys.h"
#include "onboarding/UpdateChecker.h"
#include "onboarding/UpdateFeed.h"
#include "onboarding/WelcomeClips.h"
#include "platform/Defaults.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkRequest>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace tamo::testing {
namespace {

TEST(UpdateFeedTest, DecodesOnlyWellFormedFeeds)
{
    const struct {
        const char *json;
        bool decodes;
        const char *notes;
    } cases[] = {
        {R"({"version":"2.0","build":120,"url":"https://tamocove.app/dl","notes":"Faster"})", true, "Faster"},
        {R"({"version":"2.0","build":120,"url":"https://tamocove.app/dl","notes":null,"extra":1})", true, nullptr},
        {R"({"version":"2.0","build":-3,"url":"https://tamocove.app/dl"})", true, nullptr},
        {R"({"version":"2.0","build":"120","url":"https://tamocove.app/dl"})", false, nullptr},
        {R"({"version":"2.0","build":1.5,"url":"https://tamocove.app/dl"})", false, nullptr},
        // Builds are signed 64-bit numbers.
        {R"({"version":"2.0","build":3000000000,"url":"https://tamocove.app/dl"})", true, nullptr},
        {R"({"version":"2.0","build":9223372036854775807,"url":"https://tamocove.app/dl"})", true, nullptr},
        {R"({"version":"2.0","build":9223372036854775808,"url":"https://tamocove.app/dl"})", false, nullptr},
        {R"({"version":"2.0","build":1e300,"url":"https://tamocove.app/dl"})", false, nullptr},
        {R"({"version":2,"build":120,"url":"https://tamocove.app/dl"})", false, nullptr},
        {R"({"build":120,"url":"https://tamocove.app/dl"})", false, nullptr},
        {R"({"version":"2.0","build":120,"url":"https://tamocove.app/dl","notes":5})", false, nullptr},
        // The download link is opened by the desktop: nothing but the web, and only over TLS.
        {R"({"version":"2.0","build":120,"url":"file:///usr/bin/xterm"})", false, nullptr},
        {R"({"version":"2.0","build":120,"url":"http://tamocove.app/dl"})", false, nullptr},
        {R"({"version":"2.0","build":120,"url":"not a link"})", false, nullptr},
        {R"([1,2])", false, nullptr},
        {"<html>Bad gateway</html>", false, nullptr},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.json);
        const auto feed = decodeUpdateFeed(QByteArray(c.json));
        if (feed) {
            EXPECT_EQ(QByteArray::number(feed->release.build), QJsonDocument::fromJson(c.json)["build"].toVariant().toByteArray());
        }
        ASSERT_EQ(feed.has_value(), c.decodes);
        if (feed) {
            EXPECT_EQ(feed->notes, c.notes ? std::optional(QString::fromUtf8(c.notes)) : std::nullopt);
        }
    }
}

// Counts the requests as they are made, so a test knows at once whether a
// check started; trusts the test server's certificate.
class CountingNetwork : public QNetworkAccessManager
{
public:
    QList<QNetworkRequest> requests;

protected:
    QNetworkReply *createRequest(Operation op, const QNetworkRequest &request, QIODevice *data) override
    {
        requests.append(request);
        QNetworkRequest trusting(request);
        QSslConfiguration tls = trusting.sslConfiguration();
        tls.addCaCertificate(TlsTcpServer::certificate());
        trusting.setSslConfiguration(tls);
        return QNetworkAccessManager::createRequest(op, trusting, data);
    }
};

class HidingDrawer : public DrawerPanel
{
public:
    int hides = 0;
    void hide(bool animated) override
    {
        EXPECT_FALSE(animated);
        ++hides;
    }
};

QByteArray feed(qint64 build, const char *notes = nullptr)
{
    QByteArray json = R"({"version":"2.)" + QByteArray::number(build) + R"(","build":)" + QByteArray::number(build)
                      + R"(,"url":"https://tamocove.app/download")";
    if (notes)
        json += R"(,"notes":")" + QByteArray(notes) + '"';
    return json + '}';
}

class UpdateCheckerTest : public ::testing::Test
{
protected:
    UpdateCheckerTest()
    {
        registerDefaultSettings(defaults);
        defaults.setValue(keys::updateFeedURL, server.url("/version.json").toString());
    }

    void serve(const QByteArray &body, const QByteArray &status = "200 OK")
    {
        server.route("/version.json", {status, {"Content-Type: application/json"}, body});
    }

    std::optional<UpdateRelease> fetch()
    {
        std::optional<std::optional<UpdateRelease>> result;
        checker.fetchLatest(&checker, [&](std::optional<UpdateRelease> release) { result = release; });
        EXPECT_TRUE(QTest::qWaitFor([&] { return result.has_value(); }, 5000));
        return result.value_or(std::nullopt);
    }

    // Runs one check to its end: the manager announces a reply after the
    // checker has handled it.
    void checkAndWait(bool userInitiated)
    {
        clock.advance(1000);
        QSignalSpy replies(&network, &QNetworkAccessManager::finished);
        checker.check(userInitiated);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !replies.isEmpty(); }, 5000));
    }

    TempDir dir;
    Defaults defaults{dir.file(QStringLiteral("defaults.json"))};
    FakeClock clock;
    CountingNetwork network;
    FakeAlerts alerts;
    FakeWorkspace workspace;
    HidingDrawer drawer;
    TinyHttpServer server{TinyHttpServer::Scheme::https};
    UpdateChecker checker{{defaults, clock, network, alerts, workspace, drawer}, QStringLiteral("1.5"), 100};
};

// The about texts, the feed request and the support report all name this one.
TEST_F(UpdateCheckerTest, UnlessToldOtherwiseItIsThisProgramsVersion)
{
    const UpdateChecker running({defaults, clock, network, alerts, workspace, drawer});
    EXPECT_EQ(running.currentVersion(), product::version());
    EXPECT_EQ(running.currentBuild(), product::build());
    EXPECT_NE(product::version(), QStringLiteral("?")) << "the build gives the version";
}

TEST_F(UpdateCheckerTest, FetchReadsOnlyASuccessfulAnswerAndDatesOnlyAGoodOne)
{
    serve(feed(120));
    const auto release = fetch();
    ASSERT_TRUE(release.has_value());
    EXPECT_EQ(release->build, 120);
    EXPECT_EQ(defaults.date(keys::lastUpdateCheck), clock.now());
    ASSERT_EQ(network.requests.size(), 1);
    EXPECT_EQ(network.requests[0].header(QNetworkRequest::UserAgentHeader).toString(), QStringLiteral("TamoCove/1.5"));
    EXPECT_EQ(network.requests[0].transferTimeout(), 20000);

    const QDateTime lastGood = clock.now();
    const struct
    {
        const char *name;
        QByteArray status;
        QByteArray body;
    } failures[] = {
        {"not found", "404 Not Found", feed(130)},
        {"server error", "500 Internal Server Error", feed(130)},
        {"half a feed", "200 OK", "{\"version\":"},
    };
    for (const auto &c : failures) {
        SCOPED_TRACE(c.name);
        clock.advance(60 * 1000);
        serve(c.body, c.status);
        EXPECT_FALSE(fetch().has_value());
    }
    defaults.setValue(keys::updateFeedURL, QStringLiteral("https://127.0.0.1:1/version.json"));
    EXPECT_FALSE(fetch().has_value());
    EXPECT_EQ(defaults.date(keys::lastUpdateCheck), lastGood);
}

// A feed read in the clear could offer anyone's download: it is never asked.
TEST_F(UpdateCheckerTest, APlainHttpFeedIsNeverRead)
{
    TinyHttpServer plain;
    plain.route("/version.json", {"200 OK", {"Content-Type: application/json"}, feed(130)});
    const QString address = plain.url("/version.json").toString();
    // The setting refuses it and reads as the product's own feed…
    defaults.setValue(keys::updateFeedURL, address);
    EXPECT_EQ(defaults.string(keys::updateFeedURL), ProductLinks::updateFeed().toString());

    // … and the check refuses it wherever it comes from.
    Defaults unchecked{dir.file(QStringLiteral("unchecked.json"))};
    unchecked.setValue(keys::updateFeedURL, address);
    UpdateChecker reading{{unchecked, clock, network, alerts, workspace, drawer}, QStringLiteral("1.5"), 100};
    std::optional<std::optional<UpdateRelease>> result;
    reading.fetchLatest(&reading, [&](std::optional<UpdateRelease> release) { result = release; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return result.has_value(); }, 5000));
    EXPECT_FALSE(result->has_value());
    EXPECT_TRUE(network.requests.isEmpty());
    EXPECT_EQ(plain.hits("/version.json"), 0);
}

// The About page, the feed and the welcome clips name one site.
TEST(ProductLinksTest, EveryAddressOfOursIsOnTheOneSite)
{
    TempDir dir;
    Defaults defaults{dir.file(QStringLiteral("defaults.json"))};
    registerDefaultSettings(defaults);
    QList<QUrl> ours{ProductLinks::website(), QUrl(defaults.string(keys::updateFeedURL).value_or(QString()))};
    for (const WelcomeClips::Link &link : WelcomeClips::links()) {
        if (link.title.startsWith(QLatin1String("TamoCove")))
            ours.append(QUrl(link.url));
    }
    ASSERT_EQ(ours.size(), 5);
    for (const QUrl &url : ours) {
        EXPECT_EQ(url.scheme(), QStringLiteral("https")) << url.toString().toStdString();
        EXPECT_EQ(url.host(), ProductLinks::websiteHost()) << url.toString().toStdString();
    }
}

TEST_F(UpdateCheckerTest, AlertsFollowTheBuildsAndWhoAsked)
{
    const struct {
        const char *name;
        QByteArray body;
        bool userInitiated;
        const char *message; // nullptr: silent
    } cases[] = {
        {"asked, unreadable", "oops", true, "Couldn't check for updates"},
        {"automatic, unreadable", "oops", false, nullptr},
        {"asked, same build", feed(100), true, "You're up to date"},
        {"asked, ahead of the release", feed(90), true, "You're up to date"},
        {"automatic, same build", feed(100), false, nullptr},
        {"automatic, newer", feed(101), false, "TamoCove 2.101 is available"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        serve(c.body);
        const qsizetype before = alerts.shown().size();
        if (c.message)
            alerts.answer(int(c.message[0] == 'T')); // "Later" on the update alert
        checkAndWait(c.userInitiated);
        if (!c.message) {
            EXPECT_EQ(alerts.shown().size(), before);
            continue;
        }
        ASSERT_EQ(alerts.shown().size(), before + 1);
        EXPECT_EQ(alerts.shown().last().message, QString::fromUtf8(c.message));
        EXPECT_EQ(drawer.hides, before + 1);
    }
    EXPECT_EQ(alerts.shown()[2].informativeText, QStringLiteral("TamoCove 1.5 is the newest version."));
    EXPECT_TRUE(workspace.openedURLs().isEmpty());
}

TEST_F(UpdateCheckerTest, ANewBuildIsAnnouncedOnceUnlessAsked)
{
    serve(feed(130, "Pinboards sync faster."));
    alerts.answer(1);
    checkAndWait(false);
    ASSERT_EQ(alerts.shown().size(), 1);
    EXPECT_EQ(alerts.shown()[0].informativeText,
              QStringLiteral("You have TamoCove 1.5.\n\nPinboards sync faster.\n\n"
                             "Download it, then install it to replace this version."));
    EXPECT_EQ(alerts.shown()[0].buttons, (QStringList{"Download", "Later"}));
    EXPECT_EQ(defaults.integer(keys::announcedUpdateBuild), 130);

    checkAndWait(false);
    EXPECT_EQ(alerts.shown().size(), 1);

    alerts.answer(0);
    checkAndWait(true);
    ASSERT_EQ(alerts.shown().size(), 2);
    EXPECT_EQ(workspace.openedURLs(), QList<QUrl>{QUrl(QStringLiteral("https://tamocove.app/download"))});
}

TEST_F(UpdateCheckerTest, ChecksByItselfOnlyOnceADayHasPassed)
{
    serve(feed(100));
    const struct {
        const char *name;
        bool enabled;
        std::optional<qint64> hoursAgo;
        bool checks;
    } cases[] = {
        {"never checked", true, std::nullopt, true},
        {"a day ago", true, 24, true},
        {"23 hours ago", true, 23, false},
        {"in the future", true, -2, false},
        {"switched off", false, std::nullopt, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        defaults.setValue(keys::checkForUpdates, c.enabled);
        defaults.setValue(keys::lastUpdateCheck,
                          c.hoursAgo ? QVariant(clock.now().addSecs(-*c.hoursAgo * 3600)) : QVariant());
        const qsizetype before = network.requests.size();
        checker.checkIfDue();
        EXPECT_EQ(network.requests.size() > before, c.checks);
    }
}

} // namespace
} // namespace tamo::testing
