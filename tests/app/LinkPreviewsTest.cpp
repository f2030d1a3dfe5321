#include "TinyHttpServer.h"
#include "support/TestImages.h"

#include "app/AddressCheck.h"
#include "app/LinkPreviews.h"
#include "model/DefaultSettings.h"
#include "model/SettingsKeys.h"
#include "model/StoreFixture.h"
#include "platform/Defaults.h"

#include <QImage>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QSignalSpy>
#include <QSslConfiguration>
#include <QTest>

using namespace tamo;
using namespace tamo::testing;
using namespace std::chrono_literals;

namespace {

// Counts requests as they are made, before any byte goes out; trusts the
// test server's certificate.
class CountingNetwork final : public QNetworkAccessManager
{
public:
    CountingNetwork() { setProxy(QNetworkProxy::NoProxy); }
    int requests = 0;

protected:
    QNetworkReply *createRequest(Operation op, const QNetworkRequest &request, QIODevice *data) override
    {
        ++requests;
        QNetworkRequest trusting(request);
        QSslConfiguration tls = trusting.sslConfiguration();
        tls.addCaCertificate(TlsTcpServer::certificate());
        trusting.setSslConfiguration(tls);
        return QNetworkAccessManager::createRequest(op, trusting, data);
    }
};

TinyHttpServer::Route html(const QByteArray &body)
{
    return {"200 OK", {"Content-Type: text/html; charset=utf-8"}, body};
}

TinyHttpServer::Route status(const QByteArray &statusLine)
{
    return {statusLine, {"Content-Type: text/html"}, "<title>Error page</title>"};
}

// The test server is on this computer, which no preview reaches otherwise.
AddressCheck reachingTheTestServer()
{
    AddressCheck check;
    check.allowsURL = [](const QUrl &url) { return url.host() == u"127.0.0.1" || isPublicWebURL(url); };
    check.allowsAddress = [](const QHostAddress &address) { return address.isLoopback() || isPublicAddress(address); };
    return check;
}

// A name service that answers what `answer` says, a moment later.
AddressCheck::Lookup answering(std::function<QList<QHostAddress>(const QString &host)> answer)
{
    return [answer = std::move(answer)](const QString &host, QObject *context, auto found) {
        QMetaObject::invokeMethod(context, [found, addresses = answer(host)] { found(addresses); },
                                  Qt::QueuedConnection);
    };
}

QHostAddress address(const char *text)
{
    return QHostAddress(QString::fromLatin1(text));
}

class LinkPreviewsTest : public StoreFixture
{
protected:
    LinkPreviewsTest()
    {
        registerDefaultSettings(defaults);
        previews.setTimeout(500ms);
    }

    ClipItemPtr addLink(const QByteArray &path)
    {
        auto clip = addClip(server.url(path).toString(), clock.now());
        context().save();
        return clip;
    }

    void fetch(const ClipItemPtr &clip) { fetchThrough(previews, clip); }

    static void fetchThrough(LinkPreviews &fetcher, const ClipItemPtr &clip)
    {
        QSignalSpy ended(&fetcher, &LinkPreviews::fetchEnded);
        fetcher.request(clip);
        ASSERT_TRUE(ended.wait(5000));
    }

