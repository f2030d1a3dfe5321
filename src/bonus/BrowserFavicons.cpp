#include "bonus/BrowserFavicons.h"

#include "bonus/FaviconImage.h"

#include "app/CappedDownload.h"
#include "app/LinkMetadata.h"
#include "platform/Clock.h"
#include "platform/PrivateFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QSaveFile>
#include <QtConcurrent/QtConcurrentRun>

namespace tamo {

namespace {

using Outcome = CappedDownload::Outcome;

bool isAllowedHost(const QString &host)
{
    if (host.isEmpty() || host.size() > 253 || host.startsWith(QLatin1Char('.')))
        return false;
    return std::all_of(host.cbegin(), host.cend(), [](QChar c) {
        return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
               || c == QLatin1Char('.') || c == QLatin1Char('-');
    });
}

bool succeeded(const CappedDownload &download)
{
    return download.outcome() == Outcome::complete;
}

} // namespace

BrowserFavicons::BrowserFavicons(QNetworkAccessManager &network, const Clock &clock, QString folder, FaviconLimits limits)
    : m_network(network)
    , m_clock(clock)
    , m_folder(std::move(folder))
    , m_limits(std::move(limits))
    , m_icons(memoryCount)
{
}

std::optional<QString> BrowserFavicons::filePath(const QString &host) const
{
    return isAllowedHost(host) ? std::optional(m_folder + QLatin1Char('/') + host + QStringLiteral(".png"))
                               : std::nullopt;
}

QImage BrowserFavicons::icon(const QString &host) const
{
    const QImage *image = m_icons.object(host);
    return image ? *image : QImage();
}

void BrowserFavicons::store(const QImage &image, const QString &host)
{
    m_icons.insert(host, new QImage(image));
    ++m_revision;
    emit iconArrived(host);
}

void BrowserFavicons::request(const QString &host)
{
    if (m_icons.contains(host))
        return;
    const std::optional<QString> file = filePath(host);
    if (!file)
        return;
    const QUrl address(m_limits.addressTemplate.arg(host), QUrl::StrictMode);
    if (!address.isValid())
        return;
    const QFileInfo info(*file);
    bool fresh = false;
    if (info.exists()) {
        const QImage image(*file);
        if (!image.isNull()) {
            // A stale file still shows while its replacement is fetched.
            store(image, host);
            fresh = info.lastModified().secsTo(m_clock.now()) < freshDays * 24 * 3600;
        }
    }
    if (fresh || m_requested.contains(host))
        return;
    m_requested.insert(host);
    fetch(host, address, *file);
}

void BrowserFavicons::fetch(const QString &host, const QUrl &address, const QString &file)
{
    const CappedDownload::Options options{m_limits.maxPageBytes, m_limits.timeout, m_limits.maxRedirects,
                                          {"text/html", "application/xhtml+xml"}};
    auto *page = new CappedDownload(m_network, address, options, this);
    connect(page, &CappedDownload::finished, this, [this, page, host, address, file] {
        page->deleteLater();
        if (page->outcome() == Outcome::failed)
            return;
        const LinkMetadata metadata = page->outcome() == Outcome::unusable
                                          ? LinkMetadata()
                                          : parseLinkMetadata(page->body(), page->finalURL(), page->contentType());
        // Only over the page's own scheme: https, never down to http.
        const QUrl iconURL = metadata.iconURL && metadata.iconURL->scheme() == address.scheme()
                                 ? *metadata.iconURL
                                 : address.resolved(QUrl(QStringLiteral("/favicon.ico")));
        fetchIcon(host, iconURL, file);
    });
}

void BrowserFavicons::fetchIcon(const QString &host, const QUrl &iconURL, const QString &file)
{
    const CappedDownload::Options options{m_limits.maxIconBytes, m_limits.timeout, m_limits.maxRedirects, {}};
    auto *download = new CappedDownload(m_network, iconURL, options, this);
    connect(download, &CappedDownload::finished, this, [this, download, host, file] {
        download->deleteLater();
        if (!succeeded(*download))
            return;
        auto *encoding = new QFutureWatcher<std::optional<QByteArray>>(this);
        connect(encoding, &QFutureWatcher<std::optional<QByteArray>>::finished, this, [this, encoding, host, file] {
            encoding->deleteLater();
            const std::optional<QByteArray> png = encoding->result();
            const QImage image = png ? QImage::fromData(*png, "PNG") : QImage();
            if (image.isNull())
                return;
            store(image, host);
            privatefiles::makeFolder(m_folder);
            QSaveFile out(file);
            if (out.open(QIODevice::WriteOnly) && out.setPermissions(QFile::ReadOwner | QFile::WriteOwner)
                && out.write(*png) == png->size())
                out.commit();
        });
        encoding->setFuture(QtConcurrent::run(faviconThumbnail, download->body(), iconSide, m_limits.maxDecodedSide));
    });
}

} // namespace tamo
