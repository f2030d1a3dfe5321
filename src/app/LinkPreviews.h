#pragma once

#include "app/LinkPreviewFetch.h"
#include "model/ClipItem.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QUuid>

#include <chrono>

class QNetworkAccessManager;

namespace tamo {

class Defaults;
class ModelContext;

// Fetches the title and image of the pages that link clips point to, while
// "linkPreviews" is on, and stores them on the clips. Only pages the address
// check allows are asked: by default https pages of public hosts.
//
// A clip is tried at most once per run. A page that answered is never asked
// again, even when it had no title or image; a network failure leaves the clip
// to be tried on a later run. Turning the setting off stops the fetches under
// way. Main thread only.
class LinkPreviews : public QObject
{
    Q_OBJECT

public:
    LinkPreviews(ModelContext &context, const Defaults &defaults, QNetworkAccessManager &network,
                 AddressCheck addresses = {}, QObject *parent = nullptr);

    // How long a server may stay silent before a fetch counts as failed.
    void setTimeout(std::chrono::milliseconds timeout);

    // Starts fetching the preview of a stored link clip that has none yet.
    void request(const ClipItemPtr &clip);

signals:
    // A fetch ended, stored or not.
    void fetchEnded(const QUuid &clipID);

private:
    void store(ClipItem &clip, const LinkPreview &preview);
    void cancelAll();

    ModelContext &m_context;
    const Defaults &m_defaults;
    QNetworkAccessManager &m_network;
    AddressCheck m_addresses;
    LinkFetchLimits m_limits;
    QSet<QUuid> m_attempted;
    QHash<QUuid, LinkPreviewFetch *> m_inFlight;
};

} // namespace tamo
