#include "model/StoredFilePath.h"

#include <QStringDecoder>

namespace tamo::StoredFilePath {

namespace {

const QLatin1String urlPrefix("file:");

QByteArray pathBytes(const QUrl &url)
{
    return QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
}

} // namespace

QString fromURL(const QUrl &localFile)
{
    const QByteArray path = pathBytes(localFile);
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(path);
    if (!utf8.hasError())
        return text;
    return urlPrefix + QLatin1String("//") + QString::fromLatin1(path.toPercentEncoding("/"));
}

QUrl toURL(const QString &stored)
{
    if (stored.startsWith(urlPrefix))
        return QUrl::fromEncoded(stored.toLatin1(), QUrl::StrictMode);
    return QUrl::fromLocalFile(stored);
}

QByteArray bytes(const QString &stored)
{
    return stored.startsWith(urlPrefix) ? pathBytes(toURL(stored)) : stored.toUtf8();
}

} // namespace tamo::StoredFilePath
