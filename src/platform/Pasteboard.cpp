#include "platform/Pasteboard.h"

#include "platform/UriList.h"

#include <QSysInfo>

namespace tamo {

namespace {

// A file of this machine, whose path has no NUL byte: no file can have one.
bool isLocalPath(const QUrl &url)
{
    if (!url.isLocalFile())
        return false;
    const QString host = url.host();
    if (!host.isEmpty() && host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) != 0
        && host != QSysInfo::machineHostName())
        return false;
    return !url.path(QUrl::FullyEncoded).contains(QLatin1String("%00"));
}

} // namespace

std::optional<QString> PasteboardContents::string()
{
    const std::optional<QByteArray> bytes = data(PasteboardType::string);
    if (!bytes)
        return std::nullopt;
    return QString::fromUtf8(*bytes);
}

PasteboardContents::FileList PasteboardContents::fileList()
{
    const std::optional<QByteArray> list = data(PasteboardType::fileURL);
    if (!list)
        return {};
    UriList::Start start = UriList::parseStart(*list, mostFiles);
    start.urls.removeIf([](const QUrl &url) { return !isLocalPath(url); });
    return {std::move(start.urls), start.cut};
}

} // namespace tamo
