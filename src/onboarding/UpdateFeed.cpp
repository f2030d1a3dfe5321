#include "onboarding/UpdateFeed.h"

#include "model/WebAddress.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <limits>

namespace tamo {

namespace {

// Only whole numbers that fit a signed 64-bit number are builds; the
// smallest one stands for "not one".
std::optional<qint64> wholeNumber(const QJsonValue &value)
{
    constexpr qint64 notWhole = std::numeric_limits<qint64>::min();
    const qint64 number = value.toInteger(notWhole);
    return number == notWhole ? std::nullopt : std::optional(number);
}

std::optional<QUrl> downloadAddress(const QJsonValue &value)
{
    if (!value.isString())
        return std::nullopt;
    const QUrl url(value.toString(), QUrl::StrictMode);
    if (!isSecureWebAddress(url))
        return std::nullopt;
    return url;
}

} // namespace

std::optional<FeedRelease> decodeUpdateFeed(const QByteArray &body)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject feed = document.object();

    const QJsonValue version = feed.value(u"version");
    const auto build = wholeNumber(feed.value(u"build"));
    const auto url = downloadAddress(feed.value(u"url"));
    const QJsonValue notes = feed.value(u"notes");
    if (!version.isString() || !build || !url || !(notes.isUndefined() || notes.isNull() || notes.isString()))
        return std::nullopt;

    FeedRelease release{{version.toString(), *build, *url}, std::nullopt};
    if (notes.isString())
        release.notes = notes.toString();
    return release;
}

} // namespace tamo
