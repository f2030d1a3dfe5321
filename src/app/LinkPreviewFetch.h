#pragma once

#include "app/AddressCheck.h"
#include "app/CappedDownload.h"

#include <QByteArray>
#include <QFutureWatcher>
#include <QObject>
#include <QString>
#include <QUrl>

#include <chrono>
#include <optional>

class QNetworkAccessManager;

namespace tamo {

struct LinkPreview
{
    std::optional<QString> title;
    std::optional<QByteArray> imageData; // PNG or JPEG, at most LinkFetchLimits::maxImageSide a side
    // The page answered and its image was settled; false after a network
    // failure, which is worth another try on a later run.
    bool complete = false;
};

struct LinkFetchLimits
{
    std::chrono::milliseconds timeout{10'000};
    qint64 maxPageBytes = 2 * 1024 * 1024;
    qint64 maxImageBytes = 5 * 1024 * 1024;
    int maxRedirects = 5;
    int maxImageSide = 600;
};

// Fetches one link's preview: the page, then the image it names, which is
// scaled down on a worker thread. The page, every redirect and the image must
// pass the address check first.
class LinkPreviewFetch : public QObject
{
    Q_OBJECT

public:
    LinkPreviewFetch(QNetworkAccessManager &network, const QUrl &url, const LinkFetchLimits &limits,
                     AddressCheck addresses, QObject *parent = nullptr);

signals:
    // Emitted once, from a network signal: delete the fetch with deleteLater().
    void finished(const tamo::LinkPreview &preview);

private:
    // Downloads `url` at the addresses the check allowed.
    void download(const QUrl &url, CappedDownload::Options options, void (LinkPreviewFetch::*finished)());
    void pageFinished();
    void imageFinished();
    void thumbnailReady();
    void done(bool complete);

    QNetworkAccessManager &m_network;
    LinkFetchLimits m_limits;
    AddressCheck m_addresses;
    CappedDownload *m_download = nullptr;
    QFutureWatcher<std::optional<QByteArray>> m_thumbnail;
    LinkPreview m_preview;
};

} // namespace tamo
