#include "app/LinkPreviewFetch.h"

#include "app/LinkMetadata.h"
#include "model/ImageEncoding.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QtConcurrent/QtConcurrentRun>

namespace tamo {

namespace {

using Outcome = CappedDownload::Outcome;

// The image scaled to fit a square of maxSide, as JPEG unless it has
// transparency; nothing for bytes that are no readable image.
std::optional<QByteArray> makeThumbnail(const QByteArray &bytes, int maxSide)
{
    QBuffer source;
    source.setData(bytes);
    source.open(QIODevice::ReadOnly);
    QImageReader reader(&source);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    const QSize box(maxSide, maxSide);
    if (size.isValid() && (size.width() > maxSide || size.height() > maxSide))
        reader.setScaledSize(size.scaled(box, Qt::KeepAspectRatio)); // lets JPEG decode at the smaller size
    QImage image = reader.read();
    if (image.isNull())
        return std::nullopt;
    if (image.width() > maxSide || image.height() > maxSide)
        image = image.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    const QByteArray encoded = image.hasAlphaChannel() ? encodePng(image) : encodeImage(image, "JPEG", 85);
    return encoded.isEmpty() ? std::nullopt : std::optional(encoded);
}

} // namespace

LinkPreviewFetch::LinkPreviewFetch(QNetworkAccessManager &network, const QUrl &url, const LinkFetchLimits &limits,
                                   AddressCheck addresses, QObject *parent)
    : QObject(parent), m_network(network), m_limits(limits), m_addresses(std::move(addresses))
{
    connect(&m_thumbnail, &QFutureWatcher<std::optional<QByteArray>>::finished, this,
            &LinkPreviewFetch::thumbnailReady);
    download(url,
             {limits.maxPageBytes, limits.timeout, limits.maxRedirects, {"text/html", "application/xhtml+xml"}},
             &LinkPreviewFetch::pageFinished);
}

void LinkPreviewFetch::download(const QUrl &url, CappedDownload::Options options,
                                void (LinkPreviewFetch::*finished)())
{
    options.addresses = &m_addresses;
    m_download = new CappedDownload(m_network, url, options, this);
    connect(m_download, &CappedDownload::finished, this, finished);
}

void LinkPreviewFetch::pageFinished()
{
    CappedDownload *page = std::exchange(m_download, nullptr);
    page->deleteLater();
    switch (page->outcome()) {
    case Outcome::failed:
        done(false);
        return;
    case Outcome::unusable:
        done(true);
        return;
    case Outcome::complete:
    case Outcome::truncated: // the head is at the start
        break;
    }
    const LinkMetadata metadata = parseLinkMetadata(page->body(), page->finalURL(), page->contentType());
    m_preview.title = metadata.title;
    if (!metadata.imageURL) {
        done(true);
        return;
    }
    download(*metadata.imageURL, {m_limits.maxImageBytes, m_limits.timeout, m_limits.maxRedirects, {}},
             &LinkPreviewFetch::imageFinished);
}

void LinkPreviewFetch::imageFinished()
{
    CappedDownload *image = std::exchange(m_download, nullptr);
    image->deleteLater();
    switch (image->outcome()) {
    case Outcome::failed:
        done(false); // keep the title, try the image again next time
        return;
    case Outcome::unusable:
    case Outcome::truncated: // too large to be a preview
        done(true);
        return;
    case Outcome::complete:
        break;
    }
    m_thumbnail.setFuture(QtConcurrent::run(makeThumbnail, image->body(), m_limits.maxImageSide));
}

void LinkPreviewFetch::thumbnailReady()
{
    m_preview.imageData = m_thumbnail.result();
    done(true);
}

void LinkPreviewFetch::done(bool complete)
{
    m_preview.complete = complete;
    emit finished(m_preview);
}

} // namespace tamo
