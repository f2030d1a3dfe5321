#include "onboarding/UpdateFeed.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>
#include <limits>

namespace tamo {

namespace {

// JSON numbers arrive as doubles; only whole ones in int's range are builds.
std::optional<int> wholeNumber(const QJsonValue &value)
{
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (std::trunc(number) != number || number < std::numeric_limits<int>::min()
        || number > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(number);
}

std::optional<QUrl> downloadAddress(const QJsonValue &value)
{
    if (!value.isString())
        return std::nullopt;
    const QUrl url(value.toString(), QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() || (scheme != u"https" && scheme != u"http"))
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