    TinyHttpServer server;
    Defaults defaults{dir.file("defaults.json")};
    CountingNetwork network;
    LinkPreviews previews{context(), defaults, network, reachingTheTestServer()};
};

struct Expected
{
    const char *path;
    std::optional<QString> title;
    QSize imageSize;
    bool fetched;
};

TEST_F(LinkPreviewsTest, StoresWhatEachAnswerGives)
{
    const QByteArray ogPage = "<html><head><meta property=\"og:title\" content=\"Open Graph Title\">"
                              "<meta property=\"og:image\" content=\"card.png\"><title>Fallback</title></head></html>";
    server.route("/pages/og.html", html(ogPage));
    server.route("/pages/card.png", {"200 OK", {"Content-Type: image/png"}, encodedImage({1200, 630}, Qt::red)});
    server.route("/moved", {"302 Found", {"Location: /pages/og.html"}, {}});
    server.route("/title-only.html", html("<title>Plain Title</title><p>text</p>"));
    server.route("/bare.html", html("<p>nothing to show</p>"));
    server.route("/huge.html", {.headers = {"Content-Type: text/html"}, .body = "<title>Huge Page</title>", .streamedBytes = 64 << 20});
    server.route("/report.pdf", {"200 OK", {"Content-Type: application/pdf"}, "%PDF-1.7"});
    server.route("/lost-image.html", html("<title>Lost Image</title><meta property=og:image content=/nothing.png>"));
    server.route("/busy.html", status("503 Service Unavailable"));
    server.route("/silent.html", {.headers = {}, .body = {}, .silent = true});
    server.route("/flaky-image.html", html("<title>Flaky Image</title><meta property=og:image content=/busy.html>"));

    const Expected cases[] = {
        {"/pages/og.html", "Open Graph Title", {600, 315}, true},
        {"/moved", "Open Graph Title", {600, 315}, true}, // the image is found relative to the new address
        {"/title-only.html", "Plain Title", {}, true},
        {"/bare.html", std::nullopt, {}, true},
        {"/huge.html", "Huge Page", {}, true},
        {"/gone.html", std::nullopt, {}, true},
        {"/report.pdf", std::nullopt, {}, true},
        {"/lost-image.html", "Lost Image", {}, true},
        {"/busy.html", std::nullopt, {}, false},
        {"/silent.html", std::nullopt, {}, false},
        {"/flaky-image.html", "Flaky Image", {}, false}, // the title is kept, the image tried again later
    };
    for (const Expected &expected : cases) {
        SCOPED_TRACE(expected.path);
        const ClipItemPtr clip = addLink(expected.path);
        fetch(clip);
        EXPECT_EQ(clip->linkTitle(), expected.title);
        const auto image = clip->linkImageData();
        EXPECT_EQ(image ? QImage::fromData(*image).size() : QSize(), expected.imageSize);
        EXPECT_EQ(clip->linkPreviewFetched(), expected.fetched);
        EXPECT_FALSE(context().hasChanges());
    }
    EXPECT_LT(server.bytesSent(), 16 << 20); // the huge page was not read to its end
}

TEST_F(LinkPreviewsTest, TriesAClipOncePerRun)
{
    server.route("/busy.html", status("503 Service Unavailable"));
    const ClipItemPtr clip = addLink("/busy.html");
    QSignalSpy ended(&previews, &LinkPreviews::fetchEnded);

    previews.request(clip);
    previews.request(clip);
    ASSERT_TRUE(ended.wait(5000));
    previews.request(clip);

    EXPECT_EQ(network.requests, 1);
    EXPECT_FALSE(clip->linkPreviewFetched());
}

TEST_F(LinkPreviewsTest, FetchesNothingItShouldNot)
{
    const ClipItemPtr link = addLink("/page.html");
    const ClipItemPtr text = addClip(QStringLiteral("not a link"), clock.now());
    const ClipItemPtr done = addLink("/done.html");
    done->setLinkPreviewFetched(true);
    const auto unsaved = std::make_shared<ClipItem>(ClipDraft::fromText(server.url("/x").toString()), clock.now());
    context().save();

    defaults.setValue(keys::linkPreviews, false);
    previews.request(link);
    defaults.setValue(keys::linkPreviews, true);
    for (const ClipItemPtr &clip : {text, done, unsaved})
        previews.request(clip);
    EXPECT_EQ(network.requests, 0);

    previews.request(link); // not counted as tried while the setting was off
    EXPECT_TRUE(QTest::qWaitFor([&] { return network.requests == 1; }));
}

TEST(AddressCheckTest, OnlyPublicAddressesArePublic)
{
    const std::pair<const char *, bool> cases[] = {
        {"93.184.216.34", true},  {"2606:2800:220:1::1", true}, {"8.8.8.8", true},
        {"127.0.0.1", false},     {"127.8.9.10", false},        {"::1", false},
        {"10.1.2.3", false},      {"172.16.0.1", false},        {"172.31.255.255", false},
        {"172.32.0.1", true},     {"192.168.1.1", false},       {"100.64.0.1", false}, // carrier NAT
        {"169.254.169.254", false}, {"fe80::1", false},         {"fd12:3456::1", false},
        {"0.0.0.0", false},       {"::", false},                {"224.0.0.251", false},
        {"255.255.255.255", false}, {"::ffff:192.168.1.1", false}, {"::ffff:93.184.216.34", true},
        {"192.0.2.10", false},    {"2001:db8::1", false},
        {"100.127.255.1", false}, {"100.128.0.1", true}, // the whole of carrier NAT, not a byte more
        {"::127.0.0.1", false},   {"::93.184.216.34", false}, // IPv4-compatible: deprecated, never public
        {"64:ff9b::7f00:1", false}, {"64:ff9b::c0a8:101", false}, {"64:ff9b::5db8:d822", true}, // NAT64
        {"2002:c0a8:101::1", false}, {"2002:7f00:1::", false}, {"2002:5db8:d822::1", true},     // 6to4
    };
    for (const auto &[address, isPublic] : cases)
        EXPECT_EQ(isPublicAddress(QHostAddress(QString::fromLatin1(address))), isPublic) << address;
}

TEST(AddressCheckTest, OnlyHttpsToPublicHostsIsAPublicWebURL)
{
    const std::pair<const char *, bool> cases[] = {
        {"https://example.com/page", true},
        {"https://93.184.216.34/", true},
        {"http://example.com/page", false}, // in the clear
        {"ftp://example.com/", false},
        {"https://localhost/", false},
        {"https://LOCALHOST./", false},
        {"https://app.localhost/", false},
        {"https://router/", false}, // one label: a local search domain answers
        {"https://router./", false},
        {"https://printer.local/", false},
        {"https://nas.lan/", false},
        {"https://wiki.internal/", false},
        {"https://box.home.arpa/", false},
        {"https://127.0.0.1/", false},
        {"https://[::1]:8443/", false},
        {"https://[::127.0.0.1]/", false},
        {"https://192.168.1.1/admin", false},
        {"https://169.254.169.254/latest/meta-data", false},
    };
    for (const auto &[url, isPublic] : cases)
        EXPECT_EQ(isPublicWebURL(QUrl(QString::fromLatin1(url))), isPublic) << url;
}

// Links to this computer or the local network are never asked, nor are names
// that stand for such an address, whatever they look like.
TEST_F(LinkPreviewsTest, NeverAsksThisComputerOrTheLocalNetwork)
{
    const QHash<QString, QList<QHostAddress>> names{
        {QStringLiteral("intranet.example"), {QHostAddress(QStringLiteral("10.0.0.5"))}},
        {QStringLiteral("mixed.example"),
         {QHostAddress(QStringLiteral("93.184.216.34")), QHostAddress(QStringLiteral("192.168.1.1"))}},
        {QStringLiteral("public.example"), {QHostAddress(QStringLiteral("93.184.216.34"))}},
    };
    AddressCheck standard;
    standard.lookup = answering([&](const QString &host) { return names.value(host); });
    LinkPreviews guarded{context(), defaults, network, standard};
    QSignalSpy ended(&guarded, &LinkPreviews::fetchEnded);

    enum Refusal { asWritten, byItsAddresses, forNow };
    const std::pair<const char *, Refusal> refused[] = {
        {"http://public.example/", asWritten},     {"https://localhost/", asWritten},
        {"https://127.0.0.1/", asWritten},         {"https://[::1]/", asWritten},
        {"https://192.168.1.1/admin", asWritten},  {"https://169.254.169.254/latest", asWritten},
        {"https://router/", asWritten},            {"https://printer.local/", asWritten},
        {"https://intranet.example/", byItsAddresses}, {"https://mixed.example/", byItsAddresses},
        {"https://unknown.example/", forNow}, // not found now: tried again on a later run
    };
    for (const auto &[link, refusal] : refused) {
        SCOPED_TRACE(link);
        const ClipItemPtr clip = addClip(QString::fromLatin1(link), clock.now());
        context().save();
        guarded.request(clip);
        if (refusal != asWritten) {
            ASSERT_TRUE(ended.wait(5000));
            EXPECT_EQ(clip->linkPreviewFetched(), refusal == byItsAddresses);
        }
        EXPECT_EQ(network.requests, 0);
        EXPECT_FALSE(clip->linkTitle());
    }

    const ClipItemPtr allowed = addClip(QStringLiteral("https://public.example/"), clock.now());
    context().save();
    guarded.request(allowed);
    EXPECT_TRUE(QTest::qWaitFor([&] { return network.requests == 1; }));
}

// A page that moves to, or names an image on, an address the check refuses
// does not lead the fetch there.
TEST_F(LinkPreviewsTest, RedirectsAndImagesAreCheckedToo)
{
    // The test server under a name only this computer has.
    QUrl local = server.url("/secret");
    local.setHost(QStringLiteral("localhost"));
    server.route("/secret", html("<title>Secret</title>"));
    server.route("/moves-inwards", {"302 Found", {"Location: " + local.toEncoded()}, {}});
    server.route("/image-inwards.html", html("<title>Outside</title><meta property=og:image content=\""
                                             + local.toEncoded() + "\">"));
    const Expected cases[] = {
        {"/moves-inwards", std::nullopt, {}, true},
        {"/image-inwards.html", "Outside", {}, true},
    };
    for (const Expected &expected : cases) {
        SCOPED_TRACE(expected.path);
        const ClipItemPtr clip = addLink(expected.path);
        fetch(clip);
        EXPECT_EQ(clip->linkTitle(), expected.title);
        EXPECT_FALSE(clip->linkImageData());
        EXPECT_EQ(clip->linkPreviewFetched(), expected.fetched);
    }
    EXPECT_EQ(server.hits("/secret"), 0);
}

// A name may answer a checked address first and an inward one when it is
// looked up again: the fetch connects only to the addresses that passed, and
// the server still hears the name. Here 127.0.0.2 (and .3) stand for public
// hosts and 127.0.0.1, which the system's own lookup of "localhost" answers,
// for the local network; both serve the same port.
TEST_F(LinkPreviewsTest, ConnectsOnlyToTheAddressesThatPassed)
{
    TinyHttpServer outside{TinyHttpServer::Scheme::http, address("127.0.0.2"), server.port()};
    ASSERT_EQ(outside.port(), server.port());
    const QByteArray port = QByteArray::number(server.port());
    outside.route("/page.html", html("<title>Outside</title>"));
    outside.route("/moves-to-name", {"302 Found", {"Location: http://localhost:" + port + "/page.html"}, {}});
    outside.route("/moves-inwards", {"302 Found", {"Location: http://inward.example:" + port + "/page.html"}, {}});
    server.route("/page.html", html("<title>Inside</title>"));

    int localhostLookups = 0;
    AddressCheck check;
    check.allowsURL = [](const QUrl &) { return true; };
    check.allowsAddress = [](const QHostAddress &candidate) {
        return candidate.isLoopback() && candidate != QHostAddress(QHostAddress::LocalHost);
    };
    check.lookup = answering([&](const QString &host) -> QList<QHostAddress> {
        if (host == u"localhost")
            return {address(localhostLookups++ == 0 ? "127.0.0.2" : "127.0.0.1")};
        if (host == u"inward.example")
            return {address("127.0.0.1")};
        if (host == u"two.example")
            return {address("127.0.0.3"), address("127.0.0.2")}; // nothing listens on the first
        return {};
    });
    LinkPreviews guarded{context(), defaults, network, check};

    struct Case
    {
        const char *link;
        std::optional<QString> title;
        const char *hostHeard; // by the last request outside
    };
    const Case cases[] = {
        {"http://localhost:%1/page.html", "Outside", "localhost"},
        {"http://127.0.0.2:%1/moves-to-name", "Outside", "localhost"},
        {"http://two.example:%1/page.html", "Outside", "two.example"},
        {"http://127.0.0.2:%1/moves-inwards", std::nullopt, "127.0.0.2"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.link);
        localhostLookups = 0;
        const ClipItemPtr clip = addClip(QString::fromLatin1(c.link).arg(server.port()), clock.now());
        context().save();
        fetchThrough(guarded, clip);
        EXPECT_EQ(clip->linkTitle(), c.title);
        EXPECT_TRUE(clip->linkPreviewFetched());
        EXPECT_TRUE(outside.lastRequest().toLower().contains("\r\nhost: " + QByteArray(c.hostHeard) + ":" + port + "\r\n"))
            << outside.lastRequest().constData();
    }
    EXPECT_EQ(server.hits("/page.html"), 0);
}

// Asked at its address, a server still shows the name's certificate.
TEST_F(LinkPreviewsTest, TheCertificateMustBeTheNames)
{
    TinyHttpServer secure{TinyHttpServer::Scheme::https};
    secure.route("/page.html", html("<title>Secure</title>"));
    AddressCheck check = reachingTheTestServer();
    check.allowsURL = [](const QUrl &) { return true; };
    check.lookup = answering([](const QString &) { return QList<QHostAddress>{address("127.0.0.1")}; });
    LinkPreviews guarded{context(), defaults, network, check};

    const std::pair<const char *, std::optional<QString>> cases[] = {
        {"localhost", "Secure"}, // the certificate's own name
        {"elsewhere.example", std::nullopt},
    };
    for (const auto &[host, title] : cases) {
        SCOPED_TRACE(host);
        QUrl link = secure.url("/page.html");
        link.setHost(QString::fromLatin1(host));
        const ClipItemPtr clip = addClip(link.toString(), clock.now());
        context().save();
        fetchThrough(guarded, clip);
        EXPECT_EQ(clip->linkTitle(), title);
        EXPECT_EQ(clip->linkPreviewFetched(), title.has_value());
    }
}

TEST_F(LinkPreviewsTest, DropsTheResultForAClipDeletedMeanwhile)
{
    server.route("/slow.html", {.headers = {"Content-Type: text/html"}, .body = "<title>Too Late</title>", .held = true});
    const ClipItemPtr clip = addLink("/slow.html");
    QSignalSpy ended(&previews, &LinkPreviews::fetchEnded);
    previews.request(clip);
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.hits("/slow.html") == 1; }));

    context().remove(clip);
    context().save();
    server.releaseHeld();
    ASSERT_TRUE(ended.wait(5000));

    EXPECT_FALSE(clip->linkTitle());
    EXPECT_FALSE(context().hasChanges());
    EXPECT_EQ(context().fetchCount<ClipItem>(), 0);
}

TEST_F(LinkPreviewsTest, TurningPreviewsOffStopsFetchesUnderWay)
{
    server.route("/page.html", {.headers = {"Content-Type: text/html"}, .body = "<title>Page</title>", .held = true});
    const ClipItemPtr clip = addLink("/page.html");
    QSignalSpy ended(&previews, &LinkPreviews::fetchEnded);
    previews.request(clip);
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.hits("/page.html") == 1; }));

    defaults.setValue(keys::linkPreviews, false);
    server.releaseHeld();
    EXPECT_EQ(ended.count(), 0);
    EXPECT_FALSE(clip->linkTitle());

    server.route("/page.html", html("<title>Page</title>"));
    defaults.setValue(keys::linkPreviews, true);
    previews.request(clip);
    ASSERT_TRUE(ended.wait(5000));
    EXPECT_EQ(ended.count(), 1);
    EXPECT_EQ(clip->linkTitle(), u"Page");
    EXPECT_TRUE(clip->linkPreviewFetched());
}

} // namespace
