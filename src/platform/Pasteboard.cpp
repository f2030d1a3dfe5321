#include "platform/Pasteboard.h"

#include "platform/UriList.h"

namespace tamo {

std::optional<QString> PasteboardContents::string()
{
    const std::optional<QByteArray> bytes = data(PasteboardType::string);
    if (!bytes)
        return std::nullopt;
    return QString::fromUtf8(*bytes);
}

QList<QUrl> PasteboardContents::fileURLs()
{
    const std::optional<QByteArray> list = data(PasteboardType::fileURL);
    if (!list)
        return {};
    QList<QUrl> urls = UriList::parse(*list);
    urls.removeIf([](const QUrl &url) { return !url.isLocalFile(); });
    return urls;
}

} // namespace tamo
