#include "app/LinkPreviews.h"

#include "app/WebURL.h"
#include "model/ModelContext.h"
#include "model/SettingsKeys.h"
#include "platform/Defaults.h"

#include <QDebug>

namespace tamo {

namespace {

std::optional<QUrl> webURL(const std::optional<QString> &text)
{
    if (!text)
        return std::nullopt;
    const QUrl url(text->trimmed());
    return isWebURL(url) ? std::optional(url) : std::nullopt;
}

} // namespace

LinkPreviews::LinkPreviews(ModelContext &context, const Defaults &defaults, QNetworkAccessManager &network,
                           AddressCheck addresses, QObject *parent)
    : QObject(parent), m_context(context), m_defaults(defaults), m_network(network), m_addresses(std::move(addresses))
{
    connect(&defaults, &Defaults::valueChanged, this, [this](const QString &key) {
        if (key == keys::linkPreviews && !m_defaults.boolValue(keys::linkPreviews))
            cancelAll();
    });
}

void LinkPreviews::setTimeout(std::chrono::milliseconds timeout)
{
    m_limits.timeout = timeout;
}

void LinkPreviews::request(const ClipItemPtr &clip)
{
    if (!clip || !clip->isInserted() || clip->isGone() || clip->kind() != ClipKind::link
        || clip->linkPreviewFetched())
        return;
    if (!m_defaults.boolValue(keys::linkPreviews) || m_attempted.contains(clip->id()))
        return;
    const auto url = webURL(clip->text());
    if (!url || !m_addresses.allowsURL(*url))
        return;
    m_attempted.insert(clip->id());
    auto *fetch = new LinkPreviewFetch(m_network, *url, m_limits, m_addresses, this);
    m_inFlight.insert(clip->id(), fetch);
    connect(fetch, &LinkPreviewFetch::finished, this, [this, clip, fetch](const LinkPreview &preview) {
        m_inFlight.remove(clip->id());
        fetch->deleteLater();
        if (!clip->isGone() && clip->isInserted()) // deleted meanwhile: nothing to show it on
            store(*clip, preview);
        emit fetchEnded(clip->id());
    });
}

void LinkPreviews::store(ClipItem &clip, const LinkPreview &preview)
{
    if (!preview.title && !preview.imageData && !preview.complete)
        return;
    if (preview.title)
        clip.setLinkTitle(preview.title);
    if (preview.imageData)
        clip.setLinkImageData(preview.imageData);
    if (preview.complete)
        clip.setLinkPreviewFetched(true);
    if (!m_context.save())
        qWarning().noquote() << QStringLiteral("TamoCove: could not store a link preview: %1").arg(m_context.lastError());
}

void LinkPreviews::cancelAll()
{
    for (auto it = m_inFlight.cbegin(); it != m_inFlight.cend(); ++it) {
        m_attempted.remove(it.key()); // not tried to the end: the next request may try again
        delete it.value();
    }
    m_inFlight.clear();
}

} // namespace tamo
